#pragma once
// "Currencty List": the operator's grid over tblCurr. Values are typed straight into
// columns 3 to 7 and written back together by "&Save All"; adding, editing and
// deleting go through the entry window (administrators only). The rows and the
// typing live in a CurrencyTableModel, the key rules in a CurrencyCellDelegate.
#include "gui/unsavedwork.h"
#include "rates/currencytablemodel.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QTableView;
class QTimer;

namespace quoteria {

struct AppContext;
class CurrencyCellDelegate;
class CurrencyEntryWindow;

class CurrencyListWindow : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    using Column = CurrencyTableModel::Column;

    explicit CurrencyListWindow(AppContext& ctx, QWidget* parent = nullptr);
    ~CurrencyListWindow() override;

    void setFG();
    // Refills the grid from the database. Values typed but not yet saved stay in
    // their cells (only "&Revert" drops them).
    void addFG();
    void addTheme();
    void sizeME();

    // The buttons.
    bool saveAll();
    void revert();
    void deleteCurrency();
    void editCurrency();
    void addNew();

    // One tick of the one-second refresh timer.
    void Timer1_Timer();
    int tickCounter() const { return m_ticks; }
    bool editorVisible() const;
    int pendingCount() const { return m_model->pendingCount(); }
    CurrencyEntryWindow* entryWindow() const;
    CurrencyTableModel* model() const { return m_model; }

    bool hasUnsavedWork() const override;
    bool settleUnsavedWork() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What opening the window does: timer, grid, theme box, "Auto Update", size.
    void formLoad();
    // The selected row's key; 0 when none is selected or the user is no administrator.
    qint64 selectedKeyForAdmin() const;
    CurrencyEntryWindow* openEntry();

    AppContext& m_ctx;
    CurrencyTableModel* m_model;
    QTableView* m_fg;
    CurrencyCellDelegate* m_delegate;
    QCheckBox* m_chkShowAll;
    QCheckBox* m_chkAuto;
    QComboBox* m_cmbTheme;
    QTimer* m_timer;
    int m_ticks = 0;
    bool m_closed = false;
    QPointer<CurrencyEntryWindow> m_entry;
};

} // namespace quoteria
