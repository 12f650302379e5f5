#pragma once
// "Theme List": every theme, where themes are added, edited, deleted and previewed.
// It owns the one theme editor of the program.
#include <QPointer>
#include <QWidget>

class QTableWidget;

namespace quoteria {

struct AppContext;
class ThemeEditor;

class ThemeListWindow : public QWidget {
    Q_OBJECT
public:
    explicit ThemeListWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Resets the grid to its header and columns.
    void setFG();
    // Fills the grid with the themes in table order.
    void addFG();
    // The theme editor, made on first use (not shown).
    ThemeEditor* editor();

    void addNew();
    void editSelected();
    void deleteSelected();
    void preview();

Q_SIGNALS:
    // "Preview" for a theme that has its layout and header.
    void previewRequested(qint64 key);
    // The editor's "Position" / "Header", passed on.
    void positionRequested(qint64 key);
    void headerRequested(qint64 key);
    void videoListRequested();

protected:
    bool event(QEvent* event) override;

private:
    QString selectedKey() const;
    // Shows the editor; false when the operator kept its unsaved typing.
    bool editorFree();

    AppContext& m_ctx;
    QTableWidget* m_fg;
    QPointer<ThemeEditor> m_editor;
    // The grid row last opened for editing, reselected when the list is activated.
    int m_lastRow = -1;
};

} // namespace quoteria
