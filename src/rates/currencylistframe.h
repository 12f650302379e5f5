#pragma once
// What the local and the online currency lists share: the grid with its one
// in-cell editor, "Show All", "Select Theme", the button row and the "Menu".
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTableView;
class QWidget;

namespace quoteria {

class CurrencyCellDelegate;
class CurrencyTableModel;

struct CurrencyListFrame {
    // What the buttons, "Menu"/"Save", Ctrl+S and a double-click outside the
    // value columns run.
    struct Actions {
        std::function<void()> save, edit, remove, add, revert;
    };

    // Lays out `window` around the model's grid. "Auto Update" only when asked
    // for; "&Close" and "Menu"/"Close" close the window.
    CurrencyListFrame(QWidget* window, CurrencyTableModel* model, bool autoUpdateBox,
                      const Actions& actions);

    QTableView* fg;
    CurrencyCellDelegate* delegate;
    QCheckBox* chkShowAll;
    QCheckBox* chkAuto = nullptr;
    QComboBox* cmbTheme;
    QPushButton* buttons[5]; // add, edit, delete, save all, revert
};

} // namespace quoteria
