#include "panel/boardresume.h"

#include "board/boardloader.h"
#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "design/themerules.h"
#include "panel/panelstate.h"

#include <QFile>

namespace quoteria {

QString runningMarkPathOf(const AppContext& ctx) {
    return runningMarkPath(ctx.settings.folder());
}

std::optional<ResumedBoard> resumeBoard(AppContext& ctx, const BoardFactory& factory,
                                        std::function<bool()> monitorOn) {
    if (!ctx.settings.get(settings::ResumeBoard) || !factory)
        return std::nullopt;
    const QString path = runningMarkPathOf(ctx);
    if (!QFile::exists(path)) {
        logLine(QStringLiteral("board: no board to resume"));
        return std::nullopt;
    }
    // A damaged mark is said by the reader.
    const auto mark = readRunningMark(path);
    if (!mark)
        return std::nullopt;
    BoardChoices c = BoardChoices::stored(ctx.settings, ctx.db, mark->theme);
    const auto check = checkTheme(ctx.themes, c.themeKey);
    if (check != ThemeCheck::Ready) {
        logLine(QStringLiteral("board: theme \"%1\" cannot be shown (%2); the board is not resumed")
                    .arg(mark->theme, themeCheckMessage(check)));
        clearRunningMark(path);
        return std::nullopt;
    }
    c.motion = mark->motion;
    // As the panel reads its "Intervel" entry.
    c.pageIntervalMs =
        panel::pageIntervalFor(ctx.settings.get(TextSetting{settings::PageSeconds.at, "3"}))
            .value_or(panel::kDefaultInterval * 1000);
    c.twipsPerPixel = ctx.session.twipsPerPixel;
    c.monitorOn = std::move(monitorOn);
    // The window places itself on the screen the stored mode names.
    if (ctx.settings.get(settings::ScreenMode) != mark->screen)
        ctx.settings.set(settings::ScreenMode, mark->screen);

    ResumedBoard r{factory(ctx, c), *mark};
    r.board->show();
    if (mark->ticker)
        r.board->startTickerAfresh();
    if (mark->paused)
        r.board->setRunning(BoardControl::tableTimerFor(mark->motion), false);
    logLine(QStringLiteral("board: resumed \"%1\" (%2, %3, ticker %4%5)")
                .arg(mark->theme, mark->motion, mark->screen,
                     mark->ticker ? QStringLiteral("on") : QStringLiteral("off"),
                     mark->paused ? QStringLiteral(", paused") : QString()));
    return r;
}

} // namespace quoteria
