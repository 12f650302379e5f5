#include "board/boardloader.h"

#include "board/boardengine.h"
#include "board/clockface.h"
#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/helpers.h"
#include "data/newsstore.h"
#include "data/settingsstore.h"
#include "data/wincolor.h"

namespace quoteria {

namespace {

// More rows than this cannot be told apart on any screen.
constexpr int kMaxRows = 2000;

RateRow rateRow(const CurrencyRow& c) {
    RateRow row;
    row.key = c.key;
    row.text[0] = c.name;
    for (int j = 1; j <= 5; ++j)
        row.text[j] = c.values.value(j - 1);
    row.img = c.img;
    row.vstate = c.vstate;
    return row;
}

} // namespace

BoardChoices BoardChoices::stored(const SettingsStore& settings, Database& db,
                                  const QString& themeName) {
    BoardChoices c = stored(settings);
    c.themeKey = themeKeyOf(db, themeName);
    return c;
}

BoardChoices BoardChoices::stored(const SettingsStore& settings) {
    BoardChoices c;
    c.motion = settings.get(settings::Motion);
    c.pageIntervalMs = qMax(1, settings.get(settings::PageSeconds) * 1000);
    c.tickerSpeed = settings.get(settings::TickerStep);
    return c;
}

BoardLoader::BoardLoader(AppContext& ctx) : m_ctx(ctx) {}

BoardInputs BoardLoader::load(const BoardChoices& choices, const BoardProfile& surface) {
    m_monitorOn = choices.monitorOn;
    BoardInputs in;
    in.theme = m_ctx.themes.load(choices.themeKey);

    MotionProfile& m = in.motion;
    m.table = choices.motion == QLatin1String("Page")     ? TableMotion::Page
              : choices.motion == QLatin1String("Scroll") ? TableMotion::Scroll
                                                          : TableMotion::Fixed;
    m.pageIntervalMs = choices.pageIntervalMs;
    m.surface = surface;
    m.twipsPerPixel = choices.twipsPerPixel;
    m.tickerStep = surface.tickerStep(choices.tickerSpeed);
    // The marquee halves exactly; only the ticker's step is a whole number.
    m.titleStep = choices.tickerSpeed * surface.speedFactor;
    m.tableStep = m_ctx.settings.get(settings::TableStep) * surface.speedFactor;

    in.rows = rows();
    in.news[TickerMotion::LeftTrain] = news(TickerMotion::LeftTrain);
    in.news[TickerMotion::RightTrain] = news(TickerMotion::RightTrain);
    in.clockFolder = ClockFace::folderIn(m_ctx.appFolder);
    return in;
}

BoardInputs BoardLoader::loadPreview(qint64 themeKey, int tickerStep) {
    BoardChoices c = BoardChoices::stored(m_ctx.settings);
    c.themeKey = themeKey;
    c.twipsPerPixel = m_ctx.session.twipsPerPixel;
    BoardInputs in = load(c, BoardProfile::preview());
    in.motion.tickerStep = tickerStep;
    return in;
}

BoardRows BoardLoader::rows() {
    BoardRows out;
    RowColouring& c = out.colouring;
    c.monitor = m_monitorOn && m_monitorOn();
    c.alarms = m_ctx.settings.get(settings::MonitorColours);
    c.high = colorFromWin(m_ctx.settings.get(settings::MonitorHighColour));
    c.low = colorFromWin(m_ctx.settings.get(settings::MonitorLowColour));
    const QVector<CurrencyRow> recs = m_ctx.currencies.list(false);
    out.rates.reserve(qMin(int(recs.size()), kMaxRows));
    for (const CurrencyRow& r : recs)
        out.rates.append(rateRow(r));
    return out;
}

std::optional<RateRow> BoardLoader::rate(qint64 key) {
    const auto r = m_ctx.currencies.find(key);
    if (!r)
        return std::nullopt;
    return rateRow(*r);
}

QVector<NewsLine> BoardLoader::news(TickerMotion::Train train) {
    const QString direction =
        train == TickerMotion::LeftTrain ? QStringLiteral("Left") : QStringLiteral("Right");
    const QVector<TickerMessage> recs = m_ctx.news.activeMessages(direction);
    QVector<NewsLine> out;
    out.reserve(recs.size());
    for (const TickerMessage& r : recs) {
        NewsLine n;
        n.text = r.text;
        n.fontName = r.fontName;
        n.fontSize = r.fontSize;
        n.bold = r.bold;
        n.italic = r.italic;
        n.colour = colorFromWin(r.fontColor);
        out.append(n);
    }
    return out;
}

void BoardLoader::drive(BoardEngine& engine) {
    engine.setSource(this);
    // A save elsewhere shows at once, not only at the next timed refresh.
    QObject::connect(&m_ctx.events, &DataEvents::currenciesChanged, &engine,
                     &BoardEngine::requestCurrencyRefresh);
}

} // namespace quoteria
