#include "rates/onlinesetupwindow.h"

#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/userstore.h"
#include "rates/onlinejob.h"
#include "gui/named.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace quoteria {

OnlineSetupWindow::OnlineSetupWindow(AppContext& ctx, OnlineRates& rates, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx), m_rates(rates) {
    setObjectName(QStringLiteral("frmOnline"));
    setWindowTitle(QStringLiteral("Online Setup"));

    m_host = named(new QLineEdit(this), "txthost");
    m_data = named(new QLineEdit(this), "txtData");
    m_user = named(new QLineEdit(this), "txtUser");
    m_pass = named(new QLineEdit(this), "txtPass");
    m_pass->setEchoMode(QLineEdit::Password);
    m_engine = named(new QComboBox(this), "cmbEngine");
    m_engine->addItem(QStringLiteral("PostgreSQL"), int(RemoteEngine::PostgreSql));
    m_engine->addItem(QStringLiteral("SQL Server"), int(RemoteEngine::SqlServer));
    m_odbcDriver = named(new QLineEdit(this), "txtOdbcDriver");

    auto* columns = new QGroupBox(QStringLiteral("Colums Update"), this);
    auto* columnRow = new QHBoxLayout(columns);
    for (int i = 0; i < 5; ++i) {
        m_flags[i] = named(new QCheckBox(QStringLiteral("Colum%1").arg(i + 1), columns),
                           QStringLiteral("chkColum%1").arg(i + 1));
        columnRow->addWidget(m_flags[i]);
    }
    auto* other = new QGroupBox(QStringLiteral("Other Settings"), this);
    auto* otherRow = new QHBoxLayout(other);
    m_auto = named(new QCheckBox(QStringLiteral("Auto-update"), other), "chkAuto");
    m_time = named(new QLineEdit(QStringLiteral("30"), other), "txtTime");
    otherRow->addWidget(m_auto);
    otherRow->addWidget(new QLabel(QStringLiteral("Update Onine"), other));
    otherRow->addWidget(m_time);

    const char* const captions[3] = {"Save", "Test Connection", "Upload Currency"};
    const char* const names[3] = {"cmdSave", "cmdTest", "cmdUpload"};
    auto* buttons = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = named(new QPushButton(QLatin1String(captions[i]), this), names[i]);
        buttons->addWidget(m_buttons[i]);
    }
    auto* closeButton = named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    buttons->addStretch();
    buttons->addWidget(closeButton);

    auto* grid = new QGridLayout(this);
    int r = 0;
    const std::pair<const char*, QWidget*> rows[] = {
        {"Host", m_host},          {"Database", m_data},           {"Username", m_user},
        {"Password", m_pass},      {"Server", m_engine},           {"ODBC Driver", m_odbcDriver}};
    for (const auto& [label, box] : rows) {
        grid->addWidget(new QLabel(QLatin1String(label), this), r, 0);
        grid->addWidget(box, r++, 1);
    }
    grid->addWidget(columns, r++, 0, 1, 2);
    grid->addWidget(other, r++, 0, 1, 2);
    grid->addLayout(buttons, r, 0, 1, 2);

    connect(m_buttons[0], &QPushButton::clicked, this, [this] { save(); });
    connect(m_buttons[1], &QPushButton::clicked, this, &OnlineSetupWindow::testConnection);
    connect(m_buttons[2], &QPushButton::clicked, this, &OnlineSetupWindow::uploadCurrency);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    // The driver name matters only for SQL Server.
    connect(m_engine, &QComboBox::currentIndexChanged, this, [this] {
        m_odbcDriver->setEnabled(m_engine->currentData().toInt() == int(RemoteEngine::SqlServer));
    });

    formLoad();
}

void OnlineSetupWindow::formLoad() {
    OnlineSource s;
    m_ctx.users.loadOnlineSource(s); // without the row the boxes keep their defaults
    m_host->setText(s.host);
    m_data->setText(s.dbname);
    m_user->setText(s.dbuser);
    m_pass->setText(s.dbpass);
    for (int i = 0; i < 5; ++i)
        m_flags[i]->setChecked(s.columnFlags[i]);
    m_auto->setChecked(s.autoUpdate);
    m_time->setText(QString::number(s.interval));
    const RemoteTarget target = RemoteTarget::stored(m_ctx.settings);
    m_engine->setCurrentIndex(m_engine->findData(int(target.engine)));
    m_odbcDriver->setText(target.odbcDriver);
    m_odbcDriver->setEnabled(target.engine == RemoteEngine::SqlServer);
}

void OnlineSetupWindow::showEvent(QShowEvent* event) {
    // Opened again after a close: the boxes show what is stored now.
    if (m_closed && !event->spontaneous()) {
        m_closed = false;
        formLoad();
    }
    QWidget::showEvent(event);
}

void OnlineSetupWindow::closeEvent(QCloseEvent* event) {
    m_closed = true;
    QWidget::closeEvent(event);
}

OnlineSource OnlineSetupWindow::entered() const {
    OnlineSource s;
    s.host = m_host->text();
    s.dbname = m_data->text();
    s.dbuser = m_user->text();
    s.dbpass = m_pass->text();
    for (int i = 0; i < 5; ++i)
        s.columnFlags[i] = m_flags[i]->isChecked();
    s.autoUpdate = m_auto->isChecked();
    s.interval = UserStore::onlineInterval(m_time->text()).value_or(s.interval);
    return s;
}

bool OnlineSetupWindow::save() {
    if (!UserStore::onlineInterval(m_time->text())) {
        messages().show(QStringLiteral("Value should be 1-99 "));
        return false;
    }
    // Like the connection values, these take effect at the next start.
    RemoteTarget target;
    target.engine = RemoteEngine(m_engine->currentData().toInt());
    const QString driver = m_odbcDriver->text().trimmed();
    if (!driver.isEmpty())
        target.odbcDriver = driver;
    target.store(m_ctx.settings);
    QString error;
    if (m_ctx.users.saveOnlineSource(entered(), &error) == UserStore::SaveResult::Failed) {
        // The operator's entries stay; closing would lose them unsaved.
        messages().show(error);
        return false;
    }
    close();
    return true;
}

void OnlineSetupWindow::setBusy(bool on) {
    m_busy = on;
    for (QPushButton* b : m_buttons)
        b->setEnabled(!on);
    if (!on)
        Q_EMIT idle();
}

void OnlineSetupWindow::testConnection() {
    if (m_busy)
        return;
    setBusy(true);
    m_rates.connectOnline(this, [this](bool ok, const QString&) {
        setBusy(false);
        messages().show(ok ? QStringLiteral("Connecction Success")
                           : QStringLiteral("Connection Failed"));
    });
}

void OnlineSetupWindow::uploadCurrency() {
    if (m_busy)
        return;
    setBusy(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_rates.connectOnline(this, [this](bool ok, const QString&) {
        QApplication::restoreOverrideCursor();
        if (!ok || messages().ask(QStringLiteral("Continue")) != MsgAnswer::Yes) {
            setBusy(false);
            return;
        }
        QApplication::setOverrideCursor(Qt::WaitCursor);
        bool read = false;
        const QVector<CurrencyRow> local = m_ctx.currencies.list(true, &read);
        if (!read) {
            QApplication::restoreOverrideCursor();
            setBusy(false);
            messages().show(m_ctx.db.lastError());
            return;
        }
        m_rates.runOnCurrent(
            [local](RemoteCurrencyStore& store, QVariant& value) {
                const CurrencyStore::Result res = store.upload(local);
                value = res.error;
                return res.ok;
            },
            this,
            [this](const OnlineRates::Outcome& o) {
                QApplication::restoreOverrideCursor();
                setBusy(false);
                if (!o.ok)
                    messages().show(QStringLiteral("The currencies were not uploaded:\r\n") +
                                    failureText(o));
            });
    });
}

} // namespace quoteria
