#include "rates/currencylistwindow.h"

#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/themestore.h"
#include "gui/named.h"
#include "rates/currencycelldelegate.h"
#include "rates/currencyentrywindow.h"
#include "rates/currencylistframe.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>

namespace quoteria {

namespace {
using Model = CurrencyTableModel;
} // namespace

CurrencyListWindow::CurrencyListWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmCurLst"));
    setWindowTitle(QStringLiteral("Currencty List"));

    m_model = new CurrencyTableModel(this);
    const CurrencyListFrame frame(this, m_model, true,
                                  {[this] { saveAll(); }, [this] { editCurrency(); },
                                   [this] { deleteCurrency(); }, [this] { addNew(); },
                                   [this] { revert(); }});
    m_fg = frame.fg;
    m_delegate = frame.delegate;
    m_chkShowAll = frame.chkShowAll;
    m_chkAuto = frame.chkAuto;
    m_cmbTheme = frame.cmbTheme;

    m_timer = named(new QTimer(this), "Timer1");
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &CurrencyListWindow::Timer1_Timer);
    connect(m_chkShowAll, &QCheckBox::clicked, this, &CurrencyListWindow::addFG);
    connect(m_chkAuto, &QCheckBox::clicked, this,
            [this](bool on) { m_ctx.settings.set(settings::ListAutoUpdate, on); });

    formLoad();
}

CurrencyListWindow::~CurrencyListWindow() = default;

void CurrencyListWindow::formLoad() {
    // The refresh timer runs only when the Excel feed is on as the window opens.
    m_ticks = 0;
    if (excelFeedOn(m_ctx.settings))
        m_timer->start();
    else
        m_timer->stop();
    addFG();
    addTheme();
    m_cmbTheme->setCurrentText(m_ctx.settings.get(settings::ThemeName));
    m_chkAuto->setChecked(m_ctx.settings.get(settings::ListAutoUpdate));
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    resize(int(m_ctx.settings.get(settings::ListWidth)) / tpp,
           int(m_ctx.settings.get(settings::ListHeight)) / tpp);
}

void CurrencyListWindow::showEvent(QShowEvent* event) {
    // Shown again after a close: start over as a freshly opened window.
    if (m_closed && !event->spontaneous()) {
        m_closed = false;
        formLoad();
    }
    QWidget::showEvent(event);
}

CurrencyEntryWindow* CurrencyListWindow::entryWindow() const {
    return m_entry.data();
}

void CurrencyListWindow::setFG() {
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    const int widths[] = {1, 900, 2000, 1000, 1000, 1000, 1000, 1000, 1000};
    for (int c = 0; c < 9; ++c)
        m_fg->setColumnWidth(c, qMax(1, widths[c] / tpp));
    // "Updated" has the grid's default width, unless a whole time stamp needs more.
    m_fg->setColumnWidth(
        Model::UpdatedCol,
        qMax(m_fg->horizontalHeader()->defaultSectionSize(),
             m_fg->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 12));
    const QString theme = m_ctx.settings.get(settings::ThemeName);
    m_model->setThemeCaptions(m_ctx.currencies.headerCaptions(themeKeyOf(m_ctx.db, theme)));
    // Flag picture: (column 1 width - 500) x (row height - 100) twips.
    m_delegate->setFlagSize(
        QSize(qMax(0, m_fg->columnWidth(Model::PosCol) - 500 / tpp),
              qMax(0, m_fg->verticalHeader()->defaultSectionSize() - 100 / tpp)));
    sizeME();
}

void CurrencyListWindow::addFG() {
    m_delegate->commitOpenEditor(); // the typed text is kept as a pending value
    const QModelIndex current = m_fg->currentIndex();
    const qint64 currentKey = current.isValid() ? m_model->keyAt(current.row()) : 0;
    const int currentCol = current.column();

    m_fg->setUpdatesEnabled(false);
    // All rows are read; the model lists the inactive ones only with "Show All".
    const QVector<CurrencyRow> rows = m_ctx.currencies.list(true);
    m_model->setShowAll(m_chkShowAll->isChecked());
    m_model->setRows(rows);
    setFG();
    // Typed values of rows no longer listed are kept: they show again with
    // "Show All" and are dropped only by "&Revert" or a save.
    const int restoreRow = currentKey ? m_model->rowOfKey(currentKey) : -1;
    if (restoreRow >= 0 && currentCol >= 0)
        m_fg->setCurrentIndex(m_model->index(restoreRow, currentCol));
    m_fg->setUpdatesEnabled(true);
}

void CurrencyListWindow::addTheme() {
    m_cmbTheme->clear();
    m_cmbTheme->addItems(m_ctx.themes.names());
}

void CurrencyListWindow::sizeME() {
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    int u = (m_fg->width() - 900 / tpp) / 11;
    if (u <= 0)
        return;
    // The twips widths suit a small bitmap font; with today's fonts a rate in the
    // usual format would be cut off, so the value columns keep room for one and the
    // grid scrolls sideways instead.
    u = qMax(u, m_fg->fontMetrics().horizontalAdvance(QStringLiteral("000.00000")) + 12);
    for (int c : {3, 4, 5, 6, 7, 8, 10, 11})
        m_fg->setColumnWidth(c, u);
    m_fg->setColumnWidth(Model::NameCol, u + u / 2);
    m_delegate->commitOpenEditor();
}

void CurrencyListWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sizeME();
}

bool CurrencyListWindow::hasUnsavedWork() const {
    return m_model->hasPending() || m_delegate->editorChanged();
}

// Typed values are dropped only when the operator says so.
bool CurrencyListWindow::settleUnsavedWork() {
    m_delegate->commitOpenEditor();
    if (!m_model->hasPending())
        return true;
    const MsgAnswer a =
        messages().askYesNoCancel(QStringLiteral("Some typed values are not saved. Save them now?"),
                                  QString(), MsgIcon::Question);
    if (a == MsgAnswer::Cancel)
        return false;
    if (a == MsgAnswer::Yes) {
        if (!saveAll())
            return false;
        // Values of currencies deleted meanwhile cannot be saved any more.
        m_model->dropPending();
        return true;
    }
    revert();
    return true;
}

void CurrencyListWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnsavedWork()) {
        event->ignore();
        return;
    }
    m_timer->stop();
    m_closed = true;
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    m_ctx.settings.set(settings::ListWidth, double(width() * tpp));
    m_ctx.settings.set(settings::ListHeight, double(height() * tpp));
    QWidget::closeEvent(event);
}

bool CurrencyListWindow::editorVisible() const {
    return m_delegate->editor()->isVisible();
}

bool CurrencyListWindow::saveAll() {
    m_delegate->commitOpenEditor();
    CurrencyStore& store = m_ctx.currencies;
    const QVector<CurrencyStore::Edit> edits =
        m_model->edits([&store](qint64 key) -> std::optional<QStringList> {
            if (const auto row = store.find(key))
                return row->values;
            return std::nullopt;
        });
    const auto res = store.saveValues(edits, valueFormat(m_ctx.settings),
                                     QDateTime::currentDateTime(), m_ctx.session.userName);
    if (!res.ok) {
        // Nothing was written; the typed values stay in the grid.
        messages().show(res.error);
        return false;
    }
    // Typed values of currencies deleted meanwhile cannot be saved: say so.
    const QStringList lost = m_model->typedNames(res.missingKeys);
    for (const auto& e : edits)
        m_model->dropPending(e.key);
    addFG();
    if (!lost.isEmpty())
        messages().show(
            QStringLiteral("These currencies were deleted meanwhile; their typed values "
                           "were not saved:\r\n%1")
                .arg(lost.join(QStringLiteral("\r\n"))));
    return true;
}

void CurrencyListWindow::revert() {
    m_delegate->cancelOpenEditor();
    m_model->dropPending();
    addFG();
}

qint64 CurrencyListWindow::selectedKeyForAdmin() const {
    if (!m_ctx.session.isAdmin())
        return 0;
    const QModelIndex current = m_fg->currentIndex();
    return current.isValid() ? m_model->keyAt(current.row()) : 0;
}

void CurrencyListWindow::deleteCurrency() {
    const qint64 key = selectedKeyForAdmin();
    if (key == 0)
        return;
    if (messages().ask(QStringLiteral("Do you want to delete ")) != MsgAnswer::Yes)
        return;
    QString error;
    if (!m_ctx.currencies.remove(key, &error)) {
        messages().show(error);
        return;
    }
    m_model->dropPending(key);
    addFG();
}

CurrencyEntryWindow* CurrencyListWindow::openEntry() {
    // One entry window at a time; it destroys itself on "Save" and "&Close", so
    // each new one starts empty.
    if (!m_entry) {
        m_entry = new CurrencyEntryWindow(m_ctx, this);
        connect(m_entry, &CurrencyEntryWindow::saved, this, &CurrencyListWindow::addFG);
    }
    m_entry->show();
    m_entry->raise();
    m_entry->activateWindow();
    return m_entry;
}

void CurrencyListWindow::editCurrency() {
    const qint64 key = selectedKeyForAdmin();
    if (key == 0)
        return;
    CurrencyEntryWindow* entry = openEntry();
    entry->setRef(QString::number(key));
    entry->getData();
}

void CurrencyListWindow::addNew() {
    if (!m_ctx.session.isAdmin())
        return;
    openEntry();
}

void CurrencyListWindow::Timer1_Timer() {
    if (m_ticks < 30) {
        ++m_ticks;
        return;
    }
    m_ticks = 0;
    if (!m_delegate->isEditing() && m_chkAuto->isChecked())
        addFG();
}

} // namespace quoteria
