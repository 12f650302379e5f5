#include "panel/ratemonitor.h"

#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/formats.h"
#include "data/settingsstore.h"

#include <QSqlQuery>
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

RateMonitor::RateMonitor(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx) {
    reloadPeriod();
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
    m_ctx.session.monitorOn = on;
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
    // The column name goes into the statement, so only the five value columns pass.
    QString column;
    for (int i = 1; i <= 5; ++i)
        if (s.column.compare(QStringLiteral("Colum%1").arg(i), Qt::CaseInsensitive) == 0)
            column = QStringLiteral("colum%1").arg(i);
    if (column.isEmpty())
        return false;

    bool ok = false;
    QSqlQuery q = m_ctx.db.exec(
        QStringLiteral("select currAuto,%1,low,high,vstate from tblcurr where active='1'")
            .arg(column),
        {}, &ok);
    if (!ok)
        return false;

    struct Mark {
        qint64 key;
        QString state;
    };
    QVector<Mark> changed;
    while (q.next()) {
        const QString value = q.value(1).toString();
        const QString low = q.value(2).toString();
        const QString high = q.value(3).toString();
        const QString state = alarmState(value, low, high);
        const QString& sound = state == QLatin1String("L") ? s.lowSound : s.highSound;
        if (state != QLatin1String("N") && s.sound && !sound.isEmpty() && m_player &&
            !m_player->isPlaying())
            m_player->play(sound);
        if (q.value(4).toString() != state)
            changed.append({q.value(0).toLongLong(), state});
    }
    q.finish();
    if (changed.isEmpty())
        return true;

    // Only rows whose state moved are written; one transaction for all of them.
    Database::Transaction tx(m_ctx.db);
    for (const Mark& m : changed)
        m_ctx.db.exec(QStringLiteral("update tblcurr set vstate=? where currAuto=?"),
                      {m.state, m.key});
    tx.commit();
    Q_EMIT statesChanged();
    Q_EMIT m_ctx.events.currenciesChanged();
    return true;
}

} // namespace quoteria
