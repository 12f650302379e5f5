#include "news/rtftohtml.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace quoteria;

class TestRtfToHtml : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void table_data();
    void table();
    void defaultSizeCarriesOver();
    void escapes_data();
    void escapes();
    void colourTable_data();
    void colourTable();
    void nesting_data();
    void nesting();
    void bullets_data();
    void bullets();
    void alignment_data();
    void alignment();
    void fonts_data();
    void fonts();
    void hostileInput_data();
    void hostileInput();
    void hostileTablesSearchLinearly_data();
    void hostileTablesSearchLinearly();
    void randomInputIsBalanced();
    void inputBytes_data();
    void inputBytes();
    void commandLine();
    void benchmarkOneMegabyte();
};

namespace {
const QString kCenter = QStringLiteral("<table width=100%><tr><td align=\"center\">");
const QString kRight = QStringLiteral("<table width=100%><tr><td align=\"right\">");
const QString kEndTable = QStringLiteral("</td></tr></table>");
const QString kHeader = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
    "Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}\r\n"
    "\\viewkind4\\uc1");

QString convert(const QString& rtf, const QString& options = QStringLiteral("0")) {
    RtfToHtml c;
    return c.convert(rtf, options);
}

// Every tag opened is closed, in reverse order.
bool balanced(const QString& html, QString* why = nullptr) {
    QStringList open;
    static const QRegularExpression tag(QStringLiteral("<(/?)([a-z]+)[^>]*>"));
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString name = m.captured(2);
        if (name == QLatin1String("br"))
            continue;
        if (m.captured(1).isEmpty()) {
            open << name;
        } else if (open.isEmpty() || open.takeLast() != name) {
            if (why)
                *why = QStringLiteral("stray </%1> at %2").arg(name).arg(m.capturedStart());
            return false;
        }
    }
    if (!open.isEmpty() && why)
        *why = QStringLiteral("unclosed ") + open.join(QLatin1Char(','));
    // Tables, rows and cells come and go together.
    return open.isEmpty();
}
} // namespace

void TestRtfToHtml::table_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("html");
    QTest::newRow("paragraph") << "{\\rtf1 Hello\\par World}"
                               << "0"
                               << "Hello<br>World";
    QTest::newRow("bold closes before next text") << "a \\b b\\b0  c"
                                                  << "0"
                                                  << "a <b>b</b> c";
    QTest::newRow("no trailing break") << "A\\par B\\par"
                                       << "0"
                                       << "A<br>B";
    QTest::newRow("centred") << "\\pard\\qc text\\par\\pard"
                             << "0" << kCenter + "text" + kEndTable;
    QTest::newRow("e acute") << "\\'e9"
                             << "0"
                             << "&eacute;";
    QTest::newRow("ellipsis") << "\\'85"
                              << "0"
                              << "...";
    QTest::newRow("trade mark") << "\\'99"
                                << "0"
                                << "<sup>TM</sup>";
    QTest::newRow("size span") << "\\fs20 x"
                               << "0"
                               << "<font><span style=font-size:10px>x</span></font>";
    QTest::newRow("default size not written") << "\\fs20 x"
                                              << "+F=2"
                                              << "x";
    QTest::newRow("leading spaces") << "one\\par   two  spaces"
                                    << "0"
                                    << "one<br>&nbsp;&nbsp;two  spaces";
    QTest::newRow("spaces inside a line stay") << "a  b\\par c"
                                               << "0"
                                               << "a  b<br>c";
    QTest::newRow("colour 0 changes nothing") << "{\\colortbl ;\\red255\\green0\\blue0;}\\cf0 x"
                                              << "0"
                                              << "{}x";
    QTest::newRow("colour beyond table changes nothing")
        << "{\\colortbl ;\\red255\\green0\\blue0;}\\cf2 x"
        << "0"
        << "{}x";
    QTest::newRow("CR option") << "A\\par B\\par C"
                               << "+CR"
                               << "A<br>\r\nB<br>\r\nC";
}

void TestRtfToHtml::table() {
    QFETCH(QString, rtf);
    QFETCH(QString, options);
    QFETCH(QString, html);
    // The "{}" left where a table was cut out are text-less braces.
    QCOMPARE(convert(rtf, options).remove(QStringLiteral("{}")),
             QString(html).remove(QStringLiteral("{}")));
}

void TestRtfToHtml::defaultSizeCarriesOver() {
    RtfToHtml c;
    QCOMPARE(c.convert(QStringLiteral("\\fs20 x"), QStringLiteral("+F=2")), QStringLiteral("x"));
    // No "+F=": the previous default stays.
    QCOMPARE(c.convert(QStringLiteral("\\fs20 x"), QStringLiteral("0")), QStringLiteral("x"));
    QCOMPARE(c.convert(QStringLiteral("\\fs20 x"), QStringLiteral("+F=3")),
             QStringLiteral("<font><span style=font-size:10px>x</span></font>"));
    QCOMPARE(c.defaultSize(), 3);
}

void TestRtfToHtml::escapes_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("html");
    QTest::newRow("00") << "a\\'00b"
                        << "a&nbsp;b";
    QTest::newRow("a0 is nothing") << "a\\'a0b"
                                   << "ab";
    QTest::newRow("ae is nothing") << "a\\'aeb"
                                   << "ab";
    QTest::newRow("a1") << "\\'a1"
                        << "&iexcl;";
    QTest::newRow("e4") << "\\'e4"
                        << "&auml;";
    QTest::newRow("ff") << "\\'ff"
                        << "&yuml;";
    QTest::newRow("upper-case digits") << "\\'E9"
                                       << "&eacute;";
    QTest::newRow("9a") << "\\'9a" << QString(QChar(0x0691));
    QTest::newRow("9e") << "x\\'9ey"
                        << "x" + QString(QChar(0x200D)) + "y";
    QTest::newRow("other code") << "a\\'41b"
                                << "ab";
    QTest::newRow("escape joins the text after it") << "caf\\'e9 au lait"
                                                    << "caf&eacute; au lait";
    QTest::newRow("tab") << "a\\tab b"
                         << "a\tb";
    QTest::newRow("escaped braces") << "a\\{b\\}c\\\\d"
                                    << "a{b}c\\d";
    QTest::newRow("unicode with stand-in") << "x\\u8364?y"
                                           << "x&#8364;y";
    QTest::newRow("negative unicode") << "\\u-3 ?"
                                      << "&#65533;";
    QTest::newRow("trade mark in bold") << "\\b A\\'99 B\\b0"
                                        << "<b>A<sup>TM</sup> B</b>";
}

void TestRtfToHtml::escapes() {
    QFETCH(QString, rtf);
    QFETCH(QString, html);
    QCOMPARE(convert(rtf), html);
}

void TestRtfToHtml::colourTable_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("html");
    QTest::newRow("first colour") << kHeader + "\\cf1 red"
                                  << "<font color=\"#FF0000\">red</font>";
    QTest::newRow("second colour, hex padded") << kHeader + "\\cf2 blue"
                                               << "<font color=\"#0080FF\">blue</font>";
    QTest::newRow("back to automatic") << kHeader + "\\cf1 red\\cf0  plain"
                                       << "<font color=\"#FF0000\">red</font> plain";
    QTest::newRow("over 255 clamps") << "{\\colortbl ;\\red999\\green1\\blue16;}\\cf1 x"
                                     << "<font color=\"#FF0110\">x</font>";
    QTest::newRow("unclosed table") << "{\\colortbl ;\\red1\\green2\\blue3;\\cf1 x"
                                    << "";
}

void TestRtfToHtml::colourTable() {
    QFETCH(QString, rtf);
    QFETCH(QString, html);
    QCOMPARE(convert(rtf).remove(QStringLiteral("{}")), html);
}

void TestRtfToHtml::nesting_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("html");
    QTest::newRow("bold italic, close outer first") << "\\b a\\i b\\b0 c\\i0 d"
                                                    << "<b>a<i>b</i></b><i>c</i>d";
    QTest::newRow("underline and strike") << "\\ul u\\strike s\\strike0 t\\ulnone  v"
                                          << "<u>u<s>s</s>t</u> v";
    QTest::newRow("bold twice is one tag") << "\\b a\\b b\\b0"
                                           << "<b>ab</b>";
    QTest::newRow("sub and super") << "x\\sub 2\\nosupersub y\\super 3\\nosupersub"
                                   << "x<sub>2</sub>y<sup>3</sup>";
    QTest::newRow("colour inside bold survives closing bold")
        << kHeader + "\\b\\cf1 a\\b0 b"
        << "<b><font color=\"#FF0000\">a</font></b><font color=\"#FF0000\">b</font>";
    QTest::newRow("colour change inside bold keeps bold")
        << kHeader + "\\f0\\b\\cf1 a\\cf2 b\\b0"
        << "<b><font face=\"Arial\" color=\"#FF0000\">a</font>"
           "<font face=\"Arial\" color=\"#0080FF\">b</font></b>";
    QTest::newRow("group end closes everything") << "{\\b\\i x}y"
                                                 << "<b><i>x</i></b>y";
    QTest::newRow("plain") << "\\b\\ul x\\plain y"
                           << "<b><u>x</u></b>y";
    QTest::newRow("ignored groups") << "a{\\*\\generator Riched20;}b{\\pict\\wmetafile8 0101{x}}c"
                                    << "abc";
    QTest::newRow("unknown words ignored") << "\\lang1033\\highlight2 x"
                                           << "x";
}

void TestRtfToHtml::nesting() {
    QFETCH(QString, rtf);
    QFETCH(QString, html);
    const QString out = convert(rtf).remove(QStringLiteral("{}"));
    QCOMPARE(out, html);
    QString why;
    QVERIFY2(balanced(out, &why), qPrintable(why));
}

void TestRtfToHtml::bullets_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("html");
    const QString item = QStringLiteral("{\\pntext\\f2\\'B7\\tab}");
    const QString pn = QStringLiteral("{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}");
    QTest::newRow("two items then plain")
        << kHeader + "\\pard" + item + pn + "\\fi-720\\li720 one\\par\r\n" + item +
               "two\\par\r\n\\pard plain\\par"
        << "0"
        << "<li>one</li><li>two</li>plain";
    QTest::newRow("CR after items")
        << kHeader + "\\pard" + item + pn + "\\fi-720\\li720 one\\par\r\n" + item + "two\\par"
        << "+CR"
        << "<li>one</li>\r\n<li>two</li>\r\n";
    QTest::newRow("item keeps its colour")
        << kHeader + "\\pard" + item + pn + "\\cf1 one\\par\r\n" + item + "two\\par"
        << "0"
        << "<li><font color=\"#FF0000\">one</font></li><li><font color=\"#FF0000\">two</font></li>";
    QTest::newRow("bullet word") << "\\bullet x"
                                 << "0"
                                 << "<li>x</li>";
    QTest::newRow("text then list")
        << kHeader + "\\pard intro\\par\r\n\\pard" + item + pn + "one\\par"
        << "0"
        << "intro<br><li>one</li>";
}

void TestRtfToHtml::bullets() {
    QFETCH(QString, rtf);
    QFETCH(QString, options);
    QFETCH(QString, html);
    const QString out = convert(rtf, options).remove(QStringLiteral("{}"));
    QCOMPARE(out, html);
    QVERIFY(balanced(out));
}

void TestRtfToHtml::alignment_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("html");
    QTest::newRow("right") << "\\pard\\qr r\\par" << kRight + "r" + kEndTable;
    QTest::newRow("centre then left")
        << "\\pard\\qc c\\par\r\n\\pard l\\par" << kCenter + "c" + kEndTable + "<br>l";
    QTest::newRow("centre then right")
        << "\\pard\\qc c\\par\r\n\\pard\\qr r"
        << kCenter + "c" + kEndTable + "<br>" + kRight + "r" + kEndTable;
    QTest::newRow("qr replaces a pending qc") << "\\pard\\qc\\qr x" << kRight + "x" + kEndTable;
    QTest::newRow("table outside the font")
        << kHeader + "\\pard\\qc\\cf1 c"
        << kCenter + "<font color=\"#FF0000\">c</font>" + kEndTable;
    QTest::newRow("mid-line alignment is set aside") << "\\pard a\\qc b\\par c"
                                                     << "ab<br>c";
}

void TestRtfToHtml::alignment() {
    QFETCH(QString, rtf);
    QFETCH(QString, html);
    const QString out = convert(rtf).remove(QStringLiteral("{}"));
    QCOMPARE(out, html);
    QVERIFY(balanced(out));
}

void TestRtfToHtml::fonts_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("html");
    QTest::newRow("face and size")
        << kHeader + "\\pard\\f0\\fs40 a"
        << "0"
        << "<font face=\"Arial\"><span style=font-size:25px>a</span></font>";
    QTest::newRow("font change closes and reopens")
        << kHeader + "\\pard\\f0 a\\f1 b"
        << "0"
        << "<font face=\"Arial\">a</font><font face=\"Times New Roman\">b</font>";
    QTest::newRow("unchanged font is written once") << kHeader + "\\pard\\f0 a\\b b\\b0 c"
                                                    << "0"
                                                    << "<font face=\"Arial\">a<b>b</b>c</font>";
    QTest::newRow("faces off") << kHeader + "\\pard\\f0\\cf1 a"
                               << "-FF"
                               << "<font color=\"#FF0000\">a</font>";
    QTest::newRow("missing font index") << kHeader + "\\pard\\f9 a"
                                        << "0"
                                        << "a";
    QTest::newRow("tiny size is 1") << "\\fs3 a"
                                    << "0"
                                    << "<font><span style=font-size:5px>a</span></font>";
    QTest::newRow("overlong face is cut")
        << "{\\fonttbl{\\f0\\fnil " + QString(100, QLatin1Char('A')) + ";}}\\f0 a"
        << "0"
        << "<font face=\"" + QString(64, QLatin1Char('A')) + "\">a</font>";
    QTest::newRow("size back to default") << "\\fs40 a\\fs14 b"
                                          << "+F=2"
                                          << "<font><span style=font-size:25px>a</span></font>b";
}

void TestRtfToHtml::fonts() {
    QFETCH(QString, rtf);
    QFETCH(QString, options);
    QFETCH(QString, html);
    const QString out = convert(rtf, options).remove(QStringLiteral("{}"));
    QCOMPARE(out, html);
    QVERIFY(balanced(out));
}

void TestRtfToHtml::hostileInput_data() {
    QTest::addColumn<QString>("rtf");
    QTest::newRow("empty") << "";
    QTest::newRow("braces only") << "{{{{}}";
    QTest::newRow("closing braces") << "}}}}a}}";
    QTest::newRow("truncated word") << "{\\rtf1 a\\";
    QTest::newRow("truncated escape") << "a\\'e";
    QTest::newRow("truncated escape 2") << "a\\'";
    QTest::newRow("huge size") << "\\fs99999999999999999999999 x";
    QTest::newRow("huge colour") << "{\\colortbl ;\\red1;}\\cf99999999999999999999 x";
    QTest::newRow("font table without end") << "{\\fonttbl{\\f0 Arial;}{\\f1 ";
    QTest::newRow("font table no space") << "{\\fonttbl{\\f0\\f1\\f2}}x";
    QTest::newRow("colour table only") << "\\colortbl";
    QTest::newRow("skip group never closed") << "{\\*\\x a b c";
    QTest::newRow("binary") << QString::fromLatin1("\x01\x02\xff\\\x80{\\'\xff\xfe}", 11);
    QTest::newRow("many italics") << QString("\\i x").repeated(5000);
    QTest::newRow("many groups") << QString("{\\b{\\i{\\ul x").repeated(3000);
    QTest::newRow("bullet storm") << QString("\\bullet\\pntext\\pnlvlblt").repeated(3000) + "x";
    QTest::newRow("long line") << QString("ab\\'e9 ").repeated(100000);
}

void TestRtfToHtml::hostileInput() {
    QFETCH(QString, rtf);
    const QString out = convert(rtf);
    QString why;
    QVERIFY2(balanced(out, &why), qPrintable(why));
}

namespace {
QString repeatedTo(const QString& unit, qsizetype size) {
    QString s;
    while (s.size() < size)
        s += unit;
    return s;
}
} // namespace

void TestRtfToHtml::hostileTablesSearchLinearly_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("html");
    const qsizetype n = 40000;
    const QString tail = QStringLiteral("\\cf1 a\\cf2 b");
    QTest::newRow("red only") << "{\\colortbl ;" + repeatedTo("\\red1;", n) + "}" + tail
                              << "<font color=\"#010000\">a</font><font color=\"#010000\">b</font>";
    QTest::newRow("red and green") << "{\\colortbl ;" + repeatedTo("\\red1\\green2;", n) + "}" + tail
                                   << "<font color=\"#010200\">a</font><font color=\"#010200\">b</font>";
    QTest::newRow("red and blue") << "{\\colortbl ;" + repeatedTo("\\red1\\blue3;", n) + "}" + tail
                                  << "<font color=\"#010003\">a</font><font color=\"#010003\">b</font>";
    QTest::newRow("bare red") << "{\\colortbl ;" + repeatedTo("\\red", n) + "}" + tail
                              << "<font color=\"#000000\">a</font><font color=\"#000000\">b</font>";
    QTest::newRow("green only") << "{\\colortbl ;" + repeatedTo("\\green2;", n) + "}" + tail
                                << "ab";
    QTest::newRow("table never closed") << "{\\colortbl ;" + repeatedTo("\\red1;", n) << "";
    QTest::newRow("fonts without names") << "{\\fonttbl" + repeatedTo("{\\f0\\fnil;}", n) + "}x"
                                         << "x";
    QTest::newRow("fonts") << "{\\fonttbl" + repeatedTo("{\\f0\\fnil Arial;}", n) + "}\\f0 x"
                           << "<font face=\"Arial\">x</font>";
    QTest::newRow("stylesheet") << "{\\stylesheet" + repeatedTo("{\\s1 h;}", n) + "}x" << "x";
}

void TestRtfToHtml::hostileTablesSearchLinearly() {
    QFETCH(QString, rtf);
    QFETCH(QString, html);
    RtfToHtml c;
    QCOMPARE(c.convert(rtf, QStringLiteral("0")).remove(QStringLiteral("{}")), html);
    // Each table keyword, group cut and table field is searched for over the
    // document at most once: a bound in the document's size, not in the number
    // of entries times that size.
    QVERIFY2(c.searchedChars() <= 16 * rtf.size(),
             qPrintable(QStringLiteral("%1 characters searched for %2 of RTF")
                            .arg(c.searchedChars())
                            .arg(rtf.size())));
}

void TestRtfToHtml::randomInputIsBalanced() {
    const QStringList words = {"\\b",
                               "\\b0",
                               "\\i",
                               "\\i0",
                               "\\ul",
                               "\\ulnone",
                               "\\strike",
                               "\\strike0",
                               "\\super",
                               "\\sub",
                               "\\nosupersub",
                               "\\cf1",
                               "\\cf2",
                               "\\cf0",
                               "\\fs30",
                               "\\f1",
                               "\\f0",
                               "\\par",
                               "\\pard",
                               "\\plain",
                               "\\qc",
                               "\\qr",
                               "{",
                               "}",
                               "\\bullet",
                               "{\\pntext\\f2\\'B7\\tab}",
                               "\\'e9",
                               "\\'99",
                               " ",
                               "text",
                               "\\tab",
                               "\r\n",
                               "\\pnlvlblt"};
    QRandomGenerator rng(42);
    for (int round = 0; round < 2000; ++round) {
        QString rtf = kHeader;
        const int n = rng.bounded(1, 40);
        for (int i = 0; i < n; ++i)
            rtf += words.at(rng.bounded(words.size())) + (rng.bounded(2) ? " x" : "");
        const QString out = convert(rtf);
        QString why;
        QVERIFY2(balanced(out, &why), qPrintable(rtf + " -> " + out + ": " + why));
    }
}

void TestRtfToHtml::inputBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("seven-bit") << QByteArray("{\\rtf1 caf\\'e9}") << "{\\rtf1 caf\\'e9}";
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << QString::fromUtf8("café €");
    QTest::newRow("Latin-1") << QByteArray("caf\xe9}") << QString::fromUtf8("café}");
    // One bad sequence makes the whole input Latin-1.
    QTest::newRow("mixed") << QByteArray("\xc3\xa9\xe9}") << QString::fromUtf8("Ã©é}");
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestRtfToHtml::inputBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeRtfBytes(bytes), text);
}

void TestRtfToHtml::commandLine() {
    QProcess p;
    p.start(qEnvironmentVariable("QUOTERIA_EXE"),
            {QStringLiteral("--rtf2html"), QStringLiteral("0")});
    QVERIFY(p.waitForStarted());
    p.write("{\\rtf1 Hello\\par W\\'f6rld}");
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(p.readAllStandardOutput(), QByteArray("Hello<br>W&ouml;rld"));
    QCOMPARE(p.readAllStandardError(), QByteArray());

    QProcess q;
    q.start(qEnvironmentVariable("QUOTERIA_EXE"),
            {QStringLiteral("--rtf2html"), QStringLiteral("+F=2")});
    QVERIFY(q.waitForStarted());
    q.write("\\fs20 x\\fs40 y");
    q.closeWriteChannel();
    QVERIFY(q.waitForFinished(30000));
    QCOMPARE(q.exitCode(), 0);
    QCOMPARE(q.readAllStandardOutput(),
             QByteArray("x<font><span style=font-size:25px>y</span></font>"));
}

void TestRtfToHtml::benchmarkOneMegabyte() {
    // A realistic message repeated to one megabyte.
    QString body;
    const QString para = QStringLiteral(
        "\\pard\\qc\\cf1\\f0\\fs40 Rates \\b today\\b0  at the \\i counter\\i0 : caf\\'e9 "
        "\\ul 1.2345\\ulnone\\cf2  \\strike old\\strike0\\par\r\n");
    while (body.size() < 1024 * 1024)
        body += para;
    const QString rtf = kHeader + body + QLatin1Char('}');
    QString out;
    QBENCHMARK_ONCE {
        out = convert(rtf);
    }
    QVERIFY(balanced(out));
    QVERIFY(out.count(QStringLiteral("<b>today</b>")) > 1000);
}

QTEST_GUILESS_MAIN(TestRtfToHtml)
#include "tst_rtftohtml.moc"
