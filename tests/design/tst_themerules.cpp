#include "design/themerules.h"

#include <QtTest>

using namespace quoteria;
using namespace quoteria::design;

namespace {
// One data row of text columns, kept on one line.
template <typename... T> void row(const char* name, const T&... values) {
    (QTest::newRow(name) << ... << values);
}
using S = QString;
} // namespace

class TestThemeRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leavingAndTyping_data();
    void leavingAndTyping();
    void filledWidths_data();
    void filledWidths();
    void widthCheck_data();
    void widthCheck();
    void widthTotal_data();
    void widthTotal();
    void speed_data();
    void speed();
    void storedValuesToControls_data();
    void storedValuesToControls();
};

void TestThemeRules::leavingAndTyping_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    row("columns letter", S("txtColumn"), S("abc"), S("2"));
    row("columns empty", S("txtColumn"), S(""), S("2"));
    row("rows letter", S("txtRow"), S("x1"), S("2"));
    row("row height letter", S("txtRHeight"), S("tall"), S("200"));
    row("v-gap 0", S("tblLine"), S("0"), S("10"));
    row("v-gap below 1", S("tblLine"), S("0.5"), S("10"));
    row("v-gap letter", S("tblLine"), S("wide"), S("10"));
    row("v-gap 1", S("tblLine"), S("1"), S("1"));
    row("volume 11", S("txtVol"), S("11"), S("5"));
    row("volume 10", S("txtVol"), S("10"), S("10"));
    row("volume letter", S("txtVol"), S("loud"), S("5"));
    row("h-gap is free", S("txtWGap"), S("any"), S("any"));
    // Typed into the resolution: replaced at once.
    row("width letter", S("txtWidth"), S("19x"), S("1366"));
    row("width number", S("txtWidth"), S("1920"), S("1920"));
    row("height letter", S("txtHeight"), S(""), S("768"));
}

void TestThemeRules::leavingAndTyping() {
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QCOMPARE(textOnEdit(control, textOnLeaving(control, typed)), left);
}

void TestThemeRules::filledWidths_data() {
    QTest::addColumn<QString>("columns");
    QTest::addColumn<int>("entries");
    row("seven", S("7"), 7);
    row("one", S("1"), 1);
    row("none still one", S("0"), 1);
    row("fraction rounds down", S("2.6"), 2);
    row("runaway count", S("100000"), kMaxFilledColumns);
}

void TestThemeRules::filledWidths() {
    QFETCH(QString, columns);
    QFETCH(int, entries);
    const QString widths = design::filledWidths(columns);
    QCOMPARE(widths.split(QLatin1Char(';')), QStringList(entries, QStringLiteral("2500")));
    // What the fill writes passes the check for a whole count.
    if (columns.toInt() >= 1 && columns.toInt() <= kMaxFilledColumns)
        QVERIFY(widthsAccepted(widths, columns));
}

void TestThemeRules::widthCheck_data() {
    QTest::addColumn<QString>("widths");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<bool>("accepted");
    row("three for three", S("3000;1500;1500"), S("3"), true);
    row("three for two", S("3000;1500;1500"), S("2"), false);
    row("trailing ; makes a third", S("2500;2500;"), S("2"), false);
    row("trailing ; for three", S("2500;2500;"), S("3"), true);
    row("letter", S("2500;25a0"), S("2"), false);
    row("empty", S(""), S("1"), false);
    row("count not numeric", S("2500;2500"), S("two"), false);
}

void TestThemeRules::widthCheck() {
    QFETCH(QString, widths);
    QFETCH(QString, columns);
    QFETCH(bool, accepted);
    QCOMPARE(widthsAccepted(widths, columns), accepted);
}

void TestThemeRules::widthTotal_data() {
    QTest::addColumn<QString>("widths");
    QTest::addColumn<QString>("gap");
    QTest::addColumn<int>("total");
    row("three columns, two gaps", S("3000;1500;1500"), S("20"), 6040);
    row("zeros add nothing", S("600;2400;1600;1600;0;0;0"), S("20"), 6260);
    row("no first column, no first gap", S("0;2400;1600"), S("20"), 4020);
    row("eighth ignored", S("100;100;100;100;100;100;100;100"), S("10"), 760);
    row("gap not numeric", S("1000;1000"), S("wide"), 2000);
    row("one column keeps its gap", S("1000"), S("20"), 1020);
    row("halves to even", S("1000.5;0"), S("0"), 1000);
    row("beyond the top stays there", S("30000;30000;30000"), S("10"), 32767);
    row("back from the top", S("32767;-100"), S("0"), 32667);
    row("beyond the bottom", S("-30000;-30000"), S("0"), -32768);
}

void TestThemeRules::widthTotal() {
    QFETCH(QString, widths);
    QFETCH(QString, gap);
    QFETCH(int, total);
    QCOMPARE(int(design::widthTotal(widths, gap)), total);
    QCOMPARE(widthLabel(6420, qint16(total)),
             QStringLiteral("Available width= 6420 Total Width %1").arg(total));
}

void TestThemeRules::speed_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    row("0", S("0"), false);
    row("101", S("101"), false);
    row("not a number", S("fast"), false);
    row("1", S("1"), true);
    row("100", S("100"), true);
    row("100.5", S("100.5"), false);
}

void TestThemeRules::speed() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(speedAccepted(text), accepted);
}

void TestThemeRules::storedValuesToControls_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QVariant>("shown"); // invalid: left out, the control keeps its value
    row("number as text", S("rows"), QVariant(12), S("txtRow"), QVariant("12"));
    row("other spelling", S("bgimage"), QVariant("a.jpg"), S("txtTbkBack"), QVariant("a.jpg"));
    row("flag 1", S("displaytime"), QVariant(1), S("chktime"), QVariant(1));
    row("flag 2 is off", S("scroll"), QVariant(2), S("chkScroll"), QVariant(0));
    row("colour as text", S("clrtime"), QVariant("255"), S("lblTClr"), QVariant(qint64(255)));
    row("null skipped", S("ttlname"), QVariant(QMetaType(QMetaType::QString)), S("txtttl"),
        QVariant());
}

void TestThemeRules::storedValuesToControls() {
    QFETCH(QString, column);
    QFETCH(QVariant, stored);
    QFETCH(QString, control);
    QFETCH(QVariant, shown);
    const FieldValues got = fieldsFromRecord(ThemeRecord{3, {{column, stored}}});
    QCOMPARE(got.size(), shown.isValid() ? 1 : 0);
    if (shown.isValid())
        QCOMPARE(got.value(control), shown);
    // Every column but the key maps to one control and back.
    QCOMPARE(recordFromFields(initialFields(), 0).values.size(), kThemeFieldCount);
}

QTEST_GUILESS_MAIN(TestThemeRules)
#include "tst_themerules.moc"
