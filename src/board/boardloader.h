#pragma once
// Builds a board's inputs from the database, the settings and the panel's choices,
// and serves the running board's refreshes from the database.
#include "board/boardinputs.h"

#include <functional>

namespace quoteria {

struct AppContext;
class BoardEngine;
class SettingsStore;
class Database;

// What the panel chooses before a start.
struct BoardChoices {
    qint64 themeKey = 0;
    QString motion = QStringLiteral("Scroll"); // "Scroll", "Page" or anything else
    int pageIntervalMs = 3000;
    int tickerSpeed = 30; // the board's ticker step
    int twipsPerPixel = 15;
    // Whether the rate monitor is on, asked at every refresh; null: off.
    std::function<bool()> monitorOn;

    // The choices the panel would make from its stored settings.
    static BoardChoices stored(const SettingsStore& settings, Database& db,
                               const QString& themeName);
    // The same without a theme.
    static BoardChoices stored(const SettingsStore& settings);
};

class BoardLoader : public BoardSource {
public:
    explicit BoardLoader(AppContext& ctx);

    BoardInputs load(const BoardChoices& choices,
                     const BoardProfile& surface = BoardProfile::board());
    // The preview of a theme: the stored choices on the preview surface, its ticker
    // moving tickerStep twips a tick (the panel's preview step).
    BoardInputs loadPreview(qint64 themeKey, int tickerStep);
    // The active currencies with the colouring now in force.
    BoardRows rows() override;
    QVector<NewsLine> news(TickerMotion::Train train) override;
    std::optional<RateRow> rate(qint64 key) override;
    // The engine refreshes from here, and at once when a currency is saved.
    void drive(BoardEngine& engine);

private:
    AppContext& m_ctx;
    std::function<bool()> m_monitorOn;
};

} // namespace quoteria
