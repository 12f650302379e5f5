#include "news/newslistwindow.h"

#include "data/appcontext.h"
#include "data/messageservice.h"
#include "data/newsstore.h"
#include "gui/listgrid.h"
#include "gui/named.h"
#include "gui/windowregistry.h"
#include "news/newseditor.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace quoteria {

NewsListWindow::NewsListWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmSheduler"));
    setWindowTitle(QStringLiteral("Scoll Message"));

    m_fg = newListGrid(this);

    auto* add = new QPushButton(QStringLiteral("Add New"), this);
    add->setObjectName(QStringLiteral("Command4"));
    auto* edit = new QPushButton(QStringLiteral("Edit"), this);
    edit->setObjectName(QStringLiteral("Command3"));
    auto* del = new QPushButton(QStringLiteral("Delete"), this);
    del->setObjectName(QStringLiteral("Command2"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Command1"));

    layOutListWindow(this, m_fg, {add, edit, del}, close);
    resize((500 + 4500 + 700 + 2700) / 15 + 60, 400);

    connect(add, &QPushButton::clicked, this, &NewsListWindow::addNew);
    connect(edit, &QPushButton::clicked, this, &NewsListWindow::editSelected);
    connect(m_fg, &QTableWidget::cellDoubleClicked, this, &NewsListWindow::editSelected);
    connect(del, &QPushButton::clicked, this, &NewsListWindow::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // A saved message shows at once.
    connect(&m_ctx.news, &NewsStore::messagesChanged, this, &NewsListWindow::addFG);

    addFG();
}

void NewsListWindow::setFG() {
    resetListGrid(m_fg,
                  {QString(), QStringLiteral("SN"), QStringLiteral("Message"),
                   QStringLiteral("Active"), QStringLiteral("Direction"), QString()},
                  {500, 4500, 700, 2700});
}

void NewsListWindow::addFG() {
    setFG();
    const QVector<NewsMessage> rows = m_ctx.news.all();
    for (int r = 0; r < rows.size(); ++r) {
        const NewsMessage& m = rows.at(r);
        addListRow(m_fg, {QString::number(m.key), QString::number(r + 1), m.message,
                          m.active ? QStringLiteral("Yes") : QStringLiteral("No"), m.direction,
                          QString()});
    }
}

QString NewsListWindow::selectedKey() const {
    return selectedListKey(m_fg);
}

NewsEditor* NewsListWindow::ensureEditor() {
    if (!m_editor)
        m_editor = new NewsEditor(m_ctx, this);
    return m_editor;
}

void NewsListWindow::addNew() {
    NewsEditor* e = ensureEditor();
    // Unsaved text in the editor is offered for saving first; Cancel keeps it.
    if (e->mnuNew_Click()) {
        e->setEditMode(false);
        e->lblRef()->clear();
    }
    showOnce(m_editor, [this] { return new NewsEditor(m_ctx, this); });
}

void NewsListWindow::editSelected() {
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    // Unsaved text in an open editor is offered for saving first; Cancel keeps it.
    if (m_editor && m_editor->isVisible() && !m_editor->mnuNew_Click()) {
        showOnce(m_editor, [this] { return new NewsEditor(m_ctx, this); });
        return;
    }
    NewsEditor* e = ensureEditor();
    e->setEditMode(true);
    e->lblRef()->setText(key);
    e->getheadDetails(key.toLongLong());
    showOnce(m_editor, [this] { return new NewsEditor(m_ctx, this); });
}

void NewsListWindow::deleteSelected() {
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    if (messages().ask(QStringLiteral("Do you want to delete the selected")) != MsgAnswer::Yes)
        return;
    // The list refills when the store announces the removal.
    m_ctx.news.remove(key.toLongLong());
}

} // namespace quoteria
