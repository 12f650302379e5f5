#pragma once
// The full-screen board. The control panel creates it on "Start Display" and
// destroys it on "Stop Display"; everything else runs on the board's own timers.
//
// This interface is what the panel relies on; the board engine behind it
// (layout, motion, rendering) lives in the core library and is shared with
// headless rendering and the preview.
#include "board/boardloader.h"
#include "board/boardview.h"

#include <QWidget>
#include <functional>

class QScreen;

namespace quoteria {

struct AppContext;
class BoardEngine;
class MediaZone;

class DisplayWindow : public QWidget {
    Q_OBJECT
public:
    // Reads the chosen theme, its layout, header and the active currencies, builds
    // the zones and starts the timers (the load sequence), then places itself
    // borderless over the screen chosen by "display"/"sreen"/"type".
    DisplayWindow(AppContext& ctx, const BoardChoices& choices, QWidget* parent = nullptr);
    ~DisplayWindow() override;

    // The board it shows, with its typed timers.
    BoardView* view() const;

    // Loads the left-running news messages into the ticker.
    void getSnews();
    // The ticker area; the panel makes it visible when it starts the board with news on.
    QWidget* picScroll() const;
    // Number of ticker message pictures (lblScroll); at least 1.
    int scrollPictureCount() const;
    // Unloads the ticker message pictures 1 .. count-1; the first stays.
    void unloadScrollPictures();

    // The screen for a screen mode: "Single" the primary screen, "Dual" the screen that
    // extends the desktop to the right of the primary (the primary when there is none,
    // which is logged).
    static QScreen* targetScreen(const QString& screenMode);

    // What the media zone shows, chosen at the start.
    MediaZone* mediaZone() const;

    // The engine behind the window; tests read the ticker and the table from it.
    BoardEngine* engine() const;

    // Called with the time (monotonic ns) of every frame the window presents.
    void setFrameListener(std::function<void(qint64)> listener);
    // The frame rate the screen under the window is meant to show.
    double nominalFrameMs() const;
    // F12: the small overlay of frame, CPU and memory figures.
    void toggleDiagnostics();
    bool diagnosticsShown() const;

Q_SIGNALS:
    // Ctrl+D on the board: the panel runs its Start/Stop Display command.
    void stopRequested();
    // The window is being closed; the panel takes that as Stop Display.
    void closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Private;
    Private* d;
};

} // namespace quoteria
