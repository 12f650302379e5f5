#pragma once
// The list of news messages ("Scoll Message").
#include "news/frmeditor.h"

#include <QPointer>
#include <QWidget>

class QPushButton;
class QTableWidget;

namespace quoteria {

struct AppContext;

class FrmSheduler : public QWidget {
    Q_OBJECT
public:
    FrmSheduler(AppContext& ctx, QWidget* parent = nullptr);

    // Resets the grid to its header and columns.
    void setFG();
    // Fills the grid with the stored messages in key order.
    void addFG();
    // The editor, once it has been opened.
    FrmEditor* editor() const { return m_editor; }

private:
    void addNew();
    void editSelected();
    void deleteSelected();
    QString selectedKey() const;
    FrmEditor* ensureEditor();

    AppContext& m_ctx;
    QTableWidget* m_fg;
    QPointer<FrmEditor> m_editor;
};

} // namespace quoteria
