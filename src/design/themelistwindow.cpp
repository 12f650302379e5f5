#include "design/themelistwindow.h"

#include "data/appcontext.h"
#include "data/dataevents.h"
#include "data/messageservice.h"
#include "data/themestore.h"
#include "design/themeeditor.h"
#include "design/themerules.h"
#include "gui/listgrid.h"
#include "gui/named.h"
#include "gui/windowregistry.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace quoteria {

ThemeListWindow::ThemeListWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmThLst"));
    setWindowTitle(QStringLiteral("Theme List"));

    m_fg = newListGrid(this);
    m_fg->horizontalHeader()->setStretchLastSection(true);

    auto* add = named(new QPushButton(QStringLiteral("&Add New"), this), "cmdAdd");
    auto* edit = named(new QPushButton(QStringLiteral("&Edit"), this), "cmdEdit");
    auto* del = named(new QPushButton(QStringLiteral("&Delete"), this), "cmdDelete");
    auto* prv = named(new QPushButton(QStringLiteral("Preview"), this), "cmdPreview");
    auto* close = named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    layOutListWindow(this, m_fg, {add, edit, del, prv}, close);
    resize((500 + 2000 + 4000 + 4000) / 15 + 60, 400);

    connect(add, &QPushButton::clicked, this, &ThemeListWindow::addNew);
    connect(edit, &QPushButton::clicked, this, &ThemeListWindow::editSelected);
    connect(m_fg, &QTableWidget::cellDoubleClicked, this, &ThemeListWindow::editSelected);
    connect(del, &QPushButton::clicked, this, &ThemeListWindow::deleteSelected);
    connect(prv, &QPushButton::clicked, this, &ThemeListWindow::preview);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Saves and deletes anywhere show at once.
    connect(&m_ctx.events, &DataEvents::themesChanged, this, &ThemeListWindow::addFG);

    addFG();
}

void ThemeListWindow::setFG() {
    resetListGrid(m_fg,
                  {QString(), QStringLiteral("SN"), QStringLiteral("Type"),
                   QStringLiteral("Template Name"), QString(), QString()},
                  {500, 2000, 4000, 4000});
}

void ThemeListWindow::addFG() {
    setFG();
    const QVector<ThemeEntry> themes = m_ctx.themes.tableOrder();
    for (int r = 0; r < themes.size(); ++r) {
        const ThemeEntry& t = themes.at(r);
        addListRow(m_fg, {QString::number(t.key), QString::number(r + 1), t.type, t.name});
    }
}

QString ThemeListWindow::selectedKey() const {
    return selectedListKey(m_fg);
}

ThemeEditor* ThemeListWindow::editor() {
    if (!m_editor) {
        m_editor = new ThemeEditor(m_ctx, this);
        connect(m_editor, &ThemeEditor::positionRequested, this,
                &ThemeListWindow::positionRequested);
        connect(m_editor, &ThemeEditor::headerRequested, this, &ThemeListWindow::headerRequested);
        connect(m_editor, &ThemeEditor::videoListRequested, this,
                &ThemeListWindow::videoListRequested);
    }
    return m_editor;
}

bool ThemeListWindow::editorFree() {
    ThemeEditor* e = editor();
    if (e->settleUnsavedWork())
        return true;
    showOnce(m_editor, [this] { return editor(); });
    return false;
}

void ThemeListWindow::addNew() {
    if (!editorFree())
        return;
    editor()->newTheme();
    showOnce(m_editor, [this] { return editor(); });
}

void ThemeListWindow::editSelected() {
    const QString key = selectedKey();
    if (key.isEmpty() || !editorFree())
        return;
    ThemeEditor* e = editor();
    e->lblRef()->setText(key);
    e->getData();
    m_lastRow = m_fg->currentRow();
    showOnce(m_editor, [this] { return editor(); });
}

void ThemeListWindow::deleteSelected() {
    const QString key = selectedKey();
    if (key.isEmpty())
        return;
    if (messages().ask(QStringLiteral("Do you want to delete the selected ")) != MsgAnswer::Yes)
        return;
    QString error;
    // The grid refills when the store announces the removal.
    if (!m_ctx.themes.remove(key.toLongLong(), &error))
        messages().show(QStringLiteral("The theme could not be deleted:\r\n") + error,
                        MsgIcon::Critical);
}

void ThemeListWindow::preview() {
    const QString key = selectedKey();
    if (key.isEmpty()) {
        messages().show(QStringLiteral("Please select a Theme"));
        return;
    }
    m_ctx.session.previewThemeKey = key.toLongLong();
    const ThemeCheck check = checkTheme(m_ctx.themes, m_ctx.session.previewThemeKey);
    if (check != ThemeCheck::Ready) {
        messages().show(themeCheckMessage(check));
        return;
    }
    emit previewRequested(m_ctx.session.previewThemeKey);
}

bool ThemeListWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && m_lastRow >= 0 && m_lastRow < m_fg->rowCount())
        m_fg->selectRow(m_lastRow);
    return QWidget::event(event);
}

} // namespace quoteria
