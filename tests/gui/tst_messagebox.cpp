#include "gui/messagebox.h"

#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace quoteria;

// The boxes the operator sees, shown for real and read back while open.
class TestMessageBox : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shortMessageKeepsTitle_data();
    void shortMessageKeepsTitle();
};

void TestMessageBox::shortMessageKeepsTitle_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ask");
    QTest::newRow("message") << "No" << false;
    QTest::newRow("question") << "Ok?" << true;
    QTest::newRow("rights") << "Permission Denied" << false;
}

void TestMessageBox::shortMessageKeepsTitle() {
    QFETCH(QString, text);
    QFETCH(bool, ask);
    BoxMessages boxes;
    setMessageService(&boxes);
    int width = -1;
    int needed = 0;
    QString title;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        QFont bold = box->font();
        bold.setBold(true);
        needed = QFontMetrics(bold).horizontalAdvance(title) + 100;
        width = box->width();
        box->done(QMessageBox::No);
    });
    if (ask)
        messages().ask(text);
    else
        messages().show(text);
    setMessageService(nullptr);
    QCOMPARE(title, QStringLiteral("Quoteria"));
    QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
