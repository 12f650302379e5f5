#pragma once
// Each editing window exists once: created on first use, owned by its opener,
// shown modeless; asking again raises the open one.
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace quoteria {

namespace detail {
// Watches a window's first show and checks where its frame ended up.
class FrameCheck : public QObject {
public:
    FrameCheck(QWidget* window, const QPoint& where) : QObject(window), m_where(where) {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            window->removeEventFilter(this);
            // The window manager frames the window after it is mapped.
            QTimer::singleShot(300, window, [window, where = m_where] {
                if (window->isVisible() && window->frameGeometry().topLeft() != where)
                    window->move(where);
            });
            deleteLater();
        }
        return false;
    }

private:
    QPoint m_where;
};
} // namespace detail

// Puts a top-level window's frame (title bar included) at `where`, as a stored
// Left/Top means. Before the window manager has framed a new window, Qt may take
// the frame as empty and put the client area at `where`, leaving the title bar
// off screen; so once the window is up with its frame known, the position is
// checked again.
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
