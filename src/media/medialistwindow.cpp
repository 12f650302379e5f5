#include "media/medialistwindow.h"

#include "data/appcontext.h"
#include "data/mediastore.h"
#include "data/messageservice.h"
#include "gui/listgrid.h"
#include "gui/named.h"
#include "gui/windowregistry.h"
#include "media/mediafiles.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace quoteria {

const QString MediaListWindow::kDeleteQuestion =
    QStringLiteral("Do you want to delete the selected");

MediaListWindow::MediaListWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmVideoLst"));
    setWindowTitle(QStringLiteral("Video List"));

    m_fg = newListGrid(this);
    auto* add = named(new QPushButton(QStringLiteral("&Add New"), this), "Command4");
    auto* edit = named(new QPushButton(QStringLiteral("&Edit"), this), "Command1");
    auto* del = named(new QPushButton(QStringLiteral("&Delete"), this), "Command2");
    auto* refreshButton = named(new QPushButton(QStringLiteral("Refresh"), this), "Command5");
    auto* close = named(new QPushButton(QStringLiteral("&Close"), this), "Command3");

    layOutListWindow(this, m_fg, {add, edit, del, refreshButton}, close);
    resize((500 + 2000 + 2000 + 4000) / 15 + 60, 400);

    connect(add, &QPushButton::clicked, this, &MediaListWindow::addNew);
    connect(edit, &QPushButton::clicked, this, &MediaListWindow::editSelected);
    connect(m_fg, &QTableWidget::cellDoubleClicked, this, &MediaListWindow::editSelected);
    connect(del, &QPushButton::clicked, this, &MediaListWindow::deleteSelected);
    connect(refreshButton, &QPushButton::clicked, this, &MediaListWindow::refresh);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // A saved or deleted item shows at once.
    connect(&m_ctx.media, &MediaStore::mediaChanged, this, &MediaListWindow::addFG);

    addFG();
}

void MediaListWindow::setBoardRunning(std::function<bool()> running) {
    m_boardRunning = std::move(running);
}

void MediaListWindow::setFG() {
    resetListGrid(m_fg,
                  {QString(), QStringLiteral("SN"), QStringLiteral("Video Description"),
                   QStringLiteral("Active"), QStringLiteral("Type"), QString()},
                  {500, 2000, 2000, 4000});
}

void MediaListWindow::addFG() {
    setFG();
    for (const MediaItem& m : m_ctx.media.all()) {
        const QString key = QString::number(m.key);
        addListRow(m_fg,
                   {key, key, m.description,
                    m.active ? QStringLiteral("Yes") : QStringLiteral("No"), m.type, QString()});
    }
}

MediaEditorWindow* MediaListWindow::ensureEditor() {
    return showOnce(m_editor, [this] { return new MediaEditorWindow(m_ctx, this); });
}

void MediaListWindow::addNew() {
    ensureEditor()->clear();
}

void MediaListWindow::editSelected() {
    const QString key = selectedListKey(m_fg);
    if (key.isEmpty())
        return;
    MediaEditorWindow* e = ensureEditor();
    e->clear();
    e->lblRef()->setText(key);
    e->getData();
}

void MediaListWindow::deleteSelected() {
    const QString key = selectedListKey(m_fg);
    if (key.isEmpty())
        return;
    if (messages().ask(kDeleteQuestion) != MsgAnswer::Yes)
        return;
    // The gallery copy stays on disk; the list refills on the store's announcement.
    m_ctx.media.remove(key.toLongLong());
}

void MediaListWindow::refresh() {
    if (!m_boardRunning || !m_boardRunning())
        return;
    QString error;
    if (!createXML(m_ctx.media, m_ctx.dataFolder, &error)) {
        messages().show(error, MsgIcon::Critical);
        return;
    }
    Q_EMIT galleryRefreshed();
}

} // namespace quoteria
