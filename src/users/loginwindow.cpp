#include "users/loginwindow.h"

#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/userstore.h"
#include "gui/named.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

namespace quoteria {

const QString LoginWindow::kWrongLogin =
    QStringLiteral("Enter the correct UserName and Password") + QString(17, QLatin1Char(' '));

LoginWindow::LoginWindow(AppContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login Here"));

    m_user = named(new QLineEdit(this), "Text1");
    m_pass = named(new QLineEdit(this), "Text2");
    m_pass->setEchoMode(QLineEdit::Password);
    m_rem = named(new QCheckBox(QStringLiteral("Remember "), this), "chkRem");
    m_update = named(new QCheckBox(QStringLiteral("Run update"), this), "Check1");
    m_login = named(new QPushButton(QStringLiteral("Login"), this), "Command1");
    m_exit = named(new QPushButton(QStringLiteral("&Exit"), this), "Command2");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("User Name"), this), 0, 0);
    grid->addWidget(m_user, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Password"), this), 1, 0);
    grid->addWidget(m_pass, 1, 1);
    grid->addWidget(m_rem, 2, 1);
    grid->addWidget(m_update, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_login);
    buttons->addWidget(m_exit);
    grid->addLayout(buttons, 4, 0, 1, 2);

    // Load: the updater box, then the remembered entries.
    m_update->setChecked(ctx.settings.get(settings::RunUpdater));
    m_rem->setChecked(ctx.settings.get(settings::LoginRemember));
    if (m_rem->isChecked()) {
        m_user->setText(ctx.settings.get(settings::LoginUser));
        m_pass->setText(ctx.settings.get(settings::LoginPassword));
    }

    m_user->installEventFilter(this);
    connect(m_pass, &QLineEdit::returnPressed, this, [this] { doLogin(); });
    connect(m_login, &QPushButton::clicked, this, [this] { doLogin(); });
    connect(m_exit, &QPushButton::clicked, this, &LoginWindow::exitRequested);
    // The updater choice is kept at once, whether or not the login succeeds.
    connect(m_update, &QCheckBox::clicked, this,
            [this](bool on) { m_ctx.settings.set(settings::RunUpdater, on); });
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_user && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_pass->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool LoginWindow::doLogin() {
    const QString name = m_user->text();
    const QString pass = m_pass->text();
    const auto type = m_ctx.users.checkLogin(name, pass);
    if (!type) {
        messages().show(kWrongLogin);
        return false;
    }
    m_ctx.session.userType = *type;
    m_ctx.session.userName = name;

    const bool rem = m_rem->isChecked();
    m_ctx.settings.set(settings::LoginRemember, rem);
    m_ctx.settings.set(settings::LoginUser, rem ? name : QString());
    m_ctx.settings.set(settings::LoginPassword, rem ? pass : QString());

    if (m_update->isChecked() && !startUpdater(m_ctx.appFolder))
        logLine(QStringLiteral("updater QuoteriaSync not started from %1").arg(m_ctx.appFolder));

    getOnlineDetails();
    // The panel is shown before this window closes, so the program never has
    // no window open.
    emit loggedIn();
    close();
    return true;
}

void LoginWindow::getOnlineDetails() {
    OnlineSource online;
    if (m_ctx.users.loadOnlineSource(online))
        m_ctx.online = online;
}

bool LoginWindow::startUpdater(const QString& folder) {
    if (folder.isEmpty())
        return false;
    for (const char* name : {"QuoteriaSync", "QuoteriaSync.exe"}) {
        const QString path = QDir(folder).filePath(QLatin1String(name));
        const QFileInfo info(path);
        if (info.isFile() && info.isExecutable())
            return QProcess::startDetached(path, {}, folder);
    }
    return false;
}

} // namespace quoteria
