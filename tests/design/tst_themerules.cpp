#include "design/themerules.h"
#include "testsupport.h"

#include <QtTest>

using namespace quoteria;
using namespace quoteria::design;

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
    void newThemeRoundTrip();
    void themeChecks_data();
    void themeChecks();
};

void TestThemeRules::leavingAndTyping_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("columns letter") << "txtColumn"
                                    << "abc"
                                    << "2";
    QTest::newRow("columns empty") << "txtColumn"
                                   << ""
                                   << "2";
    QTest::newRow("columns number") << "txtColumn"
                                    << "5"
                                    << "5";
    QTest::newRow("rows letter") << "txtRow"
                                 << "x1"
                                 << "2";
    QTest::newRow("row height letter") << "txtRHeight"
                                       << "tall"
                                       << "200";
    QTest::newRow("row height number") << "txtRHeight"
                                       << "350"
                                       << "350";
    QTest::newRow("v-gap 0") << "tblLine"
                             << "0"
                             << "10";
    QTest::newRow("v-gap below 1") << "tblLine"
                                   << "0.5"
                                   << "10";
    QTest::newRow("v-gap letter") << "tblLine"
                                  << "wide"
                                  << "10";
    QTest::newRow("v-gap 1") << "tblLine"
                             << "1"
                             << "1";
    QTest::newRow("volume 11") << "txtVol"
                               << "11"
                               << "5";
    QTest::newRow("volume 10") << "txtVol"
                               << "10"
                               << "10";
    QTest::newRow("volume letter") << "txtVol"
                                   << "loud"
                                   << "5";
    QTest::newRow("h-gap is free") << "txtWGap"
                                   << "any"
                                   << "any";
    // Typed into the resolution: replaced at once.
    QTest::newRow("width letter") << "txtWidth"
                                  << "19x"
                                  << "1366";
    QTest::newRow("width emptied") << "txtWidth"
                                   << ""
                                   << "1366";
    QTest::newRow("width number") << "txtWidth"
                                  << "1920"
                                  << "1920";
    QTest::newRow("height letter") << "txtHeight"
                                   << "y"
                                   << "768";
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
    QTest::newRow("seven") << "7" << 7;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("none still one") << "0" << 1;
    QTest::newRow("fraction rounds down") << "2.6" << 2;
    QTest::newRow("runaway count") << "100000" << kMaxFilledColumns;
}

void TestThemeRules::filledWidths() {
    QFETCH(QString, columns);
    QFETCH(int, entries);
    const QString widths = design::filledWidths(columns);
    QCOMPARE(widths.split(QLatin1Char(';')), QStringList(entries, QStringLiteral("2500")));
    // What the fill writes always passes the check for a whole count.
    if (columns.toInt() >= 1 && columns.toInt() <= kMaxFilledColumns)
        QVERIFY(widthsAccepted(widths, columns));
}

void TestThemeRules::widthCheck_data() {
    QTest::addColumn<QString>("widths");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("three for three") << "3000;1500;1500"
                                     << "3" << true;
    QTest::newRow("three for two") << "3000;1500;1500"
                                   << "2" << false;
    QTest::newRow("trailing ; makes a third") << "2500;2500;"
                                              << "2" << false;
    QTest::newRow("trailing ; for three") << "2500;2500;"
                                          << "3" << true;
    QTest::newRow("letter") << "2500;25a0"
                            << "2" << false;
    QTest::newRow("letter, any count") << "x"
                                       << "1" << false;
    QTest::newRow("empty") << ""
                           << "1" << false;
    QTest::newRow("count not numeric") << "2500;2500"
                                       << "two" << false;
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
    QTest::newRow("three columns, two gaps") << "3000;1500;1500"
                                             << "20" << 6040;
    QTest::newRow("zeros add nothing") << "600;2400;1600;1600;0;0;0"
                                       << "20" << 6260;
    QTest::newRow("no first column, no first gap") << "0;2400;1600"
                                                   << "20" << 4020;
    QTest::newRow("eighth ignored") << "100;100;100;100;100;100;100;100"
                                    << "10" << 760;
    QTest::newRow("gap not numeric") << "1000;1000"
                                     << "wide" << 2000;
    QTest::newRow("one column keeps its gap") << "1000"
                                              << "20" << 1020;
    QTest::newRow("halves to even") << "1000.5;0"
                                    << "0" << 1000;
    QTest::newRow("beyond the top stays there") << "30000;30000;30000"
                                                << "10" << 32767;
    QTest::newRow("back from the top") << "32767;-100"
                                       << "0" << 32667;
    QTest::newRow("beyond the bottom") << "-30000;-30000"
                                       << "0" << -32768;
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
    QTest::newRow("0") << "0" << false;
    QTest::newRow("101") << "101" << false;
    QTest::newRow("not a number") << "fast" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("100") << "100" << true;
    QTest::newRow("100.5") << "100.5" << false;
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
    QTest::newRow("number as text") << "rows" << QVariant(12) << "txtRow" << QVariant("12");
    QTest::newRow("other spelling")
        << "bgimage" << QVariant("a.jpg") << "txtTbkBack" << QVariant("a.jpg");
    QTest::newRow("flag 1") << "displaytime" << QVariant(1) << "chktime" << QVariant(1);
    QTest::newRow("flag 2 is off") << "scroll" << QVariant(2) << "chkScroll" << QVariant(0);
    QTest::newRow("colour as text")
        << "clrtime" << QVariant("255") << "lblTClr" << QVariant(qint64(255));
    QTest::newRow("null skipped") << "ttlname" << QVariant(QMetaType(QMetaType::QString))
                                  << "txtttl" << QVariant();
    QTest::newRow("odd media kept")
        << "media" << QVariant("Flash") << "cmbMedia" << QVariant("Flash");
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
}

void TestThemeRules::newThemeRoundTrip() {
    const FieldValues initial = initialFields();
    const ThemeRecord r = recordFromFields(initial, 0);
    // Every column but the key, each once.
    QCOMPARE(r.values.size(), kThemeFieldCount);
    QCOMPARE(fieldsFromRecord(r), initial);
    QCOMPARE(r.values.value(QStringLiteral("tformat")), QVariant("dd-MMM-yyyy HH:mm"));
    const BoardTheme t = themeFromRecord(r);
    QCOMPARE(t.swidth, 1366.0);
    QCOMPARE(t.rowheight, 500.0);
}

void TestThemeRules::themeChecks_data() {
    QTest::addColumn<bool>("layout");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("message");
    QTest::newRow("neither") << false << false << "Please Define the position and try again";
    QTest::newRow("header only") << false << true << "Please Define the position and try again";
    QTest::newRow("layout only") << true << false << "Please Define the header details ";
    QTest::newRow("both") << true << true << "";
}

void TestThemeRules::themeChecks() {
    QFETCH(bool, layout);
    QFETCH(bool, header);
    QFETCH(QString, message);
    test::AppFixture f;
    FieldValues v = initialFields();
    v[QStringLiteral("txtName")] = QStringLiteral("T");
    BoardTheme t = f.ctx.themes.load(f.ctx.themes.saveRecord(recordFromFields(v, 0)));
    t.hasPosition = layout;
    t.hasHeader = header;
    QVERIFY(f.ctx.themes.save(t) > 0);
    QCOMPARE(themeCheckMessage(checkTheme(f.ctx.themes, t.key)), message);
}

QTEST_GUILESS_MAIN(TestThemeRules)
#include "tst_themerules.moc"
