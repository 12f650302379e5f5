#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/settingsstore.h"
#include "data/userstore.h"
#include "testsupport.h"
#include "users/loginwindow.h"
#include "users/userlistwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture : test::AppFixture {
    Fixture() { QVERIFY(ready); }
};

template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

void fill(QWidget* w, const QString& name, const QString& pass, const QString& type) {
    child<QLineEdit>(w, "Text1")->setText(name);
    child<QLineEdit>(w, "Text2")->setText(pass);
    auto* combo = child<QComboBox>(w, "Combo1");
    combo->setCurrentIndex(combo->findText(type));
}

QStringList listed(QWidget* w) {
    QStringList out;
    auto* l = child<QListWidget>(w, "lstUser");
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

void select(QWidget* w, const QString& name) {
    auto* l = child<QListWidget>(w, "lstUser");
    const auto items = l->findItems(name, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    l->setCurrentItem(items.first());
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items.first()).center());
}

void click(QWidget* w, const char* button) {
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

bool canLogin(AppContext& ctx, const QString& name, const QString& pass) {
    return ctx.users.checkLogin(name, pass).has_value();
}

} // namespace

class TestUserList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensAtTopLeftWithUsers();
    void addStoresUpperCase();
    void addRefused_data();
    void addRefused();
    void duplicateInAnyAlphabet_data();
    void duplicateInAnyAlphabet();
    void findByNamePrefersExact();
    void selectFillsAndSwitchesToUpdate();
    void adminTypeGuard_data();
    void adminTypeGuard();
    void renameWithoutDuplicateCheck();
    void unwritableDatabaseKeepsEntries();
};

void TestUserList::opensAtTopLeftWithUsers() {
    Fixture f;
    UserListWindow w(f.ctx);
    QCOMPARE(w.objectName(), QStringLiteral("frmUserLst"));
    QCOMPARE(w.windowTitle(), QStringLiteral("User List"));
    QCOMPARE(w.pos(), QPoint(0, 0));
    QCOMPARE(listed(&w), QStringList{QStringLiteral("ADMIN")});
    QCOMPARE(child<QPushButton>(&w, "Command1")->text(), QStringLiteral("&Add"));
    QCOMPARE(child<QPushButton>(&w, "Command3")->text(), QStringLiteral("&Update"));
    QCOMPARE(child<QPushButton>(&w, "Command2")->text(), QStringLiteral("&Close"));
    QVERIFY(child<QPushButton>(&w, "Command1")->isEnabled());
    QVERIFY(!child<QPushButton>(&w, "Command3")->isEnabled());
    auto* combo = child<QComboBox>(&w, "Combo1");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QStringLiteral("Admin"));
    QCOMPARE(combo->itemText(1), QStringLiteral("User"));
}

void TestUserList::addStoresUpperCase() {
    Fixture f;
    UserListWindow w(f.ctx);
    w.show();
    fill(&w, QStringLiteral("clerk"), QStringLiteral("Pw1"), QStringLiteral("User"));
    click(&w, "Command1");
    QVERIFY(f.env.recorder.entries.isEmpty());
    QCOMPARE(listed(&w), (QStringList{QStringLiteral("ADMIN"), QStringLiteral("CLERK")}));
    // Name and password boxes emptied, the type stays.
    QVERIFY(child<QLineEdit>(&w, "Text1")->text().isEmpty());
    QVERIFY(child<QLineEdit>(&w, "Text2")->text().isEmpty());
    QCOMPARE(child<QComboBox>(&w, "Combo1")->currentText(), QStringLiteral("User"));
    const auto row = f.users.findByName(QStringLiteral("CLERK"));
    QVERIFY(row);
    QCOMPARE(row->name, QStringLiteral("CLERK"));
    QCOMPARE(row->pass, QStringLiteral("Pw1"));
    QCOMPARE(row->type, QStringLiteral("User"));
    QVERIFY(canLogin(f.ctx, QStringLiteral("Clerk"), QStringLiteral("pw1")));

    // An empty password is accepted; quotes and SQL fragments are just text.
    fill(&w, QStringLiteral("x'); delete from tbluser; --"), QString(), QStringLiteral("User"));
    click(&w, "Command1");
    QVERIFY(f.env.recorder.entries.isEmpty());
    QCOMPARE(listed(&w).size(), 3);
    QVERIFY(listed(&w).contains(QStringLiteral("X'); DELETE FROM TBLUSER; --")));
    // The empty password is one the user can log in with.
    QVERIFY(canLogin(f.ctx, QStringLiteral("x'); delete from tbluser; --"), QString()));
    QVERIFY(canLogin(f.ctx, QStringLiteral("x'); delete from tbluser; --"), QLatin1String("")));
}

void TestUserList::addRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("message");
    const QString details = QStringLiteral("Enter all Details                ");
    QTest::newRow("empty name") << ""
                                << "User" << details;
    QTest::newRow("no type") << "CLERK"
                             << "" << details;
    QTest::newRow("existing") << "ADMIN"
                              << "User"
                              << "Existing User, select another Name";
    QTest::newRow("existing other case") << "Admin"
                                         << "User"
                                         << "Existing User, select another Name";
}

void TestUserList::addRefused() {
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, message);
    Fixture f;
    UserListWindow w(f.ctx);
    w.show();
    fill(&w, name, QStringLiteral("pw"), type);
    click(&w, "Command1");
    QCOMPARE(f.env.recorder.texts(), QStringList{message});
    QCOMPARE(f.users.names(), QStringList{QStringLiteral("ADMIN")});
    // The entries stay for correcting.
    QCOMPARE(child<QLineEdit>(&w, "Text1")->text(), name);
}

void TestUserList::duplicateInAnyAlphabet_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("refused");
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("ascii") << "clerk"
                           << "Clerk" << true;
    QTest::newRow("accented") << u("jürgen") << u("Jürgen") << true;
    QTest::newRow("accented as stored") << u("jürgen") << u("JÜRGEN") << true;
    QTest::newRow("sharp s") << u("straße") << u("Straße") << true;
    QTest::newRow("greek") << u("σοφία") << u("Σοφία") << true;
    QTest::newRow("cyrillic") << u("иван") << u("Иван") << true;
    QTest::newRow("mixed") << u("zoë-анна") << u("Zoë-Анна") << true;
    QTest::newRow("other letter") << u("jürgen") << "jurgen" << false;
    QTest::newRow("quote is a new name") << u("jürgen") << u("jürgen' or '1'='1") << false;
}

void TestUserList::duplicateInAnyAlphabet() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, refused);
    Fixture f;
    const QString user = QStringLiteral("User");
    QCOMPARE(f.users.add(first, QStringLiteral("pw"), user), UserStore::AddResult::Added);
    QCOMPARE(f.users.add(second, QStringLiteral("pw"), user),
             refused ? UserStore::AddResult::Exists : UserStore::AddResult::Added);
    QCOMPARE(f.users.names().size(), refused ? 2 : 3);
}

void TestUserList::findByNamePrefersExact() {
    Fixture f;
    // A rename is not checked for duplicates, so two names can differ only in case.
    QCOMPARE(f.users.add(QString::fromUtf8("jürgen"), QStringLiteral("a"), QStringLiteral("User")),
             UserStore::AddResult::Added);
    QCOMPARE(f.users.add(QStringLiteral("x"), QStringLiteral("b"), QStringLiteral("User")),
             UserStore::AddResult::Added);
    const auto second = f.users.findByName(QStringLiteral("X"));
    QVERIFY(second);
    QCOMPARE(f.users.update(second->key, QString::fromUtf8("jürgen"), QStringLiteral("b"),
                            QStringLiteral("User")),
             UserStore::UpdateResult::Updated);
    auto passOf = [&f](const char* name) {
        return f.users.findByName(QString::fromUtf8(name)).value_or(UserRow{}).pass;
    };
    QCOMPARE(passOf("jürgen"), QStringLiteral("b"));
    QCOMPARE(passOf("JÜRGEN"), QStringLiteral("a"));
    QCOMPARE(passOf("Jürgen"), QStringLiteral("a"));
}

void TestUserList::selectFillsAndSwitchesToUpdate() {
    Fixture f;
    QCOMPARE(f.users.add(QStringLiteral("clerk"), QStringLiteral("pw"), QStringLiteral("User")),
             UserStore::AddResult::Added);
    UserListWindow w(f.ctx);
    w.show();
    select(&w, QStringLiteral("CLERK"));
    QCOMPARE(child<QLineEdit>(&w, "Text1")->text(), QStringLiteral("CLERK"));
    QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), QStringLiteral("pw"));
    // Shown masked: anyone passing the counter screen cannot read it.
    QVERIFY(!child<QLineEdit>(&w, "Text2")->displayText().contains(QLatin1String("pw")));
    QCOMPARE(child<QComboBox>(&w, "Combo1")->currentText(), QStringLiteral("User"));
    QVERIFY(child<QPushButton>(&w, "Command3")->isEnabled());
    QVERIFY(!child<QPushButton>(&w, "Command1")->isEnabled());

    child<QLineEdit>(&w, "Text2")->setText(QStringLiteral("new'pw"));
    child<QComboBox>(&w, "Combo1")->setCurrentText(QStringLiteral("Admin"));
    click(&w, "Command3");
    QVERIFY(f.env.recorder.entries.isEmpty());
    QVERIFY(!child<QPushButton>(&w, "Command3")->isEnabled());
    QVERIFY(!child<QPushButton>(&w, "Command1")->isEnabled());
    QVERIFY(canLogin(f.ctx, QStringLiteral("clerk"), QStringLiteral("NEW'PW")));
    QCOMPARE(*f.users.checkLogin(QStringLiteral("clerk"), QStringLiteral("new'pw")),
             QStringLiteral("Admin"));
}

void TestUserList::adminTypeGuard_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("written");
    QTest::newRow("admin to User") << "ADMIN"
                                   << "User" << false;
    QTest::newRow("renamed lower admin to User") << "admin"
                                                 << "User" << false;
    QTest::newRow("admin stays Admin") << "ADMIN"
                                       << "Admin" << true;
}

void TestUserList::adminTypeGuard() {
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(bool, written);
    Fixture f;
    UserListWindow w(f.ctx);
    w.show();
    select(&w, QStringLiteral("ADMIN"));
    child<QLineEdit>(&w, "Text1")->setText(name);
    child<QLineEdit>(&w, "Text2")->setText(QStringLiteral("changed"));
    child<QComboBox>(&w, "Combo1")->setCurrentText(type);
    click(&w, "Command3");
    if (written) {
        QVERIFY(f.env.recorder.entries.isEmpty());
        QVERIFY(canLogin(f.ctx, QStringLiteral("admin"), QStringLiteral("changed")));
    } else {
        QCOMPARE(f.env.recorder.texts(), QStringList{QStringLiteral("Cannot change admin type")});
        QVERIFY(canLogin(f.ctx, QStringLiteral("admin"), QStringLiteral("secret")));
        QCOMPARE(*f.users.checkLogin(QStringLiteral("admin"), QStringLiteral("secret")),
                 QStringLiteral("Admin"));
    }
}

void TestUserList::renameWithoutDuplicateCheck() {
    Fixture f;
    QCOMPARE(f.users.add(QStringLiteral("clerk"), QStringLiteral("pw"), QStringLiteral("User")),
             UserStore::AddResult::Added);
    UserListWindow w(f.ctx);
    w.show();
    select(&w, QStringLiteral("CLERK"));
    child<QLineEdit>(&w, "Text1")->setText(QStringLiteral("Teller"));
    click(&w, "Command3");
    QVERIFY(f.env.recorder.entries.isEmpty());
    // Written as typed, not upper-cased; users are never removed.
    QCOMPARE(listed(&w), (QStringList{QStringLiteral("ADMIN"), QStringLiteral("Teller")}));
}

void TestUserList::unwritableDatabaseKeepsEntries() {
    Fixture f;
    UserListWindow w(f.ctx);
    w.show();
    bool ok = false;
    f.db.exec(QStringLiteral("PRAGMA query_only=ON"), {}, &ok);
    QVERIFY(ok);
    fill(&w, QStringLiteral("clerk"), QStringLiteral("pw"), QStringLiteral("User"));
    click(&w, "Command1");
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QVERIFY(f.env.recorder.last().contains(QStringLiteral("readonly"), Qt::CaseInsensitive));
    QCOMPARE(child<QLineEdit>(&w, "Text1")->text(), QStringLiteral("clerk"));
    QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), QStringLiteral("pw"));

    f.env.recorder.clear();
    select(&w, QStringLiteral("ADMIN"));
    child<QLineEdit>(&w, "Text2")->setText(QStringLiteral("other"));
    click(&w, "Command3");
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QVERIFY(!f.env.recorder.last().isEmpty());
    QCOMPARE(child<QLineEdit>(&w, "Text2")->text(), QStringLiteral("other"));
    // Still in update mode so the operator can try again.
    QVERIFY(child<QPushButton>(&w, "Command3")->isEnabled());

    f.db.exec(QStringLiteral("PRAGMA query_only=OFF"), {}, &ok);
    click(&w, "Command3");
    QVERIFY(canLogin(f.ctx, QStringLiteral("ADMIN"), QStringLiteral("other")));
}

QTEST_MAIN(TestUserList)
#include "tst_userlist.moc"
