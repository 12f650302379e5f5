#pragma once
// The head office's tblCurr, worked on through a remote Connection. Every call
// blocks on the server, so these run on a ConnectionWorker's thread, never on the
// window thread. Values are passed as text, exactly as typed or stored.
#include "data/currencystore.h"
#include "data/remotesource.h"

#include <QDateTime>
#include <QHash>

namespace quoteria {

class RemoteCurrencyStore {
public:
    RemoteCurrencyStore(Connection& remote, RemoteEngine engine);

    // Active rows (or all rows) in board order, like the local list.
    QVector<CurrencyRow> list(bool showAll, bool* ok = nullptr) const;
    std::optional<CurrencyRow> find(qint64 key) const;

    // Empties the remote table and adds every local row, copying columns 1 to 14 by
    // their place in the table and stamping updatetime with now. One transaction:
    // on any failure nothing changes and result.error says why.
    CurrencyStore::Result upload(const QVector<CurrencyRow>& local,
                                 const QDateTime& now = QDateTime::currentDateTime());

    // One grid row of the online list as Save All sends it.
    struct SaveRow {
        QString name;
        QStringList values; // five, as shown
        QString pos;
    };
    // Calls update_currency(currName, col1 .. col5, pos) for every row in one
    // transaction. With keep > 0 each value keeps its first keep characters, but
    // never fewer than its integer part (keepLength); the name is never cut. All or
    // nothing.
    CurrencyStore::Result saveAll(const QVector<SaveRow>& rows, int keep);

    // The online entry window: name, the five values exactly as typed, pos (typed
    // when numeric, else the row's own key), img, active and cell1 .. cell5. Alarm
    // limits and vstate are not written. A database error comes back in
    // result.error.
    CurrencyStore::Result add(const CurrencyInput& in, qint64* newKey = nullptr);
    CurrencyStore::Result change(qint64 key, const CurrencyInput& in);
    bool remove(qint64 key, QString* error = nullptr);

    // The online copy's input: the five values of every remote row, by pos.
    struct PosValues {
        qint64 pos;
        QStringList values; // five
    };
    QVector<PosValues> values(bool* ok = nullptr) const;

    // The statement that calls update_currency on this engine, with seven '?':
    // through SELECT on PostgreSQL (QPSQL cannot prepare CALL), through the ODBC
    // call escape otherwise.
    static QString updateCurrencyCall(RemoteEngine engine);

private:
    Connection& m_db;
    RemoteEngine m_engine;
};

// The online copy, on the local side: for every remote row whose pos names a local
// row (the first one, when several share it), the value columns whose flag is set
// take the remote values. One transaction through the local store, updateTime
// untouched. Returns the local rows changed (0 when nothing differed).
int applyOnlineValues(CurrencyStore& local, const QVector<RemoteCurrencyStore::PosValues>& remote,
                      const bool (&flags)[5], QString* error = nullptr);

} // namespace quoteria
