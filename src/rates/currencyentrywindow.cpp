#include "rates/currencyentrywindow.h"

#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/formats.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "gui/dialogservice.h"
#include "gui/named.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace quoteria {

CurrencyEntryWindow::CurrencyEntryWindow(AppContext& ctx, QWidget* parent)
    : CurrencyEntryWindow(ctx, parent, Form::Local) {}

CurrencyEntryWindow::CurrencyEntryWindow(AppContext& ctx, QWidget* parent, Form form)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmEntry"));
    setWindowTitle(QStringLiteral("Enter Currency Values"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_lblRef = named(new QLabel(this), QStringLiteral("lblRef"));
    m_lblRef->hide();
    m_lblName = named(new QLabel(QStringLiteral("Currecy Name"), this), QStringLiteral("lblCurr"));
    m_txtCurr = named(new QLineEdit(this), QStringLiteral("txtCurr"));
    for (int i = 0; i < 5; ++i) {
        m_lblCol[i] = named(new QLabel(QStringLiteral("Column%1").arg(i + 1), this),
                            QStringLiteral("lblCol%1").arg(i + 1));
        m_text[i] = named(new QLineEdit(this), QStringLiteral("Text%1").arg(i + 1));
        m_cell[i] = named(new QLineEdit(this), QStringLiteral("cell%1").arg(i));
        m_cell[i]->setPlaceholderText(QStringLiteral(" row,col"));
        m_cell[i]->installEventFilter(this);
    }
    m_txtPos = named(new QLineEdit(this), QStringLiteral("txtPos"));
    m_chkActive = named(new QCheckBox(QStringLiteral("Active"), this), QStringLiteral("chkActive"));
    m_text6 = named(new QLineEdit(this), QStringLiteral("Text6"));
    m_text6->installEventFilter(this);
    auto* pick = named(new QPushButton(QStringLiteral("--"), this), QStringLiteral("cmdBrowse"));
    m_img = named(new QLabel(this), QStringLiteral("img"));
    m_img->setFixedSize(96, 64);
    m_img->setFrameShape(QFrame::Box);
    m_img->setScaledContents(true);
    m_txtLow = named(new QLineEdit(QStringLiteral("0.0001"), this), QStringLiteral("txtLow"));
    m_txtHigh = named(new QLineEdit(QStringLiteral("1000"), this), QStringLiteral("txtHigh"));
    m_txtLow->installEventFilter(this);
    m_txtHigh->installEventFilter(this);
    auto* saveButton =
        named(new QPushButton(QStringLiteral("Save"), this), QStringLiteral("cmdSave"));
    auto* closeButton =
        named(new QPushButton(QStringLiteral("&Close"), this), QStringLiteral("cmdClose"));

    auto* grid = new QGridLayout(this);
    int r = 0;
    grid->addWidget(m_lblName, r, 0);
    grid->addWidget(m_txtCurr, r++, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Cell Value"), this), r++, 2);
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(m_lblCol[i], r, 0);
        grid->addWidget(m_text[i], r, 1);
        grid->addWidget(m_cell[i], r++, 2);
    }
    grid->addWidget(new QLabel(QStringLiteral("SN."), this), r, 0);
    grid->addWidget(m_txtPos, r, 1);
    grid->addWidget(m_chkActive, r++, 2);
    grid->addWidget(new QLabel(QStringLiteral("Flag Image Path"), this), r, 0);
    grid->addWidget(m_text6, r, 1);
    grid->addWidget(pick, r++, 2);
    grid->addWidget(new QLabel(QStringLiteral("Flag Image"), this), r, 0);
    grid->addWidget(m_img, r++, 1);
    if (form == Form::Local) {
        grid->addWidget(new QLabel(QStringLiteral("Low Value"), this), r, 0);
        grid->addWidget(m_txtLow, r++, 1);
        grid->addWidget(new QLabel(QStringLiteral("High Value"), this), r, 0);
        grid->addWidget(m_txtHigh, r++, 1);
    } else {
        // The head office keeps no alarm limits of ours.
        m_txtLow->hide();
        m_txtHigh->hide();
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    grid->addLayout(buttons, r, 0, 1, 3);

    connect(pick, &QPushButton::clicked, this, &CurrencyEntryWindow::pickFlag);
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    if (form == Form::Local)
        getHeader();
    m_clean = entries();
}

void CurrencyEntryWindow::setRef(const QString& key) {
    m_lblRef->setText(key);
}
QString CurrencyEntryWindow::ref() const {
    return m_lblRef->text();
}

void CurrencyEntryWindow::getHeader() {
    const QString theme = m_ctx.settings.get(settings::ThemeName);
    const auto captions = m_ctx.currencies.headerCaptions(themeKeyOf(m_ctx.db, theme));
    if (!captions)
        return;
    m_lblName->setText(captions->at(0));
    for (int i = 0; i < 5; ++i)
        if (!captions->at(i + 1).isEmpty())
            m_lblCol[i]->setText(captions->at(i + 1));
}

bool CurrencyEntryWindow::showPreview(const QString& path) {
    QPixmap pix;
    if (!path.isEmpty())
        pix.load(path);
    m_img->setPixmap(pix);
    m_previewShown = !pix.isNull();
    return m_previewShown;
}

void CurrencyEntryWindow::getData() {
    if (const auto row = m_ctx.currencies.find(m_lblRef->text().toLongLong()))
        fillFrom(*row);
}

void CurrencyEntryWindow::fillFrom(const CurrencyRow& row) {
    m_txtCurr->setText(row.name);
    for (int i = 0; i < 5; ++i) {
        m_text[i]->setText(row.values.value(i));
        m_cell[i]->setText(row.cells.value(i));
    }
    m_txtPos->setText(row.pos);
    m_chkActive->setChecked(row.isActive());
    m_text6->setText(row.img);
    showPreview(row.img);
    m_txtLow->setText(row.low);
    m_txtHigh->setText(row.high);
    m_clean = entries();
}

QStringList CurrencyEntryWindow::entries() const {
    QStringList all{m_txtCurr->text(),
                    m_txtPos->text(),
                    m_chkActive->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                    m_text6->text(),
                    m_txtLow->text(),
                    m_txtHigh->text()};
    for (int i = 0; i < 5; ++i)
        all << m_text[i]->text() << m_cell[i]->text();
    return all;
}

bool CurrencyEntryWindow::hasUnsavedWork() const {
    return entries() != m_clean;
}

bool CurrencyEntryWindow::settleUnsavedWork() {
    if (!hasUnsavedWork())
        return true;
    // save() says why it failed; the window then stays open with the entries.
    return askToSaveChanges(QStringLiteral("The currency values have changed."),
                            [this] { return save(); });
}

void CurrencyEntryWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnsavedWork()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void CurrencyEntryWindow::pickFlag() {
    const QString current = m_text6->text();
    const QString file = dialogs().openFile(
        this, QStringLiteral("Flag Image"), current.isEmpty() ? QString() : folderOf(current),
        QStringLiteral(
            "Graphic Files (*.gif *.jpg);;All Pictures (*.gif *.jpg *.jpeg *.png *.bmp *.svg)"));
    if (file.isEmpty())
        return;
    QPixmap probe;
    if (!probe.load(file)) {
        // Keep what was there rather than store a flag the board cannot draw.
        messages().show(QStringLiteral("The file is not a picture:\r\n%1").arg(file));
        return;
    }
    m_text6->setText(file);
    showPreview(file);
}

bool CurrencyEntryWindow::chkCell() {
    QStringList cells;
    for (QLineEdit* c : m_cell) {
        if (!c->text().isEmpty()) {
            QPalette p = c->palette();
            p.setColor(QPalette::Text, Qt::black);
            c->setPalette(p);
        }
        cells << c->text();
    }
    const int bad = CurrencyStore::firstBadCell(cells);
    if (bad < 0)
        return true;
    QPalette p = m_cell[bad]->palette();
    p.setColor(QPalette::Text, QColor(255, 0, 0));
    m_cell[bad]->setPalette(p);
    return false;
}

void CurrencyEntryWindow::leaving(QObject* box) {
    for (QLineEdit* c : m_cell)
        if (box == c && c->text().size() > 8)
            c->setText(QStringLiteral("0,0"));
    if ((box == m_txtLow || box == m_txtHigh)) {
        auto* t = static_cast<QLineEdit*>(box);
        if (!isNumeric(t->text()))
            t->setText(QStringLiteral("0"));
    }
}

bool CurrencyEntryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut)
        leaving(watched);
    if (watched == m_text6 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_text6->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<CurrencyInput> CurrencyEntryWindow::checkedInput() {
    // The button takes the focus first, so the box being left gets its rule.
    if (QWidget* f = focusWidget())
        leaving(f);
    if (excelFeedOn(m_ctx.settings) && !chkCell()) {
        messages().show(QStringLiteral("Check Cell Values for Excel"));
        return std::nullopt;
    }
    if (m_txtCurr->text().trimmed().isEmpty()) {
        messages().show(QStringLiteral("Currency name should not be blank"));
        return std::nullopt;
    }
    CurrencyInput in;
    in.name = m_txtCurr->text();
    for (int i = 0; i < 5; ++i) {
        in.values << m_text[i]->text();
        in.cells << m_cell[i]->text();
    }
    in.pos = m_txtPos->text();
    in.active = m_chkActive->isChecked();
    in.img = m_text6->text();
    // An existing row keeps its stored flag unless a picture is on show.
    in.writeImg = m_lblRef->text().isEmpty() || m_previewShown;
    in.low = m_txtLow->text();
    in.high = m_txtHigh->text();
    return in;
}

void CurrencyEntryWindow::reportMissing() {
    messages().show(QStringLiteral("This currency has been deleted meanwhile; nothing was "
                                   "saved.\r\nClose the window, or copy what you typed."));
}

bool CurrencyEntryWindow::save() {
    const auto in = checkedInput();
    if (!in)
        return false;
    CurrencyStore& store = m_ctx.currencies;
    const ValueFormat format = valueFormat(m_ctx.settings);
    const bool isNew = m_lblRef->text().isEmpty();
    const QString& by = m_ctx.session.userName;
    const CurrencyStore::Result res =
        isNew ? store.add(*in, format, nullptr, by)
              : store.change(m_lblRef->text().toLongLong(), *in, format, by);
    if (!res.ok) {
        if (res.duplicatePosition)
            messages().show(QStringLiteral("The Position number shuld be unique\r\n") + res.error);
        else
            messages().show(res.error);
        return false;
    }
    if (res.missing) {
        reportMissing();
        return false;
    }
    m_clean = entries();
    Q_EMIT saved();
    close();
    return true;
}

} // namespace quoteria
