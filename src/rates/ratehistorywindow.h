#pragma once
// "Rate History": which rate was shown when, by currency and date range, newest
// first, with an export of what the filter matches to a CSV file.
#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QTableView;

namespace quoteria {

struct AppContext;
class RateHistoryModel;

class RateHistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit RateHistoryWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The "Show" button: reads the first page of the chosen filter.
    void search();
    // The "Export" button: asks for a file and writes the filter's entries to it.
    bool exportCsv();
    RateHistoryModel* model() const { return m_model; }

private:
    void fillCurrencies();

    AppContext& m_ctx;
    RateHistoryModel* m_model;
    QComboBox* m_currency;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QLabel* m_count;
    QTableView* m_view;
};

} // namespace quoteria
