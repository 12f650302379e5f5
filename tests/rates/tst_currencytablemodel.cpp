#include "rates/currencytablemodel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;
using Model = CurrencyTableModel;

namespace {

CurrencyRow row(qint64 key, const QString& name, const QString& value1, bool active = true) {
    CurrencyRow r;
    r.key = key;
    r.name = name;
    r.values = QStringList{value1, QString(), QString(), QString(), QString()};
    r.cells = QStringList{QString(), QString(), QString(), QString(), QString()};
    r.active = active ? QStringLiteral("1") : QStringLiteral("0");
    r.pos = QString::number(key * 10);
    r.low = QStringLiteral("0.0001");
    r.high = QStringLiteral("1000");
    r.updateTime = QStringLiteral("2026-03-01 09:15:00");
    return r;
}

// USD and EUR active, OFF inactive; keys 1, 2, 3 in board order.
QVector<CurrencyRow> threeRows() {
    return {row(1, QStringLiteral("US Dollar"), QStringLiteral("1.5")),
            row(2, QStringLiteral("Euro"), QStringLiteral("2.5")),
            row(3, QStringLiteral("Hidden"), QStringLiteral("3.5"), false)};
}

QString text(const Model& m, int r, int c) {
    return m.index(r, c).data().toString();
}

bool type(Model& m, int r, int c, const QString& t) {
    return m.setData(m.index(r, c), t, Qt::EditRole);
}

} // namespace

class TestCurrencyTableModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyStart_data();
    void keyStart();
    void cells();
    void showAllFilters();
    void onlyValueColumnsEditable_data();
    void onlyValueColumnsEditable();
    void typing_data();
    void typing();
    void typedValuesSurviveReload();
    void editsOfListedAndHiddenRows();
    void typedNamesOfListedRows();
    void captions_data();
    void captions();
    void dropPending();
    void onlineLayout_data();
    void onlineLayout();
    void saveRowsAreWhatIsShown();
    void acceptPendingKeepsTypedValues();
};

void TestCurrencyTableModel::keyStart_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    const int none = int(Model::KeyStart::None);
    const int typed = int(Model::KeyStart::Typed);
    const int copy = int(Model::KeyStart::CopyCell);
    QTest::newRow("digit") << 3 << int(Qt::Key_5) << 0 << "5" << typed;
    QTest::newRow("letter, last value column") << 7 << int(Qt::Key_A) << 0 << "a" << typed;
    QTest::newRow("shifted") << 4 << int(Qt::Key_Percent) << int(Qt::ShiftModifier) << "%" << typed;
    QTest::newRow("non-latin") << 5 << int(Qt::Key_unknown) << 0 << QString(QChar(0x20AC)) << typed;
    QTest::newRow("space copies") << 3 << int(Qt::Key_Space) << 0 << " " << copy;
    QTest::newRow("backspace copies") << 3 << int(Qt::Key_Backspace) << 0 << "\b" << copy;
    QTest::newRow("return copies") << 3 << int(Qt::Key_Return) << 0 << "\r" << copy;
    QTest::newRow("delete char copies")
        << 3 << int(Qt::Key_Delete) << 0 << QString(QChar(0x7f)) << copy;
    QTest::newRow("ctrl letter copies")
        << 3 << int(Qt::Key_B) << int(Qt::ControlModifier) << "b" << copy;
    QTest::newRow("meta letter copies")
        << 3 << int(Qt::Key_B) << int(Qt::MetaModifier) << "b" << copy;
    QTest::newRow("tab moves on") << 3 << int(Qt::Key_Tab) << 0 << "\t" << none;
    QTest::newRow("backtab moves on")
        << 3 << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << "\t" << none;
    QTest::newRow("arrow moves on") << 3 << int(Qt::Key_Down) << 0 << "" << none;
    for (int c : {0, 1, 2, 8, 9, 10, 11, 12})
        QTest::addRow("digit in column %d", c) << c << int(Qt::Key_5) << 0 << "5" << none;
}

void TestCurrencyTableModel::keyStart() {
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, start);
    QCOMPARE(int(Model::keyStart(column, key, Qt::KeyboardModifiers(modifiers), text)), start);
}

void TestCurrencyTableModel::cells() {
    Model m;
    m.setRows(threeRows());
    QCOMPARE(m.columnCount(), 13);
    QCOMPARE(m.rowCount(), 2);
    const QStringList first{"1", "10",  "US Dollar",           "1.5",    "",     "", "",
                            "",  "Yes", "2026-03-01 09:15:00", "0.0001", "1000", ""};
    for (int c = 0; c < 13; ++c)
        QCOMPARE(text(m, 0, c), first.at(c));
    QCOMPARE(m.keyAt(1), qint64(2));
    QCOMPARE(m.index(1, 5).data(Model::KeyRole).toLongLong(), qint64(2));
    QCOMPARE(m.keyAt(2), qint64(0)); // not listed
    QCOMPARE(m.rowOfKey(3), -1);
}

void TestCurrencyTableModel::showAllFilters() {
    Model m;
    m.setRows(threeRows());
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.setShowAll(true);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(text(m, 2, Model::NameCol), QStringLiteral("Hidden"));
    QCOMPARE(text(m, 2, Model::ActiveCol), QStringLiteral("No"));
    QCOMPARE(m.rowOfKey(3), 2);
    m.setShowAll(true);
    QCOMPARE(reset.count(), 1); // no change, no reset
    m.setShowAll(false);
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(m.rowOfKey(2), 1);
}

void TestCurrencyTableModel::onlyValueColumnsEditable_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("editable");
    for (int c = 0; c < 13; ++c)
        QTest::addRow("column %d", c) << c << (c >= 3 && c <= 7);
}

void TestCurrencyTableModel::onlyValueColumnsEditable() {
    QFETCH(int, column);
    QFETCH(bool, editable);
    Model m;
    m.setRows(threeRows());
    const QModelIndex i = m.index(0, column);
    QCOMPARE(bool(m.flags(i) & Qt::ItemIsEditable), editable);
    const QString before = i.data().toString();
    QCOMPARE(m.setData(i, QStringLiteral("42")), editable);
    QCOMPARE(i.data().toString(), editable ? QStringLiteral("42") : before);
    QCOMPARE(m.pendingCount(), editable ? 1 : 0);
}

void TestCurrencyTableModel::typing_data() {
    // Texts typed one after the other into the first value of US Dollar (read: 1.5).
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("pending");
    QTest::newRow("a new value") << QStringList{"9"} << "9" << true;
    QTest::newRow("the value read") << QStringList{"1.5"} << "1.5" << false;
    QTest::newRow("typed back") << QStringList{"9", "1.5"} << "1.5" << false;
    QTest::newRow("typed twice") << QStringList{"9", "8"} << "8" << true;
    QTest::newRow("emptied") << QStringList{""} << "" << true;
    QTest::newRow("same number, other text") << QStringList{"1.50"} << "1.50" << true;
}

void TestCurrencyTableModel::typing() {
    QFETCH(QStringList, typed);
    QFETCH(QString, shown);
    QFETCH(bool, pending);
    Model m;
    m.setRows(threeRows());
    QSignalSpy changed(&m, &QAbstractItemModel::dataChanged);
    for (const QString& t : typed)
        QVERIFY(type(m, 0, Model::FirstValueCol, t));
    const QModelIndex i = m.index(0, Model::FirstValueCol);
    QCOMPARE(i.data().toString(), shown);
    QCOMPARE(i.data(Qt::EditRole).toString(), shown);
    QCOMPARE(i.data(Model::PendingRole).toBool(), pending);
    QCOMPARE(i.data(Qt::BackgroundRole).value<QColor>(),
             pending ? Model::PendingBackground : QColor());
    QCOMPARE(m.hasPending(), pending);
    QCOMPARE(m.hasPending(1), pending);
    QCOMPARE(m.pendingCount(), pending ? 1 : 0);
    // A view repaints every cell whose text changed.
    if (!typed.contains(QStringLiteral("1.5")) || typed.size() > 1)
        QVERIFY(!changed.isEmpty());
    // The neighbours are untouched.
    QVERIFY(!m.index(0, Model::FirstValueCol + 1).data(Model::PendingRole).toBool());
    QVERIFY(!m.index(1, Model::FirstValueCol).data(Model::PendingRole).toBool());
}

void TestCurrencyTableModel::typedValuesSurviveReload() {
    Model m;
    m.setShowAll(true);
    m.setRows(threeRows());
    QVERIFY(type(m, 1, Model::FirstValueCol, QStringLiteral("3.3")));
    QVERIFY(type(m, 2, Model::FirstValueCol + 1, QStringLiteral("4")));
    // Reloaded with a fed value for US Dollar and without "Show All".
    QVector<CurrencyRow> fed = threeRows();
    fed[0].values[0] = QStringLiteral("9");
    fed[1].values[0] = QStringLiteral("2.75");
    m.setShowAll(false);
    m.setRows(fed);
    QCOMPARE(text(m, 0, Model::FirstValueCol), QStringLiteral("9"));
    QCOMPARE(text(m, 1, Model::FirstValueCol), QStringLiteral("3.3"));
    QVERIFY(m.index(1, Model::FirstValueCol).data(Model::PendingRole).toBool());
    QCOMPARE(m.pendingCount(), 2); // the hidden row's typing is kept
    m.setShowAll(true);
    QCOMPARE(text(m, 2, Model::FirstValueCol + 1), QStringLiteral("4"));
    // Typed back to the value read last, not the one read first.
    QVERIFY(type(m, 1, Model::FirstValueCol, QStringLiteral("2.75")));
    QVERIFY(!m.hasPending(2));
    // A row gone from the table keeps its typing until dropped.
    m.setRows(threeRows().mid(0, 2));
    QCOMPARE(m.rowCount(), 2);
    QVERIFY(m.hasPending(3));
}

void TestCurrencyTableModel::editsOfListedAndHiddenRows() {
    Model m;
    m.setShowAll(true);
    m.setRows(threeRows());
    QVERIFY(type(m, 1, Model::FirstValueCol + 2, QStringLiteral("7")));
    QVERIFY(type(m, 2, Model::FirstValueCol + 1, QStringLiteral("4")));
    m.setShowAll(false);
    // Typing of a currency deleted meanwhile, which the lookup no longer finds.
    m.setShowAll(true);
    QVERIFY(type(m, 0, Model::LastValueCol, QStringLiteral("5")));
    m.setRows({threeRows().at(1), threeRows().at(2)});
    m.setShowAll(false);

    QList<qint64> asked;
    const auto edits = m.edits([&asked](qint64 key) -> std::optional<QStringList> {
        asked << key;
        if (key == 3)
            return QStringList{"7", "8", "9"}; // short: the missing values are empty
        return std::nullopt;
    });
    std::sort(asked.begin(), asked.end());
    QCOMPARE(asked, (QList<qint64>{1, 3})); // only rows not listed are looked up
    QCOMPARE(edits.size(), 2);
    QCOMPARE(edits.at(0).key, qint64(2));
    QCOMPARE(edits.at(0).values, (QStringList{"2.5", "", "7", "", ""}));
    QCOMPARE(edits.at(1).key, qint64(3));
    QCOMPARE(edits.at(1).values, (QStringList{"7", "4", "9", "", ""}));
    // Without a lookup hidden rows are left out.
    QCOMPARE(m.edits({}).size(), 1);
}

void TestCurrencyTableModel::typedNamesOfListedRows() {
    Model m;
    m.setRows(threeRows());
    QVERIFY(type(m, 1, Model::FirstValueCol, QStringLiteral("7")));
    QCOMPARE(m.typedNames({1, 2, 3, 99}), QStringList{QStringLiteral("Euro")});
    QCOMPARE(m.typedNames({}), QStringList());
}

void TestCurrencyTableModel::captions_data() {
    QTest::addColumn<bool>("withHeader");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("theme with header row")
        << true << QStringList{"", "SN.",    "Currency", "We Buy", "We Sell", "", "",
                               "", "Active", "Updated",  "Low",    "High",    ""};
    QTest::newRow("theme without header row") << false << QStringList(13, QString());
}

void TestCurrencyTableModel::captions() {
    QFETCH(bool, withHeader);
    QFETCH(QStringList, labels);
    Model m;
    m.setThemeCaptions(QStringList{"Old", "", "", "", "", ""});
    QSignalSpy header(&m, &QAbstractItemModel::headerDataChanged);
    if (withHeader)
        m.setThemeCaptions(QStringList{"Currency", "We Buy", "We Sell", "", "", ""});
    else
        m.setThemeCaptions(std::nullopt);
    QStringList shown;
    for (int c = 0; c < m.columnCount(); ++c)
        shown << m.headerData(c, Qt::Horizontal).toString();
    QCOMPARE(shown, labels);
    QCOMPARE(header.count(), 1);
}

void TestCurrencyTableModel::dropPending() {
    Model m;
    m.setRows(threeRows());
    QVERIFY(type(m, 0, Model::FirstValueCol, QStringLiteral("7")));
    QVERIFY(type(m, 1, Model::FirstValueCol, QStringLiteral("8")));
    m.dropPending(1);
    QCOMPARE(text(m, 0, Model::FirstValueCol), QStringLiteral("1.5"));
    QVERIFY(m.hasPending(2));
    m.dropPending();
    QVERIFY(!m.hasPending());
    QCOMPARE(text(m, 1, Model::FirstValueCol), QStringLiteral("2.5"));
}

void TestCurrencyTableModel::onlineLayout_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("cell"); // row 0 (key 1)
    QTest::newRow("key") << 0 << "" << "1";
    QTest::newRow("pos") << 1 << "Pos." << "10";
    QTest::newRow("name") << 2 << "Currency" << "US Dollar";
    QTest::newRow("value 1") << 3 << "Colum1" << "1.5";
    QTest::newRow("value 5") << 7 << "Colum5" << "";
    QTest::newRow("active") << 8 << "Active" << "Yes";
    QTest::newRow("last, empty") << 9 << "" << "";
}

void TestCurrencyTableModel::onlineLayout() {
    QFETCH(int, column);
    QFETCH(QString, caption);
    QFETCH(QString, cell);
    Model m(Model::Layout::Online);
    auto rows = threeRows();
    rows[0].img = QStringLiteral("/flags/us.png");
    m.setRows(rows);
    // A theme's header row does not reach the online grid.
    m.setThemeCaptions(QStringList{"A", "B", "C", "D", "E", "F"});
    QCOMPARE(m.columnCount(), 10);
    QCOMPARE(m.headerData(column, Qt::Horizontal).toString(), caption);
    QCOMPARE(text(m, 0, column), cell);
    QVERIFY(!m.index(0, 1).data(Model::FlagPathRole).isValid());
    // Limits: not columns of this grid.
    QVERIFY(!m.index(0, Model::LowCol).isValid());
    QCOMPARE(Model::isEditableColumn(column), column >= 3 && column <= 7);
}

void TestCurrencyTableModel::saveRowsAreWhatIsShown() {
    Model m(Model::Layout::Online);
    m.setShowAll(true);
    m.setRows(threeRows());
    QVERIFY(type(m, 1, 4, QStringLiteral("7.25")));
    QVERIFY(type(m, 2, 3, QStringLiteral("9"))); // not listed once Show All is off
    m.setShowAll(false);
    const auto rows = m.saveRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).name, QStringLiteral("US Dollar"));
    QCOMPARE(rows.at(0).pos, QStringLiteral("10"));
    QCOMPARE(rows.at(0).values, (QStringList{"1.5", "", "", "", ""}));
    QCOMPARE(rows.at(1).name, QStringLiteral("Euro"));
    QCOMPARE(rows.at(1).values, (QStringList{"2.5", "7.25", "", "", ""}));
}

void TestCurrencyTableModel::acceptPendingKeepsTypedValues() {
    Model m(Model::Layout::Online);
    m.setShowAll(true);
    m.setRows(threeRows());
    QVERIFY(type(m, 0, 3, QStringLiteral("1.75")));
    QVERIFY(type(m, 2, 7, QStringLiteral("0.5")));
    m.acceptPending();
    QVERIFY(!m.hasPending());
    QCOMPARE(text(m, 0, 3), QStringLiteral("1.75"));
    QCOMPARE(text(m, 2, 7), QStringLiteral("0.5"));
    QVERIFY(!m.index(0, 3).data(Model::PendingRole).toBool());
    // Typing the old value again is a change now.
    QVERIFY(type(m, 0, 3, QStringLiteral("1.5")));
    QVERIFY(m.hasPending(1));
}

QTEST_GUILESS_MAIN(TestCurrencyTableModel)
#include "tst_currencytablemodel.moc"
