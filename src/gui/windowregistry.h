#pragma once
// Each editing window exists once: created on first use, owned by its opener,
// shown modeless; asking again raises the open one.
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quoteria {

namespace detail {
// After a window's first show, waits for the window manager to report its frame
// and then checks where the frame ended up.
class FrameCheck : public QObject {
public:
    FrameCheck(QWidget* window, const QPoint& where)
        : QObject(window), m_window(window), m_where(where) {
        window->installEventFilter(this);
        m_timer.setInterval(100);
        connect(&m_timer, &QTimer::timeout, this, &FrameCheck::check);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            m_window->removeEventFilter(this);
            m_timer.start();
        }
        return false;
    }

private:
    void check() {
        QWindow* handle = m_window->windowHandle();
        // A frame is reported some time after mapping; without one in 3 seconds
        // there is none (or no window manager) and nothing to correct.
        if (handle && m_window->isVisible() && handle->frameMargins().isNull() && ++m_tries < 30)
            return;
        m_timer.stop();
        // Only the misplacement itself is corrected: the client area sitting at `where`.
        // A window the operator has moved meanwhile stays where it was put.
        if (handle && m_window->isVisible() && handle->framePosition() != m_where &&
            m_window->geometry().topLeft() == m_where) {
            // Placed by its client area, the one geometry every window manager honours.
            const QMargins frame = handle->frameMargins();
            m_window->setGeometry(
                QRect(m_where + QPoint(frame.left(), frame.top()), m_window->size()));
        }
        deleteLater();
    }

    QWidget* m_window;
    QPoint m_where;
    QTimer m_timer;
    int m_tries = 0;
};
} // namespace detail

// Puts a top-level window's frame (title bar included) at `where`, as a stored
// Left/Top means. Before the window manager has framed a new window, Qt may take
// the frame as empty and put the client area at `where`, leaving the title bar
// off screen; so once the frame is known, the position is checked again.
inline void moveFrameTo(QWidget* window, const QPoint& where) {
    window->move(where);
    new detail::FrameCheck(window, where);
}

template <typename W, typename Make> W* showOnce(QPointer<W>& slot, Make make) {
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

} // namespace quoteria
