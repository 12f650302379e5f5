#include "data/fontfamily.h"
#include "data/settingsstore.h"
#include "design/clockpicker.h"
#include "design/themeeditor.h"
#include "design/themelistwindow.h"
#include "gui/colorswatch.h"
#include "gui/dialogservice.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

using namespace quoteria;
using namespace quoteria::design;

namespace {

struct Fixture : test::AppFixture {
    DialogRecorder dlg;
    Fixture() { setDialogService(&dlg); }
    ~Fixture() { setDialogService(nullptr); }
    // A stored theme; the layout row's table zone is 6420 wide.
    qint64 addTheme(const QString& name, bool layout = false, bool header = false,
                    FieldValues v = initialFields()) {
        v[QStringLiteral("txtName")] = name;
        BoardTheme t = ctx.themes.load(ctx.themes.saveRecord(recordFromFields(v, 0)));
        t.hasPosition = layout;
        t.zone[BoardTheme::Table][2] = 6420;
        t.hasHeader = header;
        if (layout || header)
            ctx.themes.save(t);
        return t.key;
    }
    int themes() { return int(ctx.themes.tableOrder().size()); }
};

template <typename W> W* child(QWidget* w, const char* name) {
    return w->findChild<W*>(QLatin1String(name));
}
QLineEdit* text(QWidget* w, const char* name) {
    return child<QLineEdit>(w, name);
}
void leave(QWidget* box) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(box, &out);
}
// One data row, kept on one line.
template <typename... T> void row(const char* name, const T&... values) {
    (QTest::newRow(name) << ... << values);
}
using S = QString;

QStringList rowTexts(const ThemeRecord& r) {
    QStringList out;
    for (auto it = r.values.begin(); it != r.values.end(); ++it)
        out << it.key() + QLatin1Char('=') + it.value().toString();
    return out;
}

} // namespace

class TestThemeWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editedThemeRoundTrip();
    void newThemeSaved();
    void saveRefusals_data();
    void saveRefusals();
    void saveUnderTheEditor_data();
    void saveUnderTheEditor();
    void keysClearFields_data();
    void keysClearFields();
    void liveDraftsPublishedAndWithdrawn();
    void widthLabelAndButtons();
    void closeAsksAboutTyping();
    void clockPicker();
    void listDeletesAndRefills();
    void listPreviewChecks_data();
    void listPreviewChecks();
    void listReselectsEditedRow();
};

void TestThemeWindows::editedThemeRoundTrip() {
    Fixture f;
    FieldValues v = initialFields();
    v[QStringLiteral("cmbRowFont")] = QStringLiteral("Times New Roman");
    v[QStringLiteral("cmbRFsize")] = QStringLiteral("15");
    v[QStringLiteral("cmbMedia")] = QStringLiteral("Flash");
    v[QStringLiteral("cmbType")] = QStringLiteral("Horrizontal");
    v[QStringLiteral("lblTClr")] = qint64(0x123456);
    v[QStringLiteral("chkttlBG")] = 1;
    v[QStringLiteral("txtColWidth")] = QStringLiteral("600;2400;1600;1600;0;0;0");
    v[QStringLiteral("txtWidth")] = QStringLiteral("1920");
    v[QStringLiteral("txtHeight")] = QStringLiteral("1080");
    const qint64 key = f.addTheme(QStringLiteral("Odd"), false, false, v);
    const ThemeRecord before = *f.ctx.themes.loadRecord(key);

    ThemeEditor ed(f.ctx);
    ed.lblRef()->setText(QString::number(key));
    ed.getData();
    ed.show();
    QCOMPARE(f.ctx.session.designWidth, 1920);
    QCOMPARE(f.ctx.session.designHeight, 1080);
    QVERIFY(!child<QComboBox>(&ed, "cmbType")->isEnabled());
    auto* rowFont = child<QComboBox>(&ed, "cmbRowFont");
    QCOMPARE(rowFont->currentText(), QStringLiteral("Times New Roman"));
    QCOMPARE(rowFont->font().family(), installedFamily(QStringLiteral("Times New Roman")));
    QVERIFY(ed.save());
    QVERIFY(!ed.isVisible());
    QCOMPARE(f.themes(), 1);
    QCOMPARE(rowTexts(*f.ctx.themes.loadRecord(key)), rowTexts(before));
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestThemeWindows::newThemeSaved() {
    Fixture f;
    ThemeEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(text(&ed, "txtName"), QStringLiteral("Fresh"));
    text(&ed, "txtColumn")->setText(QStringLiteral("3"));
    leave(text(&ed, "txtColumn"));
    QCOMPARE(text(&ed, "txtColWidth")->text(), QStringLiteral("2500;2500;2500"));
    text(&ed, "txtSpeed")->setText(QStringLiteral("45"));
    QVERIFY(ed.save());
    QVERIFY(!ed.isVisible());
    // A new theme is opened again from the list before its other editors are used.
    QVERIFY(ed.lblRef()->text().isEmpty());
    const auto all = f.ctx.themes.tableOrder();
    QCOMPARE(all.size(), 1);
    const ThemeRecord r = *f.ctx.themes.loadRecord(all.first().key);
    QCOMPARE(r.values.value(QStringLiteral("cols")).toString(), QStringLiteral("3"));
    QCOMPARE(r.values.value(QStringLiteral("type")).toString(), QStringLiteral("Vertical"));
    QCOMPARE(f.settings.get(settings::TableStepText), QStringLiteral("45"));
    QCOMPARE(f.settings.get(settings::PictureEffect), QStringLiteral("Effect1"));
}

void TestThemeWindows::saveRefusals_data() {
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("widths");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const S speed = S("Speed Value should between 1-100 ");
    const S widths = S("Please Enter a valid colum widths");
    row("speed 0 first", S("0"), S("x"), S(""), speed);
    row("speed 101", S("101"), S("2500;2500"), S("T"), speed);
    row("speed not a number", S("fast"), S("2500;2500"), S("T"), speed);
    row("trailing ; before the name", S("1"), S("2500;2500;"), S(""), widths);
    row("letter", S("100"), S("2500;25o0"), S("T"), widths);
    row("no name", S("100"), S("2500;2500"), S("  "), S("Please select a name"));
}

void TestThemeWindows::saveRefusals() {
    QFETCH(QString, speed);
    QFETCH(QString, widths);
    QFETCH(QString, name);
    QFETCH(QString, message);
    Fixture f;
    ThemeEditor ed(f.ctx);
    ed.show();
    text(&ed, "txtSpeed")->setText(speed);
    text(&ed, "txtColumn")->setText(QStringLiteral("2"));
    text(&ed, "txtColWidth")->setText(widths);
    text(&ed, "txtName")->setText(name);
    QVERIFY(!ed.save());
    QCOMPARE(f.env.recorder.texts(), QStringList{message});
    QVERIFY(ed.isVisible());
    QCOMPARE(f.themes(), 0);
}

void TestThemeWindows::saveUnderTheEditor_data() {
    QTest::addColumn<bool>("stored");
    QTest::addColumn<bool>("tableLost"); // else only the edited row was deleted
    row("deleted row: nothing written, hidden", true, false);
    row("new theme, database fails", false, true);
    row("edited theme, database fails", true, true);
}

void TestThemeWindows::saveUnderTheEditor() {
    QFETCH(bool, stored);
    QFETCH(bool, tableLost);
    Fixture f;
    ThemeEditor ed(f.ctx);
    const qint64 key = stored ? f.addTheme(QStringLiteral("Old")) : 0;
    ed.lblRef()->setText(stored ? QString::number(key) : QString());
    ed.getData();
    ed.show();
    text(&ed, "txtColWidth")->setText(QStringLiteral("1;1;1;1;1;1;1"));
    text(&ed, "txtName")->setText(QStringLiteral("Typed"));
    bool ok = !tableLost && f.ctx.themes.remove(key);
    if (tableLost)
        f.db.exec(QStringLiteral("alter table tbltheme rename to tbltheme_away"), {}, &ok);
    QVERIFY(ok);
    QCOMPARE(ed.save(), !tableLost);
    QCOMPARE(ed.isVisible(), tableLost);
    QCOMPARE(text(&ed, "txtName")->text(), QStringLiteral("Typed"));
    QCOMPARE(f.env.recorder.entries.size(), tableLost ? 1 : 0);
    if (tableLost)
        QVERIFY(f.env.recorder.last().startsWith(QStringLiteral("The theme could not be saved")));
    else
        QCOMPARE(f.themes(), 0);
}

void TestThemeWindows::keysClearFields_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");
    QTest::newRow("logo, letter") << "txtlogo" << int(Qt::Key_A) << "";
    QTest::newRow("clock, delete") << "txtFormat" << int(Qt::Key_Delete) << "";
    QTest::newRow("video, space") << "txtVideo" << int(Qt::Key_Space) << "";
    QTest::newRow("header img, tab moves on") << "txtImg1" << int(Qt::Key_Tab) << "x.jpg";
    QTest::newRow("background, letter types") << "txtNimg" << int(Qt::Key_A) << "x.jpga";
    QTest::newRow("background, backspace") << "txtNimg" << int(Qt::Key_Backspace) << "";
    QTest::newRow("background, enter") << "txtNimg" << int(Qt::Key_Return) << "";
}

void TestThemeWindows::keysClearFields() {
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QString, after);
    Fixture f;
    ThemeEditor ed(f.ctx);
    ed.show();
    auto* box = ed.findChild<QLineEdit*>(control);
    box->setText(QStringLiteral("x.jpg"));
    box->setCursorPosition(5);
    QTest::keyClick(box, Qt::Key(key));
    QCOMPARE(box->text(), after);
}

void TestThemeWindows::liveDraftsPublishedAndWithdrawn() {
    Fixture f;
    const qint64 key = f.addTheme(QStringLiteral("Live"));
    ThemeEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(text(&ed, "txtttl"), QStringLiteral("New"));
    QVERIFY(!f.ctx.drafts.has(key)); // an unsaved theme has nothing to preview
    ed.lblRef()->setText(QString::number(key));
    ed.getData();
    QVERIFY(!f.ctx.drafts.has(key)); // loading is not editing
    QSignalSpy changed(&f.ctx.drafts, &ThemeDrafts::changed);
    QTest::keyClicks(text(&ed, "txtttl"), QStringLiteral("RATES"));
    f.dlg.colors << QColor(0, 0, 255);
    QTest::mouseClick(child<ColorSwatch>(&ed, "lblttlClr"), Qt::LeftButton);
    QCOMPARE(changed.count(), 6);
    const BoardTheme shown = f.ctx.drafts.apply(f.ctx.themes.load(key));
    QCOMPARE(shown.ttlname, QStringLiteral("RATES"));
    QCOMPARE(shown.ttlcolor, QColor(0, 0, 255));
    ed.hide();
    QVERIFY(!f.ctx.drafts.has(key));
    text(&ed, "txtFormat")->setText(QStringLiteral("night.svg")); // hidden: nothing to show
    QVERIFY(!f.ctx.drafts.has(key));
    {
        ThemeEditor other(f.ctx);
        other.lblRef()->setText(QString::number(key));
        other.getData();
        other.show();
        QTest::keyClicks(text(&other, "txtttl"), QStringLiteral("X"));
        QVERIFY(f.ctx.drafts.has(key));
    }
    QVERIFY(!f.ctx.drafts.has(key));
}

void TestThemeWindows::widthLabelAndButtons() {
    Fixture f;
    FieldValues v = initialFields();
    v[QStringLiteral("txtColWidth")] = QStringLiteral("3000;1500;1500");
    const qint64 key = f.addTheme(QStringLiteral("Laid out"), true, false, v);
    ThemeEditor ed(f.ctx);
    ed.show();
    for (const char* name : {"cmdPosition", "cmdHeader", "cmdScroll"})
        QVERIFY2(!child<QPushButton>(&ed, name)->isEnabled(), name);
    ed.lblRef()->setText(QString::number(key));
    ed.getData();
    auto* label = child<QLabel>(&ed, "lblWid");
    QCOMPARE(label->text(), QStringLiteral("Available width= 6420 Total Width 6040"));
    text(&ed, "tblLine")->setText(QStringLiteral("100"));
    QCOMPARE(label->text(), QStringLiteral("Available width= 6420 Total Width 6200"));

    QSignalSpy position(&ed, &ThemeEditor::positionRequested);
    QSignalSpy header(&ed, &ThemeEditor::headerRequested);
    child<QPushButton>(&ed, "cmdPosition")->click();
    child<QPushButton>(&ed, "cmdHeader")->click();
    QCOMPARE(position.value(0).value(0).toLongLong(), key);
    QCOMPARE(header.value(0).value(0).toLongLong(), key);
    // The media items belong to no theme: the list opens for any.
    QSignalSpy videoList(&ed, &ThemeEditor::videoListRequested);
    child<QPushButton>(&ed, "cmdVideoList")->click();
    QCOMPARE(videoList.count(), 1);
    child<QPushButton>(&ed, "cmdScroll")->click();
    auto* scroll = child<QWidget>(&ed, "frmScrollSettings");
    QVERIFY(scroll && scroll->isVisible());
    QCOMPARE(child<QLabel>(scroll, "lblRef")->text(), QString::number(key));

    // A Flash logo is taken, and the operator is told it will not play.
    f.dlg.files << QStringLiteral("/pics/logo.swf");
    child<QPushButton>(&ed, "cmdlogo")->click();
    child<QPushButton>(&ed, "cmdlogo")->click(); // cancelled: kept
    QCOMPARE(text(&ed, "txtlogo")->text(), QStringLiteral("/pics/logo.swf"));
    QCOMPARE(f.env.recorder.entries.size(), 1);

    // Add New: nothing of the edited theme stays, and the layout kind is free again.
    ed.newTheme();
    QVERIFY(child<QComboBox>(&ed, "cmbType")->isEnabled());
    QCOMPARE(ed.record().values, recordFromFields(initialFields(), 0).values);
    QVERIFY(!child<QPushButton>(&ed, "cmdPosition")->isEnabled());
}

void TestThemeWindows::closeAsksAboutTyping() {
    Fixture f;
    ThemeEditor ed(f.ctx);
    ed.show();
    QVERIFY(ed.close()); // nothing typed, nothing asked
    QVERIFY(f.env.recorder.entries.isEmpty());
    ed.show();
    QTest::keyClicks(text(&ed, "txtName"), QStringLiteral("Half"));
    f.env.recorder.answers << MsgAnswer::Cancel << MsgAnswer::No;
    QVERIFY(!ed.close());
    QVERIFY(ed.isVisible());
    QVERIFY(ed.close());
    QCOMPARE(f.env.recorder.entries.size(), 2);
    QCOMPARE(f.themes(), 0);
}

void TestThemeWindows::clockPicker() {
    Fixture f;
    const QString folder = f.env.dir() + QStringLiteral("/app/files/clock");
    QVERIFY(QDir().mkpath(folder));
    const QString shipped = QStringLiteral(QUOTERIA_SOURCE_DIR "/files/clock/");
    QVERIFY(QFile::copy(shipped + QStringLiteral("night.svg"), folder + "/night.svg"));
    QFile swf(folder + QStringLiteral("/night.swf"));
    QVERIFY(swf.open(QIODevice::WriteOnly));
    swf.close();
    f.ctx.appFolder = f.env.dir() + QStringLiteral("/app");

    ThemeEditor ed(f.ctx);
    ed.show();
    ClockPicker* picker = ed.showClockPicker();
    QCOMPARE(picker->faces(), (QStringList{"night.svg", "night.swf"}));
    auto* files = child<QListWidget>(picker, "File1");
    // The Flash name shows the SVG face of the same name, running.
    files->setCurrentRow(1);
    QVERIFY(!picker->preview()->pixmap().isNull());
    QVERIFY(child<QTimer>(picker, "clockTimer")->isActive());
    child<QPushButton>(picker, "cmdOK")->click();
    QVERIFY(!picker->isVisible());
    QCOMPARE(text(&ed, "txtFormat")->text(), QStringLiteral("night.swf"));
    QCOMPARE(ed.showClockPicker(), picker);
    QVERIFY(picker->selected().isEmpty());
    picker->accept();
    QVERIFY(text(&ed, "txtFormat")->text().isEmpty());
}

void TestThemeWindows::listDeletesAndRefills() {
    Fixture f;
    const qint64 first = f.addTheme(QStringLiteral("One"));
    ThemeListWindow list(f.ctx);
    auto* fg = child<QTableWidget>(&list, "FG");
    QCOMPARE(fg->columnCount(), 6);
    const QStringList row0{QString::number(first), "1", "Vertical", "One"};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(fg->item(0, c)->text(), row0.at(c));
    f.addTheme(QStringLiteral("Two")); // saved elsewhere: shown at once
    QCOMPARE(fg->rowCount(), 2);

    f.env.recorder.answers << MsgAnswer::No << MsgAnswer::Yes << MsgAnswer::Yes;
    for (int left : {2, 1, 0}) {
        fg->selectRow(0);
        list.deleteSelected();
        QCOMPARE(fg->rowCount(), left);
    }
    QCOMPARE(f.env.recorder.texts(), QStringList(3, "Do you want to delete the selected "));
    list.deleteSelected(); // nothing selected: nothing asked
    QCOMPARE(f.env.recorder.entries.size(), 3);
}

void TestThemeWindows::listPreviewChecks_data() {
    QTest::addColumn<bool>("select");
    QTest::addColumn<bool>("layout");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing selected") << false << true << true << "Please select a Theme";
    QTest::newRow("header, no layout")
        << true << false << true << "Please Define the position and try again";
    QTest::newRow("layout, no header")
        << true << true << false << "Please Define the header details ";
    QTest::newRow("ready") << true << true << true << "";
}

void TestThemeWindows::listPreviewChecks() {
    QFETCH(bool, select);
    QFETCH(bool, layout);
    QFETCH(bool, header);
    QFETCH(QString, message);
    Fixture f;
    f.addTheme(QStringLiteral("First"), true, true);
    const qint64 key = f.addTheme(QStringLiteral("Second"), layout, header);
    ThemeListWindow list(f.ctx);
    QSignalSpy preview(&list, &ThemeListWindow::previewRequested);
    if (select)
        child<QTableWidget>(&list, "FG")->selectRow(1);
    list.preview();
    QCOMPARE(f.env.recorder.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(preview.size(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty())
        QCOMPARE(preview.first().first().toLongLong(), key);
}

void TestThemeWindows::listReselectsEditedRow() {
    Fixture f;
    for (const char* name : {"A", "B", "C"})
        f.addTheme(QLatin1String(name));
    ThemeListWindow list(f.ctx);
    list.show();
    auto* fg = child<QTableWidget>(&list, "FG");
    fg->selectRow(2);
    list.editSelected();
    ThemeEditor* ed = list.editor();
    QVERIFY(ed->isVisible());
    QCOMPARE(text(ed, "txtName")->text(), QStringLiteral("C"));
    text(ed, "txtColWidth")->setText(QStringLiteral("1;1;1;1;1;1;1"));
    QVERIFY(ed->save()); // the grid refills and loses its selection
    QCOMPARE(fg->currentRow(), -1);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&list, &activate);
    QCOMPARE(fg->currentRow(), 2);
}

QTEST_MAIN(TestThemeWindows)
#include "tst_themewindows.moc"
