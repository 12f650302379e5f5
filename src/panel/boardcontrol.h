#pragma once
// What the control panel drives of a running board: its window, its timers and
// its ticker. The panel creates one through a factory on Start Display and
// destroys it on Stop Display.
#include <QObject>
#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace quoteria {

struct AppContext;

class BoardControl : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~BoardControl() override = default;

    virtual QWidget* window() const = 0;
    virtual void show() = 0;
    // "Timer1" ... "Timer9"; nullptr for an unknown name.
    virtual QTimer* timer(const QString& name) const = 0;
    virtual void getSnews() = 0;
    virtual QWidget* picScroll() const = 0;
    virtual int scrollPictureCount() const = 0;
    // Unloads the ticker's message pictures but the first.
    virtual void unloadScrollPictures() = 0;

Q_SIGNALS:
    // Ctrl+D on the board.
    void stopRequested();
    // The board window was closed from outside (window manager, Alt+F4).
    void closed();
};

// Builds the board for the session's current values (theme, motion, speeds).
using BoardFactory = std::function<std::unique_ptr<BoardControl>(AppContext&)>;

} // namespace quoteria
