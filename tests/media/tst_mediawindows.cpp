#include "data/appcontext.h"
#include "data/mediastore.h"
#include "gui/dialogservice.h"
#include "media/mediaeditorwindow.h"
#include "media/mediafiles.h"
#include "media/mediagallery.h"
#include "media/medialistwindow.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture : test::AppFixture {
    DialogRecorder dlg;
    Fixture() {
        setDialogService(&dlg);
        ctx.dataFolder = env.dir() + QStringLiteral("/data");
    }
    ~Fixture() { setDialogService(nullptr); }
    QString file(const QString& name, const QByteArray& content) {
        const QString path = env.dir() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
};

template <typename W> W* child(QWidget* parent, const char* name) {
    auto* w = parent->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void click(QWidget* w, const char* name) {
    child<QPushButton>(w, name)->click();
}

QString fgText(QTableWidget* fg, int row, int col) {
    return fg->item(row, col) ? fg->item(row, col)->text() : QString();
}

} // namespace

class TestMediaWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typeFollowsTheFileName_data();
    void typeFollowsTheFileName();
    void saveWithoutFileRefused();
    void addEditDelete();
    void failedCopyKeepsTheEditorOpen();
    void refreshOnlyWhileTheBoardRuns();
};

void TestMediaWindows::typeFollowsTheFileName_data() {
    QTest::addColumn<QString>("typeBefore");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typeAfter");
    QTest::newRow("upper-case JPG") << "Video"
                                    << "/m/A.JPG"
                                    << "Picture";
    QTest::newRow("gif") << "Flash"
                         << "/m/a.gif"
                         << "Picture";
    QTest::newRow("video stays") << "Video"
                                 << "/m/a.avi"
                                 << "Video";
    QTest::newRow("jpeg is not a picture name") << "Video"
                                                << "/m/a.jpeg"
                                                << "Video";
}

void TestMediaWindows::typeFollowsTheFileName() {
    QFETCH(QString, typeBefore);
    QFETCH(QString, file);
    QFETCH(QString, typeAfter);
    Fixture f;
    MediaEditorWindow ed(f.ctx);
    auto* type = child<QComboBox>(&ed, "cmbType");
    QCOMPARE(type->currentText(), QStringLiteral("Picture"));
    type->setCurrentText(typeBefore);
    f.dlg.files << file;
    click(&ed, "Command1");
    QCOMPARE(child<QLineEdit>(&ed, "txtName")->text(), file);
    QCOMPARE(type->currentText(), typeAfter);
}

void TestMediaWindows::saveWithoutFileRefused() {
    Fixture f;
    MediaEditorWindow ed(f.ctx);
    ed.show();
    child<QLineEdit>(&ed, "txtDesc")->setText(QStringLiteral("x"));
    click(&ed, "Command2");
    QCOMPARE(f.env.recorder.texts(), QStringList{MediaEditorWindow::kNoFile});
    QVERIFY(f.ctx.media.all().isEmpty());
    QVERIFY(ed.isVisible());
}

void TestMediaWindows::addEditDelete() {
    Fixture f;
    MediaListWindow list(f.ctx);
    list.show();
    auto* fg = child<QTableWidget>(&list, "FG");
    const QString pic = f.file(QStringLiteral("offer.png"), "png bytes");

    click(&list, "Command4");
    MediaEditorWindow* ed = list.editor();
    QVERIFY(ed && ed->isVisible());
    f.dlg.files << pic;
    click(ed, "Command1");
    child<QLineEdit>(ed, "txtDesc")->setText(QStringLiteral("Offer"));
    child<QCheckBox>(ed, "chkActive")->setChecked(true);
    click(ed, "Command2");
    QVERIFY(!ed->isVisible());
    QCOMPARE(fg->rowCount(), 1);
    const QString key = fgText(fg, 0, 0);
    QCOMPARE(fgText(fg, 0, 2), QStringLiteral("Offer"));
    QCOMPARE(fgText(fg, 0, 3), QStringLiteral("Yes"));
    QCOMPARE(fgText(fg, 0, 4), QStringLiteral("Picture"));
    const QString copy = galleryPath(f.ctx.dataFolder, key.toLongLong(), pic);
    QVERIFY(QFile::exists(copy));

    // Edit loads the row; a second Add New starts empty again.
    fg->setCurrentCell(0, 1);
    click(&list, "Command1");
    QCOMPARE(child<QLabel>(ed, "lblRef")->text(), key);
    QCOMPARE(child<QLineEdit>(ed, "txtName")->text(), copy);
    QCOMPARE(child<QLineEdit>(ed, "txtDesc")->text(), QStringLiteral("Offer"));
    child<QCheckBox>(ed, "chkActive")->setChecked(false);
    click(ed, "Command2");
    QCOMPARE(fgText(fg, 0, 3), QStringLiteral("No"));
    click(&list, "Command4");
    QCOMPARE(child<QLabel>(ed, "lblRef")->text(), QString());
    QCOMPARE(child<QLineEdit>(ed, "txtName")->text(), QString());

    // Delete asks; No keeps the row, Yes removes it and leaves the copy on disk.
    fg->setCurrentCell(0, 1);
    f.env.recorder.answers << MsgAnswer::No << MsgAnswer::Yes;
    click(&list, "Command2");
    QCOMPARE(fg->rowCount(), 1);
    click(&list, "Command2");
    QCOMPARE(fg->rowCount(), 0);
    QCOMPARE(f.env.recorder.texts(),
             (QStringList{MediaListWindow::kDeleteQuestion, MediaListWindow::kDeleteQuestion}));
    QVERIFY(QFile::exists(copy));
    // Nothing selected: nothing asked.
    click(&list, "Command2");
    QCOMPARE(f.env.recorder.entries.size(), 2);
}

void TestMediaWindows::failedCopyKeepsTheEditorOpen() {
    Fixture f;
    MediaListWindow list(f.ctx);
    click(&list, "Command4");
    MediaEditorWindow* ed = list.editor();
    child<QLineEdit>(ed, "txtName")->setText(f.env.dir() + QStringLiteral("/gone.jpg"));
    click(ed, "Command2");
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QVERIFY(f.env.recorder.last().contains(QStringLiteral("gone.jpg")));
    QVERIFY(ed->isVisible());
    QVERIFY(f.ctx.media.all().isEmpty());
}

void TestMediaWindows::refreshOnlyWhileTheBoardRuns() {
    Fixture f;
    MediaItem m;
    m.fileName = QStringLiteral("/data/gallery/3.jpg");
    m.type = MediaStore::kPicture;
    QVERIFY(f.ctx.media.add(m) > 0);
    MediaListWindow list(f.ctx);
    QSignalSpy restarted(&list, &MediaListWindow::galleryRefreshed);
    bool running = false;
    list.setBoardRunning([&running] { return running; });
    const QString album = mediafiles::albumPath(f.ctx.dataFolder);

    click(&list, "Command5");
    QVERIFY(!QFile::exists(album));
    QCOMPARE(restarted.count(), 0);

    running = true;
    click(&list, "Command5");
    QFile written(album);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll().contains("<artLocation>3.jpg</artLocation>"));
    QCOMPARE(restarted.count(), 1);
}

QTEST_MAIN(TestMediaWindows)
#include "tst_mediawindows.moc"
