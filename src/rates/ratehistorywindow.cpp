#include "rates/ratehistorywindow.h"

#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/messageservice.h"
#include "gui/dialogservice.h"
#include "gui/named.h"
#include "rates/ratehistorymodel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace quoteria {

RateHistoryWindow::RateHistoryWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx), m_model(new RateHistoryModel(ctx.db, 200, this)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Rate History"));

    m_currency = named(new QComboBox(this), "cmbCurrency");
    const QDate today = QDate::currentDate();
    m_from = named(new QDateEdit(today.addDays(-30), this), "dtFrom");
    m_to = named(new QDateEdit(today, this), "dtTo");
    for (QDateEdit* d : {m_from, m_to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    auto* show = named(new QPushButton(QStringLiteral("Show"), this), "cmdShow");
    auto* exportButton = named(new QPushButton(QStringLiteral("Export"), this), "cmdExport");
    auto* close = named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
    m_count = named(new QLabel(this), "lblCount");
    m_view = named(new QTableView(this), "fgHistory");
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setStretchLastSection(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Currency"), this), 0, 0);
    grid->addWidget(m_currency, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("From"), this), 0, 2);
    grid->addWidget(m_from, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("To"), this), 0, 4);
    grid->addWidget(m_to, 0, 5);
    grid->addWidget(show, 0, 6);
    grid->addWidget(m_view, 1, 0, 1, 8);
    grid->addWidget(m_count, 2, 0, 1, 5);
    grid->addWidget(exportButton, 2, 6);
    grid->addWidget(close, 2, 7);
    grid->setColumnStretch(1, 1);
    resize(820, 520);

    connect(show, &QPushButton::clicked, this, &RateHistoryWindow::search);
    connect(exportButton, &QPushButton::clicked, this, &RateHistoryWindow::exportCsv);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    fillCurrencies();
    search();
}

void RateHistoryWindow::fillCurrencies() {
    m_currency->clear();
    m_currency->addItem(QStringLiteral("All"), qint64(0));
    for (const CurrencyRow& r : m_ctx.currencies.list(true))
        m_currency->addItem(r.name, r.key);
}

void RateHistoryWindow::search() {
    HistoryFilter f;
    f.currencyKey = m_currency->currentData().toLongLong();
    f.from = m_from->date();
    f.to = m_to->date();
    m_model->setFilter(f);
    if (m_model->totalCount() < 0) {
        messages().show(m_model->lastError());
        m_count->clear();
        return;
    }
    m_count->setText(QStringLiteral("%1 change(s)").arg(m_model->totalCount()));
}

bool RateHistoryWindow::exportCsv() {
    const QString path = dialogs().saveFile(this, QStringLiteral("Export Rate History"),
                                            m_ctx.dataFolder, QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return false;
    QString error;
    const qint64 rows = exportHistoryCsv(m_ctx.db, m_model->filter(), path, &error);
    if (rows < 0) {
        messages().show(error);
        return false;
    }
    messages().show(QStringLiteral("%1 change(s) written to %2")
                        .arg(rows)
                        .arg(QDir::toNativeSeparators(path)));
    return true;
}

} // namespace quoteria
