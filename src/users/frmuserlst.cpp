#include "users/frmuserlst.h"

#include "panel/windowregistry.h"

#include "data/appcontext.h"
#include "data/messageservice.h"
#include "users/userstore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace quoteria {

FrmUserLst::FrmUserLst(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmUserLst"));
    setWindowTitle(QStringLiteral("User List"));

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstUser"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Text1"));
    m_pass = new QLineEdit(this);
    m_pass->setObjectName(QStringLiteral("Text2"));
    m_pass->setEchoMode(QLineEdit::Password);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("Combo1"));
    m_type->addItems({QStringLiteral("Admin"), QStringLiteral("User")});
    m_type->setCurrentIndex(-1);
    m_add = new QPushButton(QStringLiteral("&Add"), this);
    m_add->setObjectName(QStringLiteral("Command1"));
    m_update = new QPushButton(QStringLiteral("&Update"), this);
    m_update->setObjectName(QStringLiteral("Command3"));
    m_update->setEnabled(false);
    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setObjectName(QStringLiteral("Command2"));

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
    connect(m_add, &QPushButton::clicked, this, &FrmUserLst::addUser);
    connect(m_update, &QPushButton::clicked, this, &FrmUserLst::updateUser);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);

    moveFrameTo(this, QPoint(0, 0));
    getusers();
}

void FrmUserLst::getusers() {
    m_list->clear();
    m_list->addItems(users::names(m_ctx.db));
}

void FrmUserLst::clear() {
    m_name->clear();
    m_pass->clear();
}

void FrmUserLst::lstUser_Click() {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const auto user = users::findByName(m_ctx.db, item->text());
    if (!user)
        return;
    m_selectedKey = user->key;
    m_name->setText(user->name);
    m_pass->setText(user->pass);
    m_type->setCurrentText(user->type);
    m_update->setEnabled(true);
    m_add->setEnabled(false);
}

void FrmUserLst::addUser() {
    QString error;
    switch (users::add(m_ctx.db, m_name->text(), m_pass->text(), m_type->currentText(), &error)) {
    case users::AddResult::MissingDetails:
        messages().show(QStringLiteral("Enter all Details") + QString(16, QLatin1Char(' ')));
        return;
    case users::AddResult::Exists:
        messages().show(QStringLiteral("Existing User, select another Name"));
        return;
    case users::AddResult::Failed:
        // The entries stay in the boxes so nothing typed is lost.
        messages().show(error, MsgIcon::Critical);
        return;
    case users::AddResult::Added:
        getusers();
        clear();
        return;
    }
}

void FrmUserLst::updateUser() {
    QString error;
    switch (users::update(m_ctx.db, m_selectedKey, m_name->text(), m_pass->text(),
                          m_type->currentText(), &error)) {
    case users::UpdateResult::AdminType:
        messages().show(QStringLiteral("Cannot change admin type"));
        return;
    case users::UpdateResult::Failed:
        messages().show(error, MsgIcon::Critical);
        return;
    case users::UpdateResult::NoSuchUser:
        return;
    case users::UpdateResult::Updated:
        m_update->setEnabled(false);
        getusers();
        return;
    }
}

} // namespace quoteria
