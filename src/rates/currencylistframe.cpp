#include "rates/currencylistframe.h"

#include "gui/named.h"
#include "rates/currencycelldelegate.h"
#include "rates/currencytablemodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace quoteria {

CurrencyListFrame::CurrencyListFrame(QWidget* window, CurrencyTableModel* model,
                                     bool autoUpdateBox, const Actions& actions) {
    fg = named(new QTableView(window), "FG");
    fg->setModel(model);
    fg->setEditTriggers(QAbstractItemView::NoEditTriggers); // the delegate starts editing
    fg->setSelectionMode(QAbstractItemView::SingleSelection);
    fg->setSelectionBehavior(QAbstractItemView::SelectItems);
    fg->verticalHeader()->hide();
    fg->horizontalHeader()->setMinimumSectionSize(1);
    fg->setWordWrap(false);
    delegate = new CurrencyCellDelegate(fg);
    fg->setItemDelegate(delegate);

    chkShowAll = named(new QCheckBox(QStringLiteral("Show All"), window), "chkShowAll");
    if (autoUpdateBox)
        chkAuto = named(new QCheckBox(QStringLiteral("Auto Update"), window), "chkAuto");
    cmbTheme = named(new QComboBox(window), "cmbTheme");
    auto* closeButton = named(new QPushButton(QStringLiteral("&Close"), window), "cmdClose");
    const struct {
        const char* caption;
        const char* name;
        std::function<void()> run;
    } kinds[5] = {{"&Add New", "cmdAdd", actions.add},
                  {"&Edit", "cmdEdit", actions.edit},
                  {"&Delete", "cmdDelete", actions.remove},
                  {"&Save All", "cmdSave", actions.save},
                  {"&Revert", "cmdRevert", actions.revert}};

    auto* menuBar = new QMenuBar(window);
    QMenu* menu = menuBar->addMenu(QStringLiteral("Menu"));
    menu->setObjectName(QStringLiteral("mnuMenu"));
    QAction* saveAction = menu->addAction(QStringLiteral("Save"));
    saveAction->setObjectName(QStringLiteral("mnuSave"));
    QAction* closeAction = menu->addAction(QStringLiteral("Close"));
    closeAction->setObjectName(QStringLiteral("mnuClose"));

    auto* top = new QHBoxLayout;
    top->addWidget(chkShowAll);
    if (chkAuto)
        top->addWidget(chkAuto);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Select Theme"), window));
    top->addWidget(cmbTheme);
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        buttons[i] = named(new QPushButton(QLatin1String(kinds[i].caption), window),
                           kinds[i].name);
        row->addWidget(buttons[i]);
        QObject::connect(buttons[i], &QPushButton::clicked, window, kinds[i].run);
    }
    row->addStretch();
    row->addWidget(closeButton);
    auto* layout = new QVBoxLayout(window);
    layout->setMenuBar(menuBar);
    layout->addLayout(top);
    layout->addWidget(fg, 1);
    layout->addLayout(row);

    QObject::connect(closeButton, &QPushButton::clicked, window, &QWidget::close);
    QObject::connect(closeAction, &QAction::triggered, window, &QWidget::close);
    QObject::connect(saveAction, &QAction::triggered, window, actions.save);
    QObject::connect(delegate, &CurrencyCellDelegate::saveRequested, window, actions.save);
    QObject::connect(delegate, &CurrencyCellDelegate::openRequested, window, actions.edit);
    // The editor is written when the grid scrolls, as when the window resizes.
    for (QScrollBar* bar : {fg->verticalScrollBar(), fg->horizontalScrollBar()})
        QObject::connect(bar, &QScrollBar::valueChanged, delegate,
                         &CurrencyCellDelegate::commitOpenEditor);
}

} // namespace quoteria
