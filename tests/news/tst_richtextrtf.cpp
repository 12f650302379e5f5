#include "news/richtextrtf.h"
#include "news/rtftohtml.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

using namespace quoteria;

class TestRichTextRtf : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesControlForm();
    void roundTrip_data();
    void roundTrip();
    void readsControlOutput();
    void readsCharacters_data();
    void readsCharacters();
    void refusesNonRtf();
};

namespace {

// A document built the way the editor builds one: a base font and formatted runs.
struct Builder {
    QTextDocument doc;
    QTextCursor c{&doc};
    Builder() { doc.setDefaultFont(QFont(QStringLiteral("Arial"), 20)); }
    Builder& text(const QString& t, const QTextCharFormat& f = QTextCharFormat()) {
        c.insertText(t, f);
        return *this;
    }
    Builder& para(Qt::Alignment a = Qt::AlignLeft) {
        QTextBlockFormat bf;
        bf.setAlignment(a);
        c.insertBlock(bf);
        return *this;
    }
};

QTextCharFormat fmt(std::function<void(QTextCharFormat&)> f) {
    QTextCharFormat x;
    f(x);
    return x;
}

QString describe(const QTextDocument& doc) {
    // Text and effective formats, one line per fragment.
    QStringList lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        lines << QStringLiteral("P align=%1 list=%2")
                     .arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask))
                     .arg(b.textList() ? 1 : 0);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            lines << QStringLiteral("  [%1] b=%2 i=%3 u=%4 s=%5 fg=%6")
                         .arg(it.fragment().text())
                         .arg(f.fontWeight() >= QFont::DemiBold)
                         .arg(f.fontItalic())
                         .arg(f.fontUnderline())
                         .arg(f.fontStrikeOut())
                         .arg(f.foreground().style() == Qt::NoBrush
                                  ? QStringLiteral("none")
                                  : f.foreground().color().name());
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void TestRichTextRtf::writesControlForm() {
    Builder b;
    b.text(QStringLiteral("Hello "))
        .text(QStringLiteral("bold"), fmt([](auto& f) { f.setFontWeight(QFont::Bold); }))
        .text(QStringLiteral(" red"), fmt([](auto& f) { f.setForeground(QColor(255, 0, 0)); }));
    b.para(Qt::AlignHCenter).text(QStringLiteral("centre"));
    const QString rtf = documentToRtf(b.doc);
    QVERIFY(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi")));
    QVERIFY(rtf.contains(QStringLiteral("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}")));
    QVERIFY(rtf.contains(QStringLiteral("{\\colortbl ;\\red255\\green0\\blue0;}")));
    QVERIFY(rtf.contains(QStringLiteral("\\pard\\qc")));
    QCOMPARE(
        rtfToHtml(rtf, QStringLiteral("0")),
        QStringLiteral("<font face=\"Arial\"><span style=font-size:25px>Hello <b>bold</b></span>"
                       "</font><font face=\"Arial\" color=\"#FF0000\"><span "
                       "style=font-size:25px> red</span></font><br><table "
                       "width=100%><tr><td align=\"center\"><font face=\"Arial\"><span "
                       "style=font-size:25px>centre</span></font></td></tr></table>"));
}

void TestRichTextRtf::roundTrip_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("styles") << 0;
    QTest::newRow("colours and fonts") << 1;
    QTest::newRow("alignment") << 2;
    QTest::newRow("bullets") << 3;
    QTest::newRow("special characters") << 4;
    QTest::newRow("odd font name") << 5;
    QTest::newRow("format on left-out characters") << 6;
}

void TestRichTextRtf::roundTrip() {
    QFETCH(int, kind);
    Builder b;
    switch (kind) {
    case 0:
        b.text(QStringLiteral("b"), fmt([](auto& f) { f.setFontWeight(QFont::Bold); }))
            .text(QStringLiteral("i"), fmt([](auto& f) { f.setFontItalic(true); }))
            .text(QStringLiteral("u"), fmt([](auto& f) { f.setFontUnderline(true); }))
            .text(QStringLiteral("s"), fmt([](auto& f) { f.setFontStrikeOut(true); }))
            .text(QStringLiteral("2"),
                  fmt([](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); }));
        break;
    case 1:
        b.text(QStringLiteral("blue"), fmt([](auto& f) { f.setForeground(QColor(0, 0, 255)); }))
            .text(QStringLiteral("serif"), fmt([](auto& f) {
                      f.setFontFamilies({QStringLiteral("Times New Roman")});
                      f.setFontPointSize(13);
                  }))
            .text(QStringLiteral("black"), fmt([](auto& f) { f.setForeground(QColor(0, 0, 0)); }));
        break;
    case 2:
        b.text(QStringLiteral("left")).para(Qt::AlignHCenter).text(QStringLiteral("centre"));
        b.para(Qt::AlignRight).text(QStringLiteral("right")).para().text(QString());
        break;
    case 3: {
        b.text(QStringLiteral("intro")).para().text(QStringLiteral("one"));
        b.c.createList(QTextListFormat::ListDisc);
        b.para().text(QStringLiteral("two"));
        QTextBlockFormat plain;
        b.c.insertBlock(plain);
        b.text(QStringLiteral("after"));
        break;
    }
    case 4:
        b.text(QStringLiteral("caf\u00e9 {braces} back\\slash \u20ac\ttab \u2026 \u2122"));
        break;
    case 5:
        b.text(QStringLiteral("x"),
               fmt([](auto& f) { f.setFontFamilies({QStringLiteral(" Odd;\tName{} ")}); }));
        break;
    case 6:
        b.text(QStringLiteral("a")).text(QString(QChar(0x94)) + QChar(0x01), fmt([](auto& f) {
                                             f.setFontItalic(true);
                                         }));
        break;
    }
    const QString rtf = documentToRtf(b.doc);
    QTextDocument again;
    QVERIFY(rtfToDocument(rtf, again));
    if (kind == 6) {
        // Control characters are left out, with their format.
        QCOMPARE(again.toPlainText(), QStringLiteral("a"));
        QVERIFY(!rtf.contains(QStringLiteral("\\i")));
    } else {
        QCOMPARE(again.toPlainText(), b.doc.toPlainText());
        QCOMPARE(describe(again), describe(b.doc));
    }
    if (kind == 4)
        QVERIFY(rtfToHtml(rtf, QStringLiteral("0"))
                    .contains(QStringLiteral("&#8364;\ttab ... <sup>TM</sup>")));
    if (kind == 5)
        QVERIFY(rtf.contains(QStringLiteral("{\\f0\\fnil\\fcharset0 OddName;}")));
    QCOMPARE(documentToRtf(again), rtf);
    QCOMPARE(rtfToHtml(documentToRtf(again), QStringLiteral("0")),
             rtfToHtml(rtf, QStringLiteral("0")));
}

void TestRichTextRtf::readsControlOutput() {
    // What a rich-text control writes for two bullets, a centred red line and
    // a bold word.
    const QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
        "Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\generator Riched20 5.50.99.2014;}\\viewkind4\\uc1\\pard{\\pntext\\f1\\'B7\\tab}"
        "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720\\f0\\fs40 one\\par\r\n"
        "{\\pntext\\f1\\'B7\\tab}two\\par\r\n"
        "\\pard\\qc\\cf1 red\\par\r\n"
        "\\pard\\cf0 a \\b bold\\b0  word\\par\r\n}\r\n");
    QTextDocument doc;
    QVERIFY(rtfToDocument(rtf, doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("one\ntwo\nred\na bold word"));
    QCOMPARE(describe(doc), QStringLiteral("P align=1 list=1\n"
                                           "  [one] b=0 i=0 u=0 s=0 fg=none\n"
                                           "P align=1 list=1\n"
                                           "  [two] b=0 i=0 u=0 s=0 fg=none\n"
                                           "P align=4 list=0\n"
                                           "  [red] b=0 i=0 u=0 s=0 fg=#ff0000\n"
                                           "P align=1 list=0\n"
                                           "  [a ] b=0 i=0 u=0 s=0 fg=none\n"
                                           "  [bold] b=1 i=0 u=0 s=0 fg=none\n"
                                           "  [ word] b=0 i=0 u=0 s=0 fg=none"));
    QTextCursor c(&doc);
    QCOMPARE(c.charFormat().fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    c.movePosition(QTextCursor::NextCharacter);
    QCOMPARE(c.charFormat().fontPointSize(), 20.0);
    QVERIFY(!doc.isModified());
}

void TestRichTextRtf::readsCharacters_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("code page") << "{\\rtf1 caf\\'e9 \\'80}"
                               << "caf\u00e9 \u20ac";
    QTest::newRow("unicode skips stand-in") << "{\\rtf1 \\u1046?\\u-3 ?x}"
                                            << "\u0416\ufffdx";
    QTest::newRow("escapes") << "{\\rtf1 a\\{b\\}c\\\\d\\tab e}"
                             << "a{b}c\\d\te";
    QTest::newRow("hidden groups") << "{\\rtf1 {\\*\\x hidden}{\\info{\\title t}}{\\pict 0102}v}"
                                   << "v";
    QTest::newRow("unbalanced") << "{\\rtf1 a}}}{b"
                                << "ab";
}

void TestRichTextRtf::readsCharacters() {
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(rtfToDocument(rtf, doc));
    QCOMPARE(doc.toPlainText(), text);
}

void TestRichTextRtf::refusesNonRtf() {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("keep"));
    QVERIFY(!rtfToDocument(QStringLiteral("plain words"), doc));
    QCOMPARE(doc.toPlainText(), QStringLiteral("keep"));
}

QTEST_MAIN(TestRichTextRtf)
#include "tst_richtextrtf.moc"
