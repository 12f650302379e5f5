// Formula results of a legacy .xls. FreeXL leaves formula cells empty, but an office
// suite stores each formula's last result beside it; the rate workbooks compute
// their rates by formula, so those results are read here from the workbook stream.
// Every offset and chain is checked: the file may be built to hurt.
#include "data/formats.h"
#include "feeds/workbookparser.h"

#include <QtEndian>

namespace quoteria {

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;

// The "Workbook" stream of a compound file, or nothing.
class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& data) : m_data(data) {}

    std::optional<QByteArray> workbookStream() {
        if (m_data.size() < 512 || u16(30) < 9 || u16(30) > 12)
            return std::nullopt;
        m_sector = 1 << u16(30);
        if (!readFat())
            return std::nullopt;
        const auto dir = chain(u32(48), m_fat, [this](quint32 s) { return sector(s); });
        if (!dir)
            return std::nullopt;
        for (int at = 0; at + 128 <= dir->size(); at += 128) {
            const QByteArray e = dir->mid(at, 128);
            const int nameBytes = qMin<int>(qFromLittleEndian<quint16>(e.constData() + 64), 64);
            const QString name = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(e.constData()), qMax(0, nameBytes / 2 - 1));
            if (e.at(66) != 2 || name != QLatin1String("Workbook"))
                continue;
            const quint32 start = qFromLittleEndian<quint32>(e.constData() + 116);
            const quint32 size = qFromLittleEndian<quint32>(e.constData() + 120);
            if (size >= u32(56))
                return sized(chain(
                                 start, m_fat, [this](quint32 s) { return sector(s); }, size),
                             size);
            return sized(miniStream(*dir, start, size), size);
        }
        return std::nullopt;
    }

private:
    quint16 u16(qint64 at) const { return qFromLittleEndian<quint16>(m_data.constData() + at); }
    quint32 u32(qint64 at) const { return qFromLittleEndian<quint32>(m_data.constData() + at); }

    // A whole sector of the file; empty past its end.
    QByteArray sector(quint32 s) const {
        const qint64 at = (qint64(s) + 1) * m_sector;
        return at + m_sector <= m_data.size() ? m_data.mid(at, m_sector) : QByteArray();
    }

    // The sectors of a chain joined, up to `want` bytes when that is known (a chain
    // may run on past its stream's end); nothing when it leaves the table or loops.
    template <typename Read>
    std::optional<QByteArray> chain(quint32 start, const QVector<quint32>& table, Read read,
                                    qint64 want = -1) const {
        QByteArray out;
        for (int steps = 0; start != kEndOfChain && (want < 0 || out.size() < want); ++steps) {
            // No chain without a loop is longer than the file it lies in.
            if (start >= quint32(table.size()) || steps > table.size() ||
                out.size() > m_data.size())
                return std::nullopt;
            const QByteArray s = read(start);
            if (s.isEmpty())
                return std::nullopt;
            out += s;
            start = table.at(int(start));
        }
        return out;
    }

    static std::optional<QByteArray> sized(std::optional<QByteArray> s, quint32 size) {
        if (!s || quint32(s->size()) < size)
            return std::nullopt;
        s->truncate(int(size));
        return s;
    }

    static void appendEntries(QVector<quint32>& to, const QByteArray& from, int count) {
        for (int i = 0; i < count && 4 * i + 4 <= from.size(); ++i)
            to.append(qFromLittleEndian<quint32>(from.constData() + 4 * i));
    }

    bool readFat() {
        // The FAT's own sectors: 109 in the header, the rest in the DIFAT chain.
        QVector<quint32> fatSectors;
        QByteArray header = m_data.mid(76, 436);
        appendEntries(fatSectors, header, 109);
        quint32 next = u32(68);
        const int perSector = m_sector / 4 - 1;
        for (int steps = 0; next < kEndOfChain - 2; ++steps) {
            const QByteArray s = sector(next);
            if (s.isEmpty() || steps > m_data.size() / m_sector)
                return false;
            appendEntries(fatSectors, s, perSector);
            next = qFromLittleEndian<quint32>(s.constData() + 4 * perSector);
        }
        const quint32 count = qMin<quint32>(u32(44), quint32(fatSectors.size()));
        for (quint32 i = 0; i < count; ++i) {
            const QByteArray s = sector(fatSectors.at(int(i)));
            if (s.isEmpty())
                return false;
            appendEntries(m_fat, s, m_sector / 4);
        }
        return !m_fat.isEmpty();
    }

    // A small stream lives in 64-byte sectors of the root entry's stream.
    std::optional<QByteArray> miniStream(const QByteArray& dir, quint32 start, quint32 size) const {
        const auto container = chain(
            qFromLittleEndian<quint32>(dir.constData() + 116), m_fat,
            [this](quint32 s) { return sector(s); },
            qFromLittleEndian<quint32>(dir.constData() + 120));
        const auto miniFatData = chain(
            u32(60), m_fat, [this](quint32 s) { return sector(s); }, qint64(u32(64)) * m_sector);
        if (!container || !miniFatData)
            return std::nullopt;
        QVector<quint32> miniFat;
        appendEntries(miniFat, *miniFatData, miniFatData->size() / 4);
        return chain(
            start, miniFat,
            [&](quint32 s) {
                const qint64 at = qint64(s) * 64;
                return at + 64 <= container->size() ? container->mid(at, 64) : QByteArray();
            },
            size);
    }

    const QByteArray& m_data;
    int m_sector = 512;
    QVector<quint32> m_fat;
};

// BIFF8 records of the workbook stream.
struct Record {
    quint16 type = 0;
    QByteArray data;
};

class Records {
public:
    Records(const QByteArray& stream, qint64 at) : m_s(stream), m_at(at) {}
    bool next(Record* r) {
        if (m_at < 0 || m_at + 4 > m_s.size())
            return false;
        r->type = qFromLittleEndian<quint16>(m_s.constData() + m_at);
        const quint16 len = qFromLittleEndian<quint16>(m_s.constData() + m_at + 2);
        if (m_at + 4 + len > m_s.size())
            return false;
        r->data = m_s.mid(m_at + 4, len);
        m_at += 4 + len;
        return true;
    }

private:
    const QByteArray& m_s;
    qint64 m_at;
};

enum : quint16 {
    kEof = 0x000A,
    kBoundSheet = 0x0085,
    kFormula = 0x0006,
    kString = 0x0207,
};

// Where the first worksheet's records start; -1 when there is none.
qint64 firstWorksheet(const QByteArray& stream) {
    Records globals(stream, 0);
    Record r;
    while (globals.next(&r) && r.type != kEof)
        if (r.type == kBoundSheet && r.data.size() >= 6 && r.data.at(5) == 0)
            return qFromLittleEndian<quint32>(r.data.constData());
    return -1;
}

// The text of a STRING record: a count, a flag for two-byte characters, the characters.
QString stringRecord(const QByteArray& d) {
    if (d.size() < 3)
        return QString();
    const int count = qFromLittleEndian<quint16>(d.constData());
    if (d.at(2) & 1) {
        if (d.size() < 3 + 2 * count)
            return QString();
        QString s(count, Qt::Uninitialized);
        for (int i = 0; i < count; ++i)
            s[i] = QChar(qFromLittleEndian<quint16>(d.constData() + 3 + 2 * i));
        return s;
    }
    return d.size() < 3 + count ? QString() : QString::fromLatin1(d.constData() + 3, count);
}

// An error result by its code, named as the suite shows it.
QString errorName(quint8 code) {
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QString();
    }
}

} // namespace

void WorkbookParser::readXlsFormulas(const QByteArray& file) {
    const auto stream = CompoundFile(file).workbookStream();
    if (!stream)
        return;
    Records sheet(*stream, firstWorksheet(*stream));
    Record r;
    bool textFollows = false;
    int row = 0, col = 0; // of a formula whose text result follows in a STRING record
    while (sheet.next(&r) && r.type != kEof) {
        if (r.type == kString && textFollows) {
            const QString text = stringRecord(r.data);
            if (!text.isEmpty())
                put(row, row, col, col, text);
        }
        textFollows = false;
        if (r.type != kFormula || r.data.size() < 14)
            continue;
        row = qFromLittleEndian<quint16>(r.data.constData()) + 1;
        col = qFromLittleEndian<quint16>(r.data.constData() + 2) + 1;
        bool wanted = false;
        m_wanted.each(row, row, col, col, [&](int, int) { wanted = true; });
        if (!wanted)
            continue;
        const char* value = r.data.constData() + 6;
        if (qFromLittleEndian<quint16>(value + 6) != 0xFFFF) {
            put(row, row, col, col, plainDecimal(qFromLittleEndian<double>(value)));
            continue;
        }
        // Not a number: 0 text (in the next record), 1 boolean, 2 error, 3 empty text.
        if (value[0] == 0)
            textFollows = true;
        else if (value[0] == 1)
            put(row, row, col, col, value[2] ? QStringLiteral("True") : QStringLiteral("False"));
        else if (value[0] == 2 && !errorName(quint8(value[2])).isEmpty())
            put(row, row, col, col, errorName(quint8(value[2])));
    }
}

} // namespace quoteria
