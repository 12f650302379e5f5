// The online windows against a PostgreSQL server of the test's own.
#include "data/remotesource.h"
#include "feeds/onlinerates.h"
#include "media/alarmplayer.h"
#include "panel/controlpanel.h"
#include "pgserver.h"
#include "rates/currencytablemodel.h"
#include "rates/feedscheduler.h"
#include "rates/onlinecurrencyentrywindow.h"
#include "rates/onlinecurrencylistwindow.h"
#include "rates/onlinesetupwindow.h"
#include "rates/ratemonitor.h"
#include "ratesfixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

using namespace quoteria;

namespace {

constexpr int kWait = 20000; // ms; a loaded machine starts connections slowly

test::PgServer* server = nullptr;

// The settings of a head office nobody answers for: a socket folder that does not exist.
OnlineSource unreachable() {
    OnlineSource s = server->source();
    s.host = QStringLiteral("/nonexistent/quoteria-socket");
    return s;
}

// A local database, the head office's settings as loaded at login, and the service.
struct Online : test::RatesFixture {
    std::unique_ptr<OnlineRates> rates;
    Connection remote;

    explicit Online(bool reachable = true, bool admin = true) : RatesFixture(admin) {
        ctx.online = reachable ? server->source() : unreachable();
        RemoteTarget t;
        t.engine = RemoteEngine::PostgreSql;
        t.store(settings);
        rates = std::make_unique<OnlineRates>(ctx);
        rates->setLoginTimeout(remote::minLoginTimeout);
        if (!remote::open(remote, server->source(), RemoteEngine::PostgreSql))
            qFatal("no test server: %s", qPrintable(remote.lastError()));
        bool ok = false;
        remote.exec(QStringLiteral("DELETE FROM tblCurr"), {}, &ok);
        if (!ok)
            qFatal("cannot empty the remote table: %s", qPrintable(remote.lastError()));
    }
    ~Online() { rates->shutdown(); }

    void addRemote(const QString& name, const QString& col1, int pos, bool active = true) {
        bool ok = false;
        remote.exec(QStringLiteral("INSERT INTO tblCurr (currName, col1, pos, active) "
                                   "VALUES (?, ?, ?, ?)"),
                    {name, col1, pos, active ? 1 : 0}, &ok);
        if (!ok)
            qFatal("cannot add a remote row: %s", qPrintable(remote.lastError()));
    }
    // "name:col1:pos" of every remote row, by name.
    QStringList remoteRows() {
        QStringList out;
        for (const QSqlRecord& r : remote.fetchAll(
                 QStringLiteral("SELECT currName, col1, pos FROM tblCurr ORDER BY currName")))
            out << QStringLiteral("%1:%2:%3").arg(r.value(0).toString(), r.value(1).toString(),
                                                  r.value(2).toString());
        return out;
    }
    qint64 remoteKey(const QString& name) {
        return remote.scalar(QStringLiteral("SELECT currAuto FROM tblCurr WHERE currName = ?"),
                             {name})
            .toLongLong();
    }
    QStringList messages() const { return env.recorder.texts(); }
    // Opens the service's connection, as the panel's "Currency Update" does first.
    bool connectNow() {
        bool connected = false;
        rates->connectOnline(nullptr, [&](bool ok, const QString&) { connected = ok; });
        return QTest::qWaitFor([&] { return connected; }, kWait);
    }
};

} // namespace
Q_DECLARE_METATYPE(quoteria::RemoteEngine)
namespace {

template <typename T> T* child(QWidget* w, const QString& name) {
    T* c = w->findChild<T*>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

void setText(QWidget* w, const char* name, const QString& text) {
    child<QLineEdit>(w, QLatin1String(name))->setText(text);
}

void click(QWidget* w, const char* name) {
    child<QPushButton>(w, QLatin1String(name))->click();
}

// Types into a value cell of the grid the way the operator does.
void typeCell(OnlineCurrencyListWindow* w, int row, int column, const QString& text) {
    QVERIFY(w->model()->setData(w->model()->index(row, column), text));
}

} // namespace

class TestOnline : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void setupSave_data();
    void setupSave();
    void testConnection_data();
    void testConnection();
    void upload_data();
    void upload();
    void uploadFailureReported();
    void listFillsOnOpenConnection_data();
    void listFillsOnOpenConnection();
    void listSaveAllSendsCutValues_data();
    void listSaveAllSendsCutValues();
    void listCloseWithTypedValues_data();
    void listCloseWithTypedValues();
    void listRefusalsWithoutServer_data();
    void listRefusalsWithoutServer();
    void listDeleteIsAdminOnly_data();
    void listDeleteIsAdminOnly();
    void entrySave_data();
    void entrySave();
    void entryWithoutServer();
    void panelCurrencyUpdate_data();
    void panelCurrencyUpdate();
    void panelOnlineSettings_data();
    void panelOnlineSettings();
    void panelStartsOnlineFeed_data();
    void panelStartsOnlineFeed();

private:
    test::PgServer m_server;
};

void TestOnline::initTestCase() {
    QVERIFY2(m_server.start(QStringLiteral(QUOTERIA_ONLINE_SCHEMA)),
             qPrintable(QStringLiteral("test PostgreSQL server did not start: ") + m_server.why()));
    server = &m_server;
}

void TestOnline::cleanupTestCase() {
    server = nullptr;
    m_server.stop();
}

void TestOnline::setupSave_data() {
    QTest::addColumn<QString>("interval");
    QTest::addColumn<bool>("rowThere");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("written");
    QTest::newRow("saved") << "45" << true << "" << true;
    QTest::newRow("not numeric") << "4x" << true << "Value should be 1-99 " << false;
    QTest::newRow("empty") << "" << true << "Value should be 1-99 " << false;
    QTest::newRow("out of range") << "100" << true << "Value should be 1-99 " << false;
    QTest::newRow("no row: nothing written") << "45" << false << "" << false;
}

void TestOnline::setupSave() {
    QFETCH(QString, interval);
    QFETCH(bool, rowThere);
    QFETCH(QString, message);
    QFETCH(bool, written);
    Online f;
    using O = UserStore::Online;
    if (!rowThere)
        QVERIFY(f.db.removeWhere(O::table, O::key, 1));
    OnlineSetupWindow w(f.ctx, *f.rates);
    w.show();
    setText(&w, "txthost", QStringLiteral("hq.example"));
    setText(&w, "txtTime", interval);
    child<QCheckBox>(&w, QStringLiteral("chkColum3"))->setChecked(true);
    child<QCheckBox>(&w, QStringLiteral("chkAuto"))->setChecked(true);
    auto* engine = child<QComboBox>(&w, QStringLiteral("cmbEngine"));
    engine->setCurrentIndex(engine->findText(QStringLiteral("SQL Server")));
    click(&w, "cmdSave");

    QCOMPARE(f.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    // A refused entry keeps the window open with what was typed.
    QCOMPARE(w.isVisible(), !message.isEmpty());
    OnlineSource stored;
    QCOMPARE(f.ctx.users.loadOnlineSource(stored), rowThere);
    QCOMPARE(stored.host == QLatin1String("hq.example"), written);
    if (written) {
        QCOMPARE(stored.interval, 45);
        QVERIFY(stored.columnFlags[2]);
        QVERIFY(!stored.columnFlags[0]);
        QVERIFY(stored.autoUpdate);
    }
    const RemoteEngine expected = message.isEmpty() ? RemoteEngine::SqlServer
                                                    : RemoteEngine::PostgreSql;
    QCOMPARE(int(RemoteTarget::stored(f.settings).engine), int(expected));
    // Saved values wait for the next login.
    QCOMPARE(f.ctx.online.host, server->source().host);
}

void TestOnline::testConnection_data() {
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<bool>("saveOtherFirst");
    QTest::addColumn<QString>("message");
    QTest::newRow("server answers") << true << false << "Connecction Success";
    QTest::newRow("no server") << false << false << "Connection Failed";
    // The test uses what was loaded at login, not what was just saved.
    QTest::newRow("saved unreachable, login reachable") << true << true << "Connecction Success";
    QTest::newRow("saved reachable, login unreachable") << false << true << "Connection Failed";
}

void TestOnline::testConnection() {
    QFETCH(bool, reachable);
    QFETCH(bool, saveOtherFirst);
    QFETCH(QString, message);
    Online f(reachable);
    if (saveOtherFirst) {
        OnlineSetupWindow saver(f.ctx, *f.rates);
        const OnlineSource other = reachable ? unreachable() : server->source();
        setText(&saver, "txthost", other.host);
        setText(&saver, "txtData", other.dbname);
        setText(&saver, "txtUser", other.dbuser);
        QVERIFY(saver.save());
    }
    OnlineSetupWindow w(f.ctx, *f.rates);
    w.show();
    click(&w, "cmdTest");
    QVERIFY(w.isBusy());
    QVERIFY(!child<QPushButton>(&w, QStringLiteral("cmdUpload"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    QCOMPARE(f.messages(), QStringList{message});
    QVERIFY(child<QPushButton>(&w, QStringLiteral("cmdUpload"))->isEnabled());
}

void TestOnline::upload_data() {
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("remoteAfter");
    const QStringList before{"Old:9:1"};
    QTest::newRow("no server: nothing asked")
        << false << MsgAnswer::Yes << QStringList() << before;
    QTest::newRow("No: untouched") << true << MsgAnswer::No << QStringList{"Continue"} << before;
    QTest::newRow("Yes: replaced") << true << MsgAnswer::Yes << QStringList{"Continue"}
                                   << QStringList{"Euro:2.5:2", "Hidden:3:3", "US Dollar:1.25:1"};
}

void TestOnline::upload() {
    QFETCH(bool, reachable);
    QFETCH(MsgAnswer, answer);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, remoteAfter);
    Online f(reachable);
    f.addRemote(QStringLiteral("Old"), QStringLiteral("9"), 1);
    f.addCurrency(QStringLiteral("US Dollar"), QStringLiteral("1.25"), 1);
    f.addCurrency(QStringLiteral("Euro"), QStringLiteral("2.5"), 2);
    f.addCurrency(QStringLiteral("Hidden"), QStringLiteral("3"), 3, false);
    f.env.recorder.answers = {answer};

    OnlineSetupWindow w(f.ctx, *f.rates);
    w.show();
    click(&w, "cmdUpload");
    QVERIFY(w.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    QCOMPARE(f.messages(), asked);
    QCOMPARE(f.remoteRows(), remoteAfter);
    QVERIFY(!QApplication::overrideCursor());
}

void TestOnline::uploadFailureReported() {
    Online f;
    f.addRemote(QStringLiteral("Old"), QStringLiteral("9"), 1);
    // The head office's names are unique: this table cannot go up.
    f.addCurrency(QStringLiteral("Euro"), QStringLiteral("1"), 1);
    f.addCurrency(QStringLiteral("Euro"), QStringLiteral("2"), 2);
    f.env.recorder.answers = {MsgAnswer::Yes};
    OnlineSetupWindow w(f.ctx, *f.rates);
    click(&w, "cmdUpload");
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    const QStringList said = f.messages();
    QCOMPARE(said.size(), 2);
    QCOMPARE(said.at(0), QStringLiteral("Continue"));
    QVERIFY2(said.at(1).contains(QStringLiteral("uniq"), Qt::CaseInsensitive),
             qPrintable(said.at(1)));
    // One transaction: the old table stays whole.
    QCOMPARE(f.remoteRows(), QStringList{"Old:9:1"});
}

void TestOnline::listFillsOnOpenConnection_data() {
    QTest::addColumn<bool>("connectFirst");
    QTest::addColumn<bool>("showAll");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("active rows") << true << false << QStringList{"Yen", "Euro"};
    QTest::newRow("show all") << true << true << QStringList{"Yen", "Euro", "Off"};
    QTest::newRow("no connection: empty") << false << false << QStringList();
}

void TestOnline::listFillsOnOpenConnection() {
    QFETCH(bool, connectFirst);
    QFETCH(bool, showAll);
    QFETCH(QStringList, names);
    Online f;
    f.addRemote(QStringLiteral("Euro"), QStringLiteral("2.5"), 2);
    f.addRemote(QStringLiteral("Yen"), QStringLiteral("0.01"), 1);
    f.addRemote(QStringLiteral("Off"), QStringLiteral("7"), 3, false);
    if (connectFirst) {
        QVERIFY(f.connectNow());
    }
    OnlineCurrencyListWindow w(f.ctx, *f.rates);
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    if (showAll) {
        child<QCheckBox>(&w, QStringLiteral("chkShowAll"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    }
    QStringList shown;
    for (int r = 0; r < w.model()->rowCount(); ++r)
        shown << w.model()->rowAt(r).name;
    QCOMPARE(shown, names);
    QVERIFY(f.messages().isEmpty());
}

void TestOnline::listSaveAllSendsCutValues_data() {
    QTest::addColumn<int>("keep");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("sent");
    QTest::newRow("cut to 6") << 6 << "1.23456789" << "1.2345";
    QTest::newRow("short enough") << 6 << "1.5" << "1.5";
    QTest::newRow("kept as typed") << 0 << "1.23456789" << "1.23456789";
}

void TestOnline::listSaveAllSendsCutValues() {
    QFETCH(int, keep);
    QFETCH(QString, typed);
    QFETCH(QString, sent);
    Online f;
    f.settings.set(settings::KeptLength, keep);
    // A name longer than the kept length still finds its row.
    f.addRemote(QStringLiteral("Swiss Franc"), QStringLiteral("0.9"), 1);
    f.addRemote(QStringLiteral("Yen"), QStringLiteral("0.01"), 2);
    QVERIFY(f.connectNow());
    OnlineCurrencyListWindow w(f.ctx, *f.rates);
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    QCOMPARE(w.model()->rowCount(), 2);
    typeCell(&w, 0, CurrencyTableModel::FirstValueCol, typed);

    child<QAction>(&w, QStringLiteral("mnuSave"))->trigger();
    QVERIFY(w.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    QCOMPARE(f.messages(), QStringList());
    QCOMPARE(f.remoteRows(),
             (QStringList{QStringLiteral("Swiss Franc:%1:1").arg(sent), "Yen:0.01:2"}));
    // The grid is not read again: it shows what was typed, now saved.
    QVERIFY(!w.model()->hasPending());
    QCOMPARE(w.model()->index(0, CurrencyTableModel::FirstValueCol).data().toString(), typed);
}

void TestOnline::listCloseWithTypedValues_data() {
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("stays");
    QTest::addColumn<QString>("remoteValue");
    QTest::newRow("yes: saved, open till done") << MsgAnswer::Yes << true << "4.5";
    QTest::newRow("no: dropped, closed") << MsgAnswer::No << false << "2.5";
    QTest::newRow("cancel: kept, open") << MsgAnswer::Cancel << true << "2.5";
}

void TestOnline::listCloseWithTypedValues() {
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, stays);
    QFETCH(QString, remoteValue);
    Online f;
    f.addRemote(QStringLiteral("Euro"), QStringLiteral("2.5"), 1);
    QVERIFY(f.connectNow());
    OnlineCurrencyListWindow w(f.ctx, *f.rates);
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    typeCell(&w, 0, CurrencyTableModel::FirstValueCol, QStringLiteral("4.5"));
    f.env.recorder.answers = {answer};
    QCOMPARE(w.close(), !stays);
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    QCOMPARE(w.isVisible(), stays);
    QCOMPARE(f.messages().size(), 1);
    QCOMPARE(f.remoteRows(), QStringList{QStringLiteral("Euro:%1:1").arg(remoteValue)});
    QCOMPARE(w.hasUnsavedWork(), answer == MsgAnswer::Cancel);
}

void TestOnline::listRefusalsWithoutServer_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("delete") << "cmdDelete" << "Connection error";
    QTest::newRow("edit") << "cmdEdit" << "Connection error";
    QTest::newRow("add new") << "cmdAdd" << "Connection error";
    QTest::newRow("save all") << "cmdSave" << "Connection error";
    QTest::newRow("revert") << "cmdRevert" << "Cannot Connect";
}

void TestOnline::listRefusalsWithoutServer() {
    QFETCH(QString, button);
    QFETCH(QString, message);
    Online f(false);
    OnlineCurrencyListWindow w(f.ctx, *f.rates);
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    child<QPushButton>(&w, button)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    QCOMPARE(f.messages(), QStringList{message});
    QVERIFY(!w.entryWindow());
}

void TestOnline::listDeleteIsAdminOnly_data() {
    QTest::addColumn<bool>("admin");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QStringList>("remoteAfter");
    QTest::newRow("admin, yes") << true << MsgAnswer::Yes << QStringList{"Do you want to delete "}
                                << QStringList{"Yen:0.01:2"};
    QTest::newRow("admin, no") << true << MsgAnswer::No << QStringList{"Do you want to delete "}
                               << QStringList{"Euro:2.5:1", "Yen:0.01:2"};
    QTest::newRow("user") << false << MsgAnswer::Yes << QStringList()
                          << QStringList{"Euro:2.5:1", "Yen:0.01:2"};
}

void TestOnline::listDeleteIsAdminOnly() {
    QFETCH(bool, admin);
    QFETCH(MsgAnswer, answer);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, remoteAfter);
    Online f(true, admin);
    f.addRemote(QStringLiteral("Euro"), QStringLiteral("2.5"), 1);
    f.addRemote(QStringLiteral("Yen"), QStringLiteral("0.01"), 2);
    QVERIFY(f.connectNow());
    OnlineCurrencyListWindow w(f.ctx, *f.rates);
    w.show();
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy(), kWait);
    auto* fg = child<QTableView>(&w, QStringLiteral("FG"));
    fg->setCurrentIndex(w.model()->index(0, CurrencyTableModel::NameCol));
    f.env.recorder.answers = {answer};
    click(&w, "cmdDelete");
    QTRY_VERIFY_WITH_TIMEOUT(!w.isBusy() && f.remoteRows() == remoteAfter, kWait);
    QCOMPARE(f.messages(), asked);
    QTRY_COMPARE_WITH_TIMEOUT(w.model()->rowCount(), int(remoteAfter.size()), kWait);
}

void TestOnline::entrySave_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("pos");
    QTest::addColumn<QString>("message"); // its end
    QTest::addColumn<QStringList>("remoteAfter");
    QTest::newRow("added, values as typed")
        << false << "5" << "" << QStringList{"Euro:2.5:1", "Franc:1.10:5"};
    QTest::newRow("added on a taken position")
        << false << "1" << "\r\nThe Position number shuld be unique" << QStringList{"Euro:2.5:1"};
    QTest::newRow("updated") << true << "7" << "" << QStringList{"Franc:1.10:7"};
}

void TestOnline::entrySave() {
    QFETCH(bool, edit);
    QFETCH(QString, pos);
    QFETCH(QString, message);
    QFETCH(QStringList, remoteAfter);
    Online f;
    f.settings.set(settings::KeptLength, 3); // not for the head office's values
    f.addRemote(QStringLiteral("Euro"), QStringLiteral("2.5"), 1);
    QPointer<OnlineCurrencyEntryWindow> w = new OnlineCurrencyEntryWindow(f.ctx, *f.rates);
    w->show();
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(),
                              QStringLiteral("Add Online CurrencyStatus : Connected"), kWait);
    if (edit) {
        w->setRef(QString::number(f.remoteKey(QStringLiteral("Euro"))));
        w->getData();
        QTRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>(w, QStringLiteral("txtCurr"))->text(),
                                  QStringLiteral("Euro"), kWait);
    }
    // The theme's captions are not looked up here.
    QCOMPARE(child<QLabel>(w, QStringLiteral("lblCurr"))->text(), QStringLiteral("Currecy Name"));
    setText(w, "txtCurr", QStringLiteral("Franc"));
    setText(w, "Text1", QStringLiteral("1.10"));
    setText(w, "txtPos", pos);
    QSignalSpy finished(w.data(), &OnlineCurrencyEntryWindow::saveFinished);
    QVERIFY(w->save());
    QVERIFY(!child<QPushButton>(w, QStringLiteral("cmdSave"))->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kWait);
    QCOMPARE(finished.first().first().toBool(), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(f.messages().isEmpty());
    } else {
        QCOMPARE(f.messages().size(), 1);
        QVERIFY2(f.messages().first().endsWith(message), qPrintable(f.messages().first()));
        QVERIFY(f.messages().first().size() > message.size()); // the server's own words first
    }
    QCOMPARE(f.remoteRows(), remoteAfter);
    // The window stays open either way.
    QVERIFY(w && w->isVisible());
    QVERIFY(child<QPushButton>(w, QStringLiteral("cmdSave"))->isEnabled());
    if (message.isEmpty()) {
        // Saving again changes the row just written; it never adds a second one.
        setText(w, "Text1", QStringLiteral("1.20"));
        QVERIFY(w->save());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kWait);
        QStringList again = remoteAfter;
        again.replaceInStrings(QStringLiteral("Franc:1.10"), QStringLiteral("Franc:1.20"));
        QCOMPARE(f.remoteRows(), again);
    }
    delete w.data();
}

void TestOnline::entryWithoutServer() {
    Online f(false);
    QPointer<OnlineCurrencyEntryWindow> w = new OnlineCurrencyEntryWindow(f.ctx, *f.rates);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(),
                              QStringLiteral("Add Online CurrencyStatus : Not Connected"), kWait);
    setText(w, "txtCurr", QStringLiteral("Franc"));
    QSignalSpy finished(w.data(), &OnlineCurrencyEntryWindow::saveFinished);
    QVERIFY(w->save());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kWait);
    QCOMPARE(f.messages(), QStringList{"Cannot Connect"});
    QVERIFY(f.remoteRows().isEmpty());
    delete w.data();
}

void TestOnline::panelCurrencyUpdate_data() {
    QTest::addColumn<bool>("reachable");
    QTest::newRow("server answers: the online list") << true;
    QTest::newRow("no server: Cannot Connect") << false;
}

void TestOnline::panelCurrencyUpdate() {
    QFETCH(bool, reachable);
    Online f(reachable, false); // open to every user
    f.addRemote(QStringLiteral("Euro"), QStringLiteral("2.5"), 1);
    RateMonitor monitor(f.ctx);
    MediaAlarmPlayer mp;
    FeedScheduler feeds;
    ControlPanel panel(f.ctx, PanelServices{monitor, mp, feeds, *f.rates});
    panel.menuItem(QStringLiteral("curUpdate"))->trigger();
    if (!reachable) {
        QTRY_COMPARE_WITH_TIMEOUT(f.messages(), QStringList{"Cannot Connect"}, kWait);
        QVERIFY(!panel.findChild<OnlineCurrencyListWindow*>());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(panel.findChild<OnlineCurrencyListWindow*>(), kWait);
    auto* list = panel.findChild<OnlineCurrencyListWindow*>();
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 1, kWait);
    QVERIFY(list->isVisible());
    QVERIFY(f.messages().isEmpty());
}

void TestOnline::panelOnlineSettings_data() {
    QTest::addColumn<QString>("userType");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("Admin") << "Admin" << QStringList();
    QTest::newRow("User") << "User" << QStringList{"Sorry no access permission"};
    QTest::newRow("admin, other case") << "admin" << QStringList{"Sorry no access permission"};
}

void TestOnline::panelOnlineSettings() {
    QFETCH(QString, userType);
    QFETCH(QStringList, said);
    Online f;
    f.ctx.session.userType = userType;
    RateMonitor monitor(f.ctx);
    MediaAlarmPlayer mp;
    FeedScheduler feeds;
    ControlPanel panel(f.ctx, PanelServices{monitor, mp, feeds, *f.rates});
    panel.menuItem(QStringLiteral("online"))->trigger();
    panel.menuItem(QStringLiteral("online"))->trigger();
    QCOMPARE(f.messages(), said + said);
    const auto windows = panel.findChildren<OnlineSetupWindow*>();
    QCOMPARE(windows.size(), said.isEmpty() ? 1 : 0);
    if (said.isEmpty())
        QVERIFY(windows.first()->isVisible());
}

void TestOnline::panelStartsOnlineFeed_data() {
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<RemoteEngine>("engine");
    QTest::addColumn<bool>("listening");
    QTest::newRow("auto-update, PostgreSQL") << true << RemoteEngine::PostgreSql << true;
    QTest::newRow("auto-update off") << false << RemoteEngine::PostgreSql << false;
    QTest::newRow("SQL Server: no notices") << true << RemoteEngine::SqlServer << false;
}

void TestOnline::panelStartsOnlineFeed() {
    QFETCH(bool, autoUpdate);
    QFETCH(RemoteEngine, engine);
    QFETCH(bool, listening);
    Online f;
    f.ctx.online.autoUpdate = autoUpdate;
    f.ctx.online.interval = 2;
    f.ctx.online.columnFlags[0] = true;
    f.rates->setTarget(RemoteTarget{engine, QStringLiteral("FreeTDS")});
    const qint64 key = f.addCurrency(QStringLiteral("Euro"), QStringLiteral("1.0"), 4);
    f.addRemote(QStringLiteral("Euro"), QStringLiteral("2.75"), 4);
    RateMonitor monitor(f.ctx);
    MediaAlarmPlayer mp;
    FeedScheduler feeds;
    ControlPanel panel(f.ctx, PanelServices{monitor, mp, feeds, *f.rates});
    QCOMPARE(feeds.onlineTimer()->isActive(), autoUpdate);
    if (listening)
        QTRY_VERIFY_WITH_TIMEOUT(f.rates->isListening(), kWait);
    else
        QVERIFY(!f.rates->isListening());
    if (engine == RemoteEngine::SqlServer)
        return;
    // Timer3's seconds reach the online copy: the second one copies.
    QSignalSpy copied(f.rates.get(), &OnlineRates::copied);
    Q_EMIT feeds.onlineTick();
    Q_EMIT feeds.onlineTick();
    if (!autoUpdate) {
        QVERIFY(!copied.wait(500));
        QCOMPARE(f.column(key, QStringLiteral("colum1")), QStringLiteral("1.0"));
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(copied.count() >= 1, kWait);
    QCOMPARE(f.column(key, QStringLiteral("colum1")), QStringLiteral("2.75"));
}

QTEST_MAIN(TestOnline)
#include "tst_online.moc"
