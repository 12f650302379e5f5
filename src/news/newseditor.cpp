#include "news/newseditor.h"

#include "data/appcontext.h"
#include "data/database.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/newsstore.h"
#include "data/settingsstore.h"
#include "data/wincolor.h"
#include "gui/dialogservice.h"
#include "gui/named.h"
#include "news/richtextrtf.h"
#include "news/rtftohtml.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextLayout>
#include <QTextList>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace quoteria {

namespace {

const QString kTitle = QStringLiteral(" Scroll Editor.");

// "###,###,###,###"
QString groupedNumber(qint64 n) {
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

void setSwatch(QLabel* swatch, const QColor& c) {
    swatch->setProperty("color", c);
    swatch->setStyleSheet(
        QStringLiteral("background-color: %1; border: 1px solid gray;").arg(c.name()));
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString s = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : s;
}

} // namespace

NewsEditor::NewsEditor(AppContext& ctx, QWidget* parent, const QString& startFile)
    : QMainWindow(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(kTitle);
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    m_formatBar = named(new QToolBar(this), "Toolbar2");
    m_combo1 = named(new QComboBox(m_formatBar), "Combo1");
    m_combo1->setEditable(true);
    m_combo1->setMinimumContentsLength(18);
    m_combo2 = named(new QComboBox(m_formatBar), "Combo2");
    m_combo2->setEditable(true);
    m_combo3 = named(new QComboBox(m_formatBar), "Combo3");
    m_combo3->addItems({QStringLiteral("Normal"), QStringLiteral("Heading1"),
                        QStringLiteral("Heading2"), QStringLiteral("Heading3")});
    m_formatBar->addWidget(m_combo1);
    m_formatBar->addWidget(m_combo2);
    m_formatBar->addWidget(m_combo3);

    m_picture1 = named(new QLabel(m_formatBar), "Picture1");
    m_picture1->setFixedSize(20, 20);
    m_picture2 = named(new QLabel(m_formatBar), "Picture2");
    m_picture2->setFixedSize(20, 20);

    m_box = named(new QTextEdit(central), "rtfText");
    m_box->setAcceptRichText(true);
    m_box->viewport()->installEventFilter(this);

    auto* row = new QHBoxLayout;
    m_chkActive = named(new QCheckBox(QStringLiteral("Active"), central), "chkActive");
    m_chkActive->setChecked(true);
    m_cmbDir = named(new QComboBox(central), "cmbDir");
    m_cmbDir->addItems({QStringLiteral("Left"), QStringLiteral("Right")});
    m_cmbSpeed = named(new QComboBox(central), "cmbSpeed");
    m_cmbSpeed->setEditable(true);
    for (int s = 5; s <= 100; s += 5)
        m_cmbSpeed->addItem(QString::number(s));
    m_lblRef = named(new QLabel(central), "lblRef");
    m_lblRef->hide();
    m_lblFile = named(new QLabel(QStringLiteral("Untitled"), central), "lblFile");
    row->addWidget(m_chkActive);
    row->addWidget(new QLabel(QStringLiteral("Direction"), central));
    row->addWidget(m_cmbDir);
    row->addWidget(new QLabel(QStringLiteral("Speed"), central));
    row->addWidget(m_cmbSpeed);
    row->addWidget(new QLabel(QStringLiteral("Fore"), central));
    row->addWidget(m_picture1);
    row->addWidget(new QLabel(QStringLiteral("Back"), central));
    row->addWidget(m_picture2);
    row->addStretch();
    row->addWidget(m_lblFile);
    row->addWidget(m_lblRef);
    layout->addLayout(row);
    layout->addWidget(m_box);
    setCentralWidget(central);

    m_status = named(new QLabel(this), "status");
    statusBar()->addWidget(m_status, 1);

    // Menus.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    addCommand(file, QStringLiteral("mnuNew"), QStringLiteral("&New"), &NewsEditor::newDocument);
    addCommand(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open..."),
               &NewsEditor::openDocument);
    addCommand(file, QStringLiteral("mnuSave"), QStringLiteral("&Save"), &NewsEditor::save);
    // Kept for the familiar menu; messages are saved into the database only.
    addCommand(file, QStringLiteral("mnuSaveAs"), QStringLiteral("Save &As..."),
               &NewsEditor::nothing);
    addCommand(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print..."), &NewsEditor::print);
    addCommand(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"),
               &NewsEditor::exitApplication);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    addCommand(edit, QStringLiteral("mnuUndo"), QStringLiteral("&Undo"), &NewsEditor::undo);
    auto* cut = addCommand(edit, QStringLiteral("mnuCut"), QStringLiteral("Cu&t"), nullptr);
    connect(cut, &QAction::triggered, m_box, &QTextEdit::cut);
    auto* copy = addCommand(edit, QStringLiteral("mnuCopy"), QStringLiteral("&Copy"), nullptr);
    connect(copy, &QAction::triggered, m_box, &QTextEdit::copy);
    auto* paste = addCommand(edit, QStringLiteral("mnuPaste"), QStringLiteral("&Paste"), nullptr);
    connect(paste, &QAction::triggered, m_box, &QTextEdit::paste);
    addCommand(edit, QStringLiteral("mnuDelete"), QStringLiteral("&Delete"),
               &NewsEditor::deleteSelection);
    auto* all =
        addCommand(edit, QStringLiteral("mnuSelectAll"), QStringLiteral("Select &All"), nullptr);
    connect(all, &QAction::triggered, m_box, &QTextEdit::selectAll);
    edit->addSeparator();
    addCommand(edit, QStringLiteral("mnuUpperCase"), QStringLiteral("&Upper Case"),
               &NewsEditor::upperCase);
    addCommand(edit, QStringLiteral("mnuLowerCase"), QStringLiteral("&Lower Case"),
               &NewsEditor::lowerCase);
    QMenu* format = menuBar()->addMenu(QStringLiteral("F&ormat"));
    addCommand(format, QStringLiteral("mnuFont"), QStringLiteral("&Font..."),
               &NewsEditor::chooseFont);
    addCommand(format, QStringLiteral("mnuBold"), QStringLiteral("&Bold"), &NewsEditor::toggleBold);
    addCommand(format, QStringLiteral("mnuItalic"), QStringLiteral("&Italic"),
               &NewsEditor::toggleItalic);
    addCommand(format, QStringLiteral("mnuUnderline"), QStringLiteral("&Underline"),
               &NewsEditor::toggleUnderline);
    addCommand(format, QStringLiteral("mnuStrikeout"), QStringLiteral("&Strikeout"),
               &NewsEditor::toggleStrikeout);
    addCommand(format, QStringLiteral("mnuForecolor"), QStringLiteral("Fore &Color..."),
               &NewsEditor::foreColor);
    addCommand(format, QStringLiteral("mnuBackcolor"), QStringLiteral("Bac&k Color..."),
               &NewsEditor::backColor);
    addCommand(format, QStringLiteral("mnuLeftalign"), QStringLiteral("Align &Left"),
               &NewsEditor::alignLeft);
    addCommand(format, QStringLiteral("mnuCenteralign"), QStringLiteral("Align C&enter"),
               &NewsEditor::alignCenter);
    addCommand(format, QStringLiteral("mnuRightalign"), QStringLiteral("Align &Right"),
               &NewsEditor::alignRight);
    addCommand(format, QStringLiteral("mnuBullets"), QStringLiteral("Bu&llets"),
               &NewsEditor::toggleBullets);

    // Toolbar, keyed like the menu commands.
    m_tools = named(new QToolBar(this), "Toolbar1");
    addToolBar(m_tools);
    addToolBarBreak();
    addToolBar(m_formatBar);
    addTool(QStringLiteral("New"), QStringLiteral("New"), false, &NewsEditor::newDocument);
    addTool(QStringLiteral("Open"), QStringLiteral("Open"), false, &NewsEditor::openDocument);
    addTool(QStringLiteral("Save"), QStringLiteral("Save"), false, &NewsEditor::save);
    addTool(QStringLiteral("Find"), QStringLiteral("Find"), false, &NewsEditor::nothing);
    addTool(QStringLiteral("Undo"), QStringLiteral("Undo"), false, &NewsEditor::undo);
    m_tools->addSeparator();
    addTool(QStringLiteral("Bold"), QStringLiteral("B"), false, &NewsEditor::toggleBold);
    addTool(QStringLiteral("Italic"), QStringLiteral("I"), false, &NewsEditor::toggleItalic);
    addTool(QStringLiteral("Underline"), QStringLiteral("U"), false, &NewsEditor::toggleUnderline);
    addTool(QStringLiteral("Strikeout"), QStringLiteral("S"), false, &NewsEditor::toggleStrikeout);
    addTool(QStringLiteral("FColor"), QStringLiteral("Fore"), false, &NewsEditor::foreColor);
    addTool(QStringLiteral("BColor"), QStringLiteral("Back"), false, &NewsEditor::backColor);
    m_tools->addSeparator();
    m_toolLeft =
        addTool(QStringLiteral("Left"), QStringLiteral("Left"), true, &NewsEditor::alignLeft);
    m_toolCenter =
        addTool(QStringLiteral("Center"), QStringLiteral("Center"), true, &NewsEditor::alignCenter);
    m_toolRight =
        addTool(QStringLiteral("Right"), QStringLiteral("Right"), true, &NewsEditor::alignRight);
    m_toolBullet = addTool(QStringLiteral("Bullet"), QStringLiteral("Bullet"), true,
                           &NewsEditor::toggleBullets);
    m_tools->installEventFilter(this);
    m_formatBar->installEventFilter(this);
    m_tools->setAcceptDrops(true);
    m_formatBar->setAcceptDrops(true);

    connect(m_combo1, &QComboBox::textActivated, this, [this](const QString& family) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        applyCharFormat(f);
    });
    connect(m_combo2, &QComboBox::textActivated, this, [this](const QString& size) {
        bool ok = false;
        const double pt = size.toDouble(&ok);
        if (!ok || pt <= 0)
            return;
        QTextCharFormat f;
        f.setFontPointSize(pt);
        applyCharFormat(f);
    });
    connect(m_combo3, &QComboBox::textActivated, this, [this](const QString& style) {
        int size = 8;
        bool bold = false;
        if (style == QLatin1String("Heading1"))
            size = 16, bold = true;
        else if (style == QLatin1String("Heading2"))
            size = 14, bold = true;
        else if (style == QLatin1String("Heading3"))
            size = 13, bold = true;
        QTextCharFormat f;
        f.setFontPointSize(size);
        f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        applyCharFormat(f);
    });
    connect(m_cmbSpeed, &QComboBox::textActivated, this,
            [this](const QString& speed) { storeSpeed(speed); });
    connect(m_box, &QTextEdit::cursorPositionChanged, this, [this] {
        updateStatus();
        updateToolState();
    });
    connect(m_box, &QTextEdit::selectionChanged, this, &NewsEditor::updateStatus);
    connect(m_box, &QTextEdit::currentCharFormatChanged, this, &NewsEditor::showTextColor);

    // Form load.
    m_cmbSpeed->setCurrentText(QString::number(m_ctx.settings.get(settings::TickerStep)));
    m_cmbDir->setCurrentText(QStringLiteral("Left"));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const int tpp = m_ctx.session.twipsPerPixel > 0 ? m_ctx.session.twipsPerPixel : 15;
        // The frame must fit the free part of the screen too (1366 x 768 with a panel).
        const QSize room = screen->availableGeometry().size().shrunkBy(frameAllowance());
        resize(std::max(400, std::min(screen->geometry().width() - 1000 / tpp, room.width())),
               std::min(500, room.height()));
    }
    setSwatch(m_picture1, Qt::black);
    setSwatch(m_picture2, Qt::white);
    m_status->setText(QStringLiteral("Please Wait... (Loading Fonts)"));
    for (const QString& family : QFontDatabase::families())
        if (!family.isEmpty())
            m_combo1->addItem(family);
    for (int s = 2; s <= 100; s += 2)
        m_combo2->addItem(QString::number(s));
    m_combo1->setCurrentText(QStringLiteral("Arial"));
    m_combo2->setCurrentText(QStringLiteral("20"));
    const QFont base(QStringLiteral("Arial"), 20);
    m_box->document()->setDefaultFont(base);
    m_box->setCurrentFont(base);
    if (!startFile.isEmpty() && loadFile(startFile)) {
        setCaptionFile(startFile, true);
    } else {
        setWindowTitle(QStringLiteral("Untitled - "));
        m_status->setText(QStringLiteral("File not saved"));
    }
    markClean();
    m_status->clear();
    updateToolState();
}

QAction* NewsEditor::addCommand(QMenu* menu, const QString& name, const QString& text,
                                void (NewsEditor::*slot)()) {
    auto* a = menu->addAction(text);
    a->setObjectName(name);
    if (slot)
        connect(a, &QAction::triggered, this, slot);
    return a;
}

QAction* NewsEditor::addTool(const QString& key, const QString& text, bool checkable,
                             void (NewsEditor::*slot)()) {
    auto* a = m_tools->addAction(text);
    a->setObjectName(key);
    a->setCheckable(checkable);
    connect(a, &QAction::triggered, this, slot);
    return a;
}

void NewsEditor::applyCharFormat(const QTextCharFormat& f) {
    m_box->mergeCurrentCharFormat(f);
    m_box->setFocus();
}

void NewsEditor::toggleBold() {
    QTextCharFormat f;
    f.setFontWeight(m_box->fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
    applyCharFormat(f);
}

void NewsEditor::toggleItalic() {
    QTextCharFormat f;
    f.setFontItalic(!m_box->fontItalic());
    applyCharFormat(f);
}

void NewsEditor::toggleUnderline() {
    QTextCharFormat f;
    f.setFontUnderline(!m_box->fontUnderline());
    applyCharFormat(f);
}

void NewsEditor::toggleStrikeout() {
    QTextCharFormat f;
    f.setFontStrikeOut(!m_box->currentCharFormat().fontStrikeOut());
    applyCharFormat(f);
}

void NewsEditor::foreColor() {
    const QColor c = dialogs().color(this, m_picture1->property("color").value<QColor>());
    if (!c.isValid())
        return;
    QTextCharFormat f;
    f.setForeground(c);
    applyCharFormat(f);
    setSwatch(m_picture1, c);
}

// The fore swatch shows the colour of the text at the caret.
void NewsEditor::showTextColor(const QTextCharFormat& f) {
    const QBrush fg = f.foreground();
    setSwatch(m_picture1, fg.style() == Qt::NoBrush ? QColor(Qt::black) : fg.color());
}

void NewsEditor::backColor() {
    const QColor c = dialogs().color(this, m_picture2->property("color").value<QColor>());
    if (c.isValid())
        setSwatch(m_picture2, c);
}

void NewsEditor::alignLeft() {
    m_box->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    updateToolState();
}

void NewsEditor::alignCenter() {
    m_box->setAlignment(Qt::AlignHCenter);
    updateToolState();
}

void NewsEditor::alignRight() {
    m_box->setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    updateToolState();
}

void NewsEditor::toggleBullets() {
    QTextCursor c = m_box->textCursor();
    c.beginEditBlock();
    if (QTextList* list = c.currentList()) {
        // Take every selected paragraph out of its list.
        const QTextBlock first = m_box->document()->findBlock(c.selectionStart());
        const QTextBlock last = m_box->document()->findBlock(c.selectionEnd());
        for (QTextBlock b = first; b.isValid(); b = b.next()) {
            if (QTextList* l = b.textList())
                l->remove(b);
            QTextCursor bc(b);
            QTextBlockFormat bf = b.blockFormat();
            bf.setIndent(0);
            bc.setBlockFormat(bf);
            if (b == last)
                break;
        }
        Q_UNUSED(list);
    } else {
        c.createList(QTextListFormat::ListDisc);
    }
    c.endEditBlock();
    updateToolState();
}

void NewsEditor::chooseFont() {
    QFont font = m_box->currentFont();
    if (!dialogs().font(this, font))
        return;
    QTextCharFormat f;
    f.setFontFamilies({font.family()});
    if (font.pointSizeF() > 0)
        f.setFontPointSize(font.pointSizeF());
    f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic());
    f.setFontUnderline(font.underline());
    f.setFontStrikeOut(font.strikeOut());
    applyCharFormat(f);
    m_combo1->setCurrentText(font.family());
    m_combo2->setCurrentText(QString::number(qRound(font.pointSizeF())));
}

void NewsEditor::upperCase() {
    QTextCursor c = m_box->textCursor();
    if (c.hasSelection())
        c.insertText(c.selectedText().toUpper());
}

void NewsEditor::lowerCase() {
    QTextCursor c = m_box->textCursor();
    if (c.hasSelection())
        c.insertText(c.selectedText().toLower());
}

void NewsEditor::deleteSelection() {
    m_box->textCursor().removeSelectedText();
}

void NewsEditor::undo() {
    m_box->undo();
}

void NewsEditor::print() {
    QTextCursor c = m_box->textCursor();
    if (!c.hasSelection()) {
        dialogs().print(this, m_box->document());
        return;
    }
    QTextDocument part;
    part.setDefaultFont(m_box->document()->defaultFont());
    QTextCursor(&part).insertFragment(c.selection());
    dialogs().print(this, &part);
}

void NewsEditor::newDocument() {
    mnuNew_Click();
}

bool NewsEditor::mnuNew_Click() {
    if (!askToSave())
        return false;
    m_box->clear();
    m_box->setCurrentFont(m_box->document()->defaultFont());
    markClean();
    setWindowTitle(QStringLiteral("Untitled - "));
    m_lblFile->setText(QStringLiteral("Untitled"));
    m_fileName.clear();
    return true;
}

void NewsEditor::openDocument() {
    if (!askToSave())
        return;
    const QString path = dialogs().openFile(
        this, QStringLiteral("Open"), QString(),
        QStringLiteral("Document Files (*.doc);;Text Documents (*.txt);;Rich Text Format "
                       "(*.rtf);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    if (loadFile(path))
        setCaptionFile(path, false);
}

bool NewsEditor::openFile(const QString& path) {
    if (!askToSave())
        return false;
    if (!loadFile(path))
        return false;
    setCaptionFile(path, false);
    return true;
}

// The frame as the window manager drew it; before it says, a usual title bar and border.
QMargins NewsEditor::frameAllowance() const {
    const QWindow* handle = windowHandle();
    const QMargins drawn = handle ? handle->frameMargins() : QMargins();
    return drawn.isNull() ? QMargins(4, 30, 4, 4) : drawn;
}

// A window placed low (or by a window manager centring it over the list) is moved
// up until its bottom edge and status bar are on the screen.
void NewsEditor::keepOnScreen() {
    const QScreen* s = screen();
    if (!s || !isVisible())
        return;
    const QRect avail = s->availableGeometry();
    const QMargins m = frameAllowance();
    const QSize outer = size().grownBy(m);
    const QPoint at = geometry().topLeft() - QPoint(m.left(), m.top());
    const QPoint fit(
        std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - outer.width())),
        std::clamp(at.y(), avail.top(),
                   std::max(avail.top(), avail.bottom() + 1 - outer.height())));
    if (fit != at)
        setGeometry(QRect(fit + QPoint(m.left(), m.top()), size()));
}

void NewsEditor::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    keepOnScreen();
    // The window manager reports the frame a moment after mapping.
    QTimer::singleShot(300, this, &NewsEditor::keepOnScreen);
}

void NewsEditor::markClean() {
    m_box->document()->setModified(false);
    m_cleanText = m_box->toHtml();
}

// Typing that was undone by hand, or retyped the same, leaves nothing to save.
bool NewsEditor::hasUnsavedWork() const {
    return m_box->document()->isModified() && m_box->toHtml() != m_cleanText;
}

bool NewsEditor::settleUnsavedWork() {
    return askToSave();
}

void NewsEditor::closeEvent(QCloseEvent* e) {
    if (!settleUnsavedWork()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}

// Unsaved changes: Yes saves them, No drops them, Cancel stops what was asked.
bool NewsEditor::askToSave() {
    if (!hasUnsavedWork())
        return true;
    const MsgAnswer a = messages().askYesNoCancel(
        QStringLiteral(
            "The text in the untitled file has changed.\nDo you want to save the changes ?"),
        QStringLiteral("Veltracor"), MsgIcon::Warning);
    if (a == MsgAnswer::Cancel)
        return false;
    // A failed save keeps the text; an empty one has nothing to lose.
    if (a == MsgAnswer::Yes && !saveMessage() && !m_box->toPlainText().trimmed().isEmpty())
        return false;
    return true;
}

bool NewsEditor::loadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        messages().show(QStringLiteral("Cannot open %1: %2").arg(fileNameOf(path), f.errorString()),
                        MsgIcon::Critical);
        return false;
    }
    const QByteArray bytes = f.readAll();
    const QString text = decodeText(bytes);
    if (looksLikeRtf(text)) {
        rtfToDocument(text, *m_box->document());
    } else if (QFileInfo(path).suffix().compare(QLatin1String("doc"), Qt::CaseInsensitive) == 0 ||
               bytes.startsWith("\xD0\xCF\x11\xE0")) {
        messages().show(
            QStringLiteral("%1 is a Word document, which the editor cannot read. Save it "
                           "as Rich Text Format (.rtf) or plain text (.txt) and open that.")
                .arg(fileNameOf(path)),
            MsgIcon::Warning);
        return false;
    } else {
        m_box->setPlainText(text);
    }
    markClean();
    m_fileName = path;
    return true;
}

void NewsEditor::setCaptionFile(const QString& path, bool fromCommandLine) {
    QString name = path;
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    name = name.mid(cut + 1);
    setWindowTitle(fromCommandLine ? kTitle + QStringLiteral(" - ") + name
                                   : name + QStringLiteral(" Scroll Editor"));
    m_lblFile->setText(name);
}

// A message has no file name: the caption shows the start of its text instead.
void NewsEditor::setCaptionMessage(const QString& message) {
    QString name = message.section(QLatin1Char('\n'), 0, 0).simplified();
    if (name.isEmpty()) {
        setWindowTitle(QStringLiteral("Untitled - "));
        m_lblFile->setText(QStringLiteral("Untitled"));
        return;
    }
    constexpr int kLongest = 40;
    if (name.size() > kLongest) {
        name.truncate(kLongest);
        const qsizetype space = name.lastIndexOf(QLatin1Char(' '));
        if (space > 0)
            name.truncate(space);
        name += QStringLiteral("...");
    }
    setWindowTitle(name + QStringLiteral(" Scroll Editor"));
    m_lblFile->setText(name);
}

void NewsEditor::save() {
    mnuSave_Click();
}

bool NewsEditor::mnuSave_Click() {
    if (!saveMessage())
        return false;
    close();
    return true;
}

bool NewsEditor::saveMessage() {
    QTextDocument* doc = m_box->document();
    // The ticker cannot show these; they leave the box too.
    QTextCursor edit(doc);
    edit.beginEditBlock();
    for (const QString& ch : {QStringLiteral(">"), QStringLiteral("<"), QStringLiteral("/")}) {
        QTextCursor found = doc->find(ch);
        while (!found.isNull()) {
            found.removeSelectedText();
            found = doc->find(ch, found);
        }
    }
    edit.endEditBlock();
    const QString text = stripTickerText(doc->toPlainText());
    if (text.trimmed().isEmpty())
        return false;

    NewsMessage m;
    m.key = m_editMode ? m_lblRef->text().toLongLong() : 0;
    m.message = text;
    m.rtf = documentToRtf(*doc);
    m.html = rtfToHtml(m.rtf, QStringLiteral("0"));
    m.active = m_chkActive->isChecked();
    m.fontName = m_combo1->currentText();
    m.fontSize = m_combo2->currentText();
    QColor colour = m_box->textColor();
    if (!colour.isValid())
        colour = Qt::black;
    m.fontColor = winFromColor(colour);
    m.bold = doc->defaultFont().bold();
    m.italic = doc->defaultFont().italic();
    m.direction = m_cmbDir->currentText();

    if (m_editMode && m.key <= 0)
        return false;
    QString error;
    if (m_ctx.news.save(m, &error) < 0) {
        messages().show(error, MsgIcon::Critical);
        return false;
    }
    if (!m_editMode)
        storeSpeed(m_cmbSpeed->currentText());
    markClean();
    return true;
}

// The box is editable: what was typed is kept as typed, readers convert it.
void NewsEditor::storeSpeed(const QString& speed) {
    m_ctx.settings.set(settings::TickerStepText, speed);
}

void NewsEditor::getheadDetails(qint64 key) {
    const auto m = m_ctx.news.load(key);
    if (!m)
        return;
    if (!rtfToDocument(m->rtf, *m_box->document()) && !m->message.isEmpty())
        m_box->setPlainText(m->message);
    m_chkActive->setChecked(m->active);
    if (!m->direction.isEmpty())
        m_cmbDir->setCurrentText(m->direction);
    if (!m->fontSize.isEmpty())
        m_combo2->setCurrentText(m->fontSize);
    if (!m->fontName.isEmpty())
        m_combo1->setCurrentText(m->fontName);
    markClean();
    setCaptionMessage(m->message);
    updateToolState();
}

void NewsEditor::exitApplication() {
    // Every window may refuse, as the control panel does while the board runs.
    QApplication::closeAllWindows();
}

void NewsEditor::updateStatus() {
    const QTextCursor c = m_box->textCursor();
    const QTextBlock block = c.block();
    qint64 line = 1;
    for (QTextBlock b = m_box->document()->begin(); b.isValid() && b != block; b = b.next())
        line += b.layout() && b.layout()->lineCount() > 0 ? b.layout()->lineCount() : 1;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0)
        line += std::max(0, layout->lineForTextPosition(c.positionInBlock()).lineNumber());
    m_status->setText(QStringLiteral("Line : ") + groupedNumber(line));
}

void NewsEditor::updateToolState() {
    const Qt::Alignment a = m_box->alignment() & Qt::AlignHorizontal_Mask;
    m_toolCenter->setChecked(a & Qt::AlignHCenter);
    m_toolRight->setChecked(bool(a & Qt::AlignRight));
    m_toolLeft->setChecked(!(a & (Qt::AlignHCenter | Qt::AlignRight)));
    m_toolBullet->setChecked(m_box->textCursor().currentList() != nullptr);
}

void NewsEditor::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void NewsEditor::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    e->acceptProposedAction();
    openFile(urls.first().toLocalFile());
}

bool NewsEditor::eventFilter(QObject* watched, QEvent* event) {
    // Files dropped on the toolbars or the box open like Open.
    if (watched == m_tools || watched == m_formatBar || watched == m_box->viewport()) {
        if (event->type() == QEvent::DragEnter) {
            auto* e = static_cast<QDragEnterEvent*>(event);
            if (e->mimeData()->hasUrls()) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            if (e->mimeData()->hasUrls()) {
                dropEvent(e);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace quoteria
