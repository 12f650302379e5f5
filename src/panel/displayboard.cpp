#include "panel/displayboard.h"

#include "board/displaywindow.h"
#include "board/mediazone.h"

#include <QPointer>

namespace quoteria {

namespace {

class DisplayBoard : public BoardControl {
public:
    DisplayBoard(AppContext& ctx, const BoardChoices& choices)
        : m_window(new DisplayWindow(ctx, choices, nullptr)) {
        connect(m_window, &DisplayWindow::stopRequested, this, &BoardControl::stopRequested);
        connect(m_window, &DisplayWindow::closed, this, &BoardControl::closed);
    }
    ~DisplayBoard() override {
        // Stop may come from a key press inside the board itself: let that event
        // finish before the window goes. Closed rather than hidden, so that the
        // program ends when the board was its last window. Our own close is no
        // request to stop again.
        if (m_window) {
            disconnect(m_window, nullptr, this, nullptr);
            m_window->close();
            m_window->deleteLater();
        }
    }

    QWidget* window() const override { return m_window; }
    void show() override {
        if (m_window)
            m_window->show();
    }
    bool isRunning(Timer t) const override { return m_window && m_window->view()->isRunning(t); }
    void setRunning(Timer t, bool on) override {
        if (m_window)
            m_window->view()->setRunning(t, on);
    }
    void getSnews() override {
        if (m_window)
            m_window->getSnews();
    }
    QWidget* picScroll() const override { return m_window ? m_window->picScroll() : nullptr; }
    int scrollPictureCount() const override {
        return m_window ? m_window->scrollPictureCount() : 0;
    }
    void unloadScrollPictures() override {
        if (m_window)
            m_window->unloadScrollPictures();
    }
    void reloadGallery() override {
        if (m_window)
            m_window->mediaZone()->reloadGallery();
    }

private:
    QPointer<DisplayWindow> m_window;
};

} // namespace

BoardFactory displayBoardFactory() {
    return [](AppContext& ctx, const BoardChoices& choices) -> std::unique_ptr<BoardControl> {
        return std::make_unique<DisplayBoard>(ctx, choices);
    };
}

} // namespace quoteria
