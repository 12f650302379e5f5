#include "rates/ratehistorymodel.h"

namespace quoteria {

namespace {
enum Col { Time, Currency, Column, Old, New, Source, Operator, Count };
}

RateHistoryModel::RateHistoryModel(Connection& db, int pageSize, QObject* parent)
    : QAbstractTableModel(parent), m_db(db), m_pageSize(qMax(1, pageSize)) {}

QVector<HistoryEntry> RateHistoryModel::nextPage() {
    std::optional<HistoryCursor> after;
    if (!m_rows.isEmpty())
        after = HistoryCursor{m_rows.last().at, m_rows.last().id};
    bool ok = false;
    QVector<HistoryEntry> page = HistoryReader(m_db).page(m_filter, m_pageSize, after, &ok);
    if (!ok)
        m_error = m_db.lastError();
    // A short page is the last one; a failed read stops the fetching too.
    m_atEnd = !ok || page.size() < m_pageSize;
    return page;
}

void RateHistoryModel::setFilter(const HistoryFilter& filter) {
    beginResetModel();
    m_filter = filter;
    m_rows.clear();
    m_error.clear();
    bool ok = false;
    m_total = HistoryReader(m_db).count(filter, &ok);
    if (!ok) {
        m_total = -1;
        m_error = m_db.lastError();
    }
    m_rows = nextPage();
    endResetModel();
}

int RateHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RateHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant RateHistoryModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const HistoryEntry& e = m_rows.at(index.row());
    switch (index.column()) {
    case Time:
        return e.at;
    case Currency:
        return e.currencyName;
    case Column:
        return e.column;
    case Old:
        return e.before;
    case New:
        return e.after;
    case Source:
        return e.source;
    case Operator:
        return e.operatorName;
    }
    return QVariant();
}

QVariant RateHistoryModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, o, role);
    static const char* const captions[Count] = {"Time", "Currency", "Column", "Old",
                                                "New",  "Source",   "Operator"};
    return section >= 0 && section < Count ? QString::fromLatin1(captions[section]) : QVariant();
}

bool RateHistoryModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_atEnd;
}

void RateHistoryModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    const QVector<HistoryEntry> page = nextPage();
    if (page.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + page.size()) - 1);
    m_rows += page;
    endInsertRows();
}

} // namespace quoteria
