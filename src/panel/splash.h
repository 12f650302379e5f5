#pragma once
// The start-up window: shows the program's name while it measures the screen.
#include <QWidget>

namespace quoteria {

class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);
    // Twips per pixel of the screen the splash is on.
    int twipsPerPixel() const;
    // Closes after ms milliseconds and emits finished().
    void startTimer(int ms = 2000);

Q_SIGNALS:
    void finished();
};

} // namespace quoteria
