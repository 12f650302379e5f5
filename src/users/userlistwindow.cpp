#include "users/userlistwindow.h"

#include "gui/windowregistry.h"

#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/userstore.h"
#include "gui/named.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace quoteria {

UserListWindow::UserListWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmUserLst"));
    setWindowTitle(QStringLiteral("User List"));

    m_list = named(new QListWidget(this), "lstUser");
    m_name = named(new QLineEdit(this), "Text1");
    m_pass = named(new QLineEdit(this), "Text2");
    m_pass->setEchoMode(QLineEdit::Password);
    m_type = named(new QComboBox(this), "Combo1");
    m_type->addItems({QStringLiteral("Admin"), QStringLiteral("User")});
    m_type->setCurrentIndex(-1);
    m_add = named(new QPushButton(QStringLiteral("&Add"), this), "Command1");
    m_update = named(new QPushButton(QStringLiteral("&Update"), this), "Command3");
    m_update->setEnabled(false);
    m_close = named(new QPushButton(QStringLiteral("&Close"), this), "Command2");

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_list, 0, 0, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("User Name"), this), 0, 1);
    grid->addWidget(m_name, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Password"), this), 1, 1);
    grid->addWidget(m_pass, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("User Type"), this), 2, 1);
    grid->addWidget(m_type, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_update);
    buttons->addWidget(m_close);
    grid->addLayout(buttons, 4, 0, 1, 3);

    connect(m_list, &QListWidget::itemClicked, this, [this] { lstUser_Click(); });
    connect(m_add, &QPushButton::clicked, this, &UserListWindow::addUser);
    connect(m_update, &QPushButton::clicked, this, &UserListWindow::updateUser);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    // Any window's change of an account shows here too.
    connect(&m_ctx.users, &UserStore::usersChanged, this, &UserListWindow::getusers);

    moveFrameTo(this, QPoint(0, 0));
    getusers();
}

void UserListWindow::getusers() {
    m_list->clear();
    m_list->addItems(m_ctx.users.names());
}

void UserListWindow::clear() {
    m_name->clear();
    m_pass->clear();
}

void UserListWindow::lstUser_Click() {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const auto user = m_ctx.users.findByName(item->text());
    if (!user)
        return;
    m_selectedKey = user->key;
    m_name->setText(user->name);
    m_pass->setText(user->pass);
    m_type->setCurrentText(user->type);
    m_update->setEnabled(true);
    m_add->setEnabled(false);
}

void UserListWindow::addUser() {
    QString error;
    switch (m_ctx.users.add(m_name->text(), m_pass->text(), m_type->currentText(), &error)) {
    case UserStore::AddResult::MissingDetails:
        messages().show(QStringLiteral("Enter all Details") + QString(16, QLatin1Char(' ')));
        return;
    case UserStore::AddResult::Exists:
        messages().show(QStringLiteral("Existing User, select another Name"));
        return;
    case UserStore::AddResult::Failed:
        // The entries stay in the boxes so nothing typed is lost.
        messages().show(error, MsgIcon::Critical);
        return;
    case UserStore::AddResult::Added:
        clear();
        return;
    }
}

void UserListWindow::updateUser() {
    QString error;
    switch (m_ctx.users.update(m_selectedKey, m_name->text(), m_pass->text(), m_type->currentText(),
                               &error)) {
    case UserStore::UpdateResult::AdminType:
        messages().show(QStringLiteral("Cannot change admin type"));
        return;
    case UserStore::UpdateResult::Failed:
        messages().show(error, MsgIcon::Critical);
        return;
    case UserStore::UpdateResult::NoSuchUser:
        return;
    case UserStore::UpdateResult::Updated:
        m_update->setEnabled(false);
        return;
    }
}

} // namespace quoteria
