#pragma once
// The currency grid's rows: what was read, the values typed but not yet saved, the
// header captions and the "Show All" filter. It is handed rows and hands back
// edits; where the rows come from and where the edits go is the window's business.
#include "data/currencystore.h"
#include "data/remotecurrencystore.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace quoteria {

class CurrencyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        KeyCol = 0,
        PosCol = 1,
        NameCol = 2,
        FirstValueCol = 3,
        LastValueCol = 7,
        ActiveCol = 8,
        UpdatedCol = 9,
        LowCol = 10,
        HighCol = 11,
        ColumnCount = 13
    };
    enum Role {
        PendingRole = Qt::UserRole + 1, // bool: the cell holds a typed value not yet saved
        FlagPathRole,                   // the row's flag picture path (column PosCol)
        KeyRole,                        // the row's key, any column
    };
    static const QColor PendingBackground;

    // The local grid, or the head office's: ten columns with fixed captions and no
    // flags, update time or limits.
    enum class Layout { Local, Online };
    static constexpr int OnlineColumnCount = 10;

    explicit CurrencyTableModel(QObject* parent = nullptr);
    explicit CurrencyTableModel(Layout layout, QObject* parent = nullptr);
    Layout layout() const { return m_layout; }

    // Every row as read, in board order. Typed values are kept, also for rows that
    // are gone or filtered out: only dropPending() and a save forget them.
    void setRows(const QVector<CurrencyRow>& rows);
    // Inactive rows are listed only with "Show All".
    void setShowAll(bool on);
    bool showAll() const { return m_showAll; }
    // The theme's header fields 1 to 6, or nothing: the header then stays empty.
    void setThemeCaptions(const std::optional<QStringList>& captions);

    static bool isEditableColumn(int column) {
        return column >= FirstValueCol && column <= LastValueCol;
    }
    // What a key pressed on a cell of `column` does: nothing (the grid moves on),
    // start the editor holding the typed character, or start it with the cell's
    // text selected (space and control keys).
    enum class KeyStart { None, Typed, CopyCell };
    static KeyStart keyStart(int column, int key, Qt::KeyboardModifiers modifiers,
                             const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A typed value: pending unless it is what was read.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Listed rows.
    qint64 keyAt(int row) const;
    const CurrencyRow& rowAt(int row) const { return m_rows.at(m_listed.at(row)); }
    // The listed row of a key; -1 when it is not listed.
    int rowOfKey(qint64 key) const;

    int pendingCount() const;
    bool hasPending() const { return !m_pending.isEmpty(); }
    bool hasPending(qint64 key) const { return m_pending.contains(key); }
    void dropPending();
    void dropPending(qint64 key);

    // What "Save All" writes: every listed row with the values it shows, then the
    // rows typed into but not listed, with their typed values over the values
    // `stored` gives (rows it finds nothing for are left out).
    using StoredValues = std::function<std::optional<QStringList>(qint64 key)>;
    QVector<CurrencyStore::Edit> edits(const StoredValues& stored) const;
    // Names of listed rows among `keys` that hold typed values.
    QStringList typedNames(const QVector<qint64>& keys) const;

    // What the online "Save All" sends: every listed row as shown.
    QVector<RemoteCurrencyStore::SaveRow> saveRows() const;
    // The typed values become the rows' own, as after a save the grid is not
    // reloaded from.
    void acceptPending();

private:
    QString cellText(const CurrencyRow& row, int column) const;
    void relist();

    Layout m_layout = Layout::Local;
    QVector<CurrencyRow> m_rows;
    QVector<int> m_listed; // indexes into m_rows, in board order
    QHash<qint64, int> m_listedRowOfKey;
    bool m_showAll = false;
    QStringList m_captions;
    // Typed values not yet saved: key -> column -> text.
    QHash<qint64, QHash<int, QString>> m_pending;
};

} // namespace quoteria
