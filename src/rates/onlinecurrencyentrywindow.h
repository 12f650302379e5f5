#pragma once
// "Add Online Currency": the entry form working on the head office's tblCurr.
// Values are written exactly as typed, the alarm limits not at all, and the window
// stays open after a save. Every remote step runs through OnlineRates, so the
// window never waits on the server.
#include "rates/currencyentrywindow.h"

namespace quoteria {

class OnlineRates;

class OnlineCurrencyEntryWindow : public CurrencyEntryWindow {
    Q_OBJECT
public:
    // Connects at once; the caption tells how that went.
    OnlineCurrencyEntryWindow(AppContext& ctx, OnlineRates& rates, QWidget* parent = nullptr);

    // Loads the remote row named by lblRef; with no such row the form stays.
    void getData() override;
    // Starts the save: connect, checks, write. False when it did not start (one
    // runs already). The outcome comes with saveFinished.
    bool save() override;
    bool isBusy() const { return m_busy; }

    // Yes starts the save and keeps the window open until it is done.
    bool settleUnsavedWork() override;

Q_SIGNALS:
    void saveFinished(bool ok);
    // The caption's status is known.
    void statusKnown(bool connected);

private:
    void setBusy(bool on);
    void write(const CurrencyInput& in);

    OnlineRates& m_rates;
    bool m_busy = false;
};

} // namespace quoteria
