#include "rates/onlinecurrencyentrywindow.h"

#include "data/messageservice.h"
#include "rates/onlinejob.h"

#include <QPushButton>

namespace quoteria {

namespace {
const QString kCannotConnect = QStringLiteral("Cannot Connect");
} // namespace

OnlineCurrencyEntryWindow::OnlineCurrencyEntryWindow(AppContext& ctx, OnlineRates& rates,
                                                     QWidget* parent)
    : CurrencyEntryWindow(ctx, parent, Form::Online), m_rates(rates) {
    setObjectName(QStringLiteral("frmOCurrency"));
    setWindowTitle(QStringLiteral("Add Online Currency"));
    m_rates.connectOnline(this, [this](bool ok, const QString&) {
        setWindowTitle(windowTitle() +
                       (ok ? QStringLiteral("Status : Connected") : QStringLiteral("Status : Not Connected")));
        Q_EMIT statusKnown(ok);
    });
}

void OnlineCurrencyEntryWindow::setBusy(bool on) {
    m_busy = on;
    if (auto* b = findChild<QPushButton*>(QStringLiteral("cmdSave")))
        b->setEnabled(!on);
}

void OnlineCurrencyEntryWindow::getData() {
    const qint64 key = ref().toLongLong();
    m_rates.runOnCurrent(
        [key](RemoteCurrencyStore& store, QVariant& value) {
            const auto row = store.find(key);
            if (row)
                value = QVariant::fromValue(*row);
            return row.has_value();
        },
        this,
        [this](const OnlineRates::Outcome& o) {
            if (o.ok)
                fillFrom(o.value.value<CurrencyRow>());
        });
}

bool OnlineCurrencyEntryWindow::save() {
    if (m_busy)
        return false;
    setBusy(true);
    m_rates.connectOnline(this, [this](bool ok, const QString&) {
        if (!ok) {
            setBusy(false);
            messages().show(kCannotConnect);
            Q_EMIT saveFinished(false);
            return;
        }
        const auto in = checkedInput();
        if (!in) {
            setBusy(false);
            Q_EMIT saveFinished(false);
            return;
        }
        write(*in);
    });
    return true;
}

void OnlineCurrencyEntryWindow::write(const CurrencyInput& in) {
    const bool isNew = ref().isEmpty();
    const qint64 key = ref().toLongLong();
    m_rates.runOnCurrent(
        [in, isNew, key](RemoteCurrencyStore& store, QVariant& value) {
            qint64 newKey = 0;
            const CurrencyStore::Result res = isNew ? store.add(in, &newKey) : store.change(key, in);
            // The error text, or whether the edited row was gone, or the new row's key.
            if (!res.ok)
                value = res.error;
            else if (res.missing > 0)
                value = true;
            else if (isNew)
                value = newKey;
            return res.ok;
        },
        this,
        [this](const OnlineRates::Outcome& o) {
            setBusy(false);
            if (!o.connected) {
                messages().show(kCannotConnect);
                Q_EMIT saveFinished(false);
                return;
            }
            if (!o.ok) {
                // A taken position is the usual cause, whatever the server says.
                messages().show(failureText(o) +
                                QStringLiteral("\r\nThe Position number shuld be unique"));
                Q_EMIT saveFinished(false);
                return;
            }
            if (o.value.typeId() == QMetaType::Bool) {
                reportMissing();
                Q_EMIT saveFinished(false);
                return;
            }
            // The window stays open: a second Save changes the row just added.
            if (o.value.typeId() == QMetaType::LongLong)
                setRef(QString::number(o.value.toLongLong()));
            markSaved();
            Q_EMIT saved();
            Q_EMIT saveFinished(true);
        });
}

bool OnlineCurrencyEntryWindow::settleUnsavedWork() {
    if (!hasUnsavedWork())
        return true;
    // The save ends later: the window stays open with the typing until it reports.
    return askToSaveChanges(QStringLiteral("The currency values have changed."), [this] {
        save();
        return false;
    });
}

} // namespace quoteria
