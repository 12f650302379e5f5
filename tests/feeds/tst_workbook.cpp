// The workbook reader: one logical workbook in every file kind, and files built to
// hurt (each refused with its reason). Fixtures are made here: .xlsx by openpyxl,
// .xls by xlwt, the office-style .xlsx and the .ods assembled as zip + XML; the
// ones an office suite wrote are committed under fixtures/ with their script.
#include "feeds/workbook.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <zlib.h>

using namespace quoteria;

class TestWorkbook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void values_data();
    void values();
    void hostile_data();
    void hostile();
    void xlsTextResultCut_data();
    void xlsTextResultCut();
    void xlsChainRunsOn();
    void readCells_data();
    void readCells();

private:
    // A bare name is one of ours; an absolute path a committed fixture.
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QTemporaryDir m_dir;
};

namespace {

const QString kText = QStringLiteral("Zł ünï, \"q\"");

bool python(const QString& script, const QString& out) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, out});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return false;
    }
    return true;
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Entries in order. An entry may declare a size of its own (a lying directory).
struct Entry {
    QString name;
    QByteArray data;
    qint64 declared = -1;
};

void writeZip(const QString& path, const QVector<Entry>& entries) {
    QuaZip zip(path);
    QVERIFY(zip.open(QuaZip::mdCreate));
    for (const Entry& e : entries) {
        QuaZipFile f(&zip);
        if (e.declared < 0) {
            QVERIFY(f.open(QIODevice::WriteOnly, QuaZipNewInfo(e.name)));
            f.write(e.data);
        } else {
            // Deflated here, written raw under whatever size it claims.
            QByteArray z = qCompress(e.data, 9).mid(6);
            z.chop(4);
            QuaZipNewInfo info(e.name);
            info.uncompressedSize = quint64(e.declared);
            const uLong crc =
                crc32(0, reinterpret_cast<const Bytef*>(e.data.constData()), uInt(e.data.size()));
            QVERIFY(f.open(QIODevice::WriteOnly, info, nullptr, quint32(crc), Z_DEFLATED, 9, true));
            f.write(z);
        }
        f.close();
    }
    zip.close();
}

// The workbook and relationship parts of an .xlsx around sheet XML of our own.
QVector<Entry> xlsxParts(const QByteArray& sheet, const QByteArray& strings = QByteArray(),
                         qint64 declared = -1) {
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    QVector<Entry> e{
        {"_rels/.rels", "<Relationships><Relationship Id=\"r1\" Type=\"" + rel +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        // The first sheet in workbook order is not sheet1.xml, and its target is absolute.
        {"xl/workbook.xml",
         "<workbook xmlns:r=\"" + rel +
             "\"><sheets><sheet name=\"Rates\" sheetId=\"2\" r:id=\"rId7\"/>"
             "<sheet name=\"Other\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId7\" Type=\"" +
             rel +
             "/worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/><Relationship Id=\"rId3\" "
             "Type=\"" +
             rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" "
                                     "t=\"inlineStr\"><is><t>wrong sheet</t></is></c>"
                                     "</row></sheetData></worksheet>"},
        {"xl/worksheets/sheet2.xml", sheet, declared},
    };
    if (!strings.isEmpty())
        e.append({"xl/sharedStrings.xml", strings});
    return e;
}

} // namespace

void TestWorkbook::initTestCase() {
    QVERIFY(m_dir.isValid());
    QVERIFY(python(QStringLiteral(R"(
import sys, datetime, openpyxl
wb = openpyxl.Workbook(); ws = wb.active; ws.title = "Rates"
for r in [["Currency", "Buy", "Sell"], ["USD", 3.6725, 3.68], ["EUR", 1.5e-3, 3.0],
          ["Zł ünï, \"q\"", 1234567.891, -0.25], [None, datetime.date(2024, 1, 15), "=B2*2"]]:
    ws.append(r)
ws.cell(row=1000, column=30, value="far")
wb.create_sheet("Other")["A1"] = "wrong sheet"
wb.save(sys.argv[1]))"),
                   file(QStringLiteral("openpyxl.xlsx"))));
    QVERIFY(python(QStringLiteral(R"(
import sys, datetime, xlwt
wb = xlwt.Workbook(); ws = wb.add_sheet("Rates")
for i, r in enumerate([["Currency", "Buy", "Sell"], ["USD", 3.6725, 3.68], ["EUR", 1.5e-3, 3.0],
                       ["Zł ünï, \"q\"", 1234567.891, -0.25]]):
    for j, v in enumerate(r): ws.write(i, j, v)
ws.write(4, 1, datetime.date(2024, 1, 15), xlwt.easyxf(num_format_str="YYYY-MM-DD"))
ws.write(4, 2, 7.345)
ws.write(999, 29, "far")
wb.add_sheet("Other").write(0, 0, "wrong sheet")
wb.save(sys.argv[1]))"),
                   file(QStringLiteral("xlwt.xls"))));

    // As an office suite writes it: shared strings (one in runs, with a phonetic
    // reading to leave out), cached formula results, a boolean, a cell without r.
    writeZip(
        file(QStringLiteral("office.xlsx")),
        xlsxParts(
            "<worksheet><sheetData>"
            "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
            "<c r=\"C1\" t=\"s\"><v>2</v></c></row>"
            "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>3</v></c><c r=\"B2\"><v>3.6725</v></c>"
            "<c><v>3.68</v></c></row>"
            "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>4</v></c><c r=\"B3\"><v>1.5E-3</v></c>"
            "<c r=\"C3\"><v>3.0</v></c></row>"
            "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>5</v></c><c r=\"B4\"><v>1234567.891</v></c>"
            "<c r=\"C4\"><v>-0.25</v></c></row>"
            "<row r=\"5\"><c r=\"A5\" s=\"1\"/><c r=\"B5\" s=\"2\"><v>45306</v></c>"
            "<c r=\"C5\"><f>B2*2</f><v>7.3449999999999998</v></c></row>"
            "<row r=\"6\"><c r=\"A6\" t=\"b\"><v>1</v></c><c r=\"B6\" t=\"str\"><f>A1</f>"
            "<v>Currency</v></c></row>"
            "<row r=\"1000\"><c r=\"AD1000\" t=\"s\"><v>6</v></c></row>"
            "</sheetData></worksheet>",
            "<sst><si><t>Currency</t></si><si><r><t>Bu</t></r><r><t>y</t></r>"
            "<rPh><t>bai</t></rPh></si><si><t>Sell</t></si><si><t>USD</t></si>"
            "<si><t>EUR</t></si><si><t>Zł ünï, &quot;q&quot;</t></si><si><t>far</t></si></sst>"));

    const QByteArray cell =
        "<table:table-cell office:value-type=\"string\"><text:p>%1</text:p></table:table-cell>";
    const auto text = [&](const QByteArray& t) { return QByteArray(cell).replace("%1", t); };
    const auto num = [](const QByteArray& v) {
        return "<table:table-cell office:value-type=\"float\" office:value=\"" + v + "\"><text:p>" +
               v + "</text:p></table:table-cell>";
    };
    const QByteArray content =
        "<office:document-content "
        "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:"
        "spreadsheet>"
        "<table:table table:name=\"Rates\"><table:table-column "
        "table:number-columns-repeated=\"30\"/>"
        "<table:table-row>" +
        text("Currency") + text("Buy") + text("Sell") +
        "</table:table-row>"
        "<table:table-row>" +
        text("USD") + num("3.6725") + num("3.68") +
        "</table:table-row>"
        "<table:table-row>" +
        text("EUR") + num("1.5E-3") + num("3") +
        "</table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"string\"><office:annotation>"
        "<text:p>a note</text:p></office:annotation><text:p>Zł ünï, "
        "\"q\"</text:p></table:table-cell>" +
        num("1234567.891") + num("-0.25") +
        "</table:table-row>"
        "<table:table-row><table:table-cell/><table:table-cell office:value-type=\"date\" "
        "office:date-value=\"2024-01-15\"><text:p>15/01/24</text:p></table:table-cell>"
        "<table:table-cell table:formula=\"of:=[.B2]*2\" office:value-type=\"float\" "
        "office:value=\"7.345\"><text:p>7.35</text:p></table:table-cell></table:table-row>"
        // Rows 6 and 7, columns 1 to 3: one cell repeated both ways.
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell "
        "table:number-columns-repeated=\"3\" office:value-type=\"string\"><text:p>a<text:s "
        "text:c=\"2\"/>b</text:p><text:p>c</text:p></table:table-cell></table:table-row>"
        "<table:table-row><table:table-cell office:value-type=\"boolean\" "
        "office:boolean-value=\"true\"/>"
        "<table:covered-table-cell/><table:table-cell office:value-type=\"time\" "
        "office:time-value=\"PT12H00M00S\"/><table:table-cell office:value-type=\"percentage\" "
        "office:value=\"0.15\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"991\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row>"
        "<table:table-row><table:table-cell table:number-columns-repeated=\"29\"/>" +
        text("far") +
        "</table:table-row><table:table-row "
        "table:number-rows-repeated=\"1047576\"><table:table-cell "
        "table:number-columns-repeated=\"16384\"/></table:table-row></table:table>"
        "<table:table table:name=\"Other\"><table:table-row>" +
        text("wrong sheet") +
        "</table:table-row></table:table></office:spreadsheet></office:body></"
        "office:document-content>";
    writeZip(
        file(QStringLiteral("suite.ods")),
        {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", content}});

    QByteArray far = QByteArray(29, ',') + "far";
    writeFile(file(QStringLiteral("comma.csv")),
              "\xEF\xBB\xBF"
              "Currency,Buy,Sell\r\nUSD,3.6725,3.68\r\nEUR,1.5E-3,3.0\r\n"
              "\"Zł ünï, \"\"q\"\"\",1234567.891,-0.25\r\n,45306,7.345\r\n" +
                  QByteArray(994, '\n').replace("\n", "\r\n") + far + "\r\n");
    writeFile(file(QStringLiteral("semicolon.csv")),
              "Currency;Buy;Sell\nUSD;3.6725;3.68\nEUR;1.5E-3;3.0\n"
              "\"Zł ünï, \"\"q\"\"\";1234567.891;-0.25\n;45306;\"7.345\"\n" +
                  QByteArray(994, '\n') + far.replace(',', ';'));
}

void TestWorkbook::values_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("expected");
    const QStringList files{"openpyxl.xlsx", "office.xlsx", "suite.ods",
                            "xlwt.xls",      "comma.csv",   "semicolon.csv"};
    struct Cell {
        int row, col;
        QString text;
    };
    const Cell common[] = {
        {1, 1, "Currency"}, {1, 2, "Buy"}, {2, 2, "3.6725"}, {2, 3, "3.68"},
        {3, 2, "0.0015"},   {3, 3, "3"},   {4, 1, kText},    {4, 2, "1234567.891"},
        {4, 3, "-0.25"},    {5, 1, ""},    {5, 2, "45306"},  {1000, 30, "far"},
        {1000, 29, ""},     {999, 30, ""}, {2, 40, ""},      {5000, 1, ""},
    };
    for (const QString& f : files) {
        for (const Cell& c : common)
            QTest::addRow("%s %d,%d", qPrintable(f), c.row, c.col) << f << c.row << c.col << c.text;
        // openpyxl stores no result for a formula; everything else has one.
        QTest::addRow("%s formula", qPrintable(f))
            << f << 5 << 3 << (f.startsWith("openpyxl") ? QString() : QStringLiteral("7.345"));
    }
    // Written by a real office suite (tests/feeds/fixtures/make-office.sh): its own
    // exponents and digits, its shared strings, its cached formula results.
    const QString fixtures = QStringLiteral(QUOTERIA_SOURCE_DIR "/tests/feeds/fixtures/");
    const Cell suite[] = {
        {1, 1, "Currency"},
        {2, 2, "3.6725"},
        {2, 3, "3.68"},
        {3, 2, "0.000123456789"},
        {3, 3, "4.1"},
        {4, 1, "Zł ünï  spaced "},
        {4, 2, "123456789012.5"},
        {4, 3, "-0.0725"},
        {5, 2, "0.3"},
        {5, 3, "0.0000001"},
        {6, 1, ""},
        {6, 2, "45306"},
        {6, 3, "7.345"},
        {6, 4, "Zł ünï  spaced !"},
        {7, 1, "GBP"},
        {7, 2, "98765432109876.3"},
        {7, 3, "0.00750000000000028"},
        {7, 4, "USDx"},
        {7, 5, ""},
        {5, 5, "#DIV/0!"},
        {1000, 30, "far"},
        {1000, 29, ""},
        {999, 30, ""},
    };
    for (const char* f : {"office.ods", "office.xls", "office.xlsx"})
        for (const Cell& c : suite)
            QTest::addRow("suite-written %s %d,%d", f, c.row, c.col)
                << fixtures + QLatin1String(f) << c.row << c.col << c.text;
    // A comparison: the suite stores it as a boolean, but as the number 1 in .ods.
    QTest::newRow("suite-written office.ods boolean formula")
        << fixtures + "office.ods" << 6 << 5 << "1";
    QTest::newRow("suite-written office.xls boolean formula")
        << fixtures + "office.xls" << 6 << 5 << "True";
    QTest::newRow("suite-written office.xlsx boolean formula")
        << fixtures + "office.xlsx" << 6 << 5 << "True";
    QTest::newRow("xlsx boolean") << "office.xlsx" << 6 << 1 << "True";
    QTest::newRow("xlsx text formula") << "office.xlsx" << 6 << 2 << "Currency";
    QTest::newRow("ods repeated first") << "suite.ods" << 6 << 1 << "a  b\nc";
    QTest::newRow("ods repeated last") << "suite.ods" << 7 << 3 << "a  b\nc";
    QTest::newRow("ods boolean") << "suite.ods" << 8 << 1 << "True";
    QTest::newRow("ods covered") << "suite.ods" << 8 << 2 << "";
    QTest::newRow("ods time") << "suite.ods" << 8 << 3 << "0.5";
    QTest::newRow("ods percentage") << "suite.ods" << 8 << 4 << "0.15";
    QTest::newRow("ods end of sheet") << "suite.ods" << 1048576 << 16384 << "";
}

void TestWorkbook::values() {
    QFETCH(QString, name);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, expected);
    // Asked together with other cells, as the feed asks.
    const QVector<CellRef> wanted{{row, col}, {1, 1}, {4, 1}, {1000, 30}};
    QString error;
    const auto book = WorkbookCells::read(file(name), wanted, &error);
    QVERIFY2(book, qPrintable(error));
    QCOMPARE(book->text({row, col}), expected);
    QCOMPARE(book->text({1, 1}), QStringLiteral("Currency"));
}

void TestWorkbook::hostile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");

    writeFile(file("empty.xlsx"), QByteArray());
    QTest::newRow("empty file") << "empty.xlsx"
                                << "the file is empty";
    writeFile(file("text.xlsx"), "Currency,Buy\nUSD,3.67\n");
    QTest::newRow("text named xlsx") << "text.xlsx"
                                     << "is not a zip archive";
    writeFile(file("text.xls"), "Currency,Buy\nUSD,3.67\n");
    QTest::newRow("text named xls") << "text.xls"
                                    << "is not an Excel 97-2003 file";
    QTest::newRow("missing file") << "nothing.xlsx"
                                  << "does not exist";

    QFile good(file("openpyxl.xlsx"));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray whole = good.readAll();
    writeFile(file("cut.xlsx"), whole.left(whole.size() * 2 / 3));
    QTest::newRow("archive cut short") << "cut.xlsx"
                                       << "not a zip archive, or it is cut short";

    // A sheet that stops half-way through its XML.
    writeZip(file("halfsheet.xlsx"), xlsxParts("<worksheet><sheetData><row r=\"1\"><c r=\"A1\">"));
    QTest::newRow("sheet cut short") << "halfsheet.xlsx"
                                     << "xl/worksheets/sheet2.xml is cut short";

    // 36 MB of rows that never reach a wanted one: declared honestly, then lying.
    const QByteArray bomb =
        "<worksheet><sheetData>" + QByteArray("<row r=\"1\"/>").repeated(3 << 20);
    writeZip(file("bomb.xlsx"), xlsxParts(bomb));
    QTest::newRow("zip bomb") << "bomb.xlsx"
                              << "xl/worksheets/sheet2.xml is larger than 32 MB";
    writeZip(file("dense.xlsx"), xlsxParts(bomb.left(8 << 20)));
    QTest::newRow("compressed too far") << "dense.xlsx"
                                        << "xl/worksheets/sheet2.xml is compressed beyond 200 to 1";
    writeZip(file("lyingbomb.xlsx"), xlsxParts(bomb, QByteArray(), 4096));
    // The inflater stops at the declared size, and the checksum then fails.
    QTest::newRow("zip bomb, size hidden") << "lyingbomb.xlsx"
                                           << "xl/worksheets/sheet2.xml is damaged";

    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE worksheet [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c)
        laughs += QByteArray("<!ENTITY ") + c + " \"" +
                  QByteArray("&").append(char(c - 1)).append(';').repeated(10) + "\">";
    laughs += "]><worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&j;</t></is>"
              "</c></row></sheetData></worksheet>";
    writeZip(file("laughs.xlsx"), xlsxParts(laughs));
    QTest::newRow("entity expansion") << "laughs.xlsx"
                                      << "declares a document type";
    writeZip(file("laughs.ods"), {{"content.xml", laughs}});
    QTest::newRow("entity expansion, ods") << "laughs.ods"
                                           << "declares a document type";

    writeZip(file("nosheet.xlsx"), xlsxParts("<worksheet/>").mid(0, 3));
    QTest::newRow("sheet part missing") << "nosheet.xlsx"
                                        << "xl/worksheets/sheet2.xml is missing";

    // The compound file's FAT made to send every sector to itself.
    QFile xls(file("xlwt.xls"));
    QVERIFY(xls.open(QIODevice::ReadOnly));
    QByteArray loop = xls.readAll();
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(loop.constData() + at); };
    const int sector = 1 << qFromLittleEndian<quint16>(loop.constData() + 30);
    const int fat = 512 + int(u32(76)) * sector;
    for (int i = 0; i < sector / 4; ++i)
        if (u32(fat + 4 * i) < 0xFFFFFFFA)
            qToLittleEndian<quint32>(quint32(i), loop.data() + fat + 4 * i);
    writeFile(file("fatloop.xls"), loop);
    // FreeXL reads no further than the stream's size, so the loop yields no sheet.
    QTest::newRow("xls FAT loop") << "fatloop.xls"
                                  << "it holds no worksheet";
}

void TestWorkbook::hostile() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QString error;
    const auto book = WorkbookCells::read(file(name), {{1, 1}, {2, 2}}, &error);
    QVERIFY(!book);
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));
}

// A formula's text result claiming more characters than its record holds: the cell
// stays empty, and the rest of the sheet is still read.
void TestWorkbook::xlsTextResultCut_data() {
    QTest::addColumn<QByteArray>("stored"); // the result as stored, after its count
    QTest::addColumn<int>("row");           // in column 4
    QTest::newRow("one-byte characters") << QByteArray("\0USDx", 5) << 7;
    const QString wide = QStringLiteral("Zł ünï  spaced !");
    QTest::newRow("two-byte characters")
        << QByteArray("\1") +
               QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2)
        << 6;
}

void TestWorkbook::xlsTextResultCut() {
    QFETCH(QByteArray, stored);
    QFETCH(int, row);
    QFile f(QStringLiteral(QUOTERIA_SOURCE_DIR "/tests/feeds/fixtures/office.xls"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray data = f.readAll();
    const int at = data.indexOf(stored);
    QVERIFY(at >= 2 && data.indexOf(stored, at + 1) < 0);
    data[at - 2] = char(0xFF);
    data[at - 1] = char(0x7F);
    writeFile(file("cut-result.xls"), data);
    const auto book = WorkbookCells::read(file("cut-result.xls"), {{row, 4}, {6, 3}, {7, 3}});
    QVERIFY(book);
    QCOMPARE(book->text({row, 4}), QString());
    QCOMPARE(book->text({6, 3}), QStringLiteral("7.345"));
    QCOMPARE(book->text({7, 3}), QStringLiteral("0.00750000000000028"));
}

// The chain of the workbook stream's small sectors made to loop after its last one:
// the stream's size ends the read, as it ends FreeXL's.
void TestWorkbook::xlsChainRunsOn() {
    QFile f(QStringLiteral(QUOTERIA_SOURCE_DIR "/tests/feeds/fixtures/office.xls"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray data = f.readAll();
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(data.constData() + at); };
    QCOMPARE(qFromLittleEndian<quint16>(data.constData() + 30), quint16(9));
    const int dir = 512 * (1 + int(u32(48)));
    const int miniFat = 512 * (1 + int(u32(60)));
    QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData() + dir + 128), 8),
             QStringLiteral("Workbook"));
    QVERIFY(u32(dir + 128 + 120) < 4096);
    quint32 last = u32(dir + 128 + 116);
    while (u32(miniFat + 4 * int(last)) != 0xFFFFFFFE)
        last = u32(miniFat + 4 * int(last));
    qToLittleEndian<quint32>(last, data.data() + miniFat + 4 * int(last));
    writeFile(file("chainloop.xls"), data);
    const auto book = WorkbookCells::read(file("chainloop.xls"), {{6, 3}, {6, 4}});
    QVERIFY(book);
    QCOMPARE(book->text({6, 3}), QStringLiteral("7.345"));
    QCOMPARE(book->text({6, 4}), QStringLiteral("Zł ünï  spaced !"));
}

void TestWorkbook::readCells_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    const QString book = file("office.xlsx");
    QTest::newRow("cells") << QStringList{book, "2,2", "5,3", "5,1", "1000,30"} << 0
                           << QByteArray("3.6725\n7.345\n\nfar\n");
    QTest::newRow("unreadable") << QStringList{file("text.xlsx"), "1,1"} << 1 << QByteArray();
    QTest::newRow("no cell") << QStringList{book} << 2 << QByteArray();
    QTest::newRow("nothing") << QStringList{} << 2 << QByteArray();
    QTest::newRow("row 0") << QStringList{book, "0,1"} << 2 << QByteArray();
    QTest::newRow("not numbers") << QStringList{book, "B,2"} << 2 << QByteArray();
    QTest::newRow("one number") << QStringList{book, "2,2", "7"} << 2 << QByteArray();
}

void TestWorkbook::readCells() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QProcess p;
    p.start(qEnvironmentVariable("QUOTERIA_EXE"), QStringList{"--read-cells"} + args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), exitCode);
    QCOMPARE(p.readAllStandardOutput(), out);
    const QByteArray err = p.readAllStandardError();
    QCOMPARE(err.isEmpty(), exitCode == 0);
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
