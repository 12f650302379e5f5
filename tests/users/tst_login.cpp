#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/settingsstore.h"
#include "data/userstore.h"
#include "testsupport.h"
#include "users/loginwindow.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

namespace {

// A database with ADMIN/secret, the settings store and a context around them.
struct Fixture : test::AppFixture {
    Fixture() {
        QVERIFY(ready);
        ctx.appFolder = env.dir() + QStringLiteral("/app");
        QDir().mkpath(ctx.appFolder);
    }
};

template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void type(QWidget* w, const QString& user, const QString& pass) {
    auto* t1 = child<QLineEdit>(w, "Text1");
    auto* t2 = child<QLineEdit>(w, "Text2");
    t1->clear();
    t2->clear();
    // Typing thousands of characters key by key only costs time.
    if (user.size() + pass.size() > 200) {
        t1->setText(user);
        t2->setText(pass);
        return;
    }
    QTest::keyClicks(t1, user);
    QTest::keyClicks(t2, pass);
}

const QString kWrong = QStringLiteral("Enter the correct UserName and Password                 ");

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captions();
    void credentials_data();
    void credentials();
    void anyAlphabet_data();
    void anyAlphabet();
    void enterMovesThenLogsIn();
    void retriesAfterFailure();
    void quotedNamesAreOrdinaryValues();
    void remember();
    void runUpdateStoredAtOnce();
    void updaterStartedOnlyWhenChecked_data();
    void updaterStartedOnlyWhenChecked();
    void missingUpdaterIgnored();
    void onlineSettingsLoaded();
    void missingOnlineRowKeepsDefaults();
    void exitButton();
};

void TestLogin::captions() {
    Fixture f;
    LoginWindow w(f.ctx);
    QCOMPARE(w.objectName(), QStringLiteral("frmLogin"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Login Here"));
    QCOMPARE(child<QCheckBox>(&w, "chkRem")->text(), QStringLiteral("Remember "));
    QCOMPARE(child<QCheckBox>(&w, "Check1")->text(), QStringLiteral("Run update"));
    QCOMPARE(child<QPushButton>(&w, "Command1")->text(), QStringLiteral("Login"));
    QCOMPARE(child<QPushButton>(&w, "Command2")->text(), QStringLiteral("&Exit"));
    QCOMPARE(kWrong.size(), 39 + 17);
    QCOMPARE(LoginWindow::kWrongLogin, kWrong);
}

void TestLogin::credentials_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<bool>("ok");
    QTest::newRow("exact") << "ADMIN"
                           << "secret" << true;
    QTest::newRow("name lower case") << "admin"
                                     << "secret" << true;
    QTest::newRow("password other case") << "Admin"
                                         << "SECRET" << true;
    QTest::newRow("wrong password") << "ADMIN"
                                    << "secret1" << false;
    QTest::newRow("unknown user") << "CLERK"
                                  << "secret" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
    QTest::newRow("empty password") << "ADMIN"
                                    << "" << false;
    QTest::newRow("or 1=1 in both") << "' or '1'='1"
                                    << "' or '1'='1" << false;
    QTest::newRow("comment") << "ADMIN' --"
                             << "x" << false;
    QTest::newRow("semicolon") << "ADMIN'; drop table tbluser; --"
                               << "x" << false;
    QTest::newRow("password injection") << "ADMIN"
                                        << "x' or 'a'='a" << false;
    QTest::newRow("very long") << QString(5000, QLatin1Char('A')) << QString(5000, QLatin1Char('b'))
                               << false;
}

void TestLogin::credentials() {
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(bool, ok);
    Fixture f;
    LoginWindow w(f.ctx);
    w.show();
    QSignalSpy spy(&w, &LoginWindow::loggedIn);
    type(&w, user, pass);
    QTest::mouseClick(child<QPushButton>(&w, "Command1"), Qt::LeftButton);
    QCOMPARE(spy.count(), ok ? 1 : 0);
    QCOMPARE(w.isVisible(), !ok);
    if (ok) {
        QVERIFY(f.env.recorder.entries.isEmpty());
        QCOMPARE(f.ctx.session.userType, QStringLiteral("Admin"));
        QVERIFY(f.ctx.session.isAdmin());
    } else {
        QCOMPARE(f.env.recorder.texts(), QStringList{kWrong});
        QVERIFY(f.ctx.session.userType.isEmpty());
    }
    // Nothing typed touched the table.
    QCOMPARE(f.users.names(), QStringList{QStringLiteral("ADMIN")});
}

void TestLogin::anyAlphabet_data() {
    QTest::addColumn<QString>("name"); // as added
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("typedPass");
    QTest::addColumn<bool>("ok");
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("ascii") << "clerk"
                           << "Pw1"
                           << "Clerk"
                           << "pW1" << true;
    QTest::newRow("accented name as added") << u("jürgen") << "x" << u("jürgen") << "x" << true;
    QTest::newRow("accented other case")
        << u("jürgen") << u("Müller") << u("Jürgen") << u("MÜLLER") << true;
    QTest::newRow("sharp s") << u("straße") << u("Weiß") << u("Straße") << u("WEISS") << true;
    QTest::newRow("greek") << u("σοφία") << u("Αθήνα") << u("Σοφία") << u("αθήνα") << true;
    QTest::newRow("greek final sigma") << u("νίκος") << "x" << u("ΝΊΚΟΣ") << "X" << true;
    QTest::newRow("cyrillic") << u("иван") << u("Пароль") << u("Иван") << u("пАРОЛЬ") << true;
    QTest::newRow("mixed") << u("zoë-анна") << u("ΩmÉga") << u("ZOË-АННА") << u("ωMéGA") << true;
    QTest::newRow("accent differs in name") << u("jürgen") << "x"
                                            << "jurgen"
                                            << "x" << false;
    QTest::newRow("accent differs in password")
        << u("jürgen") << u("Müller") << u("jürgen") << "Muller" << false;
    QTest::newRow("quote in name") << u("jürgen") << "x" << u("jürgen' or '1'='1") << "x" << false;
    QTest::newRow("quote in password")
        << u("jürgen") << "x" << u("JÜRGEN") << u("x' or 'a'='a") << false;
    QTest::newRow("quote as the name") << u("o'brien") << "pw" << u("O'Brien") << "PW" << true;
}

void TestLogin::anyAlphabet() {
    QFETCH(QString, name);
    QFETCH(QString, pass);
    QFETCH(QString, typedName);
    QFETCH(QString, typedPass);
    QFETCH(bool, ok);
    Fixture f;
    QCOMPARE(f.users.add(name, pass, QStringLiteral("User")), UserStore::AddResult::Added);
    QCOMPARE(f.users.checkLogin(typedName, typedPass),
             ok ? std::optional<QString>(QStringLiteral("User")) : std::nullopt);
    // The administrator is unaffected by the other row.
    QCOMPARE(f.users.checkLogin(QStringLiteral("admin"), QStringLiteral("Secret")),
             std::optional<QString>(QStringLiteral("Admin")));
}

void TestLogin::enterMovesThenLogsIn() {
    Fixture f;
    LoginWindow w(f.ctx);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QSignalSpy spy(&w, &LoginWindow::loggedIn);
    auto* t1 = child<QLineEdit>(&w, "Text1");
    auto* t2 = child<QLineEdit>(&w, "Text2");
    t1->setFocus();
    QTest::keyClicks(t1, QStringLiteral("admin"));
    QTest::keyClick(t1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), t2);
    QCOMPARE(spy.count(), 0);
    QVERIFY(f.env.recorder.entries.isEmpty());
    QTest::keyClicks(t2, QStringLiteral("secret"));
    QTest::keyClick(t2, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
}

void TestLogin::retriesAfterFailure() {
    Fixture f;
    LoginWindow w(f.ctx);
    w.show();
    QSignalSpy spy(&w, &LoginWindow::loggedIn);
    for (int i = 0; i < 3; ++i) {
        type(&w, QStringLiteral("ADMIN"), QStringLiteral("nope"));
        QTest::keyClick(child<QLineEdit>(&w, "Text2"), Qt::Key_Return);
    }
    QCOMPARE(f.env.recorder.entries.size(), 3);
    type(&w, QStringLiteral("ADMIN"), QStringLiteral("secret"));
    QTest::keyClick(child<QLineEdit>(&w, "Text2"), Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
}

void TestLogin::quotedNamesAreOrdinaryValues() {
    Fixture f;
    QCOMPARE(
        f.users.add(QStringLiteral("o'brien; --"), QStringLiteral("it's"), QStringLiteral("User")),
        UserStore::AddResult::Added);
    LoginWindow w(f.ctx);
    QSignalSpy spy(&w, &LoginWindow::loggedIn);
    type(&w, QStringLiteral("O'Brien; --"), QStringLiteral("IT'S"));
    QVERIFY(w.doLogin());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(f.ctx.session.userType, QStringLiteral("User"));
    QVERIFY(!f.ctx.session.isAdmin());
}

void TestLogin::remember() {
    Fixture f;
    const QString app = QStringLiteral("Display"), sec = QStringLiteral("login");
    {
        // Nothing remembered yet: empty boxes, box cleared.
        LoginWindow w(f.ctx);
        QVERIFY(!child<QCheckBox>(&w, "chkRem")->isChecked());
        QVERIFY(child<QLineEdit>(&w, "Text1")->text().isEmpty());
        child<QCheckBox>(&w, "chkRem")->click();
        type(&w, QStringLiteral("admin"), QStringLiteral("SeCrEt"));
        QVERIFY(w.doLogin());
    }
    QCOMPARE(f.settings.read(app, sec, QStringLiteral("rem")), QStringLiteral("1"));
    QCOMPARE(f.settings.read(app, sec, QStringLiteral("user")), QStringLiteral("admin"));
    QCOMPARE(f.settings.read(app, sec, QStringLiteral("pass")), QStringLiteral("SeCrEt"));
    {
        LoginWindow w(f.ctx);
        QVERIFY(child<QCheckBox>(&w, "chkRem")->isChecked());
        QCOMPARE(child<QLineEdit>(&w, "Text1")->text(), QStringLiteral("admin"));
        QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), QStringLiteral("SeCrEt"));
        // A failed login changes nothing stored.
        child<QCheckBox>(&w, "chkRem")->click();
        type(&w, QStringLiteral("admin"), QStringLiteral("bad"));
        QVERIFY(!w.doLogin());
        QCOMPARE(f.settings.read(app, sec, QStringLiteral("rem")), QStringLiteral("1"));
        // Cleared box: the next successful login forgets name and password.
        type(&w, QStringLiteral("admin"), QStringLiteral("secret"));
        QVERIFY(w.doLogin());
    }
    QCOMPARE(f.settings.read(app, sec, QStringLiteral("rem")), QStringLiteral("0"));
    QCOMPARE(f.settings.read(app, sec, QStringLiteral("user"), QStringLiteral("x")), QString());
    QCOMPARE(f.settings.read(app, sec, QStringLiteral("pass"), QStringLiteral("x")), QString());
    LoginWindow w(f.ctx);
    QVERIFY(!child<QCheckBox>(&w, "chkRem")->isChecked());
    QVERIFY(child<QLineEdit>(&w, "Text1")->text().isEmpty());
    QVERIFY(child<QLineEdit>(&w, "Text2")->text().isEmpty());
}

void TestLogin::runUpdateStoredAtOnce() {
    Fixture f;
    {
        LoginWindow w(f.ctx);
        QVERIFY(!child<QCheckBox>(&w, "Check1")->isChecked());
        child<QCheckBox>(&w, "Check1")->click();
        QCOMPARE(f.settings.read(QStringLiteral("Quoteria"), QStringLiteral("Online"),
                                 QStringLiteral("Auto")),
                 QStringLiteral("1"));
    }
    LoginWindow w(f.ctx);
    QVERIFY(child<QCheckBox>(&w, "Check1")->isChecked());
    child<QCheckBox>(&w, "Check1")->click();
    QCOMPARE(f.settings.read(QStringLiteral("Quoteria"), QStringLiteral("Online"),
                             QStringLiteral("Auto")),
             QStringLiteral("0"));
}

void TestLogin::updaterStartedOnlyWhenChecked_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("goodLogin");
    QTest::newRow("checked") << "QuoteriaSync" << true << true;
    QTest::newRow("windows name") << "QuoteriaSync.exe" << true << true;
    QTest::newRow("not checked") << "QuoteriaSync" << false << true;
    QTest::newRow("failed login") << "QuoteriaSync" << true << false;
}

void TestLogin::updaterStartedOnlyWhenChecked() {
    QFETCH(QString, program);
    QFETCH(bool, checked);
    QFETCH(bool, goodLogin);
    Fixture f;
    const QString marker = f.env.dir() + QStringLiteral("/updater-ran");
    QFile script(QDir(f.ctx.appFolder).filePath(program));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);

    LoginWindow w(f.ctx);
    if (checked)
        child<QCheckBox>(&w, "Check1")->click();
    type(&w, QStringLiteral("ADMIN"), goodLogin ? QStringLiteral("secret") : QStringLiteral("x"));
    QCOMPARE(w.doLogin(), goodLogin);
    if (checked && goodLogin) {
        QTRY_VERIFY(QFile::exists(marker));
    } else {
        // A started updater would have touched the marker by the time a second,
        // known-good process has finished.
        QVERIFY(LoginWindow::startUpdater(QString()) == false);
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("true")});
        QVERIFY(sh.waitForFinished());
        QVERIFY(!QFile::exists(marker));
    }
}

void TestLogin::missingUpdaterIgnored() {
    Fixture f;
    LoginWindow w(f.ctx);
    child<QCheckBox>(&w, "Check1")->click();
    QSignalSpy spy(&w, &LoginWindow::loggedIn);
    type(&w, QStringLiteral("ADMIN"), QStringLiteral("secret"));
    QVERIFY(w.doLogin());
    QCOMPARE(spy.count(), 1);
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestLogin::onlineSettingsLoaded() {
    Fixture f;
    QVariantMap row{{QStringLiteral("host"), QStringLiteral("rates.example")},
                    {QStringLiteral("dbname"), QStringLiteral("fx")},
                    {QStringLiteral("dbuser"), QStringLiteral("feed")},
                    {QStringLiteral("dbpass"), QStringLiteral("p'w")},
                    {QStringLiteral("colum2flag"), 1},
                    {QStringLiteral("colum5flag"), 1},
                    {QStringLiteral("autoupdate"), 1},
                    {QStringLiteral("interval"), 45}};
    QVERIFY(f.db.update(QStringLiteral("tblDatabase"), QStringLiteral("dataID"), 1, row));
    LoginWindow w(f.ctx);
    type(&w, QStringLiteral("ADMIN"), QStringLiteral("secret"));
    QVERIFY(w.doLogin());
    const OnlineSource& o = f.ctx.online;
    QCOMPARE(o.host, QStringLiteral("rates.example"));
    QCOMPARE(o.dbname, QStringLiteral("fx"));
    QCOMPARE(o.dbuser, QStringLiteral("feed"));
    QCOMPARE(o.dbpass, QStringLiteral("p'w"));
    const bool expected[5] = {false, true, false, false, true};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(o.columnFlags[i], expected[i]);
    QVERIFY(o.autoUpdate);
    QCOMPARE(o.interval, 45);
}

void TestLogin::missingOnlineRowKeepsDefaults() {
    Fixture f;
    QVERIFY(f.db.removeWhere(QStringLiteral("tblDatabase"), QStringLiteral("dataID"), 1));
    LoginWindow w(f.ctx);
    type(&w, QStringLiteral("ADMIN"), QStringLiteral("secret"));
    QVERIFY(w.doLogin());
    QVERIFY(f.ctx.online.host.isEmpty());
    QVERIFY(!f.ctx.online.autoUpdate);
}

void TestLogin::exitButton() {
    Fixture f;
    LoginWindow w(f.ctx);
    QSignalSpy exit(&w, &LoginWindow::exitRequested);
    QSignalSpy in(&w, &LoginWindow::loggedIn);
    QTest::mouseClick(child<QPushButton>(&w, "Command2"), Qt::LeftButton);
    QCOMPARE(exit.count(), 1);
    QCOMPARE(in.count(), 0);
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
