#include "data/newsstore.h"

#include "data/database.h"
#include "data/dataevents.h"
#include "data/themestore.h"

#include <QSqlRecord>
#include <QVariantMap>

namespace quoteria {

const QString NewsStore::Scroll::table = QStringLiteral("tblscroll");
const QString NewsStore::Scroll::key = QStringLiteral("scrollAuto");
const QString NewsStore::Scroll::message = QStringLiteral("message");
const QString NewsStore::Scroll::rtf = QStringLiteral("messageRtf");
const QString NewsStore::Scroll::html = QStringLiteral("messageHtml");
const QString NewsStore::Scroll::active = QStringLiteral("active");
const QString NewsStore::Scroll::fontName = QStringLiteral("fontname");
const QString NewsStore::Scroll::fontSize = QStringLiteral("fontsize");
const QString NewsStore::Scroll::fontColor = QStringLiteral("fontcolor");
const QString NewsStore::Scroll::bold = QStringLiteral("fontbold");
const QString NewsStore::Scroll::italic = QStringLiteral("fontitalic");
const QString NewsStore::Scroll::direction = QStringLiteral("direction");

const QString NewsStore::Ticker::table = QStringLiteral("tblss");
const QString NewsStore::Ticker::themeKey = QStringLiteral("themeauto");
const QString NewsStore::Ticker::backColor = QStringLiteral("backcolor");
const QString NewsStore::Ticker::gradColor = QStringLiteral("gradcolor");
const QString NewsStore::Ticker::gradient = QStringLiteral("gradient");
const QString NewsStore::Ticker::speed = QStringLiteral("speed");
const QString NewsStore::Ticker::gradType = QStringLiteral("gradtype");
const QString NewsStore::Ticker::bullet = QStringLiteral("bullet");
const QString NewsStore::Ticker::direction = QStringLiteral("sdirection");

QString stripTickerText(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char('>'));
    t.remove(QLatin1Char('<'));
    t.remove(QLatin1Char('/'));
    return t;
}

namespace {

using Scroll = NewsStore::Scroll;
using Ticker = NewsStore::Ticker;

NewsMessage fromRecord(const QSqlRecord& r) {
    NewsMessage m;
    m.key = r.value(Scroll::key).toLongLong();
    m.message = r.value(Scroll::message).toString();
    m.rtf = r.value(Scroll::rtf).toString();
    m.html = r.value(Scroll::html).toString();
    m.active = r.value(Scroll::active).toInt() == 1;
    m.fontName = r.value(Scroll::fontName).toString();
    m.fontSize = r.value(Scroll::fontSize).toString();
    m.fontColor = r.value(Scroll::fontColor).toLongLong();
    m.bold = r.value(Scroll::bold).toInt() != 0;
    m.italic = r.value(Scroll::italic).toInt() != 0;
    m.direction = r.value(Scroll::direction).toString();
    return m;
}

} // namespace

NewsStore::NewsStore(Connection& db, DataEvents* events, QObject* parent)
    : QObject(parent), m_db(db) {
    if (events) {
        connect(this, &NewsStore::messagesChanged, events, &DataEvents::newsChanged);
        // The ticker's settings belong to its theme.
        connect(this, &NewsStore::scrollSettingsChanged, events, &DataEvents::themesChanged);
    }
}

QVector<NewsMessage> NewsStore::all(bool* ok) {
    QVector<NewsMessage> out;
    const QString sql =
        QStringLiteral("select * from %1 order by %2 asc").arg(Scroll::table, Scroll::key);
    for (const QSqlRecord& r : m_db.fetchAll(sql, {}, ok))
        out << fromRecord(r);
    return out;
}

std::optional<NewsMessage> NewsStore::load(qint64 key) {
    const auto r = m_db.fetchOne(
        QStringLiteral("select * from %1 where %2=?").arg(Scroll::table, Scroll::key), {key});
    if (!r)
        return std::nullopt;
    return fromRecord(*r);
}

QVector<TickerMessage> NewsStore::activeMessages(const QString& direction, bool* ok) {
    const QString sql = QStringLiteral("select * from %1 where %2=? and %3=? collate nocase")
                            .arg(Scroll::table, Scroll::active, Scroll::direction);
    QVector<TickerMessage> out;
    for (const QSqlRecord& r : m_db.fetchAll(sql, {1, direction}, ok)) {
        TickerMessage t;
        t.text = r.value(Scroll::message).toString();
        t.fontName = r.value(Scroll::fontName).toString();
        t.fontSize = themeNumber(r.value(Scroll::fontSize));
        t.bold = themeNumber(r.value(Scroll::bold)) != 0;
        t.italic = themeNumber(r.value(Scroll::italic)) != 0;
        t.fontColor = colourValue(r.value(Scroll::fontColor));
        out << t;
    }
    return out;
}

qint64 NewsStore::save(const NewsMessage& m, QString* error) {
    const QVariantMap values{{Scroll::message, m.message},
                             {Scroll::rtf, m.rtf},
                             {Scroll::html, m.html},
                             {Scroll::active, m.active ? 1 : 0},
                             {Scroll::fontName, m.fontName},
                             {Scroll::fontSize, m.fontSize},
                             {Scroll::fontColor, m.fontColor},
                             {Scroll::bold, m.bold ? 1 : 0},
                             {Scroll::italic, m.italic ? 1 : 0},
                             {Scroll::direction, m.direction}};
    if (m.key > 0) {
        // An update of a message deleted meanwhile would write nothing and look saved.
        if (!m_db.fetchOne(
                QStringLiteral("select %2 from %1 where %2=?").arg(Scroll::table, Scroll::key),
                {m.key})) {
            if (error)
                *error =
                    QStringLiteral("This message has been deleted meanwhile; nothing was saved.");
            return -1;
        }
        if (!m_db.update(Scroll::table, Scroll::key, m.key, values)) {
            if (error)
                *error = m_db.lastError();
            return -1;
        }
        Q_EMIT messagesChanged();
        return m.key;
    }
    const qint64 key = m_db.insert(Scroll::table, values);
    if (key < 0) {
        if (error)
            *error = m_db.lastError();
        return key;
    }
    Q_EMIT messagesChanged();
    return key;
}

bool NewsStore::remove(qint64 key) {
    if (!m_db.removeWhere(Scroll::table, Scroll::key, key))
        return false;
    Q_EMIT messagesChanged();
    return true;
}

std::optional<ScrollSettings> NewsStore::loadScrollSettings(qint64 themeKey) {
    const auto r = m_db.fetchOne(
        QStringLiteral("select * from %1 where %2=?").arg(Ticker::table, Ticker::themeKey),
        {themeKey});
    if (!r)
        return std::nullopt;
    ScrollSettings s;
    s.themeKey = r->value(Ticker::themeKey).toLongLong();
    s.backColor = r->value(Ticker::backColor).toLongLong();
    s.gradColor = r->value(Ticker::gradColor).toLongLong();
    s.gradient = r->value(Ticker::gradient).toInt() != 0;
    s.speed = r->value(Ticker::speed).toString();
    s.gradType = r->value(Ticker::gradType).toString();
    s.bullet = r->value(Ticker::bullet).toString();
    s.direction = r->value(Ticker::direction).toString();
    return s;
}

bool NewsStore::saveScrollSettings(const ScrollSettings& s, QString* error) {
    const QVariantMap values{
        {Ticker::backColor, s.backColor},       {Ticker::gradColor, s.gradColor},
        {Ticker::gradient, s.gradient ? 1 : 0}, {Ticker::speed, s.speed},
        {Ticker::gradType, s.gradType},         {Ticker::bullet, s.bullet},
        {Ticker::direction, s.direction}};
    const int rows = m_db.scalar(QStringLiteral("select count(*) from %1 where %2=?")
                                     .arg(Ticker::table, Ticker::themeKey),
                                 {s.themeKey})
                         .toInt();
    bool ok;
    if (rows > 0) {
        ok = m_db.update(Ticker::table, Ticker::themeKey, s.themeKey, values);
    } else {
        QVariantMap row = values;
        row.insert(Ticker::themeKey, s.themeKey);
        ok = m_db.insert(Ticker::table, row) >= 0;
    }
    if (!ok) {
        if (error)
            *error = m_db.lastError();
        return false;
    }
    Q_EMIT scrollSettingsChanged(s.themeKey);
    return true;
}

} // namespace quoteria
