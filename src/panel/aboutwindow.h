#pragma once
// "Developed By": the program's name and version.
#include <QWidget>

namespace quoteria {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

} // namespace quoteria
