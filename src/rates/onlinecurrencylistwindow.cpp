#include "rates/onlinecurrencylistwindow.h"

#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "rates/currencycelldelegate.h"
#include "rates/currencytablemodel.h"
#include "rates/onlinejob.h"
#include "rates/onlinecurrencyentrywindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

namespace quoteria {

namespace {
using Model = CurrencyTableModel;
const QString kConnectionError = QStringLiteral("Connection error");
} // namespace

OnlineCurrencyListWindow::OnlineCurrencyListWindow(AppContext& ctx, OnlineRates& rates,
                                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_ctx(ctx),
      m_rates(rates),
      m_model(new CurrencyTableModel(Model::Layout::Online, this)),
      m_frame(this, m_model, false,
              {[this] { saveAll(); }, [this] { editCurrency(); }, [this] { deleteCurrency(); },
               [this] { addNew(); }, [this] { revert(); }}) {
    setObjectName(QStringLiteral("frmOCurLst"));
    setWindowTitle(QStringLiteral("Online Currency List"));
    m_frame.delegate->setFlagSize(QSize()); // no flags here

    connect(m_frame.chkShowAll, &QCheckBox::clicked, this, &OnlineCurrencyListWindow::addFG);
    connect(m_frame.cmbTheme, &QComboBox::activated, this, [this] {
        m_ctx.settings.set(settings::ThemeName, m_frame.cmbTheme->currentText());
    });

    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    resize(10410 / tpp, 6330 / tpp);
    addTheme();
    m_frame.cmbTheme->setCurrentText(m_ctx.settings.get(settings::ThemeName));
    addFG();
}

OnlineCurrencyListWindow::~OnlineCurrencyListWindow() = default;

OnlineCurrencyEntryWindow* OnlineCurrencyListWindow::entryWindow() const {
    return m_entry.data();
}

void OnlineCurrencyListWindow::setBusy(bool on) {
    m_busy = on;
    for (QPushButton* b : m_frame.buttons)
        b->setEnabled(!on);
    m_frame.chkShowAll->setEnabled(!on);
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
        Q_EMIT idle();
    }
}

void OnlineCurrencyListWindow::connectThen(const QString& refusal, std::function<void()> then) {
    if (m_busy)
        return;
    setBusy(true);
    m_rates.connectOnline(this, [this, refusal, then = std::move(then)](bool ok, const QString&) {
        setBusy(false);
        if (ok)
            then();
        else
            messages().show(refusal);
    });
}

void OnlineCurrencyListWindow::setFG() {
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    const int widths[] = {1, 700, 2000, 1000, 1000, 1000, 1000, 1000, 1000};
    for (int c = 0; c < 9; ++c)
        m_frame.fg->setColumnWidth(c, qMax(1, widths[c] / tpp));
    sizeME();
}

void OnlineCurrencyListWindow::addFG() {
    if (m_busy)
        return;
    m_frame.delegate->commitOpenEditor(); // the typed text is kept as a pending value
    setBusy(true);
    m_rates.runOnCurrent(
        [](RemoteCurrencyStore& store, QVariant& value) {
            bool ok = false;
            value = QVariant::fromValue(store.list(true, &ok));
            return ok;
        },
        this,
        [this](const OnlineRates::Outcome& o) {
            m_model->setShowAll(m_frame.chkShowAll->isChecked());
            // Without a connection, or when the read fails, the grid stays empty.
            m_model->setRows(o.ok ? o.value.value<QVector<CurrencyRow>>() : QVector<CurrencyRow>());
            setFG();
            setBusy(false);
        });
}

void OnlineCurrencyListWindow::addTheme() {
    m_frame.cmbTheme->clear();
    m_frame.cmbTheme->addItems(m_ctx.themes.names());
}

void OnlineCurrencyListWindow::sizeME() {
    const int tpp = qMax(1, m_ctx.session.twipsPerPixel);
    const int w = m_frame.fg->width();
    int u = (w - 700 / tpp) / 8;
    if (u <= 0)
        return;
    // As in the local list: a rate in the usual format keeps room to show.
    u = qMax(u, m_frame.fg->fontMetrics().horizontalAdvance(QStringLiteral("000.00000")) + 12);
    for (int c = Model::FirstValueCol; c <= Model::ActiveCol; ++c)
        m_frame.fg->setColumnWidth(c, u);
    m_frame.fg->setColumnWidth(Model::NameCol, qMax(u, (w - 500 / tpp) / 8));
    m_frame.delegate->commitOpenEditor();
}

void OnlineCurrencyListWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    sizeME();
}

bool OnlineCurrencyListWindow::hasUnsavedWork() const {
    return m_model->hasPending() || m_frame.delegate->editorChanged();
}

bool OnlineCurrencyListWindow::settleUnsavedWork() {
    m_frame.delegate->commitOpenEditor();
    if (!m_model->hasPending())
        return true;
    const MsgAnswer a =
        messages().askYesNoCancel(QStringLiteral("Some typed values are not saved. Save them now?"),
                                  QString(), MsgIcon::Question);
    if (a == MsgAnswer::No) {
        m_model->dropPending();
        return true;
    }
    // The save ends later and says how it went; the window stays till then.
    if (a == MsgAnswer::Yes)
        saveAll();
    return false;
}

void OnlineCurrencyListWindow::closeEvent(QCloseEvent* event) {
    if (!settleUnsavedWork()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void OnlineCurrencyListWindow::saveAll() {
    if (m_busy)
        return;
    m_frame.delegate->commitOpenEditor();
    const auto rows = m_model->saveRows();
    const int keep = m_ctx.settings.get(settings::KeptLength);
    setBusy(true);
    m_rates.run(
        [rows, keep](RemoteCurrencyStore& store, QVariant& value) {
            const CurrencyStore::Result res = store.saveAll(rows, keep);
            value = res.error;
            return res.ok;
        },
        this,
        [this](const OnlineRates::Outcome& o) {
            setBusy(false);
            if (!o.connected) {
                messages().show(kConnectionError);
                return;
            }
            if (!o.ok) {
                // Nothing was written; the typed values stay in the grid.
                messages().show(failureText(o));
                return;
            }
            // The grid is not read again: it shows what was sent.
            m_model->acceptPending();
        });
}

void OnlineCurrencyListWindow::revert() {
    connectThen(QStringLiteral("Cannot Connect"), [this] {
        m_frame.delegate->cancelOpenEditor();
        m_model->dropPending();
        addFG();
    });
}

qint64 OnlineCurrencyListWindow::selectedKey() const {
    const QModelIndex current = m_frame.fg->currentIndex();
    return current.isValid() ? m_model->keyAt(current.row()) : 0;
}

void OnlineCurrencyListWindow::deleteCurrency() {
    connectThen(kConnectionError, [this] {
        const qint64 key = m_ctx.session.isAdmin() ? selectedKey() : 0;
        if (key == 0 || messages().ask(QStringLiteral("Do you want to delete ")) != MsgAnswer::Yes)
            return;
        setBusy(true);
        m_rates.runOnCurrent(
            [key](RemoteCurrencyStore& store, QVariant& value) {
                QString error;
                const bool removed = store.remove(key, &error);
                value = error;
                return removed;
            },
            this,
            [this, key](const OnlineRates::Outcome& o) {
                setBusy(false);
                if (!o.ok) {
                    messages().show(failureText(o));
                    return;
                }
                m_model->dropPending(key);
                addFG();
            });
    });
}

OnlineCurrencyEntryWindow* OnlineCurrencyListWindow::openEntry() {
    // One entry window at a time; it goes on "&Close", so each new one starts empty.
    if (!m_entry)
        m_entry = new OnlineCurrencyEntryWindow(m_ctx, m_rates, this);
    m_entry->show();
    m_entry->raise();
    m_entry->activateWindow();
    return m_entry;
}

void OnlineCurrencyListWindow::editCurrency() {
    connectThen(kConnectionError, [this] {
        const qint64 key = m_ctx.session.isAdmin() ? selectedKey() : 0;
        if (key == 0)
            return;
        OnlineCurrencyEntryWindow* entry = openEntry();
        entry->setRef(QString::number(key));
        entry->getData();
    });
}

void OnlineCurrencyListWindow::addNew() {
    connectThen(kConnectionError, [this] {
        openEntry();
    });
}

} // namespace quoteria
