// The zip + XML workbooks: .xlsx / .xlsm and .ods. Every part is streamed through
// the XML reader in chunks, never inflated beyond its bound, and a document type
// declaration is refused before any entity in it could be expanded.
#include "data/boundedzip.h"
#include "data/formats.h"
#include "feeds/workbookparser.h"

#include <quazip.h>
#include <quazipfileinfo.h>

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace quoteria {

namespace {

// A workbook has a few dozen parts; a directory of millions only costs time.
constexpr int kMaxEntries = 10000;

class XmlPart {
public:
    XmlPart(QuaZip& zip, const QString& name)
        : m_zip(zip), m_name(name), m_entry(&zip, kMaxPartBytes) {}

    bool open() {
        if (!m_zip.setCurrentFile(m_name, QuaZip::csInsensitive))
            return fault(QStringLiteral("is missing"));
        QuaZipFileInfo64 info;
        if (!m_zip.getCurrentFileInfo(&info))
            return fault(QStringLiteral("cannot be read"));
        const QString size = zipSizeFault(info, kMaxPartBytes, kMaxZipRatio);
        if (!size.isEmpty())
            return fault(size);
        QString why;
        return m_entry.open(&why) || fault(why);
    }

    // The next token; Invalid, with why() set, when the part cannot be read on.
    QXmlStreamReader::TokenType next() {
        for (;;) {
            const QXmlStreamReader::TokenType t = xml.readNext();
            if (t == QXmlStreamReader::DTD) {
                fault(QStringLiteral("declares a document type, which a workbook never does"));
                return QXmlStreamReader::Invalid;
            }
            if (t != QXmlStreamReader::Invalid)
                return t;
            if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) {
                fault(QStringLiteral("is not well-formed XML (%1)").arg(xml.errorString()));
                return QXmlStreamReader::Invalid;
            }
            QByteArray chunk;
            QString why;
            if (m_ended || !m_entry.next(&chunk, &why)) {
                fault(m_ended ? QStringLiteral("is cut short") : why);
                return QXmlStreamReader::Invalid;
            }
            m_ended = chunk.isEmpty();
            xml.addData(chunk);
        }
    }

    // The next token into token(); false at the end of the document or on a fault
    // (ok() tells which).
    bool advance() {
        m_token = next();
        return m_token != QXmlStreamReader::Invalid && m_token != QXmlStreamReader::EndDocument;
    }
    QXmlStreamReader::TokenType token() const { return m_token; }

    // Steps to the next start element; false as advance() is.
    bool nextStart() {
        while (advance())
            if (m_token == QXmlStreamReader::StartElement)
                return true;
        return false;
    }

    bool ok() const { return m_why.isEmpty(); }
    const QString& why() const { return m_why; }
    bool fault(const QString& why) {
        m_why = m_name + QLatin1Char(' ') + why;
        return false;
    }

    QXmlStreamReader xml;

private:
    QuaZip& m_zip;
    QString m_name;
    BoundedZipEntry m_entry;
    bool m_ended = false;
    QXmlStreamReader::TokenType m_token = QXmlStreamReader::NoToken;
    QString m_why;
};

// An attribute by its local name, whatever prefix the writer chose.
QStringView attr(const QXmlStreamReader& xml, QLatin1String local, bool namespaced = false) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == local && (!namespaced || !a.namespaceUri().isEmpty()))
            return a.value();
    return {};
}

bool openZip(QuaZip& zip, WorkbookParser& p) {
    if (!zip.open(QuaZip::mdUnzip))
        return p.fail(QStringLiteral("it is not a zip archive, or it is cut short"));
    const int count = zip.getEntriesCount();
    if (count < 1 || count > kMaxEntries)
        return p.fail(QStringLiteral("it holds %1 files, not a workbook's few").arg(count));
    return true;
}

// ---- .xlsx ----

struct Relation {
    QString type;
    QString target; // a path inside the archive
};

// The relationships of part `of` ("" for the package), targets resolved to paths.
std::optional<QHash<QString, Relation>> relations(QuaZip& zip, const QString& of,
                                                  WorkbookParser& p) {
    const QString folder = of.contains(QLatin1Char('/'))
                               ? of.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/')
                               : QString();
    const QString file = of.section(QLatin1Char('/'), -1);
    XmlPart part(zip, folder + QLatin1String("_rels/") + file + QLatin1String(".rels"));
    QHash<QString, Relation> out;
    if (!part.open()) {
        p.fail(part.why());
        return std::nullopt;
    }
    while (part.nextStart()) {
        if (part.xml.name() != QLatin1String("Relationship"))
            continue;
        QString target = attr(part.xml, QLatin1String("Target")).toString();
        target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : folder + target;
        out.insert(attr(part.xml, QLatin1String("Id")).toString(),
                   {attr(part.xml, QLatin1String("Type")).toString(), QDir::cleanPath(target)});
    }
    if (!part.ok()) {
        p.fail(part.why());
        return std::nullopt;
    }
    return out;
}

std::optional<Relation> relationOfType(const QHash<QString, Relation>& rels, QLatin1String type) {
    for (const Relation& r : rels)
        if (r.type.endsWith(type))
            return r;
    return std::nullopt;
}

// "BC12" -> column 55, row 12; zeros when it is no cell reference.
void parseRef(QStringView ref, qint64* row, qint64* col) {
    qint64 c = 0, r = 0;
    int i = 0;
    for (; i < ref.size() && i < 3 && ref[i] >= QLatin1Char('A') && ref[i] <= QLatin1Char('Z'); ++i)
        c = c * 26 + (ref[i].unicode() - 'A' + 1);
    const int digits = i;
    for (; i < ref.size() && i - digits < 8 && ref[i].isDigit(); ++i)
        r = r * 10 + ref[i].digitValue();
    const bool ok = digits > 0 && i > digits && i == ref.size();
    *row = ok ? r : 0;
    *col = ok ? c : 0;
}

class XlsxReader {
public:
    XlsxReader(QuaZip& zip, WorkbookParser& p) : m_zip(zip), m_p(p) {}

    bool run() {
        const auto package = relations(m_zip, QString(), m_p);
        if (!package)
            return false;
        const auto doc = relationOfType(*package, QLatin1String("/officeDocument"));
        const QString workbook = doc ? doc->target : QStringLiteral("xl/workbook.xml");
        const auto rels = relations(m_zip, workbook, m_p);
        if (!rels)
            return false;
        QString sheet;
        if (!firstWorksheet(workbook, *rels, &sheet) || !readSheet(sheet))
            return false;
        if (m_shared.isEmpty())
            return true;
        const auto strings = relationOfType(*rels, QLatin1String("/sharedStrings"));
        return readSharedStrings(strings ? strings->target
                                         : QStringLiteral("xl/sharedStrings.xml"));
    }

private:
    bool firstWorksheet(const QString& workbook, const QHash<QString, Relation>& rels,
                        QString* sheet) {
        XmlPart part(m_zip, workbook);
        if (!part.open())
            return m_p.fail(part.why());
        // Sheets in workbook order; chart sheets are not worksheets.
        while (part.nextStart()) {
            if (part.xml.name() != QLatin1String("sheet"))
                continue;
            const Relation r = rels.value(attr(part.xml, QLatin1String("id"), true).toString());
            if (r.type.endsWith(QLatin1String("/worksheet"))) {
                *sheet = r.target;
                return true;
            }
        }
        return m_p.fail(part.ok() ? QStringLiteral("it holds no worksheet") : part.why());
    }

    bool readSheet(const QString& name) {
        XmlPart part(m_zip, name);
        if (!part.open())
            return m_p.fail(part.why());
        QXmlStreamReader& xml = part.xml;
        const qint64 lastRow = m_p.wanted().lastRow();
        qint64 row = 0, col = 0;
        bool wanted = false, capture = false, skipRow = false;
        int phonetic = 0;
        QString type, value, inlineText;
        while (part.advance()) {
            const auto t = part.token();
            if (t == QXmlStreamReader::Characters) {
                if (capture && !phonetic)
                    (type == QLatin1String("inlineStr") ? inlineText : value) += xml.text();
                continue;
            }
            const QStringView tag = xml.name();
            if (skipRow) {
                skipRow = !(t == QXmlStreamReader::EndElement && tag == QLatin1String("row"));
                continue;
            }
            if (t == QXmlStreamReader::StartElement) {
                if (tag == QLatin1String("row")) {
                    qint64 r = attr(xml, QLatin1String("r")).toLongLong();
                    row = r > 0 ? r : row + 1;
                    col = 0;
                    // Rows come in ascending order: nothing wanted lies further on.
                    if (row > lastRow)
                        return true;
                    // A numbered row without wanted cells is passed over whole.
                    skipRow = r > 0 && !m_p.wanted().anyInRows(row, row);
                } else if (tag == QLatin1String("c")) {
                    qint64 r = 0, c = 0;
                    parseRef(attr(xml, QLatin1String("r")), &r, &c);
                    col = c > 0 ? c : col + 1;
                    if (r > 0)
                        row = r;
                    type = attr(xml, QLatin1String("t")).toString();
                    value.clear();
                    inlineText.clear();
                    wanted = false;
                    m_p.wanted().each(row, row, col, col, [&](int, int) { wanted = true; });
                } else if (tag == QLatin1String("v") ||
                           (tag == QLatin1String("t") && type == QLatin1String("inlineStr"))) {
                    capture = wanted;
                } else if (tag == QLatin1String("rPh")) {
                    ++phonetic;
                }
            } else if (t == QXmlStreamReader::EndElement) {
                if (tag == QLatin1String("v") || tag == QLatin1String("t"))
                    capture = false;
                else if (tag == QLatin1String("rPh"))
                    --phonetic;
                else if (tag == QLatin1String("c") && wanted)
                    cell(row, col, type, value, inlineText);
            }
        }
        return part.ok() || m_p.fail(part.why());
    }

    void cell(qint64 row, qint64 col, const QString& type, const QString& v, const QString& inl) {
        QString text;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int index = v.trimmed().toInt(&ok);
            if (ok && index >= 0)
                m_shared[index].append({int(row), int(col)});
            return;
        }
        if (type == QLatin1String("inlineStr"))
            text = inl;
        else if (type == QLatin1String("b"))
            text = v.isEmpty()                         ? QString()
                   : v.trimmed() == QLatin1String("1") ? QStringLiteral("True")
                                                       : QStringLiteral("False");
        else if (type == QLatin1String("d"))
            text = v.isEmpty() ? QString() : serialFromIsoDate(v.trimmed());
        else if (type == QLatin1String("str") || type == QLatin1String("e"))
            text = v;
        else {
            bool ok = false;
            const double d = v.trimmed().toDouble(&ok);
            text = ok ? plainDecimal(d) : v;
        }
        if (!text.isEmpty())
            m_p.put(row, row, col, col, text);
    }

    bool readSharedStrings(const QString& name) {
        XmlPart part(m_zip, name);
        if (!part.open())
            return m_p.fail(part.why());
        const int last = m_shared.lastKey();
        int index = -1, phonetic = 0;
        bool capture = false;
        QString text;
        while (part.advance()) {
            const auto t = part.token();
            const QStringView tag = part.xml.name();
            if (t == QXmlStreamReader::Characters && capture && !phonetic)
                text += part.xml.text();
            else if (t == QXmlStreamReader::StartElement && tag == QLatin1String("si")) {
                ++index;
                text.clear();
            } else if (t == QXmlStreamReader::StartElement && tag == QLatin1String("t"))
                capture = m_shared.contains(index);
            else if (t == QXmlStreamReader::StartElement && tag == QLatin1String("rPh"))
                ++phonetic;
            else if (t == QXmlStreamReader::EndElement && tag == QLatin1String("rPh"))
                --phonetic;
            else if (t == QXmlStreamReader::EndElement && tag == QLatin1String("t"))
                capture = false;
            else if (t == QXmlStreamReader::EndElement && tag == QLatin1String("si")) {
                for (const CellRef& c : m_shared.value(index))
                    m_p.put(c.row, c.row, c.col, c.col, text);
                if (index >= last)
                    return true;
            }
        }
        return part.ok() || m_p.fail(part.why());
    }

    QuaZip& m_zip;
    WorkbookParser& m_p;
    QMap<int, QVector<CellRef>> m_shared; // shared string index -> cells showing it
};

// ---- .ods ----

// "PT12H30M00S" -> the fraction of a day, as plain decimal.
QString serialFromDuration(QStringView iso) {
    static const QRegularExpression re(QStringLiteral(
        "^(-)?P(?:(\\d+)D)?(?:T(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+(?:\\.\\d+)?)S)?)?$"));
    const QRegularExpressionMatch m = re.match(iso);
    if (!m.hasMatch())
        return QString();
    const double days = m.captured(2).toDouble() + m.captured(3).toDouble() / 24 +
                        m.captured(4).toDouble() / 1440 + m.captured(5).toDouble() / 86400;
    return plainDecimal(m.capturedLength(1) ? -days : days);
}

class OdsReader {
public:
    OdsReader(QuaZip& zip, WorkbookParser& p)
        : m_part(zip, QStringLiteral("content.xml")), m_p(p) {}

    bool run() {
        if (!m_part.open())
            return m_p.fail(m_part.why());
        QXmlStreamReader& xml = m_part.xml;
        const qint64 lastRow = m_p.wanted().lastRow();
        int tables = 0; // nesting: a cell may hold a table of its own
        bool seenTable = false;
        qint64 row = 1, rows = 1, col = 1, cols = 1;
        bool rowWanted = false, cellWanted = false;
        int note = 0, paragraphs = 0;
        QString text, value;
        while (m_part.advance()) {
            const auto t = m_part.token();
            const QStringView tag = xml.name();
            if (t == QXmlStreamReader::Characters) {
                if (cellWanted && !note && paragraphs)
                    text += xml.text();
                continue;
            }
            if (t == QXmlStreamReader::StartElement) {
                if (tag == QLatin1String("table")) {
                    seenTable = true;
                    ++tables;
                } else if (tables != 1) {
                    continue;
                } else if (tag == QLatin1String("table-row")) {
                    rows = repeat(xml, QLatin1String("number-rows-repeated"));
                    if (row > lastRow)
                        return true;
                    rowWanted = m_p.wanted().anyInRows(row, row + rows - 1);
                    col = 1;
                } else if (tag == QLatin1String("table-cell") ||
                           tag == QLatin1String("covered-table-cell")) {
                    cols = repeat(xml, QLatin1String("number-columns-repeated"));
                    cellWanted = false;
                    if (rowWanted)
                        m_p.wanted().each(row, row + rows - 1, col, col + cols - 1,
                                          [&](int, int) { cellWanted = true; });
                    text.clear();
                    paragraphs = 0;
                    value = cellWanted ? typedValue(xml) : QString();
                } else if (!cellWanted || note) {
                    if (tag == QLatin1String("annotation"))
                        ++note;
                } else if (tag == QLatin1String("annotation")) {
                    ++note;
                } else if (tag == QLatin1String("p")) {
                    if (paragraphs++)
                        text += QLatin1Char('\n');
                } else if (tag == QLatin1String("s")) {
                    const qint64 n = attr(xml, QLatin1String("c")).toLongLong();
                    text += QString(int(qBound(qint64(1), n, qint64(1000))), QLatin1Char(' '));
                } else if (tag == QLatin1String("tab")) {
                    text += QLatin1Char('\t');
                } else if (tag == QLatin1String("line-break")) {
                    text += QLatin1Char('\n');
                }
            } else if (t == QXmlStreamReader::EndElement) {
                if (tag == QLatin1String("table")) {
                    if (--tables == 0)
                        return true; // the first sheet is done
                } else if (tables != 1) {
                    continue;
                } else if (tag == QLatin1String("annotation")) {
                    --note;
                } else if (tag == QLatin1String("table-row")) {
                    row += rows;
                } else if (tag == QLatin1String("table-cell") ||
                           tag == QLatin1String("covered-table-cell")) {
                    if (cellWanted)
                        m_p.put(row, row + rows - 1, col, col + cols - 1,
                                value.isNull() ? text : value);
                    cellWanted = false;
                    col += cols;
                }
            }
        }
        if (!m_part.ok())
            return m_p.fail(m_part.why());
        return seenTable || m_p.fail(QStringLiteral("it holds no sheet"));
    }

private:
    static qint64 repeat(const QXmlStreamReader& xml, QLatin1String name) {
        // Within the sheet's bounds, so positions never overflow.
        return qBound(qint64(1), attr(xml, name).toLongLong(), qint64(1) << 24);
    }

    // The value a typed cell holds in its attributes; null for text.
    static QString typedValue(const QXmlStreamReader& xml) {
        // A formula's error: typed as an empty string, its name only in the paragraph.
        for (const QXmlStreamAttribute& a : xml.attributes())
            if (a.name() == QLatin1String("value-type") && a.value() == QLatin1String("error"))
                return QString();
        const QStringView type = attr(xml, QLatin1String("value-type"));
        if (type == QLatin1String("float") || type == QLatin1String("percentage") ||
            type == QLatin1String("currency")) {
            bool ok = false;
            const QStringView v = attr(xml, QLatin1String("value"));
            const double d = v.toDouble(&ok);
            return ok ? plainDecimal(d) : v.toString();
        }
        if (type == QLatin1String("date"))
            return serialFromIsoDate(attr(xml, QLatin1String("date-value")).toString());
        if (type == QLatin1String("time"))
            return serialFromDuration(attr(xml, QLatin1String("time-value")));
        if (type == QLatin1String("boolean"))
            return attr(xml, QLatin1String("boolean-value")) == QLatin1String("true")
                       ? QStringLiteral("True")
                       : QStringLiteral("False");
        const QStringView s = attr(xml, QLatin1String("string-value"));
        return s.isNull() ? QString() : s.toString();
    }

    XmlPart m_part;
    WorkbookParser& m_p;
};

} // namespace

bool WorkbookParser::readXlsx(const QString& path) {
    QuaZip zip(path);
    if (!openZip(zip, *this))
        return false;
    return XlsxReader(zip, *this).run();
}

bool WorkbookParser::readOds(const QString& path) {
    QuaZip zip(path);
    if (!openZip(zip, *this))
        return false;
    return OdsReader(zip, *this).run();
}

} // namespace quoteria
