#pragma once
// The rate history as a table, newest first, fetched a page at a time as the view
// scrolls: a year of changes is never read into memory at once.
#include "data/ratehistory.h"

#include <QAbstractTableModel>

namespace quoteria {

class RateHistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RateHistoryModel(Connection& db, int pageSize = 200, QObject* parent = nullptr);

    // Starts over with the first page of the filter's entries.
    void setFilter(const HistoryFilter& filter);
    const HistoryFilter& filter() const { return m_filter; }
    // All entries the filter matches, loaded or not; -1 when it could not be counted.
    qint64 totalCount() const { return m_total; }
    QString lastError() const { return m_error; }
    const HistoryEntry& entryAt(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

private:
    QVector<HistoryEntry> nextPage();

    Connection& m_db;
    const int m_pageSize;
    HistoryFilter m_filter;
    QVector<HistoryEntry> m_rows;
    qint64 m_total = 0;
    bool m_atEnd = true;
    QString m_error;
};

} // namespace quoteria
