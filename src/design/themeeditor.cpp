#include "design/themeeditor.h"

#include "data/appcontext.h"
#include "data/fontfamily.h"
#include "data/formats.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/themedrafts.h"
#include "data/themestore.h"
#include "design/clockpicker.h"
#include "gui/colorswatch.h"
#include "gui/dialogservice.h"
#include "gui/named.h"
#include "gui/windowregistry.h"
#include "news/scrollsettingswindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quoteria {

namespace {

const QString kLogoFilter =
    QStringLiteral("Jpeg Files(*.jpg);;GIF Files(*.gif);;Flash Files(*.swf);;All Files(*.*)");
const QString kRowImageFilter = QStringLiteral("Jpeg Files(*.jpg);;GIF Files(*.gif)");
const QString kBackgroundFilter = QStringLiteral("Jpeg Files(*.jpg)");
const QString kVideoFilter = QStringLiteral("Video Files (*.avi *.dat *.mpg *.wmv)");

// The entries whose numbers are corrected when the operator leaves them.
const char* const kCheckedOnLeaving[] = {"txtColumn", "txtRow", "txtRHeight", "tblLine", "txtVol"};
// The font lists that show their choice in their own face.
const char* const kPreviewedFonts[] = {"cmbHFont", "cmbRowFont", "cmbVFont", "cmbTtlFont"};

// Keys that move the focus or only modify another key; shortcuts use Ctrl or Alt.
bool editsText(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        return false;
    default:
        return !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    }
}

int designSize(const QString& text) {
    return int(qBound(1.0, vbVal(text), 100000.0));
}

} // namespace

ThemeEditor::ThemeEditor(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmTheme"));
    setWindowTitle(QStringLiteral("Create Theme"));

    m_lblRef = named(new QLabel(this), "lblRef");
    m_lblRef->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildForm());
    layout->addWidget(m_lblRef);

    // Form load.
    addSize();
    addFont();
    m_cmbType->setCurrentIndex(0);
    m_cmbEffect->setCurrentIndex(0);
    m_txtSpeed->setText(m_ctx.settings.get(settings::TableStepText));
    const QString effect = m_ctx.settings.get(settings::PictureEffect);
    if (m_cmbEffect->findText(effect) < 0)
        m_cmbEffect->addItem(effect);
    m_cmbEffect->setCurrentText(effect);
    newTheme();
}

ThemeEditor::~ThemeEditor() {
    withdrawDraft();
}

QLineEdit* ThemeEditor::addText(const char* name) {
    auto* box = named(new QLineEdit(this), name);
    m_controls.insert(QLatin1String(name), box);
    connect(box, &QLineEdit::textChanged, this, &ThemeEditor::fieldEdited);
    return box;
}

QComboBox* ThemeEditor::addCombo(const char* name, bool editable) {
    auto* box = named(new QComboBox(this), name);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    m_controls.insert(QLatin1String(name), box);
    connect(box, &QComboBox::currentTextChanged, this, &ThemeEditor::fieldEdited);
    return box;
}

ColorSwatch* ThemeEditor::addSwatch(const char* name) {
    auto* swatch = named(new ColorSwatch(this), name);
    m_controls.insert(QLatin1String(name), swatch);
    connect(swatch, &ColorSwatch::picked, this, &ThemeEditor::fieldEdited);
    return swatch;
}

QCheckBox* ThemeEditor::addCheck(const char* name, const QString& caption) {
    auto* box = named(new QCheckBox(caption, this), name);
    m_controls.insert(QLatin1String(name), box);
    connect(box, &QCheckBox::toggled, this, &ThemeEditor::fieldEdited);
    return box;
}

QPushButton* ThemeEditor::addPicker(QLineEdit* field, const QString& filter) {
    auto* button = named(new QPushButton(QStringLiteral("--"), this),
                         QStringLiteral("cmd") + field->objectName().mid(3));
    button->setFixedWidth(32);
    connect(button, &QPushButton::clicked, this,
            [this, field, filter] { pickFile(field, filter); });
    return button;
}

QWidget* ThemeEditor::buildForm() {
    auto* form = new QWidget(this);
    auto* grid = new QGridLayout(form);

    // A label and its control in a group's grid, two pairs to a row.
    const auto put = [](QGridLayout* g, int row, int pair, const QString& caption, QWidget* w,
                        QWidget* extra = nullptr) {
        auto* label = new QLabel(caption, w->parentWidget());
        label->setBuddy(w);
        g->addWidget(label, row, pair * 3);
        if (extra) {
            auto* both = new QHBoxLayout;
            both->addWidget(w, 1);
            both->addWidget(extra);
            g->addLayout(both, row, pair * 3 + 1);
        } else {
            g->addWidget(w, row, pair * 3 + 1);
        }
    };
    const auto group = [form](const QString& title) {
        auto* box = new QGroupBox(title, form);
        auto* g = new QGridLayout(box);
        g->setColumnMinimumWidth(2, 12);
        g->setColumnStretch(1, 1);
        g->setColumnStretch(4, 1);
        return std::make_pair(box, g);
    };

    // The table.
    auto [table, t] = group(QStringLiteral("Table Settings"));
    put(t, 0, 0, QStringLiteral("Theme Name"), addText("txtName"));
    m_cmbType = addCombo("cmbType", false);
    m_cmbType->addItems({QStringLiteral("Vertical"), QStringLiteral("Horrizontal")});
    put(t, 0, 1, QStringLiteral("DisplayType"), m_cmbType);
    m_txtColumn = addText("txtColumn");
    put(t, 1, 0, QStringLiteral("Colums"), m_txtColumn);
    put(t, 1, 1, QStringLiteral("Rows / Page"), addText("txtRow"));
    m_txtColWidth = addText("txtColWidth");
    auto* widthRow = new QHBoxLayout;
    widthRow->addWidget(m_txtColWidth, 1);
    t->addWidget(new QLabel(QStringLiteral("Column Width"), table), 2, 0);
    t->addLayout(widthRow, 2, 1, 1, 4);
    m_lblWid = named(new QLabel(table), "lblWid");
    t->addWidget(m_lblWid, 3, 1, 1, 4);
    put(t, 4, 0, QStringLiteral("Row Height"), addText("txtRHeight"));
    m_tblLine = addText("tblLine");
    put(t, 4, 1, QStringLiteral("V-Gap"), m_tblLine);
    put(t, 5, 0, QStringLiteral("H-Gap"), addText("txtWGap"));
    put(t, 5, 1, QStringLiteral("BG Color"), addSwatch("lblBGClr"));
    put(t, 6, 0, QStringLiteral("Line Color"), addSwatch("lblLClr"));
    put(t, 6, 1, QStringLiteral("Alt Row Color"), addSwatch("lblARClr"));
    QLineEdit* img1 = addText("txtImg1");
    put(t, 7, 0, QStringLiteral("Header img"), img1, addPicker(img1, kRowImageFilter));
    QLineEdit* img2 = addText("txtImg2");
    put(t, 7, 1, QStringLiteral("Detail img"), img2, addPicker(img2, kRowImageFilter));

    // The header row, the currency names and the values.
    auto [header, h] = group(QStringLiteral("Header Deatils"));
    put(h, 0, 0, QStringLiteral("Font"), addCombo("cmbHFont", true));
    put(h, 0, 1, QStringLiteral("Font Size"), addCombo("cmbHFSize", true));
    put(h, 1, 0, QStringLiteral("Header BG"), addSwatch("lblHBGClr"));
    put(h, 1, 1, QStringLiteral("Font Color"), addSwatch("lblHClr"));
    auto [currency, c] = group(QStringLiteral("Currency Details"));
    put(c, 0, 0, QStringLiteral("Row Font"), addCombo("cmbRowFont", true));
    put(c, 0, 1, QStringLiteral("Font Size"), addCombo("cmbRFsize", true));
    put(c, 1, 0, QStringLiteral("Font Color"), addSwatch("lblRFcolor"));
    put(c, 1, 1, QStringLiteral("BG"), addSwatch("lblRDClr"));
    auto [value, v] = group(QStringLiteral("Value Details"));
    put(v, 0, 0, QStringLiteral("Font"), addCombo("cmbVFont", true));
    put(v, 0, 1, QStringLiteral("Font Size"), addCombo("cmbVFSize", true));
    put(v, 1, 0, QStringLiteral("Font Color"), addSwatch("lblVFColor"));
    put(v, 1, 1, QStringLiteral("BG"), addSwatch("lblVBGClr"));
    m_txtSpeed = named(new QLineEdit(value), "txtSpeed");
    put(v, 2, 0, QStringLiteral("Scroll Speed"), m_txtSpeed);

    // Title and clock.
    auto [title, ti] = group(QStringLiteral("Title"));
    put(ti, 0, 0, QStringLiteral("Heading"), addText("txtttl"));
    put(ti, 0, 1, QStringLiteral("Font Name"), addCombo("cmbTtlFont", true));
    put(ti, 1, 0, QStringLiteral("Size"), addCombo("cmbTtlSize", true));
    put(ti, 1, 1, QStringLiteral("ForeClr"), addSwatch("lblttlClr"));
    ti->addWidget(addCheck("chkScroll", QStringLiteral("Scroll")), 2, 1);
    ti->addWidget(addCheck("chkttlBG", QStringLiteral("BG")), 2, 3);
    ti->addWidget(addSwatch("lblTtlBG"), 2, 4);
    auto [clock, cl] = group(QStringLiteral("Time"));
    cl->addWidget(addCheck("chktime", QStringLiteral("Display Time")), 0, 0, 1, 2);
    m_txtFormat = addText("txtFormat");
    auto* selectClock = named(new QPushButton(QStringLiteral("Select Clock"), clock), "cmdClock");
    put(cl, 0, 1, QStringLiteral("Clock"), m_txtFormat, selectClock);
    put(cl, 1, 0, QStringLiteral("Font Name"), addCombo("cmbFont", true));
    put(cl, 1, 1, QStringLiteral("Font Size"), addCombo("cmbTSize", true));
    put(cl, 2, 0, QStringLiteral("ForeColor"), addSwatch("lblTClr"));
    QLineEdit* format = addText("txtTformat");
    format->setMinimumWidth(150);
    put(cl, 2, 1, QStringLiteral("Format Time"), format);

    // Pictures and media.
    auto [media, m] = group(QStringLiteral("Media"));
    m_txtlogo = addText("txtlogo");
    put(m, 0, 0, QStringLiteral("Logo"), m_txtlogo, addPicker(m_txtlogo, kLogoFilter));
    QLineEdit* video = addText("txtVideo");
    put(m, 0, 1, QStringLiteral("Video"), video, addPicker(video, kVideoFilter));
    put(m, 1, 0, QStringLiteral("Online Video"), addText("txtOnline"));
    put(m, 1, 1, QStringLiteral("Volume"), addText("txtVol"));
    QComboBox* kind = addCombo("cmbMedia", false);
    kind->addItems({QStringLiteral("Video"), QStringLiteral("Picture"), QStringLiteral("None")});
    put(m, 2, 0, QStringLiteral("Video To Display"), kind);
    m_cmbEffect = named(new QComboBox(media), "cmbEffect");
    m_cmbEffect->addItem(QStringLiteral("Effect1"));
    put(m, 2, 1, QStringLiteral("Image Effect"), m_cmbEffect);

    auto [screen, s] = group(QStringLiteral("Screen"));
    put(s, 0, 0, QStringLiteral("Screen BG"), addSwatch("lblBG"));
    put(s, 0, 1, QStringLiteral("News Scroll BG"), addSwatch("lblSBG"));
    m_txtNimg = addText("txtNimg");
    put(s, 1, 0, QStringLiteral("Background"), m_txtNimg, addPicker(m_txtNimg, kBackgroundFilter));
    QLineEdit* tickerBack = addText("txtTbkBack");
    put(s, 1, 1, QStringLiteral("BG Image"), tickerBack, addPicker(tickerBack, kBackgroundFilter));
    auto [resolution, r] = group(QStringLiteral("Screen Resolution"));
    put(r, 0, 0, QStringLiteral("Width"), addText("txtWidth"));
    put(r, 0, 1, QStringLiteral("Height"), addText("txtHeight"));

    grid->addWidget(table, 0, 0, 2, 1);
    grid->addWidget(title, 0, 1);
    grid->addWidget(clock, 1, 1);
    grid->addWidget(header, 2, 0);
    grid->addWidget(currency, 3, 0);
    grid->addWidget(value, 4, 0);
    grid->addWidget(media, 2, 1, 2, 1);
    grid->addWidget(screen, 4, 1);
    grid->addWidget(resolution, 5, 1);

    // The buttons.
    auto* save = named(new QPushButton(QStringLiteral("Save"), form), "cmdSave");
    m_position = named(new QPushButton(QStringLiteral("Position"), form), "cmdPosition");
    m_header = named(new QPushButton(QStringLiteral("Header"), form), "cmdHeader");
    m_scroll = named(new QPushButton(QStringLiteral("Scroll Settings"), form), "cmdScroll");
    auto* videoList = named(new QPushButton(QStringLiteral("Video List"), form), "cmdVideoList");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {save, m_position, m_header, m_scroll, videoList})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 5, 0);

    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    connect(m_position, &QPushButton::clicked, this, [this] {
        if (themeKey() > 0)
            emit positionRequested(themeKey());
    });
    connect(m_header, &QPushButton::clicked, this, [this] {
        if (themeKey() > 0)
            emit headerRequested(themeKey());
    });
    connect(m_scroll, &QPushButton::clicked, this, &ThemeEditor::showScrollSettings);
    connect(videoList, &QPushButton::clicked, this, &ThemeEditor::videoListRequested);
    connect(selectClock, &QPushButton::clicked, this, &ThemeEditor::showClockPicker);

    for (const char* name : kCheckedOnLeaving)
        m_controls.value(QLatin1String(name))->installEventFilter(this);
    for (const char* name :
         {"txtlogo", "txtFormat", "txtTbkBack", "txtImg1", "txtImg2", "txtVideo"})
        m_clearOnKey << textBox(name);
    for (QLineEdit* box : m_clearOnKey)
        box->installEventFilter(this);
    m_txtNimg->installEventFilter(this);
    for (const char* name : {"txtWidth", "txtHeight"}) {
        QLineEdit* box = textBox(name);
        connect(box, &QLineEdit::textChanged, this, [box](const QString& text) {
            const QString fixed = design::textOnEdit(box->objectName(), text);
            if (fixed != text)
                box->setText(fixed);
        });
    }
    connect(m_txtColWidth, &QLineEdit::textChanged, this, &ThemeEditor::getWid);
    connect(m_tblLine, &QLineEdit::textChanged, this, &ThemeEditor::getWid);
    for (const char* name : kPreviewedFonts) {
        auto* list = static_cast<QComboBox*>(m_controls.value(QLatin1String(name)));
        connect(list, &QComboBox::currentTextChanged, this, [this, list] { previewFont(list); });
    }
    return form;
}

void ThemeEditor::addSize() {
    for (const char* name : {"cmbTSize", "cmbRFsize", "cmbHFSize", "cmbTtlSize", "cmbVFSize"}) {
        auto* list = static_cast<QComboBox*>(m_controls.value(QLatin1String(name)));
        for (int size = 2; size <= 50; size += 2)
            list->addItem(QString::number(size));
    }
}

void ThemeEditor::addFont() {
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"cmbFont", "cmbRowFont", "cmbHFont", "cmbVFont", "cmbTtlFont"})
        static_cast<QComboBox*>(m_controls.value(QLatin1String(name)))->addItems(families);
}

void ThemeEditor::previewFont(QComboBox* list) {
    // A Windows font name that is not installed shows in its look-alike.
    QFont f = list->font();
    f.setFamily(installedFamily(list->currentText()));
    list->setFont(f);
}

QLineEdit* ThemeEditor::textBox(const char* name) const {
    return static_cast<QLineEdit*>(m_controls.value(QLatin1String(name)));
}

// The layout designer models the screen the theme is made for.
void ThemeEditor::setDesignSize() {
    m_ctx.session.designWidth = designSize(textBox("txtWidth")->text());
    m_ctx.session.designHeight = designSize(textBox("txtHeight")->text());
}

qint64 ThemeEditor::themeKey() const {
    return m_lblRef->text().toLongLong();
}

void ThemeEditor::setFields(const design::FieldValues& values) {
    for (const design::ThemeField& f : design::kThemeFields) {
        const QString name = QLatin1String(f.control);
        const auto it = values.constFind(name);
        if (it == values.constEnd())
            continue;
        QWidget* w = m_controls.value(name);
        switch (f.kind) {
        case design::FieldKind::Text:
            static_cast<QLineEdit*>(w)->setText(it->toString());
            break;
        case design::FieldKind::Choice: {
            auto* box = static_cast<QComboBox*>(w);
            // A stored value that is not in a fixed list is kept, not replaced.
            if (!box->isEditable() && box->findText(it->toString()) < 0)
                box->addItem(it->toString());
            box->setCurrentText(it->toString());
            break;
        }
        case design::FieldKind::Flag:
            static_cast<QCheckBox*>(w)->setChecked(it->toInt() == 1);
            break;
        case design::FieldKind::Colour:
            static_cast<ColorSwatch*>(w)->setWinColor(it->toLongLong());
            break;
        }
    }
}

design::FieldValues ThemeEditor::fields() const {
    design::FieldValues out;
    for (const design::ThemeField& f : design::kThemeFields) {
        const QString name = QLatin1String(f.control);
        QWidget* w = m_controls.value(name);
        switch (f.kind) {
        case design::FieldKind::Text:
            out.insert(name, static_cast<QLineEdit*>(w)->text());
            break;
        case design::FieldKind::Choice:
            out.insert(name, static_cast<QComboBox*>(w)->currentText());
            break;
        case design::FieldKind::Flag:
            out.insert(name, static_cast<QCheckBox*>(w)->isChecked() ? 1 : 0);
            break;
        case design::FieldKind::Colour:
            out.insert(name, static_cast<ColorSwatch*>(w)->winColor());
            break;
        }
    }
    return out;
}

ThemeRecord ThemeEditor::record() const {
    return design::recordFromFields(fields(), themeKey());
}

QVariantList ThemeEditor::entries() const {
    QVariantList all = record().values.values();
    all << m_txtSpeed->text() << m_cmbEffect->currentText();
    return all;
}

void ThemeEditor::markClean() {
    m_clean = entries();
}

bool ThemeEditor::hasUnsavedWork() const {
    // A hidden editor was saved or its typing dropped; it is reset when shown again.
    return isVisible() && entries() != m_clean;
}

bool ThemeEditor::settleUnsavedWork() {
    if (!hasUnsavedWork())
        return true;
    return askToSaveChanges(QStringLiteral("The theme has changed."), [this] { return save(); });
}

void ThemeEditor::getData() {
    const auto row = m_ctx.themes.loadRecord(themeKey());
    if (!row)
        return;
    withdrawDraft();
    m_loading = true;
    m_cmbType->setEnabled(false);
    setFields(design::fieldsFromRecord(*row));
    m_loading = false;
    setDesignSize();
    getWid();
    updateButtons();
    markClean();
}

void ThemeEditor::newTheme() {
    withdrawDraft();
    m_lblRef->clear();
    m_loading = true;
    setFields(design::initialFields());
    m_cmbType->setEnabled(true);
    m_lblWid->clear();
    m_loading = false;
    updateButtons();
    markClean();
}

bool ThemeEditor::chkVal() const {
    return design::widthsAccepted(m_txtColWidth->text(), m_txtColumn->text());
}

void ThemeEditor::getWid() {
    const qint16 total = design::widthTotal(m_txtColWidth->text(), m_tblLine->text());
    if (themeKey() <= 0)
        return;
    const BoardTheme stored = m_ctx.themes.load(themeKey());
    if (stored.hasPosition)
        m_lblWid->setText(design::widthLabel(stored.zone[BoardTheme::Table][2], total));
}

bool ThemeEditor::saveData() {
    QString error;
    if (m_ctx.themes.saveRecord(design::recordFromFields(fields(), 0), &error) < 0) {
        messages().show(QStringLiteral("The theme could not be saved:\r\n") + error,
                        MsgIcon::Critical);
        return false;
    }
    return true;
}

bool ThemeEditor::updateData() {
    setDesignSize();
    QString error;
    // A row deleted meanwhile (0) is not written again.
    if (m_ctx.themes.saveRecord(record(), &error) < 0) {
        messages().show(QStringLiteral("The theme could not be saved:\r\n") + error,
                        MsgIcon::Critical);
        return false;
    }
    return true;
}

bool ThemeEditor::save() {
    // The button took the focus without the box being left; its rule applies now.
    if (QWidget* f = focusWidget())
        leaving(f);
    if (!design::speedAccepted(m_txtSpeed->text())) {
        messages().show(QStringLiteral("Speed Value should between 1-100 "));
        return false;
    }
    if (!chkVal()) {
        messages().show(QStringLiteral("Please Enter a valid colum widths"));
        return false;
    }
    if (textBox("txtName")->text().trimmed().isEmpty()) {
        messages().show(QStringLiteral("Please select a name"));
        return false;
    }
    if (!(themeKey() > 0 ? updateData() : saveData()))
        return false;
    m_ctx.settings.set(settings::TableStepText, m_txtSpeed->text());
    m_ctx.settings.set(settings::PictureEffect, m_cmbEffect->currentText());
    markClean();
    hide();
    return true;
}

void ThemeEditor::leaving(QObject* box) {
    auto* edit = qobject_cast<QLineEdit*>(box);
    if (!edit)
        return;
    const QString fixed = design::textOnLeaving(edit->objectName(), edit->text());
    if (fixed != edit->text())
        edit->setText(fixed);
    if (edit == m_txtColumn && m_txtColWidth->text().isEmpty())
        m_txtColWidth->setText(design::filledWidths(m_txtColumn->text()));
}

void ThemeEditor::fieldEdited() {
    // Only what the operator sees being edited is previewed; a hidden editor would
    // never withdraw it.
    if (m_loading || themeKey() <= 0 || !isVisible())
        return;
    m_draftKey = themeKey();
    m_ctx.drafts.setThemeRow(m_draftKey, themeFromRecord(record()));
}

void ThemeEditor::withdrawDraft() {
    if (m_draftKey == 0)
        return;
    const qint64 key = m_draftKey;
    m_draftKey = 0;
    m_ctx.drafts.clear(key, ThemeDrafts::ThemeRow);
}

void ThemeEditor::pickFile(QLineEdit* field, const QString& filter) {
    const QString path = dialogs().openFile(this, QString(), QString(), filter);
    if (path.isEmpty())
        return;
    field->setText(path);
    if (field == m_txtlogo &&
        QFileInfo(path).suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0)
        messages().show(QStringLiteral("A Flash movie cannot be played here: the board leaves "
                                       "the logo empty. Choose a picture to show a logo."));
}

void ThemeEditor::updateButtons() {
    const bool stored = themeKey() > 0;
    m_position->setEnabled(stored);
    m_header->setEnabled(stored);
    m_scroll->setEnabled(stored);
}

void ThemeEditor::showScrollSettings() {
    const QString key = m_lblRef->text();
    if (themeKey() <= 0)
        return;
    // Each opening starts from the theme's stored row, as a fresh window would.
    if (m_scrollSettings &&
        !(m_scrollSettings->isVisible() && m_scrollSettings->lblRef()->text() == key))
        delete m_scrollSettings;
    if (!m_scrollSettings) {
        m_scrollSettings = new ScrollSettingsWindow(m_ctx, this);
        m_scrollSettings->lblRef()->setText(key);
        m_scrollSettings->getData();
    }
    showOnce(m_scrollSettings, [this] { return new ScrollSettingsWindow(m_ctx, this); });
}

ClockPicker* ThemeEditor::showClockPicker() {
    ClockPicker* picker = showOnce(m_clockPicker, [this] { return new ClockPicker(m_ctx, this); });
    picker->setTarget(m_txtFormat);
    return picker;
}

bool ThemeEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut)
        leaving(watched);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box && m_clearOnKey.contains(box) && editsText(key)) {
            box->clear();
            return true;
        }
        if (watched == m_txtNimg && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                     key->key() == Qt::Key_Backspace)) {
            m_txtNimg->clear();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ThemeEditor::closeEvent(QCloseEvent* event) {
    if (!settleUnsavedWork()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void ThemeEditor::hideEvent(QHideEvent* event) {
    withdrawDraft();
    QWidget::hideEvent(event);
}

} // namespace quoteria
