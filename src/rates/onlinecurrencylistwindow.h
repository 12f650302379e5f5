#pragma once
// "Online Currency List": the head office's currencies in the grid of the local
// list, typed into the same way and sent back through update_currency by
// "&Save All". Every remote step runs through OnlineRates; while one runs the
// buttons wait.
#include "gui/unsavedwork.h"
#include "rates/currencylistframe.h"

#include <QPointer>
#include <QWidget>

namespace quoteria {

struct AppContext;
class CurrencyTableModel;
class OnlineCurrencyEntryWindow;
class OnlineRates;

class OnlineCurrencyListWindow : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    // Fills itself from whatever online connection is open.
    OnlineCurrencyListWindow(AppContext& ctx, OnlineRates& rates, QWidget* parent = nullptr);
    ~OnlineCurrencyListWindow() override;

    void setFG();
    // Reads the remote rows on the connection open now; none leaves the grid empty.
    void addFG();
    void addTheme();
    void sizeME();

    // The buttons; each reconnects first and says so when that fails.
    void saveAll();
    void revert();
    void deleteCurrency();
    void editCurrency();
    void addNew();

    bool isBusy() const { return m_busy; }
    CurrencyTableModel* model() const { return m_model; }
    OnlineCurrencyEntryWindow* entryWindow() const;

    bool hasUnsavedWork() const override;
    // Yes starts "&Save All" and keeps the window open until it is done.
    bool settleUnsavedWork() override;

Q_SIGNALS:
    // A remote step of this window ended (the grid is filled, a save is done...).
    void idle();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setBusy(bool on);
    // Connects, then runs then() on the window thread, or shows refusal when the
    // connection fails.
    void connectThen(const QString& refusal, std::function<void()> then);
    qint64 selectedKey() const;
    OnlineCurrencyEntryWindow* openEntry();

    AppContext& m_ctx;
    OnlineRates& m_rates;
    CurrencyTableModel* m_model;
    CurrencyListFrame m_frame;
    bool m_busy = false;
    QPointer<OnlineCurrencyEntryWindow> m_entry;
};

} // namespace quoteria
