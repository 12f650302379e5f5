#pragma once
// The list of news messages ("Scoll Message").
#include "news/newseditor.h"

#include <QPointer>
#include <QWidget>

class QPushButton;
class QTableWidget;

namespace quoteria {

struct AppContext;

class NewsListWindow : public QWidget {
    Q_OBJECT
public:
    NewsListWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Resets the grid to its header and columns.
    void setFG();
    // Fills the grid with the stored messages in key order.
    void addFG();
    // The editor, once it has been opened.
    NewsEditor* editor() const { return m_editor; }

private:
    void addNew();
    void editSelected();
    void deleteSelected();
    QString selectedKey() const;
    NewsEditor* ensureEditor();

    AppContext& m_ctx;
    QTableWidget* m_fg;
    QPointer<NewsEditor> m_editor;
};

} // namespace quoteria
