#pragma once
// The currency table: reading rows in board order, writing typed values back in one
// transaction, adding, changing and removing a currency, the monitor's alarm marks
// and the newest update time. The program keeps one store per database; it is the
// only one that announces a change of the table. No widgets here.
#include "data/database.h" // callers hand in the local Database as a Connection
#include "data/ratehistory.h"

#include <QDateTime>
#include <QLatin1String>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace quoteria {

class DataEvents;

// tblCurr and its columns, spelled as the schema spells them.
namespace currcol {
inline constexpr QLatin1String Table{"tblCurr"};
inline constexpr QLatin1String Key{"currAuto"};
inline constexpr QLatin1String Name{"currName"};
inline constexpr QLatin1String Values[5]{QLatin1String("colum1"), QLatin1String("colum2"),
                                         QLatin1String("colum3"), QLatin1String("colum4"),
                                         QLatin1String("colum5")};
inline constexpr QLatin1String Img{"img"};
inline constexpr QLatin1String Active{"active"};
inline constexpr QLatin1String Cells[5]{QLatin1String("cell1"), QLatin1String("cell2"),
                                        QLatin1String("cell3"), QLatin1String("cell4"),
                                        QLatin1String("cell5")};
inline constexpr QLatin1String Pos{"pos"};
inline constexpr QLatin1String Low{"low"};
inline constexpr QLatin1String High{"high"};
inline constexpr QLatin1String State{"vstate"};
inline constexpr QLatin1String Updated{"updateTime"};
} // namespace currcol

struct CurrencyRow {
    qint64 key = 0;
    QString name;
    QStringList values; // colum1 .. colum5, always five
    QString img;
    QString active;    // as stored, "1" or "0"
    QStringList cells; // cell1 .. cell5, always five
    QString pos;
    QString low;
    QString high;
    QString vstate;
    QString updateTime;

    bool isActive() const { return active == QLatin1String("1"); }
};

// The first five texts, with empty ones added up to five: a row always has five
// values and five cells, whatever a caller hands in.
QStringList fiveTexts(const QStringList& in);

// What the entry window writes; pos, low and high are the texts of their boxes.
struct CurrencyInput {
    QString name;
    QStringList values; // five
    QString pos;
    bool active = false;
    QString img;
    bool writeImg = true; // false leaves the stored path alone (existing rows)
    QStringList cells;    // five
    QString low;
    QString high;
};

// Value formatting of the rate feeds and editors ("Display"/"auto"/"format" and
// "format1"): a length of 0 keeps the text as typed.
struct ValueFormat {
    int length = 6;
    QString pattern = QStringLiteral("0.00000");
};

// One active row as the rate monitor compares it.
struct AlarmRow {
    qint64 key = 0;
    QString value; // the watched value column
    QString low;
    QString high;
    QString state; // vstate as stored
};

class CurrencyStore : public QObject {
    Q_OBJECT
public:
    // Without events the store still signals changed(), but tells no other window.
    explicit CurrencyStore(Connection& db, DataEvents* events = nullptr, QObject* parent = nullptr);

    Connection& connection() const { return m_db; }

    // Active rows (or all rows) in board order. ok is false when the query failed.
    QVector<CurrencyRow> list(bool showAll, bool* ok = nullptr) const;
    std::optional<CurrencyRow> find(qint64 key) const;

    // Fields 1 to 6 of the theme's tblheader row; nullopt when it has none.
    std::optional<QStringList> headerCaptions(qint64 themeKey) const;

    // The active rows with value column valueIndex (0 to 4); ok is false when the
    // index is out of range or the query failed.
    QVector<AlarmRow> alarmRows(int valueIndex, bool* ok = nullptr) const;
    struct AlarmMark {
        qint64 key;
        QString state;
    };
    // Writes the marks in one transaction.
    bool setAlarmStates(const QVector<AlarmMark>& marks);

    // The newest updateTime; nothing when there is no currency or the table
    // cannot be read.
    std::optional<QString> lastUpdateTime() const;

    struct Edit {
        qint64 key;
        QStringList values; // five
    };
    struct Result {
        bool ok = true;
        QString error;   // the database's description when !ok
        int written = 0; // rows updated
        int missing = 0; // keys that no longer exist (skipped)
        QVector<qint64> missingKeys;
        bool duplicatePosition = false;
    };
    // Writes the five values and updateTime of every row in one transaction; rows
    // whose key is gone are skipped. When format.length is not 0 each value is
    // formatted with the pattern (not cut). All or nothing, history included.
    Result saveValues(const QVector<Edit>& edits, const ValueFormat& format,
                      const QDateTime& now = QDateTime::currentDateTime(),
                      const QString& operatorName = QString());

    // One value column of one row, as the rate feeds write it.
    struct ColumnValue {
        qint64 key;
        int column; // 0 to 4
        QString value;
    };
    // Writes the values as given in one transaction and nothing else: updateTime
    // stays. Rows whose key is gone are skipped. Announces once, when a row changed.
    // Only values whose text changed are logged, under the feed's source.
    Result setColumnValues(const QVector<ColumnValue>& values, const ChangeStamp& stamp);

    // New currency; result.written is 1 and *newKey is set on success. An empty or
    // non-numeric position takes the new row's own key.
    // Both log their value changes as the entry window's, under operatorName.
    Result add(const CurrencyInput& in, const ValueFormat& format, qint64* newKey = nullptr,
               const QString& operatorName = QString());
    // Overwrites an existing currency; result.missing is 1 when the row is gone.
    Result change(qint64 key, const CurrencyInput& in, const ValueFormat& format,
                  const QString& operatorName = QString());
    bool remove(qint64 key, QString* error = nullptr);

    // The entry window's value rule: formatted, then cut to the kept length.
    static QString entryValue(const QString& text, const ValueFormat& format);
    // The list's value rule: formatted, not cut.
    static QString listValue(const QString& text, const ValueFormat& format);
    // The Excel cell check: index of the first box that is not empty and not
    // "row,col" with two numbers; -1 when all pass.
    static int firstBadCell(const QStringList& cells);
    // The grid's update time text, as stored.
    static QString timeText(const QDateTime& when);

Q_SIGNALS:
    // Sent after every committed write: values, rows, removals and alarm marks.
    void changed();

private:
    Result write(qint64 key, bool isNew, const CurrencyInput& in, const ValueFormat& format,
                 const QString& operatorName);
    // The stored name and five values of a row, inside the caller's transaction.
    std::optional<std::pair<QString, QStringList>> storedValues(qint64 key) const;
    void announce();
    Connection& m_db;
    DataEvents* m_events;
    qint64 m_lastKey = 0;
};

// Reads the value format settings.
class SettingsStore;
ValueFormat valueFormat(const SettingsStore& settings);
// "Display"/"auto"/"value": the Excel feed is on.
bool excelFeedOn(const SettingsStore& settings);

} // namespace quoteria
