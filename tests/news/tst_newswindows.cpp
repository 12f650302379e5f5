#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/newsstore.h"
#include "data/settingsstore.h"
#include "gui/dialogservice.h"
#include "news/newseditor.h"
#include "news/newslistwindow.h"
#include "news/richtextrtf.h"
#include "news/rtftohtml.h"
#include "news/scrollsettingswindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextList>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture : test::AppFixture {
    DialogRecorder dlg;
    Fixture() { setDialogService(&dlg); }
    ~Fixture() { setDialogService(nullptr); }
    int rows() { return db.scalar(QStringLiteral("select count(*) from tblscroll")).toInt(); }
    QString file(const QString& name, const QByteArray& content) {
        const QString path = env.dir() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
};

void trigger(QWidget* w, const char* name) {
    auto* a = w->findChild<QAction*>(QLatin1String(name));
    QVERIFY2(a, name);
    a->trigger();
}

void selectRange(QTextEdit* box, int from, int to) {
    QTextCursor c = box->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

QString fgText(QTableWidget* fg, int row, int col) {
    return fg->item(row, col) ? fg->item(row, col)->text() : QString();
}

} // namespace

class TestNewsWindows : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveStripsMarkupCharacters();
    void emptyMessageIsNotSaved_data();
    void emptyMessageIsNotSaved();
    void editKeepsTheKey();
    void editOfDeletedMessageIsNotSaved();
    void formattingRoundTrip();
    void styleCommands_data();
    void styleCommands();
    void fontDialogAndSwatches();
    void caseAndDelete();
    void speedIsStoredAtOnce();
    void newAsksAboutChanges_data();
    void newAsksAboutChanges();
    void openReadsFiles_data();
    void openReadsFiles();
    void droppedFileOpens();
    void statusShowsLine();
    void printsSelection();
    void listNumbersInKeyOrder();
    void listDeleteAsks();
    void listOpensEditor();
    void scrollSettingsOneRowPerTheme();
    void scrollSettingsPickers();
    void closeAsksAboutTypedText_data();
    void closeAsksAboutTypedText();
    void closeAfterFailedSaveStaysOpen();
    void loadedMessageNamesCaption();
    void foreSwatchFollowsCaret();
    void fitsSmallScreen();
};

void TestNewsWindows::saveStripsMarkupCharacters() {
    Fixture f;
    QSignalSpy changed(&f.events, &DataEvents::newsChanged);
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), QStringLiteral("a<b>/c"));
    ed.findChild<QCheckBox*>(QStringLiteral("chkActive"))->setChecked(false);
    ed.findChild<QComboBox*>(QStringLiteral("cmbDir"))->setCurrentText(QStringLiteral("Right"));
    QVERIFY(ed.mnuSave_Click());
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("abc"));
    QVERIFY(!ed.isVisible());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(f.rows(), 1);
    const NewsMessage m = f.news.all().first();
    QCOMPARE(m.message, QStringLiteral("abc"));
    QVERIFY(!m.active);
    QCOMPARE(m.direction, QStringLiteral("Right"));
    QCOMPARE(m.fontName, QStringLiteral("Arial"));
    QCOMPARE(m.fontSize, QStringLiteral("20"));
    QCOMPARE(m.fontColor, 0);
    QVERIFY(m.rtf.startsWith(QStringLiteral("{\\rtf1")));
    QCOMPARE(m.html, rtfToHtml(m.rtf, QStringLiteral("0")));
    QVERIFY(m.html.endsWith(QStringLiteral(">abc</span></font>")));
    // Add mode stores the speed as well.
    QCOMPARE(f.settings.read(QStringLiteral("display"), QStringLiteral("scroll"),
                             QStringLiteral("speed")),
             QStringLiteral("30"));
}

void TestNewsWindows::emptyMessageIsNotSaved_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("nothing") << QString();
    QTest::newRow("only removed characters") << QStringLiteral("<>//><");
    QTest::newRow("blanks") << QStringLiteral("  / ");
}

void TestNewsWindows::emptyMessageIsNotSaved() {
    QFETCH(QString, typed);
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), typed);
    QVERIFY(!ed.mnuSave_Click());
    QCOMPARE(f.rows(), 0);
    QVERIFY(ed.isVisible());
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestNewsWindows::editKeepsTheKey() {
    Fixture f;
    NewsMessage m;
    m.message = QStringLiteral("first");
    NewsStore& store = f.news;
    store.save(m);
    m.message = QStringLiteral("second");
    const qint64 key = store.save(m);

    NewsEditor ed(f.ctx);
    ed.setEditMode(true);
    ed.lblRef()->setText(QString::number(key));
    ed.getheadDetails(key);
    // A row without RTF shows its plain text.
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("second"));
    QVERIFY(!ed.box()->document()->isModified());
    ed.show();
    ed.box()->moveCursor(QTextCursor::End);
    QTest::keyClicks(ed.box(), QStringLiteral(" edited"));
    QVERIFY(ed.mnuSave_Click());
    QCOMPARE(f.rows(), 2);
    QCOMPARE(store.load(key)->message, QStringLiteral("second edited"));
    // Edit mode never stores the speed.
    QVERIFY(f.settings
                .read(QStringLiteral("display"), QStringLiteral("scroll"), QStringLiteral("speed"))
                .isEmpty());
}

void TestNewsWindows::editOfDeletedMessageIsNotSaved() {
    Fixture f;
    NewsMessage m;
    m.message = QStringLiteral("gone");
    NewsStore& store = f.news;
    const qint64 key = store.save(m);

    NewsEditor ed(f.ctx);
    ed.setEditMode(true);
    ed.lblRef()->setText(QString::number(key));
    ed.getheadDetails(key);
    ed.show();
    QVERIFY(store.remove(key));
    ed.box()->moveCursor(QTextCursor::End);
    QTest::keyClicks(ed.box(), QStringLiteral(" typed"));
    // The row went away: the save fails, says so, and the typed text stays.
    QVERIFY(!ed.mnuSave_Click());
    QVERIFY(ed.isVisible());
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("gone typed"));
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QCOMPARE(f.rows(), 0);

    // New, answered Yes: the save fails again, so the text is not thrown away.
    f.env.recorder.answers << MsgAnswer::Yes;
    QVERIFY(!ed.mnuNew_Click());
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("gone typed"));
    QVERIFY(ed.box()->document()->isModified());
}

void TestNewsWindows::formattingRoundTrip() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTextEdit* box = ed.box();
    QTest::keyClicks(box, QStringLiteral("Rates today"));
    selectRange(box, 0, 5);
    trigger(&ed, "mnuBold");
    f.dlg.colors << QColor(200, 0, 0);
    trigger(&ed, "FColor");
    trigger(&ed, "mnuCenteralign");
    QVERIFY(ed.findChild<QAction*>(QStringLiteral("Center"))->isChecked());
    box->moveCursor(QTextCursor::End);
    QTest::keyClick(box, Qt::Key_Return);
    trigger(&ed, "mnuLeftalign");
    trigger(&ed, "mnuBullets");
    QVERIFY(ed.findChild<QAction*>(QStringLiteral("Bullet"))->isChecked());
    QTest::keyClicks(box, QStringLiteral("one"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QStringLiteral("two"));
    selectRange(box, box->document()->characterCount() - 4, box->document()->characterCount() - 1);
    Q_EMIT ed.findChild<QComboBox*>(QStringLiteral("Combo1"))
        ->textActivated(QStringLiteral("Times New Roman"));
    selectRange(box, 2, 2); // the caret in the red word
    const QString rtf = documentToRtf(*box->document());
    QVERIFY(ed.mnuSave_Click());

    const NewsMessage m = f.news.all().first();
    QCOMPARE(m.rtf, rtf);
    QCOMPARE(m.fontColor, 200); // the colour of the selection at saving time
    QVERIFY(m.html.contains(QStringLiteral("<table width=100%><tr><td align=\"center\">")));
    QVERIFY(m.html.contains(QStringLiteral("color=\"#C80000\"")));
    QVERIFY(m.html.contains(QStringLiteral("<b>")));
    QVERIFY(m.html.contains(QStringLiteral("<li>")));
    QVERIFY(m.html.contains(QStringLiteral("face=\"Times New Roman\"")));

    NewsEditor again(f.ctx);
    again.setEditMode(true);
    again.lblRef()->setText(QString::number(m.key));
    again.getheadDetails(m.key);
    QTextDocument* doc = again.box()->document();
    QCOMPARE(doc->toPlainText(), QStringLiteral("Rates today\none\ntwo"));
    QCOMPARE(doc->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    const QTextCharFormat first = doc->firstBlock().begin().fragment().charFormat();
    QVERIFY(first.fontWeight() >= QFont::Bold);
    QCOMPARE(first.foreground().color(), QColor(200, 0, 0));
    QVERIFY(doc->findBlockByNumber(1).textList());
    QVERIFY(doc->findBlockByNumber(2).textList());
    QCOMPARE(documentToRtf(*doc), m.rtf);
    // Saving the reloaded message unchanged writes the same three forms.
    again.show();
    QVERIFY(again.mnuSave_Click());
    const NewsMessage m2 = *f.news.load(m.key);
    QCOMPARE(m2.rtf, m.rtf);
    QCOMPARE(m2.html, m.html);
    QCOMPARE(m2.message, m.message);
}

void TestNewsWindows::styleCommands_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("htmlPart");
    QTest::newRow("italic") << "mnuItalic"
                            << "<i>";
    QTest::newRow("underline") << "Underline"
                               << "<u>";
    QTest::newRow("strikeout") << "mnuStrikeout"
                               << "<s>";
    QTest::newRow("right") << "Right"
                           << "<td align=\"right\">";
    QTest::newRow("heading 1") << "Heading1"
                               << "<b><font face=\"Arial\"><span style=font-size:20px>";
    QTest::newRow("normal") << "Normal"
                            << "<font face=\"Arial\"><span style=font-size:10px>";
    QTest::newRow("size 50") << "50"
                             << "font-size:70px>";
}

void TestNewsWindows::styleCommands() {
    QFETCH(QString, command);
    QFETCH(QString, htmlPart);
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), QStringLiteral("word"));
    ed.box()->selectAll();
    if (command.startsWith(QLatin1String("Heading")) || command == QLatin1String("Normal"))
        Q_EMIT ed.findChild<QComboBox*>(QStringLiteral("Combo3"))->textActivated(command);
    else if (command == QLatin1String("50"))
        Q_EMIT ed.findChild<QComboBox*>(QStringLiteral("Combo2"))->textActivated(command);
    else
        trigger(&ed, qPrintable(command));
    QVERIFY(ed.mnuSave_Click());
    const QString html = f.news.all().first().html;
    QVERIFY2(html.contains(htmlPart), qPrintable(html));
}

void TestNewsWindows::fontDialogAndSwatches() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), QStringLiteral("word"));
    ed.box()->selectAll();
    QFont chosen(QStringLiteral("Courier New"), 30);
    chosen.setItalic(true);
    f.dlg.fonts << chosen;
    trigger(&ed, "mnuFont");
    QCOMPARE(ed.findChild<QComboBox*>(QStringLiteral("Combo1"))->currentText(),
             QStringLiteral("Courier New"));
    QCOMPARE(ed.findChild<QComboBox*>(QStringLiteral("Combo2"))->currentText(),
             QStringLiteral("30"));
    QCOMPARE(ed.box()->currentCharFormat().fontPointSize(), 30.0);
    QVERIFY(ed.box()->currentCharFormat().fontItalic());
    // Cancelled font dialog changes nothing.
    trigger(&ed, "mnuFont");
    QCOMPARE(ed.box()->currentCharFormat().fontPointSize(), 30.0);

    // The back colour only colours its swatch; a cancelled dialog keeps both swatches.
    auto* fore = ed.findChild<QLabel*>(QStringLiteral("Picture1"));
    auto* back = ed.findChild<QLabel*>(QStringLiteral("Picture2"));
    QCOMPARE(fore->property("color").value<QColor>(), QColor(Qt::black));
    QCOMPARE(back->property("color").value<QColor>(), QColor(Qt::white));
    f.dlg.colors << QColor(Qt::yellow);
    trigger(&ed, "BColor");
    QCOMPARE(back->property("color").value<QColor>(), QColor(Qt::yellow));
    trigger(&ed, "mnuForecolor");
    QCOMPARE(fore->property("color").value<QColor>(), QColor(Qt::black));
    QVERIFY(ed.box()->currentCharFormat().foreground().style() == Qt::NoBrush);
}

void TestNewsWindows::caseAndDelete() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), QStringLiteral("Hello World"));
    selectRange(ed.box(), 0, 5);
    trigger(&ed, "mnuUpperCase");
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("HELLO World"));
    selectRange(ed.box(), 6, 11);
    trigger(&ed, "mnuLowerCase");
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("HELLO world"));
    selectRange(ed.box(), 5, 11);
    trigger(&ed, "mnuDelete");
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("HELLO"));
    trigger(&ed, "mnuUndo");
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("HELLO world"));
}

void TestNewsWindows::speedIsStoredAtOnce() {
    Fixture f;
    NewsEditor ed(f.ctx);
    auto* speed = ed.findChild<QComboBox*>(QStringLiteral("cmbSpeed"));
    QCOMPARE(speed->currentText(), QStringLiteral("30"));
    Q_EMIT speed->textActivated(QStringLiteral("45"));
    QCOMPARE(f.settings.readInt(QStringLiteral("Display"), QStringLiteral("Scroll"),
                                QStringLiteral("Speed"), 0),
             45);
    QCOMPARE(f.rows(), 0);
    NewsEditor next(f.ctx);
    QCOMPARE(next.findChild<QComboBox*>(QStringLiteral("cmbSpeed"))->currentText(),
             QStringLiteral("45"));
}

void TestNewsWindows::newAsksAboutChanges_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("cancel") << int(MsgAnswer::Cancel) << "draft" << 0;
    QTest::newRow("no") << int(MsgAnswer::No) << "" << 0;
    QTest::newRow("yes") << int(MsgAnswer::Yes) << "" << 1;
}

void TestNewsWindows::newAsksAboutChanges() {
    QFETCH(int, answer);
    QFETCH(QString, textAfter);
    QFETCH(int, rowsAfter);
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QCOMPARE(ed.windowTitle(), QStringLiteral("Untitled - "));
    // Unchanged text: no question.
    trigger(&ed, "mnuNew");
    QVERIFY(f.env.recorder.entries.isEmpty());
    QTest::keyClicks(ed.box(), QStringLiteral("draft"));
    f.env.recorder.answers << MsgAnswer(answer);
    trigger(&ed, "New");
    QCOMPARE(f.env.recorder.entries.size(), 1);
    const auto& q = f.env.recorder.entries.first();
    QCOMPARE(q.text,
             QStringLiteral(
                 "The text in the untitled file has changed.\nDo you want to save the changes ?"));
    QCOMPARE(q.title, QStringLiteral("Veltracor"));
    QCOMPARE(q.icon, MsgIcon::Warning);
    QCOMPARE(ed.box()->toPlainText(), textAfter);
    QCOMPARE(f.rows(), rowsAfter);
    QCOMPARE(ed.box()->document()->isModified(), answer == int(MsgAnswer::Cancel));
}

void TestNewsWindows::openReadsFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");
    QTest::newRow("rtf") << "news.rtf"
                         << QByteArray(
                                "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Big\\b0  news}")
                         << "Big news" << false;
    QTest::newRow("txt") << "news.txt" << QByteArray("plain caf\xc3\xa9\nline two")
                         << "plain caf\u00e9\nline two" << false;
    QTest::newRow("rtf saved as doc")
        << "old.doc" << QByteArray("{\\rtf1 from a doc}") << "from a doc" << false;
    QTest::newRow("word document")
        << "real.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 binary", 16) << "before"
        << true;
}

void TestNewsWindows::openReadsFiles() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    ed.box()->setPlainText(QStringLiteral("before"));
    ed.box()->document()->setModified(false);
    f.dlg.files << f.file(name, content);
    trigger(&ed, "mnuOpen");
    QCOMPARE(ed.box()->toPlainText(), text);
    QCOMPARE(f.env.recorder.entries.size(), refused ? 1 : 0);
    if (refused) {
        QVERIFY(f.env.recorder.last().contains(QStringLiteral("cannot read")));
        QCOMPARE(ed.windowTitle(), QStringLiteral("Untitled - "));
    } else {
        QCOMPARE(ed.windowTitle(), name + QStringLiteral(" Scroll Editor"));
        QVERIFY(!ed.box()->document()->isModified());
    }
}

void TestNewsWindows::droppedFileOpens() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), QStringLiteral("unsaved"));
    const QString path = f.file(QStringLiteral("drop.txt"), "dropped text");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    f.env.recorder.answers << MsgAnswer::No;
    // Drops reach the widget a drag entered first.
    auto* toolbar = ed.findChild<QWidget*>(QStringLiteral("Toolbar1"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(toolbar, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(toolbar, &drop);
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("dropped text"));
}

void TestNewsWindows::statusShowsLine() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    QTest::keyClicks(ed.box(), QStringLiteral("one"));
    QTest::keyClick(ed.box(), Qt::Key_Return);
    QTest::keyClicks(ed.box(), QStringLiteral("two"));
    QTest::keyClick(ed.box(), Qt::Key_Return);
    QTest::keyClicks(ed.box(), QStringLiteral("three"));
    auto* status = ed.findChild<QLabel*>(QStringLiteral("status"));
    QCOMPARE(status->text(), QStringLiteral("Line : 3"));
    ed.box()->moveCursor(QTextCursor::Start);
    QCOMPARE(status->text(), QStringLiteral("Line : 1"));
    QString many;
    for (int i = 0; i < 1200; ++i)
        many += QStringLiteral("x\n");
    ed.box()->setPlainText(many);
    ed.box()->moveCursor(QTextCursor::End);
    QCOMPARE(status->text(), QStringLiteral("Line : 1,201"));
}

void TestNewsWindows::printsSelection() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.box()->setPlainText(QStringLiteral("print me"));
    trigger(&ed, "mnuPrint");
    f.dlg.acceptPrint = false;
    trigger(&ed, "mnuPrint");
    QCOMPARE(f.dlg.printed, 1);
    QCOMPARE(f.dlg.asked, QStringList({QStringLiteral("print"), QStringLiteral("print")}));
}

void TestNewsWindows::listNumbersInKeyOrder() {
    Fixture f;
    NewsStore& store = f.news;
    QList<qint64> keys;
    for (const char* text : {"one", "two", "three", "four"}) {
        NewsMessage m;
        m.message = QString::fromLatin1(text);
        m.active = QByteArray(text) != "two";
        m.direction = QByteArray(text) == "four" ? QStringLiteral("Right") : QStringLiteral("Left");
        keys << store.save(m);
    }
    store.remove(keys.at(0));
    NewsListWindow list(f.ctx);
    QCOMPARE(list.windowTitle(), QStringLiteral("Scoll Message"));
    auto* fg = list.findChild<QTableWidget*>(QStringLiteral("FG"));
    QCOMPARE(fg->columnCount(), 6);
    QCOMPARE(fg->horizontalHeaderItem(1)->text(), QStringLiteral("SN"));
    QCOMPARE(fg->horizontalHeaderItem(2)->text(), QStringLiteral("Message"));
    QCOMPARE(fg->horizontalHeaderItem(3)->text(), QStringLiteral("Active"));
    QCOMPARE(fg->horizontalHeaderItem(4)->text(), QStringLiteral("Direction"));
    QVERIFY(fg->isColumnHidden(0));
    QCOMPARE(fg->rowCount(), 3);
    const QStringList expected[] = {{QString::number(keys[1]), "1", "two", "No", "Left"},
                                    {QString::number(keys[2]), "2", "three", "Yes", "Left"},
                                    {QString::number(keys[3]), "3", "four", "Yes", "Right"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 5; ++c)
            QCOMPARE(fgText(fg, r, c), expected[r].at(c));
}

void TestNewsWindows::listDeleteAsks() {
    Fixture f;
    NewsStore& store = f.news;
    NewsMessage m;
    m.message = QStringLiteral("a");
    store.save(m);
    m.message = QStringLiteral("b");
    store.save(m);
    NewsListWindow list(f.ctx);
    auto* fg = list.findChild<QTableWidget*>(QStringLiteral("FG"));
    auto* del = list.findChild<QPushButton*>(QStringLiteral("Command2"));
    // Nothing selected: nothing asked.
    fg->setCurrentCell(-1, -1);
    del->click();
    QVERIFY(f.env.recorder.entries.isEmpty());
    fg->setCurrentCell(1, 2);
    f.env.recorder.answers << MsgAnswer::No;
    del->click();
    QCOMPARE(f.env.recorder.last(), QStringLiteral("Do you want to delete the selected"));
    QCOMPARE(f.rows(), 2);
    fg->setCurrentCell(1, 2);
    f.env.recorder.answers << MsgAnswer::Yes;
    del->click();
    QCOMPARE(f.rows(), 1);
    QCOMPARE(fg->rowCount(), 1);
    QCOMPARE(fgText(fg, 0, 2), QStringLiteral("a"));
}

void TestNewsWindows::listOpensEditor() {
    Fixture f;
    NewsStore& store = f.news;
    NewsMessage m;
    m.message = QStringLiteral("stored");
    m.direction = QStringLiteral("Right");
    m.fontSize = QStringLiteral("24");
    const qint64 key = store.save(m);
    NewsListWindow list(f.ctx);
    list.show();
    auto* fg = list.findChild<QTableWidget*>(QStringLiteral("FG"));
    fg->setCurrentCell(0, 2);
    list.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    NewsEditor* ed = list.editor();
    QVERIFY(ed && ed->isVisible());
    QVERIFY(ed->editMode());
    QCOMPARE(ed->lblRef()->text(), QString::number(key));
    QCOMPARE(ed->box()->toPlainText(), QStringLiteral("stored"));
    QCOMPARE(ed->findChild<QComboBox*>(QStringLiteral("cmbDir"))->currentText(),
             QStringLiteral("Right"));
    QCOMPARE(ed->findChild<QComboBox*>(QStringLiteral("Combo2"))->currentText(),
             QStringLiteral("24"));

    // Add New on the same editor: add mode, empty box; the saved row appears in the list.
    list.findChild<QPushButton*>(QStringLiteral("Command4"))->click();
    QCOMPARE(list.editor(), ed);
    QVERIFY(!ed->editMode());
    QVERIFY(ed->lblRef()->text().isEmpty());
    QVERIFY(ed->box()->toPlainText().isEmpty());
    QTest::keyClicks(ed->box(), QStringLiteral("fresh"));
    QVERIFY(ed->mnuSave_Click());
    QCOMPARE(fg->rowCount(), 2);
    QCOMPARE(fgText(fg, 1, 2), QStringLiteral("fresh"));

    // Edit while the open editor holds unsaved text: Cancel keeps the text and the mode.
    list.findChild<QPushButton*>(QStringLiteral("Command4"))->click();
    QTest::keyClicks(ed->box(), QStringLiteral("draft"));
    fg->setCurrentCell(0, 2);
    f.env.recorder.answers << MsgAnswer::Cancel;
    list.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    QCOMPARE(ed->box()->toPlainText(), QStringLiteral("draft"));
    QVERIFY(!ed->editMode());
    QCOMPARE(fg->rowCount(), 2);
}

void TestNewsWindows::scrollSettingsOneRowPerTheme() {
    Fixture f;
    QSignalSpy changed(&f.events, &DataEvents::themesChanged);
    {
        ScrollSettingsWindow w(f.ctx);
        QCOMPARE(w.windowTitle(), QStringLiteral("Scroll Settings"));
        w.lblRef()->setText(QStringLiteral("7"));
        w.getData();
        w.findChild<QCheckBox*>(QStringLiteral("chkGrad"))->setChecked(true);
        w.findChild<QComboBox*>(QStringLiteral("cmbSpeed"))->setCurrentText(QStringLiteral("55"));
        w.findChild<QComboBox*>(QStringLiteral("cmbType"))->setCurrentText(QStringLiteral("Right"));
        w.findChild<QLineEdit*>(QStringLiteral("txtImage"))
            ->setText(QStringLiteral("/pics/dot.gif"));
        w.findChild<QComboBox*>(QStringLiteral("cmbDir"))->setCurrentText(QStringLiteral("Left"));
        w.show();
        w.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QVERIFY(!w.isVisible());
    }
    {
        ScrollSettingsWindow w(f.ctx);
        w.lblRef()->setText(QStringLiteral("7"));
        w.getData();
        QVERIFY(w.findChild<QCheckBox*>(QStringLiteral("chkGrad"))->isChecked());
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbSpeed"))->currentText(),
                 QStringLiteral("55"));
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbType"))->currentText(),
                 QStringLiteral("Right"));
        QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtImage"))->text(),
                 QStringLiteral("/pics/dot.gif"));
        QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbDir"))->currentText(),
                 QStringLiteral("Left"));
        w.findChild<QComboBox*>(QStringLiteral("cmbSpeed"))->setCurrentText(QStringLiteral("60"));
        w.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    }
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblss where themeauto=7")).toInt(),
             1);
    QCOMPARE(f.news.loadScrollSettings(7)->speed, QStringLiteral("60"));
    QCOMPARE(changed.count(), 2);
    // Close does not save.
    ScrollSettingsWindow w(f.ctx);
    w.lblRef()->setText(QStringLiteral("8"));
    w.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    QVERIFY(!f.news.loadScrollSettings(8));
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestNewsWindows::scrollSettingsPickers() {
    Fixture f;
    ScrollSettingsWindow w(f.ctx);
    w.lblRef()->setText(QStringLiteral("3"));
    w.show();
    auto* back = w.findChild<QLabel*>(QStringLiteral("lblClr1"));
    auto* grad = w.findChild<QLabel*>(QStringLiteral("lblClr2"));
    f.dlg.colors << QColor(0, 0, 255) << QColor(255, 0, 0);
    QTest::mouseClick(back, Qt::LeftButton);
    QTest::mouseClick(grad, Qt::LeftButton);
    // Cancelled on colours away from the defaults: both stay, and no message.
    QTest::mouseClick(back, Qt::LeftButton);
    QTest::mouseClick(grad, Qt::LeftButton);
    QCOMPARE(f.dlg.asked.count(QStringLiteral("color")), 4);
    QVERIFY(f.env.recorder.entries.isEmpty());
    QVERIFY(back->styleSheet().contains(QLatin1String("#0000ff")));
    QVERIFY(grad->styleSheet().contains(QLatin1String("#ff0000")));

    auto* image = w.findChild<QLineEdit*>(QStringLiteral("txtImage"));
    f.dlg.files << QStringLiteral("/pics/star.jpg");
    w.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QCOMPARE(image->text(), QStringLiteral("/pics/star.jpg"));
    w.findChild<QPushButton*>(QStringLiteral("Command1"))->click(); // cancelled
    QCOMPARE(image->text(), QStringLiteral("/pics/star.jpg"));
    QTest::keyClick(image, Qt::Key_Delete);
    QVERIFY(image->text().isEmpty());

    w.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
    const auto s = f.news.loadScrollSettings(3);
    QVERIFY(s);
    QCOMPARE(s->backColor, 0xFF0000); // blue in a Windows colour value
    QCOMPARE(s->gradColor, 0x0000FF); // red
    QVERIFY(s->bullet.isEmpty());
}

void TestNewsWindows::closeAsksAboutTypedText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("nothing typed") << "" << false << int(MsgAnswer::Cancel) << true << 0;
    QTest::newRow("typed and rubbed out")
        << "ab\b\b" << false << int(MsgAnswer::Cancel) << true << 0;
    QTest::newRow("cancel") << "draft" << true << int(MsgAnswer::Cancel) << false << 0;
    QTest::newRow("no") << "draft" << true << int(MsgAnswer::No) << true << 0;
    QTest::newRow("yes") << "draft" << true << int(MsgAnswer::Yes) << true << 1;
}

void TestNewsWindows::closeAsksAboutTypedText() {
    QFETCH(QString, typed);
    QFETCH(bool, asked);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(int, rowsAfter);
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    for (const QChar c : typed) {
        if (c == QLatin1Char('\b'))
            QTest::keyClick(ed.box(), Qt::Key_Backspace);
        else
            QTest::keyClick(ed.box(), c.toLatin1());
    }
    f.env.recorder.answers << MsgAnswer(answer);
    QCOMPARE(ed.close(), closed);
    QCOMPARE(f.env.recorder.entries.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(f.env.recorder.entries.first().text,
                 QStringLiteral("The text in the untitled file has changed.\nDo you want to save "
                                "the changes ?"));
    QCOMPARE(ed.isVisible(), !closed);
    QCOMPARE(f.rows(), rowsAfter);
    if (!closed) {
        QCOMPARE(ed.box()->toPlainText(), typed);
        QVERIFY(ed.hasUnsavedWork());
    }
}

void TestNewsWindows::closeAfterFailedSaveStaysOpen() {
    Fixture f;
    NewsMessage m;
    m.message = QStringLiteral("kept");
    NewsStore& store = f.news;
    const qint64 key = store.save(m);
    NewsEditor ed(f.ctx);
    ed.setEditMode(true);
    ed.lblRef()->setText(QString::number(key));
    ed.getheadDetails(key);
    ed.show();
    // Loaded and untouched: nothing to ask.
    QVERIFY(!ed.hasUnsavedWork());
    QVERIFY(ed.settleUnsavedWork());
    QVERIFY(f.env.recorder.entries.isEmpty());

    ed.box()->moveCursor(QTextCursor::End);
    QTest::keyClicks(ed.box(), QStringLiteral(" more"));
    QVERIFY(store.remove(key));
    f.env.recorder.answers << MsgAnswer::Yes;
    QVERIFY(!ed.close());
    QVERIFY(ed.isVisible());
    QCOMPARE(ed.box()->toPlainText(), QStringLiteral("kept more"));
    // The question, then the reason the save failed.
    QCOMPARE(f.env.recorder.entries.size(), 2);
    QVERIFY(f.env.recorder.entries.first().question);
}

void TestNewsWindows::loadedMessageNamesCaption() {
    Fixture f;
    NewsStore& store = f.news;
    NewsMessage m;
    m.message = QStringLiteral("Rates   today");
    const qint64 shortKey = store.save(m);
    m.message =
        QStringLiteral("A very long message about the rates of the day, first line\nsecond");
    const qint64 longKey = store.save(m);

    NewsEditor ed(f.ctx);
    ed.setEditMode(true);
    ed.getheadDetails(shortKey);
    QCOMPARE(ed.windowTitle(), QStringLiteral("Rates today Scroll Editor"));
    QCOMPARE(ed.findChild<QLabel*>(QStringLiteral("lblFile"))->text(),
             QStringLiteral("Rates today"));
    ed.getheadDetails(longKey);
    QCOMPARE(ed.windowTitle(),
             QStringLiteral("A very long message about the rates of... Scroll Editor"));
    // New is untitled again.
    QVERIFY(ed.mnuNew_Click());
    QCOMPARE(ed.windowTitle(), QStringLiteral("Untitled - "));
}

void TestNewsWindows::foreSwatchFollowsCaret() {
    Fixture f;
    NewsEditor ed(f.ctx);
    ed.show();
    auto* fore = ed.findChild<QLabel*>(QStringLiteral("Picture1"));
    QTest::keyClicks(ed.box(), QStringLiteral("ab"));
    selectRange(ed.box(), 1, 2);
    f.dlg.colors << QColor(Qt::red);
    trigger(&ed, "FColor");
    QCOMPARE(fore->property("color").value<QColor>(), QColor(Qt::red));
    selectRange(ed.box(), 1, 1); // after the black "a"
    QCOMPARE(fore->property("color").value<QColor>(), QColor(Qt::black));
    selectRange(ed.box(), 2, 2); // after the red "b"
    QCOMPARE(fore->property("color").value<QColor>(), QColor(Qt::red));
}

void TestNewsWindows::fitsSmallScreen() {
    Fixture f;
    NewsEditor ed(f.ctx);
    // Room left for a window frame and a task bar on a 1366 x 768 screen.
    QVERIFY2(ed.width() <= 1366 - 8 && ed.height() <= 768 - 40 - 30,
             qPrintable(QStringLiteral("%1x%2").arg(ed.width()).arg(ed.height())));
    // Asked to appear low on the screen, the whole window still shows.
    const QRect avail = ed.screen()->availableGeometry();
    ed.move(avail.left() + 10, avail.bottom() - 100);
    ed.show();
    QVERIFY2(avail.contains(ed.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(ed.frameGeometry().x())
                                                                .arg(ed.frameGeometry().y())
                                                                .arg(ed.frameGeometry().width())
                                                                .arg(ed.frameGeometry().height())));
    QCOMPARE(ed.frameGeometry().x(), avail.left() + 10);
}

QTEST_MAIN(TestNewsWindows)
#include "tst_newswindows.moc"
