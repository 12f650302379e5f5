#include "rates/currencyentrywindow.h"
#include "rates/currencylistwindow.h"
#include "ratesfixture.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace quoteria;

namespace {

struct Entry {
    test::RatesFixture f;
    QPointer<CurrencyEntryWindow> w;

    Entry() {
        w = new CurrencyEntryWindow(f.ctx);
        w->show();
    }
    ~Entry() { delete w.data(); }
    QLineEdit* edit(const QString& name) const { return w->findChild<QLineEdit*>(name); }
    void type(const QString& name, const QString& text) {
        QLineEdit* e = edit(name);
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    void open(qint64 key) {
        w->setRef(QString::number(key));
        w->getData();
    }
    bool closed() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return w.isNull();
    }
    QString writePicture(const QString& name) {
        QImage img(32, 20, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        const QString path = f.env.dir() + QLatin1Char('/') + name;
        img.save(path);
        return path;
    }
};

} // namespace

class TestCurrencyEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addsNewCurrency();
    void saveChecks_data();
    void saveChecks();
    void leavingRules_data();
    void leavingRules();
    void duplicatePosition_data();
    void duplicatePosition();
    void deletedWhileOpen();
    void refusedWriteKeepsEntries();
    void flagPicker_data();
    void flagPicker();
    void storedFlagRule();
    void captionsFromTheme();
    void listReloadsAfterSave();
    void closeAsksAboutTyping_data();
    void closeAsksAboutTyping();
};

void TestCurrencyEntry::addsNewCurrency() {
    Entry e;
    QSignalSpy saved(e.w.data(), &CurrencyEntryWindow::saved);
    QSignalSpy changed(&e.f.events, &DataEvents::currenciesChanged);
    QCOMPARE(e.edit("txtLow")->text(), QStringLiteral("0.0001"));
    QCOMPARE(e.edit("txtHigh")->text(), QStringLiteral("1000"));
    e.type("txtCurr", "Pound 'GBP'; drop table tblcurr");
    e.type("Text1", "1.23456789");
    e.type("Text2", "abc");
    e.w->findChild<QCheckBox*>(QStringLiteral("chkActive"))->setChecked(true);
    QTest::mouseClick(e.w->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QVERIFY(e.f.env.recorder.entries.isEmpty());
    QVERIFY(e.closed());
    QCOMPARE(saved.count(), 1);
    QCOMPARE(changed.count(), 1);
    const qint64 key =
        e.f.db.scalar(QStringLiteral("select max(currAuto) from tblcurr")).toLongLong();
    QCOMPARE(e.f.column(key, QStringLiteral("currName")),
             QStringLiteral("Pound 'GBP'; drop table tblcurr"));
    QCOMPARE(e.f.column(key, QStringLiteral("colum1")), QStringLiteral("1.2345"));
    QCOMPARE(e.f.column(key, QStringLiteral("colum2")), QStringLiteral("abc"));
    QCOMPARE(e.f.column(key, QStringLiteral("pos")).toLongLong(), key);
    QCOMPARE(e.f.column(key, QStringLiteral("active")), QStringLiteral("1"));
    QCOMPARE(e.f.column(key, QStringLiteral("vstate")), QStringLiteral("N"));
    QCOMPARE(e.f.column(key, QStringLiteral("low")).toDouble(), 0.0001);
}

void TestCurrencyEntry::saveChecks_data() {
    QTest::addColumn<bool>("feedOn");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("red");
    const QStringList good{"3,4", "", "", "", ""};
    QTest::newRow("bad cell, feed on") << true << "Yen" << QStringList{"3,4", "3;4", "", "", ""}
                                       << "Check Cell Values for Excel" << 1;
    QTest::newRow("C,4 with feed on") << true << "Yen" << QStringList{"C,4", "", "", "", ""}
                                      << "Check Cell Values for Excel" << 0;
    QTest::newRow("three parts") << true << "Yen" << QStringList{"", "", "", "", "3,4,5"}
                                 << "Check Cell Values for Excel" << 4;
    QTest::newRow("cells first, then name")
        << true << "" << QStringList{"x", "", "", "", ""} << "Check Cell Values for Excel" << 0;
    QTest::newRow("blank name") << true << "" << good << "Currency name should not be blank" << -1;
    QTest::newRow("blanks only name")
        << false << "   " << good << "Currency name should not be blank" << -1;
    QTest::newRow("feed off saves bad cells")
        << false << "Yen" << QStringList{"3;4", "", "", "", ""} << "" << -1;
    QTest::newRow("all good") << true << "Yen" << good << "" << -1;
}

void TestCurrencyEntry::saveChecks() {
    QFETCH(bool, feedOn);
    QFETCH(QString, name);
    QFETCH(QStringList, cells);
    QFETCH(QString, message);
    QFETCH(int, red);
    Entry e;
    e.f.settings.write(QStringLiteral("Display"), QStringLiteral("auto"), QStringLiteral("value"),
                       feedOn ? 1 : 0);
    e.edit("txtCurr")->setText(name);
    for (int i = 0; i < 5; ++i)
        e.edit(QStringLiteral("cell%1").arg(i))->setText(cells.at(i));
    const bool ok = e.w->save();
    QCOMPARE(ok, message.isEmpty());
    QCOMPARE(e.f.env.recorder.last(), message);
    QCOMPARE(e.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), ok ? 1 : 0);
    if (ok) {
        QCOMPARE(e.f.db.scalar(QStringLiteral("select cell1 from tblcurr")).toString(),
                 cells.at(0));
        return;
    }
    QVERIFY(!e.closed());
    for (int i = 0; i < 5; ++i) {
        const QColor c = e.edit(QStringLiteral("cell%1").arg(i))->palette().color(QPalette::Text);
        if (i == red)
            QCOMPARE(c, QColor(255, 0, 0));
        else if (!cells.at(i).isEmpty() && feedOn && i < red)
            QCOMPARE(c, QColor(Qt::black));
    }
    QCOMPARE(e.edit("txtCurr")->text(), name);
}

void TestCurrencyEntry::leavingRules_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("cell over 8") << "cell2"
                                 << "123456,89"
                                 << "0,0";
    QTest::newRow("cell of 8") << "cell2"
                               << "1234,678"
                               << "1234,678";
    QTest::newRow("high letters") << "txtHigh"
                                  << "abc"
                                  << "0";
    QTest::newRow("low trailing junk") << "txtLow"
                                       << "1.5x"
                                       << "0";
    QTest::newRow("high number") << "txtHigh"
                                 << "12.5"
                                 << "12.5";
    QTest::newRow("low sql") << "txtLow"
                             << "0; delete from tblcurr"
                             << "0";
}

void TestCurrencyEntry::leavingRules() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    Entry e;
    QVERIFY(QTest::qWaitForWindowActive(e.w.data()));
    e.type(box, typed);
    QCOMPARE(e.edit(box)->text(), typed);
    e.edit("txtCurr")->setFocus();
    QCOMPARE(e.edit(box)->text(), after);
}

void TestCurrencyEntry::duplicatePosition_data() {
    QTest::addColumn<bool>("existing");
    QTest::newRow("edited currency") << true;
    QTest::newRow("new currency") << false;
}

void TestCurrencyEntry::duplicatePosition() {
    QFETCH(bool, existing);
    Entry e;
    e.f.addCurrency(QStringLiteral("Euro"), QStringLiteral("1"), 5);
    const qint64 usd = e.f.addCurrency(QStringLiteral("Dollar"), QStringLiteral("2"), 6);
    if (existing)
        e.open(usd);
    e.type("txtCurr", "Dollar typed");
    e.type("Text3", "7.5");
    e.type("txtPos", "5");
    QVERIFY(!e.w->save());
    QVERIFY(e.f.env.recorder.last().startsWith(
        QLatin1String("The Position number shuld be unique\r\n")));
    QVERIFY(e.f.env.recorder.last().size() > 40); // followed by the database's description
    QVERIFY(!e.closed());
    QCOMPARE(e.edit("txtCurr")->text(), QStringLiteral("Dollar typed"));
    QCOMPARE(e.edit("Text3")->text(), QStringLiteral("7.5"));
    QCOMPARE(e.edit("txtPos")->text(), QStringLiteral("5"));
    QCOMPARE(e.f.column(usd, QStringLiteral("currName")), QStringLiteral("Dollar"));
    QCOMPARE(e.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 2);
}

void TestCurrencyEntry::deletedWhileOpen() {
    Entry e;
    const qint64 k = e.f.addCurrency(QStringLiteral("Franc"), QStringLiteral("1"), 1);
    e.open(k);
    QCOMPARE(e.edit("txtCurr")->text(), QStringLiteral("Franc"));
    e.f.db.removeWhere(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), k);
    e.type("Text1", "9.9");
    QVERIFY(!e.w->save());
    QVERIFY(e.f.env.recorder.last().contains(QLatin1String("deleted")));
    QCOMPARE(e.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 0);
    QVERIFY(!e.closed());
    QCOMPARE(e.edit("Text1")->text(), QStringLiteral("9.9"));
}

void TestCurrencyEntry::refusedWriteKeepsEntries() {
    Entry e;
    const qint64 k = e.f.addCurrency(QStringLiteral("Rand"), QStringLiteral("1"), 1);
    e.f.refuseWrites();
    for (bool existing : {true, false}) {
        e.f.env.recorder.clear();
        e.w->setRef(existing ? QString::number(k) : QString());
        e.type("txtCurr", "Rand typed");
        QVERIFY(!e.w->save());
        QCOMPARE(e.f.env.recorder.entries.size(), 1);
        QVERIFY(e.f.env.recorder.last().contains(QLatin1String("write-protected")));
        QVERIFY(!e.f.env.recorder.last().contains(QLatin1String("Position")));
        QVERIFY(!e.closed());
        QCOMPARE(e.edit("txtCurr")->text(), QStringLiteral("Rand typed"));
    }
    QCOMPARE(e.f.column(k, QStringLiteral("currName")), QStringLiteral("Rand"));
    QCOMPARE(e.f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 1);
}

void TestCurrencyEntry::flagPicker_data() {
    QTest::addColumn<QString>("file"); // "png", "text", "missing", "" (cancel)
    QTest::addColumn<bool>("taken");
    QTest::newRow("picture") << "png" << true;
    QTest::newRow("not a picture") << "text" << false;
    QTest::newRow("missing file") << "missing" << false;
    QTest::newRow("cancelled") << "" << false;
}

void TestCurrencyEntry::flagPicker() {
    QFETCH(QString, file);
    QFETCH(bool, taken);
    Entry e;
    e.edit("Text6")->setText(QStringLiteral("/old/flag.gif"));
    QString path;
    if (file == QLatin1String("png")) {
        path = e.writePicture(QStringLiteral("flag.png"));
    } else if (file == QLatin1String("text")) {
        path = e.f.env.dir() + QStringLiteral("/flag.jpg");
        QFile t(path);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("not a picture at all");
    } else if (file == QLatin1String("missing")) {
        path = e.f.env.dir() + QStringLiteral("/nowhere.gif");
    }
    if (!path.isEmpty())
        e.f.dialogs.files << path;
    QTest::mouseClick(e.w->findChild<QPushButton*>(QStringLiteral("cmdBrowse")), Qt::LeftButton);
    QCOMPARE(e.f.dialogs.asked.size(), 1);
    QCOMPARE(e.edit("Text6")->text(), taken ? path : QStringLiteral("/old/flag.gif"));
    QCOMPARE(e.w->previewShown(), taken);
    QCOMPARE(!e.f.env.recorder.entries.isEmpty(), !taken && !path.isEmpty());
}

void TestCurrencyEntry::storedFlagRule() {
    Entry e;
    const QString png = e.writePicture(QStringLiteral("a.png"));
    const qint64 missing =
        e.f.addCurrency("A", "1", 1, true, "0.0001", "1000", QStringLiteral("/gone/a.gif"));
    const qint64 shown = e.f.addCurrency("B", "1", 2, true, "0.0001", "1000", png);

    // No picture on show: whatever is typed, the stored path stays.
    e.open(missing);
    QVERIFY(!e.w->previewShown());
    e.type("Text6", "/typed/path.gif");
    QVERIFY(e.w->save());
    QCOMPARE(e.f.column(missing, QStringLiteral("img")), QStringLiteral("/gone/a.gif"));

    // A picture on show and the path emptied with Escape: the empty path is stored.
    e.w = new CurrencyEntryWindow(e.f.ctx);
    e.w->show();
    e.open(shown);
    QVERIFY(e.w->previewShown());
    e.edit("Text6")->setFocus();
    QTest::keyClick(e.edit("Text6"), Qt::Key_Escape);
    QCOMPARE(e.edit("Text6")->text(), QString());
    QVERIFY(e.w->save());
    QCOMPARE(e.f.column(shown, QStringLiteral("img")), QString());
}

void TestCurrencyEntry::captionsFromTheme() {
    test::RatesFixture f;
    f.addThemeWithHeader(QStringLiteral("Board"), {"Currency", "Buy", "Sell", "", "", "Spread"});
    CurrencyEntryWindow* w = new CurrencyEntryWindow(f.ctx);
    QStringList captions;
    captions << w->findChild<QLabel*>(QStringLiteral("lblCurr"))->text();
    for (int i = 1; i <= 5; ++i)
        captions << w->findChild<QLabel*>(QStringLiteral("lblCol%1").arg(i))->text();
    QCOMPARE(captions, (QStringList{"Currency", "Buy", "Sell", "Column3", "Column4", "Spread"}));
    delete w;
}

void TestCurrencyEntry::listReloadsAfterSave() {
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("Rupee"), QStringLiteral("1"), 1);
    CurrencyListWindow list(f.ctx);
    list.show();
    auto* fg = list.findChild<QTableView*>(QStringLiteral("FG"));
    fg->setCurrentIndex(fg->model()->index(0, 2));
    list.editCurrency();
    QPointer<CurrencyEntryWindow> entry = list.entryWindow();
    QVERIFY(entry);
    QCOMPARE(entry->parentWidget(), &list);
    entry->findChild<QLineEdit*>(QStringLiteral("txtCurr"))
        ->setText(QStringLiteral("Indian Rupee"));
    QVERIFY(entry->save());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(entry.isNull());
    QCOMPARE(fg->model()->index(0, 2).data().toString(), QStringLiteral("Indian Rupee"));
    QCOMPARE(f.column(k, QStringLiteral("currName")), QStringLiteral("Indian Rupee"));
    // A new entry window starts empty.
    list.addNew();
    QCOMPARE(list.entryWindow()->findChild<QLineEdit*>(QStringLiteral("txtCurr"))->text(),
             QString());
}

void TestCurrencyEntry::closeAsksAboutTyping_data() {
    QTest::addColumn<bool>("loaded");  // editing an existing currency
    QTest::addColumn<QString>("name"); // typed into txtCurr; null: not touched
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("stored"); // the currency's name afterwards; empty: no row
    QTest::newRow("new, untouched")
        << false << QString() << int(MsgAnswer::Cancel) << false << true << "";
    QTest::newRow("loaded, untouched")
        << true << QString() << int(MsgAnswer::Cancel) << false << true << "Peso";
    QTest::newRow("loaded, typed the same")
        << true << "Peso" << int(MsgAnswer::Cancel) << false << true << "Peso";
    QTest::newRow("new, cancel") << false << "Baht" << int(MsgAnswer::Cancel) << true << false
                                 << "";
    QTest::newRow("new, no") << false << "Baht" << int(MsgAnswer::No) << true << true << "";
    QTest::newRow("new, yes") << false << "Baht" << int(MsgAnswer::Yes) << true << true << "Baht";
    QTest::newRow("loaded, yes") << true << "Sol" << int(MsgAnswer::Yes) << true << true << "Sol";
    QTest::newRow("loaded, no") << true << "Sol" << int(MsgAnswer::No) << true << true << "Peso";
    QTest::newRow("yes, save refused")
        << true << " " << int(MsgAnswer::Yes) << true << false << "Peso";
}

void TestCurrencyEntry::closeAsksAboutTyping() {
    QFETCH(bool, loaded);
    QFETCH(QString, name);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, closes);
    QFETCH(QString, stored);
    Entry e;
    const qint64 k = loaded ? e.f.addCurrency(QStringLiteral("Peso"), QStringLiteral("1"), 1) : 0;
    if (loaded)
        e.open(k);
    if (!name.isNull())
        e.type("txtCurr", name);
    QCOMPARE(e.w->hasUnsavedWork(), asked);
    e.f.env.recorder.answers << MsgAnswer(answer);
    e.w->close();
    QCOMPARE(!e.f.env.recorder.entries.isEmpty() && e.f.env.recorder.entries.first().question,
             asked);
    if (asked)
        QCOMPARE(e.f.env.recorder.entries.first().text,
                 QStringLiteral("The currency values have changed.\nDo you want to save the "
                                "changes ?"));
    QCOMPARE(e.closed(), closes);
    if (!closes) {
        QCOMPARE(e.edit("txtCurr")->text(), name);
        // What the panel's Exit asks: still unsettled, and Cancel says so.
        e.f.env.recorder.answers << MsgAnswer::Cancel;
        QVERIFY(!e.w->settleUnsavedWork());
    }
    const qint64 key =
        e.f.db.scalar(QStringLiteral("select max(currAuto) from tblcurr")).toLongLong();
    QCOMPARE(key ? e.f.column(key, QStringLiteral("currName")) : QString(), stored);
}

QTEST_MAIN(TestCurrencyEntry)
#include "tst_currencyentry.moc"
