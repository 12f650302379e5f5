#pragma once
// The preview: a theme at the layout designer's scale in an ordinary window, run
// by the board's own engine. It shows the theme with the editors' unsaved drafts
// laid over it and follows every change of them; it writes nothing.
#include <QPointer>
#include <QWidget>

namespace quoteria {

struct AppContext;
class BoardEngine;
class BoardView;

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    // Loads theme themeKey at the preview's scale and half speeds; its ticker moves
    // tickerSpeed twips a tick (the panel's preview step).
    PreviewWindow(AppContext& ctx, qint64 themeKey, int tickerSpeed, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    qint64 themeKey() const;
    BoardView* view() const;
    BoardEngine& engine() const;
    // The left-running train afresh from the strip's right edge (the panel's news box).
    void startNews();
    // Shows the stored theme with the drafts now published, at once (an edit shows
    // on its own shortly after; this is what it runs).
    void reload();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The ticker as a new preview has it: running, afresh with the news when asked.
    void startTicker();
    void scheduleReload();

    struct Private;
    Private* d;
};

// The preview command of the panel and of the theme list, after their own layout
// and header checks: opens the preview of themeKey in slot, or brings the open one
// to the front, which keeps the theme it shows. With newsOn its ticker starts with
// the left-running train. The window belongs to owner and is deleted when closed.
PreviewWindow* showPreview(QPointer<PreviewWindow>& slot, AppContext& ctx, qint64 themeKey,
                           int tickerSpeed, bool newsOn, QWidget* owner);

} // namespace quoteria
