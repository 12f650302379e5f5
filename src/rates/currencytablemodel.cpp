#include "rates/currencytablemodel.h"

#include <QSet>

namespace quoteria {

const QColor CurrencyTableModel::PendingBackground(255, 248, 200);

CurrencyTableModel::CurrencyTableModel(QObject* parent)
    : CurrencyTableModel(Layout::Local, parent) {}

CurrencyTableModel::CurrencyTableModel(Layout layout, QObject* parent)
    : QAbstractTableModel(parent), m_layout(layout) {
    for (int c = 0; c < ColumnCount; ++c)
        m_captions << QString();
    if (m_layout == Layout::Online) {
        m_captions[PosCol] = QStringLiteral("Pos.");
        m_captions[NameCol] = QStringLiteral("Currency");
        for (int i = 0; i < 5; ++i)
            m_captions[FirstValueCol + i] = QStringLiteral("Colum%1").arg(i + 1);
        m_captions[ActiveCol] = QStringLiteral("Active");
    }
}

void CurrencyTableModel::setRows(const QVector<CurrencyRow>& rows) {
    beginResetModel();
    m_rows = rows;
    relist();
    endResetModel();
}

void CurrencyTableModel::setShowAll(bool on) {
    if (on == m_showAll)
        return;
    beginResetModel();
    m_showAll = on;
    relist();
    endResetModel();
}

void CurrencyTableModel::relist() {
    m_listed.clear();
    m_listedRowOfKey.clear();
    m_listed.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_showAll || m_rows.at(i).isActive()) {
            m_listedRowOfKey.insert(m_rows.at(i).key, int(m_listed.size()));
            m_listed.append(i);
        }
}

void CurrencyTableModel::setThemeCaptions(const std::optional<QStringList>& captions) {
    if (m_layout == Layout::Online)
        return; // fixed captions
    QStringList labels;
    for (int c = 0; c < ColumnCount; ++c)
        labels << QString();
    if (captions) {
        labels[PosCol] = QStringLiteral("SN.");
        for (int i = 0; i < 6; ++i)
            labels[NameCol + i] = captions->value(i);
        labels[ActiveCol] = QStringLiteral("Active");
        labels[UpdatedCol] = QStringLiteral("Updated");
        labels[LowCol] = QStringLiteral("Low");
        labels[HighCol] = QStringLiteral("High");
    }
    if (labels == m_captions)
        return;
    m_captions = labels;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

CurrencyTableModel::KeyStart CurrencyTableModel::keyStart(int column, int key,
                                                          Qt::KeyboardModifiers modifiers,
                                                          const QString& text) {
    if (!isEditableColumn(column) || text.isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return KeyStart::None;
    const QChar ch = text.at(0);
    const bool control = modifiers & (Qt::ControlModifier | Qt::MetaModifier);
    if (!control && ch > QLatin1Char(' ') && ch != QChar(0x7f))
        return KeyStart::Typed;
    return KeyStart::CopyCell;
}

int CurrencyTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_listed.size());
}

int CurrencyTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return m_layout == Layout::Online ? OnlineColumnCount : ColumnCount;
}

QString CurrencyTableModel::cellText(const CurrencyRow& row, int column) const {
    if (m_layout == Layout::Online && column > ActiveCol)
        return QString();
    switch (column) {
    case KeyCol:
        return QString::number(row.key);
    case PosCol:
        return row.pos;
    case NameCol:
        return row.name;
    case ActiveCol:
        return row.isActive() ? QStringLiteral("Yes") : QStringLiteral("No");
    case UpdatedCol:
        return row.updateTime;
    case LowCol:
        return row.low;
    case HighCol:
        return row.high;
    default:
        if (isEditableColumn(column))
            return row.values.value(column - FirstValueCol);
        return QString();
    }
}

QVariant CurrencyTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_listed.size() || index.column() >= columnCount())
        return QVariant();
    const CurrencyRow& row = rowAt(index.row());
    const auto pendingRow = m_pending.constFind(row.key);
    const bool pending = pendingRow != m_pending.constEnd() && pendingRow->contains(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return pending ? pendingRow->value(index.column()) : cellText(row, index.column());
    case Qt::BackgroundRole:
        return pending ? QVariant(PendingBackground) : QVariant();
    case PendingRole:
        return pending;
    case KeyRole:
        return row.key;
    case FlagPathRole:
        return index.column() == PosCol && m_layout == Layout::Local ? QVariant(row.img)
                                                                     : QVariant();
    default:
        return QVariant();
    }
}

QVariant CurrencyTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columnCount())
        return m_captions.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags CurrencyTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditableColumn(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool CurrencyTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_listed.size() ||
        !isEditableColumn(index.column()))
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return true;
    const CurrencyRow& row = rowAt(index.row());
    // Typed back to what was read: nothing left to save in that cell.
    if (text == cellText(row, index.column())) {
        auto it = m_pending.find(row.key);
        if (it != m_pending.end()) {
            it->remove(index.column());
            if (it->isEmpty())
                m_pending.erase(it);
        }
    } else {
        m_pending[row.key][index.column()] = text;
    }
    Q_EMIT dataChanged(index, index,
                       {Qt::DisplayRole, Qt::EditRole, Qt::BackgroundRole, PendingRole});
    return true;
}

qint64 CurrencyTableModel::keyAt(int row) const {
    return row >= 0 && row < m_listed.size() ? rowAt(row).key : 0;
}

int CurrencyTableModel::rowOfKey(qint64 key) const {
    return m_listedRowOfKey.value(key, -1);
}

int CurrencyTableModel::pendingCount() const {
    int n = 0;
    for (const auto& cols : m_pending)
        n += int(cols.size());
    return n;
}

void CurrencyTableModel::dropPending() {
    if (m_pending.isEmpty())
        return;
    m_pending.clear();
    if (!m_listed.isEmpty())
        Q_EMIT dataChanged(index(0, FirstValueCol), index(rowCount() - 1, LastValueCol));
}

void CurrencyTableModel::dropPending(qint64 key) {
    if (!m_pending.remove(key))
        return;
    const int r = rowOfKey(key);
    if (r >= 0)
        Q_EMIT dataChanged(index(r, FirstValueCol), index(r, LastValueCol));
}

QVector<CurrencyStore::Edit> CurrencyTableModel::edits(const StoredValues& stored) const {
    QVector<CurrencyStore::Edit> out;
    out.reserve(m_listed.size() + m_pending.size());
    QSet<qint64> listed;
    for (int r = 0; r < m_listed.size(); ++r) {
        const qint64 key = rowAt(r).key;
        if (key == 0)
            continue;
        CurrencyStore::Edit e{key, {}};
        for (int c = FirstValueCol; c <= LastValueCol; ++c)
            e.values << data(index(r, c), Qt::EditRole).toString();
        out.append(e);
        listed.insert(key);
    }
    // Typed values of rows the grid no longer lists ("Show All" cleared) are saved
    // too, over the row's stored values.
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (listed.contains(it.key()))
            continue;
        std::optional<QStringList> values = stored ? stored(it.key()) : std::nullopt;
        if (!values)
            continue;
        while (values->size() < 5)
            values->append(QString());
        CurrencyStore::Edit e{it.key(), *values};
        for (auto c = it->cbegin(); c != it->cend(); ++c)
            if (isEditableColumn(c.key()))
                e.values[c.key() - FirstValueCol] = c.value();
        out.append(e);
    }
    return out;
}

QStringList CurrencyTableModel::typedNames(const QVector<qint64>& keys) const {
    QStringList names;
    for (qint64 key : keys) {
        if (!m_pending.contains(key))
            continue;
        const int r = rowOfKey(key);
        if (r >= 0)
            names << rowAt(r).name;
    }
    return names;
}

QVector<RemoteCurrencyStore::SaveRow> CurrencyTableModel::saveRows() const {
    QVector<RemoteCurrencyStore::SaveRow> out;
    out.reserve(m_listed.size());
    for (int r = 0; r < m_listed.size(); ++r) {
        RemoteCurrencyStore::SaveRow s;
        s.name = data(index(r, NameCol)).toString();
        s.pos = data(index(r, PosCol)).toString();
        for (int c = FirstValueCol; c <= LastValueCol; ++c)
            s.values << data(index(r, c)).toString();
        out.append(s);
    }
    return out;
}

void CurrencyTableModel::acceptPending() {
    if (m_pending.isEmpty())
        return;
    for (CurrencyRow& row : m_rows) {
        const auto typed = m_pending.constFind(row.key);
        if (typed == m_pending.constEnd())
            continue;
        for (auto c = typed->cbegin(); c != typed->cend(); ++c)
            if (isEditableColumn(c.key()))
                row.values[c.key() - FirstValueCol] = c.value();
    }
    dropPending();
}

} // namespace quoteria
