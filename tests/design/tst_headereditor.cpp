#include "design/headereditor.h"
#include "themefixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture : test::ThemeFixture<HeaderEditor> {
    HeaderEditor* open() { return showHeaderEditor(slot, ctx, key, nullptr); }
    QLineEdit* text(int k) { return slot->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(k)); }
    void type(int k, const QString& s) {
        // As pasted: a tab cannot be typed into a field.
        text(k)->selectAll();
        text(k)->insert(s);
    }
    void save() { slot->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click(); }
    int rows() { return db.scalar(QStringLiteral("select count(*) from tblheader")).toInt(); }
};

} // namespace

class TestHeaderEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveChecks_data();
    void saveChecks();
    void savingTwiceUpdatesTheOneRow();
    void failedSaveKeepsTheTyping();
};

void TestHeaderEditor::saveChecks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spacer");
    QTest::addColumn<QString>("message"); // empty: saved and closed
    const QString spaces = QStringLiteral("Plese flag spaces accept only  spaces");
    QTest::newRow("empty spacer") << "Currency"
                                  << ""
                                  << "";
    QTest::newRow("blanks") << "Currency"
                            << "   "
                            << "";
    QTest::newRow("tab") << "Currency"
                         << "\t" << spaces;
    QTest::newRow("blank and letter") << "Currency"
                                      << " x " << spaces;
    QTest::newRow("no-break space") << "Currency" << QString(QChar(0xA0)) << spaces;
    QTest::newRow("no name") << ""
                             << "  "
                             << "Enter atleast one column name";
    QTest::newRow("no name, bad spacer") << ""
                                         << "x"
                                         << "Enter atleast one column name";
}

void TestHeaderEditor::saveChecks() {
    QFETCH(QString, name);
    QFETCH(QString, spacer);
    QFETCH(QString, message);
    Fixture f;
    HeaderEditor* e = f.open();
    f.type(1, name);
    f.type(7, spacer);
    f.save();
    QCOMPARE(f.env.recorder.last(), message);
    QCOMPARE(e->isVisible(), !message.isEmpty());
    QCOMPARE(f.rows(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty())
        QCOMPARE(f.ctx.themes.loadHeaderRow(f.key)->head[6], spacer);
}

void TestHeaderEditor::savingTwiceUpdatesTheOneRow() {
    Fixture f;
    f.open();
    f.type(1, QStringLiteral("NAME"));
    f.type(3, QStringLiteral("WE/SELL"));
    // Typing shows in the preview before it is saved.
    QCOMPARE(f.ctx.drafts.apply(f.ctx.themes.load(f.key)).head[2], QStringLiteral("WE/SELL"));
    f.save();
    QTRY_VERIFY(!f.slot);
    QVERIFY(!f.ctx.drafts.has(f.key));

    HeaderEditor* e = f.open();
    QCOMPARE(f.text(3)->text(), QStringLiteral("WE/SELL"));
    f.type(1, QStringLiteral("CURRENCY"));
    f.type(7, QStringLiteral("  "));
    f.save();
    QVERIFY(!e->isVisible());
    QCOMPARE(f.rows(), 1);
    const auto row = f.ctx.themes.loadHeaderRow(f.key);
    QCOMPARE(row->head[0], QStringLiteral("CURRENCY"));
    QCOMPARE(row->head[2], QStringLiteral("WE/SELL"));
    QCOMPARE(row->head[6], QStringLiteral("  "));
}

void TestHeaderEditor::failedSaveKeepsTheTyping() {
    Fixture f;
    HeaderEditor* e = f.open();
    f.type(1, QStringLiteral("NAME"));
    f.db.exec(QStringLiteral("drop table tblheader"));
    f.save();
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QCOMPARE(f.env.recorder.entries.first().icon, MsgIcon::Critical);
    QVERIFY(e->isVisible());
    QCOMPARE(f.text(1)->text(), QStringLiteral("NAME"));
    QVERIFY(f.ctx.drafts.has(f.key));
}

QTEST_MAIN(TestHeaderEditor)
#include "tst_headereditor.moc"
