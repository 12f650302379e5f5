#include "design/themelistwindow.h"

#include "data/appcontext.h"
#include "data/dataevents.h"
#include "data/messageservice.h"
#include "data/themestore.h"
#include "design/themeeditor.h"
#include "design/themerules.h"
#include "gui/named.h"
#include "gui/windowregistry.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quoteria {

namespace {
// Grid widths are twips; 15 twips to a pixel.
int px(int twips) {
    return twips / 15;
}
} // namespace

ThemeListWindow::ThemeListWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmThLst"));
    setWindowTitle(QStringLiteral("Theme List"));

    m_fg = named(new QTableWidget(this), "FG");
    m_fg->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fg->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fg->verticalHeader()->hide();
    m_fg->horizontalHeader()->setStretchLastSection(true);

    auto* add = named(new QPushButton(QStringLiteral("&Add New"), this), "cmdAdd");
    auto* edit = named(new QPushButton(QStringLiteral("&Edit"), this), "cmdEdit");
    auto* del = named(new QPushButton(QStringLiteral("&Delete"), this), "cmdDelete");
    auto* prv = named(new QPushButton(QStringLiteral("Preview"), this), "cmdPreview");
    auto* close = named(new QPushButton(QStringLiteral("&Close"), this), "cmdClose");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {add, edit, del, prv})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fg);
    layout->addLayout(buttons);
    resize(px(500 + 2000 + 4000 + 4000) + 60, 400);

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
    m_fg->clear();
    m_fg->setRowCount(0);
    m_fg->setColumnCount(6);
    m_fg->setHorizontalHeaderLabels({QString(), QStringLiteral("SN"), QStringLiteral("Type"),
                                     QStringLiteral("Template Name"), QString(), QString()});
    m_fg->setColumnHidden(0, true);
    const int widths[] = {1, 500, 2000, 4000, 4000};
    for (int c = 1; c < 5; ++c)
        m_fg->setColumnWidth(c, px(widths[c]));
}

void ThemeListWindow::addFG() {
    setFG();
    const QVector<ThemeEntry> themes = m_ctx.themes.tableOrder();
    m_fg->setRowCount(int(themes.size()));
    for (int r = 0; r < themes.size(); ++r) {
        const ThemeEntry& t = themes.at(r);
        const QStringList cells = {QString::number(t.key), QString::number(r + 1), t.type, t.name};
        for (int c = 0; c < cells.size(); ++c)
            m_fg->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
}

QString ThemeListWindow::selectedKey() const {
    const int row = m_fg->currentRow();
    if (row < 0 || !m_fg->item(row, 0))
        return QString();
    return m_fg->item(row, 0)->text();
}

ThemeEditor* ThemeListWindow::editor() {
    if (!m_editor) {
        m_editor = new ThemeEditor(m_ctx, this);
        connect(m_editor, &ThemeEditor::positionRequested, this,
                &ThemeListWindow::positionRequested);
        connect(m_editor, &ThemeEditor::headerRequested, this, &ThemeListWindow::headerRequested);
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
