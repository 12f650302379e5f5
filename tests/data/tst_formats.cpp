#include "data/formats.h"

#include <QtTest>

using namespace quoteria;

class TestFormats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void number_data();
    void number();
    void plain_data();
    void plain();
    void keptLength_data();
    void keptLength();
    void val_data();
    void val();
    void date_data();
    void date();
};

void TestFormats::number_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("pad") << "3.67"
                         << "0.00000"
                         << "3.67000";
    QTest::newRow("round up") << "3.674449"
                              << "0.0000"
                              << "3.6744";
    QTest::newRow("half away from zero") << "1.00005"
                                         << "0.0000"
                                         << "1.0001";
    QTest::newRow("half negative") << "-1.00005"
                                   << "0.0000"
                                   << "-1.0001";
    QTest::newRow("binary trap") << "2.675"
                                 << "0.00"
                                 << "2.68";
    QTest::newRow("carry into integer") << "9.99999"
                                        << "0.0000"
                                        << "10.0000";
    QTest::newRow("integer") << "12"
                             << "0.00000"
                             << "12.00000";
    QTest::newRow("leading dot") << ".5"
                                 << "0.00"
                                 << "0.50";
    QTest::newRow("blanks") << " 4.1 "
                            << "0.00"
                            << "4.10";
    QTest::newRow("optional digits") << "4.10"
                                     << "0.##"
                                     << "4.1";
    QTest::newRow("grouping") << "1234567.891"
                              << "#,##0.00"
                              << "1,234,567.89";
    QTest::newRow("no decimals") << "2.5"
                                 << "0"
                                 << "3";
    QTest::newRow("percent") << "0.256"
                             << "0%"
                             << "26%";
    QTest::newRow("exponent") << "1.5e-3"
                              << "0.0000"
                              << "0.0015";
    QTest::newRow("negative zero") << "-0.00001"
                                   << "0.00"
                                   << "0.00";
    QTest::newRow("text unchanged") << "N/A"
                                    << "0.00000"
                                    << "N/A";
    QTest::newRow("empty unchanged") << ""
                                     << "0.00000"
                                     << "";
    QTest::newRow("comma unchanged") << "3,67"
                                     << "0.00"
                                     << "3,67";
    QTest::newRow("many digits") << "123456789012345678901.5"
                                 << "0"
                                 << "123456789012345678902";
}

void TestFormats::number() {
    QFETCH(QString, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(formatNumber(value, pattern), expected);
}

void TestFormats::plain_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("small exponent") << 1.5e-3 << "0.0015";
    QTest::newRow("whole") << 3.0 << "3";
    QTest::newRow("binary noise") << 3.6725000000000003 << "3.6725";
    QTest::newRow("sum noise") << 0.1 + 0.2 << "0.3";
    QTest::newRow("large exponent") << 1.25e20 << "125000000000000000000";
    QTest::newRow("tiny") << -2.5e-12 << "-0.0000000000025";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("tens") << 1200.0 << "1200";
    QTest::newRow("fifteen digits") << 123456789.123456 << "123456789.123456";
}

void TestFormats::plain() {
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(plainDecimal(value), expected);
}

void TestFormats::keptLength_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("kept");
    QTest::newRow("decimals dropped") << "3.67250" << 6 << "3.6725";
    QTest::newRow("longer than text") << "1.2" << 9 << "1.2";
    QTest::newRow("integer part kept") << "123.45" << 2 << "123";
    QTest::newRow("no trailing point") << "123.45" << 4 << "123";
    QTest::newRow("one decimal") << "123.45" << 5 << "123.4";
    QTest::newRow("negative") << "-123.45" << 3 << "-123";
    QTest::newRow("negative decimals") << "-3.67250" << 5 << "-3.67";
    QTest::newRow("plus sign") << "+12.5" << 2 << "+12";
    QTest::newRow("thousands") << "1,234.50000" << 3 << "1,234";
    QTest::newRow("thousands decimals") << "1,234,567.89" << 11 << "1,234,567.8";
    QTest::newRow("whole number") << "12345" << 2 << "12345";
    QTest::newRow("format ends in point") << "5." << 6 << "5";
    QTest::newRow("leading point") << ".5678" << 1 << ".5";
    QTest::newRow("percent cut") << "12.5%" << 3 << "12";
    QTest::newRow("percent whole") << "26%" << 3 << "26%";
    QTest::newRow("zero length number") << "123.45" << 0 << "123";
    QTest::newRow("negative length number") << "-7.25" << -3 << "-7";
    QTest::newRow("text cut") << "abcdefghij" << 6 << "abcdef";
    QTest::newRow("decimal comma is text") << "3,67" << 2 << "3,";
    QTest::newRow("bad grouping is text") << "12,34.5" << 2 << "12";
    QTest::newRow("sign only") << "-" << 0 << "";
    QTest::newRow("text zero length") << "N/A" << 0 << "";
    QTest::newRow("text negative length") << "N/A" << -1 << "";
    QTest::newRow("empty") << "" << 6 << "";
}

void TestFormats::keptLength() {
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, kept);
    QCOMPARE(keepLength(text, n), kept);
}

void TestFormats::val_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("int") << "10" << 10.0 << true;
    QTest::newRow("prefix") << "11abc" << 11.0 << false;
    QTest::newRow("blank inside") << " 1 2" << 12.0 << false;
    QTest::newRow("letters") << "abc" << 0.0 << false;
    QTest::newRow("empty") << "" << 0.0 << false;
    QTest::newRow("negative") << "-3.5" << -3.5 << true;
    QTest::newRow("exponent") << "2e3" << 2000.0 << true;
    QTest::newRow("dot only") << "." << 0.0 << false;
    QTest::newRow("padded") << "  7  " << 7.0 << true;
}

void TestFormats::val() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, numeric);
    QCOMPARE(vbVal(text), value);
    QCOMPARE(isNumeric(text), numeric);
}

void TestFormats::date_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    // 2026-03-05 14:07:09
    QTest::newRow("default") << "dd-MMM-yyyy HH:mm"
                             << "05-Mar-2026 14:07";
    QTest::newRow("lower case") << "dd-mmm-yyyy hh:mm"
                                << "05-Mar-2026 14:07";
    QTest::newRow("minutes before seconds") << "mm:ss"
                                            << "07:09";
    QTest::newRow("month digits") << "dd/mm/yy"
                                  << "05/03/26";
    QTest::newRow("long names") << "dddd d mmmm yyyy"
                                << "Thursday 5 March 2026";
    QTest::newRow("twelve hour") << "h:nn AM/PM"
                                 << "2:07 PM";
    QTest::newRow("literal") << "\"Date:\" dd \\at HH"
                             << "Date: 05 at 14";
}

void TestFormats::date() {
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    const QDateTime when(QDate(2026, 3, 5), QTime(14, 7, 9));
    QCOMPARE(formatDateTime(when, pattern), expected);
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
