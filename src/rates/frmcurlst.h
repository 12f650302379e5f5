#pragma once
// "Currencty List": the operator's grid over tblCurr. Values are typed straight into
// columns 3 to 7 through a floating editor and written back together by "&Save All";
// adding, editing and deleting go through the entry window (administrators only).
#include "panel/unsavedwork.h"

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;
class QTimer;

namespace quoteria {

struct AppContext;
class FrmEntry;

class FrmCurLst : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    enum Column {
        KeyCol = 0,
        PosCol = 1,
        NameCol = 2,
        FirstValueCol = 3,
        LastValueCol = 7,
        ActiveCol = 8,
        UpdatedCol = 9,
        LowCol = 10,
        HighCol = 11,
        ColumnCount = 13
    };

    explicit FrmCurLst(AppContext& ctx, QWidget* parent = nullptr);
    ~FrmCurLst() override;

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
    int pendingCount() const;
    FrmEntry* entryWindow() const;

    bool hasUnsavedWork() const override;
    bool settleUnsavedWork() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What opening the window does: timer, grid, theme box, "Auto Update", size.
    void formLoad();
    void startEditing(const QString& first, bool copyCell);
    void commitEditor();
    void dropEditor();
    QPixmap flagFor(const QString& path, const QSize& size);
    qint64 keyOfRow(int row) const;
    // The selected row's key; 0 when none is selected or the user is no administrator.
    qint64 selectedKeyForAdmin() const;
    FrmEntry* openEntry();

    AppContext& m_ctx;
    QTableWidget* m_fg;
    QLineEdit* m_text1;
    QCheckBox* m_chkShowAll;
    QCheckBox* m_chkAuto;
    QComboBox* m_cmbTheme;
    QTimer* m_timer;
    int m_ticks = 0;
    bool m_editing = false;
    bool m_closed = false;
    int m_editRow = -1;
    int m_editCol = -1;
    // Typed values not yet saved: key -> column -> text.
    QHash<qint64, QHash<int, QString>> m_pending;
    QHash<QString, QPixmap> m_flags;
    QPointer<FrmEntry> m_entry;
};

} // namespace quoteria
