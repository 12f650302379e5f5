#pragma once
// "Video List": the media items of the board's media zone.
#include "media/mediaeditorwindow.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QTableWidget;

namespace quoteria {

struct AppContext;

class MediaListWindow : public QWidget {
    Q_OBJECT
public:
    explicit MediaListWindow(AppContext& ctx, QWidget* parent = nullptr);

    static const QString kDeleteQuestion;

    // Tells whether the board is showing; Refresh works only then.
    void setBoardRunning(std::function<bool()> running);

    // Resets the grid to its header and columns.
    void setFG();
    // Fills the grid with the items by type and key.
    void addFG();
    // The editor, once it has been opened.
    MediaEditorWindow* editor() const { return m_editor; }

    void addNew();
    void editSelected();
    void deleteSelected();
    // Rewrites the picture album for the running board's gallery player.
    void refresh();

Q_SIGNALS:
    // The album was rewritten for the running board: its gallery player starts again.
    void galleryRefreshed();

private:
    MediaEditorWindow* ensureEditor();

    AppContext& m_ctx;
    QTableWidget* m_fg;
    QPointer<MediaEditorWindow> m_editor;
    std::function<bool()> m_boardRunning;
};

} // namespace quoteria
