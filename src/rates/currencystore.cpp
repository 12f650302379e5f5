#include "rates/currencystore.h"

#include "data/database.h"
#include "data/formats.h"
#include "data/settingsstore.h"

#include <QLocale>
#include <QSqlRecord>
#include <cmath>
#include <limits>

namespace quoteria {

namespace {

QString text(const QSqlRecord& r, const char* column) {
    const QVariant v = r.value(QLatin1String(column));
    if (v.isNull())
        return QString();
    // Numbers stored as numbers (the limits) are shown in plain digits: 0.0001, not 1e-04.
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    return v.toString();
}

CurrencyRow rowOf(const QSqlRecord& r) {
    CurrencyRow c;
    c.key = r.value(QStringLiteral("currAuto")).toLongLong();
    c.name = text(r, "currName");
    for (int i = 1; i <= 5; ++i) {
        const QVariant v = r.value(QStringLiteral("colum%1").arg(i));
        c.values << (v.isNull() ? QString() : v.toString());
        const QVariant cell = r.value(QStringLiteral("cell%1").arg(i));
        c.cells << (cell.isNull() ? QString() : cell.toString());
    }
    c.img = text(r, "img");
    c.active = text(r, "active");
    c.pos = text(r, "pos");
    c.low = text(r, "low");
    c.high = text(r, "high");
    c.vstate = text(r, "vstate");
    c.updateTime = text(r, "updateTime");
    return c;
}

QStringList five(const QStringList& in) {
    QStringList out = in.mid(0, 5);
    while (out.size() < 5)
        out << QString();
    return out;
}

// Limits as numbers where they are numbers, so the monitor's comparison and the
// column's affinity agree; anything else is kept as text and counts as 0 there.
QVariant limitValue(const QString& t) {
    return isNumeric(t) ? QVariant(vbVal(t)) : QVariant(t);
}

bool isPositionClash(const QString& error) {
    return error.contains(QLatin1String("UNIQUE"), Qt::CaseInsensitive) &&
           error.contains(QLatin1String(".pos"), Qt::CaseInsensitive);
}

} // namespace

QVector<CurrencyRow> CurrencyStore::list(bool showAll, bool* ok) {
    const QString sql =
        showAll ? QStringLiteral("select * from tblcurr order by pos asc")
                : QStringLiteral("select * from tblcurr where active='1' order by pos asc");
    QVector<CurrencyRow> rows;
    bool good = false;
    QSqlQuery q = m_db.exec(sql, {}, &good);
    if (good) {
        rows.reserve(64);
        while (q.next())
            rows.append(rowOf(q.record()));
    }
    if (ok)
        *ok = good;
    return rows;
}

std::optional<CurrencyRow> CurrencyStore::find(qint64 key) {
    const auto r = m_db.fetchOne(QStringLiteral("select * from tblcurr where currAuto=?"), {key});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

std::optional<QStringList> CurrencyStore::headerCaptions(qint64 themeKey) {
    const auto r =
        m_db.fetchOne(QStringLiteral("select * from tblheader where themeauto=?"), {themeKey});
    if (!r)
        return std::nullopt;
    QStringList captions;
    for (int i = 1; i <= 6; ++i)
        captions << (r->value(i).isNull() ? QString() : r->value(i).toString());
    return captions;
}

QString CurrencyStore::listValue(const QString& t, const ValueFormat& format) {
    if (format.length == 0)
        return t;
    return formatNumber(t, format.pattern);
}

QString CurrencyStore::entryValue(const QString& t, const ValueFormat& format) {
    if (format.length == 0)
        return t;
    return keepLength(formatNumber(t, format.pattern), format.length);
}

int CurrencyStore::firstBadCell(const QStringList& cells) {
    for (int i = 0; i < cells.size(); ++i) {
        const QString& c = cells.at(i);
        if (c.isEmpty())
            continue;
        const QStringList parts = c.split(QLatin1Char(','));
        if (parts.size() != 2 || !isNumeric(parts.at(0)) || !isNumeric(parts.at(1)))
            return i;
    }
    return -1;
}

QString CurrencyStore::timeText(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

CurrencyStore::Result CurrencyStore::saveValues(const QVector<Edit>& edits,
                                                const ValueFormat& format, const QDateTime& now) {
    Result res;
    Database::Transaction tx(m_db);
    if (!tx.active()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    const QString stamp = timeText(now);
    const QString sql = QStringLiteral("update tblcurr set colum1=?,colum2=?,colum3=?,colum4=?,"
                                       "colum5=?,updateTime=? where currAuto=?");
    for (const Edit& e : edits) {
        QVariantList binds;
        const QStringList values = five(e.values);
        for (const QString& v : values)
            binds << listValue(v, format);
        binds << stamp << e.key;
        bool good = false;
        QSqlQuery q = m_db.exec(sql, binds, &good);
        if (!good) {
            res.ok = false;
            res.error = m_db.lastError();
            res.written = 0;
            return res; // the transaction rolls back
        }
        if (q.numRowsAffected() > 0)
            ++res.written;
        else {
            ++res.missing;
            res.missingKeys.append(e.key);
        }
    }
    if (!tx.commit()) {
        res.ok = false;
        res.error = m_db.lastError();
        res.written = 0;
    }
    return res;
}

CurrencyStore::Result CurrencyStore::write(qint64 key, bool isNew, const CurrencyInput& in,
                                           const ValueFormat& format) {
    Result res;
    QVariantMap row;
    row[QStringLiteral("currName")] = in.name;
    const QStringList values = five(in.values);
    for (int i = 0; i < 5; ++i)
        row[QStringLiteral("colum%1").arg(i + 1)] = entryValue(values.at(i), format);
    if (isNew || in.writeImg)
        row[QStringLiteral("img")] = in.img;
    row[QStringLiteral("active")] = in.active ? 1 : 0;
    const QStringList cells = five(in.cells);
    for (int i = 0; i < 5; ++i)
        row[QStringLiteral("cell%1").arg(i + 1)] = cells.at(i);
    row[QStringLiteral("low")] = limitValue(in.low);
    row[QStringLiteral("high")] = limitValue(in.high);
    row[QStringLiteral("vstate")] = QStringLiteral("N");

    // Position: the typed number, or the row's own key when empty or not a number.
    bool ownKey = true;
    if (!in.pos.trimmed().isEmpty() && isNumeric(in.pos)) {
        const double p = std::round(vbVal(in.pos));
        if (std::fabs(p) > double(std::numeric_limits<qint32>::max())) {
            res.ok = false;
            res.error = QStringLiteral("The position %1 is out of range").arg(in.pos.trimmed());
            return res;
        }
        row[QStringLiteral("pos")] = qint64(p);
        ownKey = false;
    }

    Database::Transaction tx(m_db);
    if (!tx.active()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    if (isNew) {
        const qint64 k = m_db.insert(QStringLiteral("tblCurr"), row);
        if (k < 0) {
            res.ok = false;
            res.error = m_db.lastError();
            res.duplicatePosition = isPositionClash(res.error);
            return res;
        }
        key = k;
    } else {
        if (!m_db.fetchOne(QStringLiteral("select currAuto from tblcurr where currAuto=?"),
                           {key})) {
            res.missing = 1;
            return res;
        }
        if (!m_db.update(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), key, row)) {
            res.ok = false;
            res.error = m_db.lastError();
            res.duplicatePosition = isPositionClash(res.error);
            return res;
        }
    }
    if (ownKey && !m_db.update(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), key,
                               {{QStringLiteral("pos"), key}})) {
        res.ok = false;
        res.error = m_db.lastError();
        res.duplicatePosition = isPositionClash(res.error);
        return res;
    }
    if (!tx.commit()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    res.written = 1;
    res.missing = 0;
    if (isNew)
        m_lastKey = key;
    return res;
}

CurrencyStore::Result CurrencyStore::add(const CurrencyInput& in, const ValueFormat& format,
                                         qint64* newKey) {
    const Result r = write(0, true, in, format);
    if (r.ok && r.written && newKey)
        *newKey = m_lastKey;
    return r;
}

CurrencyStore::Result CurrencyStore::change(qint64 key, const CurrencyInput& in,
                                            const ValueFormat& format) {
    return write(key, false, in, format);
}

bool CurrencyStore::remove(qint64 key, QString* error) {
    const bool ok = m_db.removeWhere(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), key);
    if (!ok && error)
        *error = m_db.lastError();
    return ok;
}

ValueFormat valueFormat(const SettingsStore& settings) {
    ValueFormat f;
    f.length = settings.readInt(QStringLiteral("Display"), QStringLiteral("auto"),
                                QStringLiteral("format"), 6);
    f.pattern = settings.read(QStringLiteral("Display"), QStringLiteral("auto"),
                              QStringLiteral("format1"), QStringLiteral("0.00000"));
    return f;
}

bool excelFeedOn(const SettingsStore& settings) {
    return settings.readInt(QStringLiteral("Display"), QStringLiteral("auto"),
                            QStringLiteral("value"), 0) != 0;
}

} // namespace quoteria
