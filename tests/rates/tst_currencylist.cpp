#include "rates/currencyentrywindow.h"
#include "rates/currencylistwindow.h"
#include "ratesfixture.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

using namespace quoteria;

namespace {

struct Grid {
    test::RatesFixture f;
    qint64 usd = 0, eur = 0, off = 0;
    std::unique_ptr<CurrencyListWindow> w;
    QTableView* fg = nullptr;
    QLineEdit* editor = nullptr;

    explicit Grid(bool admin = true, bool feedOn = false) : f(admin) {
        usd = f.addCurrency(QStringLiteral("US Dollar"), QStringLiteral("1.5"), 1);
        eur = f.addCurrency(QStringLiteral("Euro"), QStringLiteral("2.5"), 2);
        off = f.addCurrency(QStringLiteral("Hidden"), QStringLiteral("3.5"), 3, false);
        if (feedOn)
            f.settings.write(QStringLiteral("Display"), QStringLiteral("auto"),
                             QStringLiteral("value"), 1);
        w = std::make_unique<CurrencyListWindow>(f.ctx);
        w->show();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("list window not active");
        fg = w->findChild<QTableView*>(QStringLiteral("FG"));
        editor = w->findChild<QLineEdit*>(QStringLiteral("Text1"));
    }
    QModelIndex at(int row, int col) const { return fg->model()->index(row, col); }
    QString cell(int row, int col) const { return at(row, col).data().toString(); }
    int rows() const { return fg->model()->rowCount(); }
    void focusCell(int row, int col) {
        fg->setFocus();
        fg->setCurrentIndex(at(row, col));
    }
    // A double-click as the window system delivers it: press, release, then the
    // second press arrives as a double-click event.
    void doubleClick(const QPoint& at) {
        QWidget* vp = fg->viewport();
        QTest::mouseClick(vp, Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, vp->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(vp, &dbl);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, at);
    }
    void click(const char* button) {
        QTest::mouseClick(w->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
    }
};

} // namespace

class TestCurrencyList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillsRowsInBoardOrder();
    void headerFromTheme_data();
    void headerFromTheme();
    void showAll();
    void startKey_data();
    void startKey();
    void onlyValueColumnsEdit_data();
    void onlyValueColumnsEdit();
    void escapeDropsTyping();
    void leavingCellWrites();
    void ctrlSSavesAll_data();
    void ctrlSSavesAll();
    void doubleClick_data();
    void doubleClick();
    void adminOnlyButtons_data();
    void adminOnlyButtons();
    void deleteAsks_data();
    void deleteAsks();
    void autoReload();
    void autoReloadNeedsFeedAndBox();
    void reloadKeepsTypedValues();
    void refusedSaveKeepsTyping();
    void saveSkipsDeletedRow();
    void windowSizeKept();
    void valuesNotCutOff();
    void closeWithTypedValues_data();
    void closeWithTypedValues();
    void typedBackIsNotUnsaved();
};

void TestCurrencyList::fillsRowsInBoardOrder() {
    Grid g;
    QCOMPARE(g.fg->model()->columnCount(), 13);
    QCOMPARE(g.rows(), 2);
    QCOMPARE(g.cell(0, 0), QString::number(g.usd));
    QCOMPARE(g.cell(0, 1), QStringLiteral("1"));
    QCOMPARE(g.cell(0, 2), QStringLiteral("US Dollar"));
    QCOMPARE(g.cell(1, 3), QStringLiteral("2.5"));
    QCOMPARE(g.cell(1, 8), QStringLiteral("Yes"));
    QCOMPARE(g.cell(0, 11), QStringLiteral("1000"));
    QVERIFY(g.fg->columnWidth(0) <= 1);
}

void TestCurrencyList::headerFromTheme_data() {
    QTest::addColumn<bool>("withHeader");
    QTest::newRow("theme with header row") << true;
    QTest::newRow("theme without header row") << false;
}

void TestCurrencyList::headerFromTheme() {
    QFETCH(bool, withHeader);
    test::RatesFixture f;
    if (withHeader) {
        f.addThemeWithHeader(QStringLiteral("Board"),
                             {"Currency", "We Buy", "We Sell", "", "", ""});
    } else {
        f.db.insert(QStringLiteral("tbltheme"),
                    {{QStringLiteral("themename"), QStringLiteral("Bare")}});
        f.settings.write(QStringLiteral("Disp"), QStringLiteral("theme"), QStringLiteral("name"),
                         QStringLiteral("Bare"));
    }
    CurrencyListWindow w(f.ctx);
    auto* fg = w.findChild<QTableView*>(QStringLiteral("FG"));
    QStringList labels;
    for (int c = 0; c < fg->model()->columnCount(); ++c)
        labels << fg->model()->headerData(c, Qt::Horizontal).toString();
    if (withHeader)
        QCOMPARE(labels, (QStringList{"", "SN.", "Currency", "We Buy", "We Sell", "", "", "",
                                      "Active", "Updated", "Low", "High", ""}));
    else
        QCOMPARE(labels.join(QString()), QString());
}

void TestCurrencyList::showAll() {
    Grid g;
    g.focusCell(0, 3);
    QTest::keyClick(g.fg, Qt::Key_9);
    QTest::keyClick(g.editor, Qt::Key_Return);
    QTest::mouseClick(g.w->findChild<QCheckBox*>(QStringLiteral("chkShowAll")), Qt::LeftButton);
    QCOMPARE(g.rows(), 3);
    QCOMPARE(g.cell(2, 2), QStringLiteral("Hidden"));
    QCOMPARE(g.cell(2, 8), QStringLiteral("No"));
    QCOMPARE(g.cell(0, 3), QStringLiteral("9")); // typed value survives the reload
    QTest::mouseClick(g.w->findChild<QCheckBox*>(QStringLiteral("chkShowAll")), Qt::LeftButton);
    QCOMPARE(g.rows(), 2);
    // Hidden rows are not written by Save All.
    g.f.db.exec(QStringLiteral("update tblcurr set colum1='7' where currAuto=?"), {g.off});
    QVERIFY(g.w->saveAll());
    QCOMPARE(g.f.column(g.off, QStringLiteral("colum1")), QStringLiteral("7"));
    QCOMPARE(g.f.column(g.off, QStringLiteral("updateTime")), QString());

    // A value typed into a row that "Show All" then hid is saved, not dropped.
    QTest::mouseClick(g.w->findChild<QCheckBox*>(QStringLiteral("chkShowAll")), Qt::LeftButton);
    g.focusCell(2, 4);
    QTest::keyClick(g.fg, Qt::Key_4);
    QTest::keyClick(g.editor, Qt::Key_Return);
    QTest::mouseClick(g.w->findChild<QCheckBox*>(QStringLiteral("chkShowAll")), Qt::LeftButton);
    QVERIFY(g.w->saveAll());
    QCOMPARE(g.f.column(g.off, QStringLiteral("colum2")), QStringLiteral("4.00000"));
    QCOMPARE(g.f.column(g.off, QStringLiteral("colum1")), QStringLiteral("7.00000"));
    QCOMPARE(g.w->pendingCount(), 0);
}

void TestCurrencyList::startKey_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selected");
    QTest::newRow("digit") << int(Qt::Key_5) << 0 << "5" << false;
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << false;
    QTest::newRow("quote") << int(Qt::Key_Apostrophe) << 0 << "'" << false;
    QTest::newRow("space copies") << int(Qt::Key_Space) << 0 << "1.5" << true;
    QTest::newRow("backspace copies") << int(Qt::Key_Backspace) << 0 << "1.5" << true;
    QTest::newRow("enter copies") << int(Qt::Key_Return) << 0 << "1.5" << true;
    QTest::newRow("ctrl key copies") << int(Qt::Key_B) << int(Qt::ControlModifier) << "1.5" << true;
}

void TestCurrencyList::startKey() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, selected);
    Grid g;
    g.focusCell(0, 3);
    QTest::keyClick(g.fg, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(g.w->editorVisible());
    QCOMPARE(g.editor->text(), text);
    QCOMPARE(g.editor->hasSelectedText(), selected);
    if (selected)
        QCOMPARE(g.editor->selectedText(), text);
    else
        QCOMPARE(g.editor->cursorPosition(), text.size());
    QVERIFY(g.editor->hasFocus());
    // Over the cell being edited.
    const QRect cell = g.fg->visualRect(g.at(0, 3));
    QCOMPARE(g.editor->geometry().size(), cell.size());
}

void TestCurrencyList::onlyValueColumnsEdit_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("edits");
    for (int c = 0; c < 13; ++c)
        QTest::addRow("column %d", c) << c << (c >= 3 && c <= 7);
}

void TestCurrencyList::onlyValueColumnsEdit() {
    QFETCH(int, column);
    QFETCH(bool, edits);
    Grid g;
    g.focusCell(1, column);
    QTest::keyClick(g.fg, Qt::Key_4);
    QCOMPARE(g.w->editorVisible(), edits);
}

void TestCurrencyList::escapeDropsTyping() {
    Grid g;
    g.focusCell(0, 4);
    QTest::keyClicks(g.fg, "77");
    QCOMPARE(g.editor->text(), QStringLiteral("77"));
    QTest::keyClick(g.editor, Qt::Key_Escape);
    QVERIFY(!g.w->editorVisible());
    QCOMPARE(g.cell(0, 4), QString());
    QCOMPARE(g.w->pendingCount(), 0);
}

void TestCurrencyList::leavingCellWrites() {
    Grid g;
    g.focusCell(0, 3);
    QTest::keyClicks(g.fg, "8.25");
    g.fg->setCurrentIndex(g.at(1, 3)); // the grid moves on
    QVERIFY(!g.w->editorVisible());
    QCOMPARE(g.cell(0, 3), QStringLiteral("8.25"));
    QCOMPARE(g.f.column(g.usd, QStringLiteral("colum1")), QStringLiteral("1.5")); // not saved yet
    // Focus going elsewhere in the window writes too.
    QTest::keyClick(g.fg, Qt::Key_Space);
    g.editor->setText(QStringLiteral("6"));
    g.w->findChild<QCheckBox*>(QStringLiteral("chkAuto"))->setFocus(Qt::TabFocusReason);
    QVERIFY(!g.w->editorVisible());
    QCOMPARE(g.cell(1, 3), QStringLiteral("6"));
}

void TestCurrencyList::ctrlSSavesAll_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("formatted") << 6 << "1.2"
                               << "1.20000";
    QTest::newRow("not cut") << 6 << "1234.56789"
                             << "1234.56789";
    QTest::newRow("length 0") << 0 << "1.2"
                              << "1.2";
    QTest::newRow("sql as text") << 6 << "x'); delete from tblcurr; --"
                                 << "x'); delete from tblcurr; --";
    QTest::newRow("long text") << 6 << QString(3000, QLatin1Char('9'))
                               << QString(3000, QLatin1Char('9')) + ".00000";
}

void TestCurrencyList::ctrlSSavesAll() {
    QFETCH(int, length);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Grid g;
    g.f.settings.write(QStringLiteral("Display"), QStringLiteral("auto"), QStringLiteral("format"),
                       length);
    QSignalSpy changed(&g.f.events, &DataEvents::currenciesChanged);
    g.focusCell(1, 5);
    QTest::keyClick(g.fg, Qt::Key_Space);
    g.editor->setText(typed);
    QTest::keyClick(g.editor, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!g.w->editorVisible());
    QCOMPARE(g.f.column(g.eur, QStringLiteral("colum3")), stored);
    QCOMPARE(g.cell(1, 5), stored); // reloaded from the database
    QVERIFY(!g.f.column(g.usd, QStringLiteral("updateTime")).isEmpty());
    QCOMPARE(g.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(g.w->pendingCount(), 0);
}

void TestCurrencyList::doubleClick_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("name opens entry") << 2 << false;
    QTest::newRow("position opens entry") << 1 << false;
    QTest::newRow("active opens entry") << 8 << false;
    QTest::newRow("value edits in place") << 6 << true;
}

void TestCurrencyList::doubleClick() {
    QFETCH(int, column);
    QFETCH(bool, inPlace);
    Grid g;
    g.focusCell(1, column);
    const QRect r = g.fg->visualRect(g.at(1, column));
    g.doubleClick(r.center());
    QCOMPARE(g.w->editorVisible(), inPlace);
    QCOMPARE(g.w->entryWindow() != nullptr, !inPlace);
    if (!inPlace) {
        QCOMPARE(g.w->entryWindow()->ref(), QString::number(g.eur));
        QCOMPARE(g.w->entryWindow()->findChild<QLineEdit*>(QStringLiteral("txtCurr"))->text(),
                 QStringLiteral("Euro"));
    }
}

void TestCurrencyList::adminOnlyButtons_data() {
    QTest::addColumn<bool>("admin");
    QTest::newRow("Admin") << true;
    QTest::newRow("User") << false;
}

void TestCurrencyList::adminOnlyButtons() {
    QFETCH(bool, admin);
    Grid g(admin);
    g.f.env.recorder.answers << MsgAnswer::Yes;
    g.focusCell(0, 2);
    g.click("cmdEdit");
    QCOMPARE(g.w->entryWindow() != nullptr, admin);
    if (admin) {
        QCOMPARE(g.w->entryWindow()->ref(), QString::number(g.usd));
        g.w->entryWindow()->close();
        QTRY_VERIFY(!g.w->entryWindow());
    }
    g.click("cmdAdd");
    QCOMPARE(g.w->entryWindow() != nullptr, admin);
    if (admin)
        QCOMPARE(g.w->entryWindow()->ref(), QString());
    g.click("cmdDelete");
    QCOMPARE(g.f.env.recorder.entries.size(), admin ? 1 : 0);
    QCOMPARE(g.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), admin ? 2 : 3);
}

void TestCurrencyList::deleteAsks_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestCurrencyList::deleteAsks() {
    QFETCH(bool, yes);
    Grid g;
    g.f.env.recorder.answers << (yes ? MsgAnswer::Yes : MsgAnswer::No);
    QSignalSpy changed(&g.f.events, &DataEvents::currenciesChanged);
    g.focusCell(1, 2);
    g.click("cmdDelete");
    QCOMPARE(g.f.env.recorder.entries.size(), 1);
    QVERIFY(g.f.env.recorder.entries.first().question);
    QCOMPARE(g.f.env.recorder.last(), QStringLiteral("Do you want to delete "));
    QCOMPARE(g.f.column(g.eur, QStringLiteral("currName")),
             yes ? QString() : QStringLiteral("Euro"));
    QCOMPARE(g.rows(), yes ? 1 : 2);
    QCOMPARE(changed.count(), yes ? 1 : 0);
}

void TestCurrencyList::autoReload() {
    Grid g(true, true);
    auto* timer = g.w->findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer->isActive());
    QTest::mouseClick(g.w->findChild<QCheckBox*>(QStringLiteral("chkAuto")), Qt::LeftButton);
    QCOMPARE(g.f.settings.read("Display", "auto", "update"), QStringLiteral("1"));
    g.f.db.exec(QStringLiteral("update tblcurr set colum1='4.75' where currAuto=?"), {g.usd});
    for (int i = 0; i < 30; ++i)
        g.w->Timer1_Timer();
    QCOMPARE(g.cell(0, 3), QStringLiteral("1.5"));
    g.w->Timer1_Timer();
    QCOMPARE(g.cell(0, 3), QStringLiteral("4.75"));
    QCOMPARE(g.w->tickCounter(), 0);

    // An open editor holds the reload off.
    g.f.db.exec(QStringLiteral("update tblcurr set colum1='5.75' where currAuto=?"), {g.usd});
    g.focusCell(1, 3);
    QTest::keyClick(g.fg, Qt::Key_1);
    for (int i = 0; i < 31; ++i)
        g.w->Timer1_Timer();
    QVERIFY(g.w->editorVisible());
    QCOMPARE(g.cell(0, 3), QStringLiteral("4.75"));
    QCOMPARE(g.editor->text(), QStringLiteral("1"));
}

void TestCurrencyList::autoReloadNeedsFeedAndBox() {
    {
        Grid g(true, false);
        QVERIFY(!g.w->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
    }
    Grid g(true, true);
    QVERIFY(!g.w->findChild<QCheckBox*>(QStringLiteral("chkAuto"))->isChecked());
    g.f.db.exec(QStringLiteral("update tblcurr set colum1='4.75' where currAuto=?"), {g.usd});
    for (int i = 0; i < 62; ++i)
        g.w->Timer1_Timer();
    QCOMPARE(g.cell(0, 3), QStringLiteral("1.5"));
}

void TestCurrencyList::reloadKeepsTypedValues() {
    Grid g(true, true);
    g.w->findChild<QCheckBox*>(QStringLiteral("chkAuto"))->setChecked(true);
    g.focusCell(1, 3);
    QTest::keyClicks(g.fg, "3.3");
    QTest::keyClick(g.editor, Qt::Key_Return);
    g.f.db.exec(QStringLiteral("update tblcurr set colum1='9' where currAuto=?"), {g.usd});
    for (int i = 0; i < 31; ++i)
        g.w->Timer1_Timer();
    QCOMPARE(g.cell(0, 3), QStringLiteral("9"));   // fed value shows
    QCOMPARE(g.cell(1, 3), QStringLiteral("3.3")); // typed value stays
    QCOMPARE(g.fg->currentIndex().row(), 1);
    g.click("cmdRevert");
    QCOMPARE(g.cell(1, 3), QStringLiteral("2.5"));
    QCOMPARE(g.w->pendingCount(), 0);
}

void TestCurrencyList::refusedSaveKeepsTyping() {
    Grid g;
    g.f.refuseWrites();
    g.focusCell(0, 3);
    QTest::keyClicks(g.fg, "6.5");
    QTest::keyClick(g.editor, Qt::Key_Return);
    g.click("cmdSave");
    QCOMPARE(g.f.env.recorder.entries.size(), 1);
    QVERIFY(g.f.env.recorder.last().contains(QLatin1String("write-protected")));
    QCOMPARE(g.f.column(g.usd, QStringLiteral("colum1")), QStringLiteral("1.5"));
    QCOMPARE(g.f.column(g.usd, QStringLiteral("updateTime")), QString());
    QCOMPARE(g.cell(0, 3), QStringLiteral("6.5"));
    QCOMPARE(g.w->pendingCount(), 1);
}

void TestCurrencyList::saveSkipsDeletedRow() {
    Grid g;
    g.focusCell(1, 3);
    QTest::keyClicks(g.fg, "7");
    QTest::keyClick(g.editor, Qt::Key_Return);
    g.f.db.removeWhere(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), g.usd);
    QVERIFY(g.w->saveAll());
    QCOMPARE(g.f.column(g.eur, QStringLiteral("colum1")), QStringLiteral("7.00000"));
    QCOMPARE(g.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 2);
    QCOMPARE(g.rows(), 1);
    // Nothing had been typed into the deleted row: nothing to report.
    QVERIFY(g.f.env.recorder.entries.isEmpty());

    // A typed value in a row deleted meanwhile is reported, not silently dropped.
    g.focusCell(0, 4);
    QTest::keyClicks(g.fg, "8");
    QTest::keyClick(g.editor, Qt::Key_Return);
    g.f.db.removeWhere(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), g.eur);
    QVERIFY(g.w->saveAll());
    QCOMPARE(g.f.env.recorder.entries.size(), 1);
    QVERIFY(g.f.env.recorder.last().contains(QLatin1String("Euro")));
    QCOMPARE(g.rows(), 0);
}

void TestCurrencyList::windowSizeKept() {
    test::RatesFixture f;
    f.settings.write(QStringLiteral("Display"), QStringLiteral("List"), QStringLiteral("width"),
                     9000.0);
    f.settings.write(QStringLiteral("Display"), QStringLiteral("List"), QStringLiteral("height"),
                     6000.0);
    CurrencyListWindow w(f.ctx);
    QCOMPARE(w.size(), QSize(600, 400));
    w.show();
    w.resize(640, 420);
    w.close();
    QCOMPARE(f.settings.readInt("Display", "List", "width", 0), 640 * 15);
    QCOMPARE(f.settings.readInt("Display", "List", "height", 0), 420 * 15);
}

void TestCurrencyList::valuesNotCutOff() {
    Grid g; // default window size
    const int needed = g.fg->fontMetrics().horizontalAdvance(QStringLiteral("123.45678"));
    for (int c = 3; c <= 7; ++c)
        QVERIFY2(g.fg->columnWidth(c) > needed, qPrintable(QString::number(c)));
    QVERIFY(g.fg->columnWidth(2) > g.fg->columnWidth(3));
    bool ok = false;
    g.f.db.exec(QStringLiteral("update tblcurr set updateTime=?"),
                {QStringLiteral("2026-12-08 16:55:46")}, &ok);
    QVERIFY(ok);
    g.click("cmdRevert");
    const QString stamp = g.cell(0, 9);
    QVERIFY(!stamp.isEmpty());
    QVERIFY(g.fg->columnWidth(9) > g.fg->fontMetrics().horizontalAdvance(stamp));
}

void TestCurrencyList::closeWithTypedValues_data() {
    QTest::addColumn<bool>("save");
    QTest::newRow("saved on Yes") << true;
    QTest::newRow("dropped on No") << false;
}

void TestCurrencyList::closeWithTypedValues() {
    QFETCH(bool, save);
    Grid g;
    g.focusCell(0, 3);
    QTest::keyClick(g.fg, Qt::Key_Tab); // Tab moves on, it does not start the editor
    QVERIFY(!g.w->editorVisible());
    g.focusCell(0, 3);
    QTest::keyClicks(g.fg, "4.2");
    QVERIFY(g.w->hasUnsavedWork());
    // Cancel keeps the window open with the typing.
    g.f.env.recorder.answers << MsgAnswer::Cancel;
    QVERIFY(!g.w->close());
    QVERIFY(g.w->isVisible());
    QCOMPARE(g.cell(0, 3), QStringLiteral("4.2"));
    QCOMPARE(g.w->pendingCount(), 1);
    QCOMPARE(g.f.env.recorder.entries.size(), 1);
    g.f.env.recorder.clear();
    g.f.env.recorder.answers << (save ? MsgAnswer::Yes : MsgAnswer::No);
    g.w->close();
    QCOMPARE(g.f.env.recorder.entries.size(), 1);
    QVERIFY(g.f.env.recorder.entries.first().question);
    QCOMPARE(g.f.env.recorder.entries.first().text,
             QStringLiteral("Some typed values are not saved. Save them now?"));
    QCOMPARE(g.f.column(g.usd, QStringLiteral("colum1")),
             save ? QStringLiteral("4.20000") : QStringLiteral("1.5"));
    QCOMPARE(g.w->pendingCount(), 0);

    // Opened again, the window reads the table afresh.
    g.f.db.exec(QStringLiteral("update tblcurr set colum2='77' where currAuto=?"), {g.eur});
    g.w->show();
    QCOMPARE(g.cell(1, 4), QStringLiteral("77"));
    QCOMPARE(g.cell(0, 3), save ? QStringLiteral("4.20000") : QStringLiteral("1.5"));
}

void TestCurrencyList::typedBackIsNotUnsaved() {
    Grid g;
    g.focusCell(0, 3);
    QTest::keyClicks(g.fg, "9");
    QTest::keyClick(g.editor, Qt::Key_Return);
    QVERIFY(g.w->hasUnsavedWork());
    g.focusCell(0, 3);
    QTest::keyClicks(g.fg, "1.5");
    QTest::keyClick(g.editor, Qt::Key_Return);
    QCOMPARE(g.w->pendingCount(), 0);
    QVERIFY(!g.w->hasUnsavedWork());
    QVERIFY(g.w->settleUnsavedWork());
    QVERIFY(g.w->close());
    QVERIFY(g.f.env.recorder.entries.isEmpty());
}

QTEST_MAIN(TestCurrencyList)
#include "tst_currencylist.moc"
