#include "news/newsstore.h"

#include "data/database.h"

#include <QSqlRecord>
#include <QVariantMap>

namespace quoteria {

qint64 toWindowsColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return qint64(rgb.red()) | (qint64(rgb.green()) << 8) | (qint64(rgb.blue()) << 16);
}

QColor fromWindowsColor(qint64 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString stripTickerText(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char('>'));
    t.remove(QLatin1Char('<'));
    t.remove(QLatin1Char('/'));
    return t;
}

namespace {

NewsMessage fromRecord(const QSqlRecord& r) {
    NewsMessage m;
    m.key = r.value(0).toLongLong();
    m.message = r.value(1).toString();
    m.rtf = r.value(2).toString();
    m.html = r.value(3).toString();
    m.active = r.value(4).toInt() == 1;
    m.fontName = r.value(5).toString();
    m.fontSize = r.value(6).toString();
    m.fontColor = r.value(7).toLongLong();
    m.bold = r.value(8).toInt() != 0;
    m.italic = r.value(9).toInt() != 0;
    m.direction = r.value(10).toString();
    return m;
}

} // namespace

QVector<NewsMessage> NewsStore::all(bool* ok) {
    QVector<NewsMessage> out;
    for (const QSqlRecord& r :
         m_db.fetchAll(QStringLiteral("select * From tblscroll order by scrollauto asc"), {}, ok))
        out << fromRecord(r);
    return out;
}

std::optional<NewsMessage> NewsStore::load(qint64 key) {
    const auto r =
        m_db.fetchOne(QStringLiteral("select * from tblScroll where scrollAuto=?"), {key});
    if (!r)
        return std::nullopt;
    return fromRecord(*r);
}

qint64 NewsStore::save(const NewsMessage& m, QString* error) {
    const QVariantMap values{{QStringLiteral("message"), m.message},
                             {QStringLiteral("messageRtf"), m.rtf},
                             {QStringLiteral("messageHtml"), m.html},
                             {QStringLiteral("active"), m.active ? 1 : 0},
                             {QStringLiteral("fontname"), m.fontName},
                             {QStringLiteral("fontsize"), m.fontSize},
                             {QStringLiteral("fontcolor"), m.fontColor},
                             {QStringLiteral("fontbold"), m.bold ? 1 : 0},
                             {QStringLiteral("fontitalic"), m.italic ? 1 : 0},
                             {QStringLiteral("direction"), m.direction}};
    if (m.key > 0) {
        // An update of a message deleted meanwhile would write nothing and look saved.
        if (!m_db.fetchOne(QStringLiteral("select scrollAuto from tblscroll where scrollAuto=?"),
                           {m.key})) {
            if (error)
                *error =
                    QStringLiteral("This message has been deleted meanwhile; nothing was saved.");
            return -1;
        }
        if (!m_db.update(QStringLiteral("tblscroll"), QStringLiteral("scrollAuto"), m.key,
                         values)) {
            if (error)
                *error = m_db.lastError();
            return -1;
        }
        return m.key;
    }
    const qint64 key = m_db.insert(QStringLiteral("tblscroll"), values);
    if (key < 0 && error)
        *error = m_db.lastError();
    return key;
}

bool NewsStore::remove(qint64 key) {
    return m_db.removeWhere(QStringLiteral("tblscroll"), QStringLiteral("scrollAuto"), key);
}

std::optional<ScrollSettings> loadScrollSettings(Connection& db, qint64 themeKey) {
    const auto r = db.fetchOne(QStringLiteral("select * from tblss where themeauto=?"), {themeKey});
    if (!r)
        return std::nullopt;
    ScrollSettings s;
    s.themeKey = r->value(1).toLongLong();
    s.backColor = r->value(2).toLongLong();
    s.gradColor = r->value(3).toLongLong();
    s.gradient = r->value(4).toInt() != 0;
    s.speed = r->value(5).toString();
    s.gradType = r->value(6).toString();
    s.bullet = r->value(7).toString();
    s.direction = r->value(8).toString();
    return s;
}

bool saveScrollSettings(Connection& db, const ScrollSettings& s, QString* error) {
    const QVariantMap values{{QStringLiteral("backcolor"), s.backColor},
                             {QStringLiteral("gradcolor"), s.gradColor},
                             {QStringLiteral("gradient"), s.gradient ? 1 : 0},
                             {QStringLiteral("speed"), s.speed},
                             {QStringLiteral("gradtype"), s.gradType},
                             {QStringLiteral("bullet"), s.bullet},
                             {QStringLiteral("sdirection"), s.direction}};
    const int rows =
        db.scalar(QStringLiteral("select count(*) from tblss where themeauto=?"), {s.themeKey})
            .toInt();
    bool ok;
    if (rows > 0) {
        ok = db.update(QStringLiteral("tblss"), QStringLiteral("themeauto"), s.themeKey, values);
    } else {
        QVariantMap row = values;
        row.insert(QStringLiteral("themeauto"), s.themeKey);
        ok = db.insert(QStringLiteral("tblss"), row) >= 0;
    }
    if (!ok && error)
        *error = db.lastError();
    return ok;
}

} // namespace quoteria
