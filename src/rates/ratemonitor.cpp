#include "rates/ratemonitor.h"

#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/formats.h"
#include "data/settingsstore.h"

#include <QTimer>
#include <QVector>

namespace quoteria {

namespace {
const QString kApp = QStringLiteral("Display");
const QString kSection = QStringLiteral("Monitor");

double number(const QString& t) {
    return isNumeric(t) ? vbVal(t) : 0.0;
}

int storedPeriod(const SettingsStore& s) {
    return checkPeriodOf(s.read(kApp, kSection, QStringLiteral("intervel"), QStringLiteral("10")))
        .value_or(10);
}
} // namespace

std::optional<int> checkPeriodOf(const QString& text) {
    const QString t = text.trimmed();
    // Digits only: a rounded "2.5" or an overflowing "1e10" would each be a
    // different period than the one typed.
    if (t.isEmpty() || t.size() > 9)
        return std::nullopt;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const int seconds = t.toInt();
    if (seconds > kMaxCheckPeriod)
        return std::nullopt;
    return seconds;
}

QString alarmState(const QString& value, const QString& low, const QString& high) {
    const double v = number(value);
    if (number(low) > v)
        return QStringLiteral("L");
    if (number(high) >= v)
        return QStringLiteral("N");
    return QStringLiteral("H");
}

RateMonitor::RateMonitor(AppContext& ctx, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_ticker(new QTimer(this)) {
    m_ticker->setObjectName(QStringLiteral("Timer4"));
    m_ticker->setInterval(1000);
    connect(m_ticker, &QTimer::timeout, this, &RateMonitor::tick);
    reloadPeriod();
}

void RateMonitor::switchOn(bool on) {
    setEnabled(on);
    if (on)
        m_ticker->start();
    else
        m_ticker->stop();
}

MonitorSettings RateMonitor::readSettings(const AppContext& ctx) {
    const SettingsStore& s = ctx.settings;
    MonitorSettings m;
    m.column = s.read(kApp, kSection, QStringLiteral("Column"), QStringLiteral("Colum1"));
    m.period = storedPeriod(s);
    m.sound = s.readInt(kApp, kSection, QStringLiteral("sound"), 0) == 1;
    m.lowSound = s.read(kApp, kSection, QStringLiteral("lowSound"));
    m.highSound = s.read(kApp, kSection, QStringLiteral("highSound"));
    m.color = s.readInt(kApp, kSection, QStringLiteral("color"), 0) == 1;
    m.lowColor = unsigned(s.readNumber(kApp, kSection, QStringLiteral("lowColor"), 0));
    m.highColor = unsigned(s.readNumber(kApp, kSection, QStringLiteral("highColor"), 0));
    return m;
}

void RateMonitor::reloadPeriod() {
    m_period = storedPeriod(m_ctx.settings);
}

void RateMonitor::setEnabled(bool on) {
    m_enabled = on;
    if (!on && m_player)
        m_player->stop();
}

void RateMonitor::tick() {
    if (!m_enabled)
        return;
    if (m_counter < m_period) {
        ++m_counter;
        return;
    }
    check();
    m_counter = 0;
}

bool RateMonitor::check() {
    const MonitorSettings s = readSettings(m_ctx);
    // Only the five value columns, "Colum1" to "Colum5", can be watched.
    int column = -1;
    for (int i = 0; i < 5; ++i)
        if (s.column.compare(QStringLiteral("Colum%1").arg(i + 1), Qt::CaseInsensitive) == 0)
            column = i;
    if (column < 0)
        return false;

    bool ok = false;
    const QVector<AlarmRow> rows = m_ctx.currencies.alarmRows(column, &ok);
    if (!ok)
        return false;

    QVector<CurrencyStore::AlarmMark> changed;
    for (const AlarmRow& row : rows) {
        const QString state = alarmState(row.value, row.low, row.high);
        const QString& sound = state == QLatin1String("L") ? s.lowSound : s.highSound;
        if (state != QLatin1String("N") && s.sound && !sound.isEmpty() && m_player &&
            !m_player->isPlaying())
            m_player->play(sound);
        if (row.state != state)
            changed.append({row.key, state});
    }
    if (changed.isEmpty())
        return true;

    // Only rows whose state moved are written; the store tells the other windows.
    m_ctx.currencies.setAlarmStates(changed);
    Q_EMIT statesChanged();
    return true;
}

} // namespace quoteria
