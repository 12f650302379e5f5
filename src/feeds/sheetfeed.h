#pragma once
// The workbook rate feed: reads the cells each currency names ("row,col" in cell1
// .. cell5) and writes what they hold into the matching value columns. The file is
// read on a thread of its own; the values are applied on the feed's thread, in one
// transaction, so the board never waits on a large or slow workbook.
#include "data/currencystore.h"
#include "feeds/workbook.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <optional>

namespace quoteria {

// The texts of the cells read, by (row, column).
using CellTexts = QHash<QPair<int, int>, QString>;
// Reads the wanted cells of the workbook at path; nothing, with a reason, when it
// cannot. Called on the read thread.
using CellReader = std::function<std::optional<CellTexts>(
    const QString& path, const QVector<CellRef>& wanted, QString* error)>;

// The program's reader: the workbook file itself.
CellReader workbookReader();

// "row,col" as a cell column holds it; nothing unless both are whole numbers from 1.
std::optional<CellRef> cellRefOf(const QString& text);
// What the feed stores for a cell's text: formatted with the value format and kept
// to its length, or with four decimals when the length is 0. Empty stays empty.
QString feedValue(const QString& cellText, const ValueFormat& format);

// The feed entries of the settings window as they are saved: a period that is not
// a number becomes "3" and one over 5000 "60"; digits that are not a number become
// "5"; the value format gets digits + 1 decimals.
struct FeedEntries {
    QString period;
    QString digits;
    QString format;
};
FeedEntries correctedEntries(const QString& period, const QString& digits);

// One value column the feed changes.
struct FeedChange {
    qint64 key = 0;
    QString currency;
    int column = 0; // 0 to 4
    QString before;
    QString after;
};
QVector<CellRef> wantedCells(const QVector<CurrencyRow>& rows);
// The values that differ from what the rows hold; empty and missing cells change nothing.
QVector<FeedChange> feedChanges(const QVector<CurrencyRow>& rows, const CellTexts& cells,
                                const ValueFormat& format);

// Size and modification time: a file being saved shows a different stamp.
struct FileStamp {
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && size == o.size && modified == o.modified;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};
FileStamp stampOf(const QString& path);

// A read trusted only when the file kept its stamp from before to after it.
struct SheetRead {
    std::optional<CellTexts> cells;
    QString error;
    FileStamp stamp;
    bool unsteady = false; // written to while it was read
};
SheetRead readSteady(const CellReader& reader, const QString& path, const QVector<CellRef>& wanted);

class SheetFeed : public QObject {
    Q_OBJECT
public:
    SheetFeed(CurrencyStore& store, CellReader reader, QObject* parent = nullptr);
    // Waits for a read still running.
    ~SheetFeed() override;

    // The workbook, whether its saves are watched, and the value format.
    void configure(const QString& path, bool watch, const ValueFormat& format);
    QString path() const { return m_path; }

    // One second of the feed's counter; due when the period is up. A read that
    // failed on a file being written is tried again as soon as the file changes.
    void tick(bool due);
    // Starts a read; while one runs, one more follows it instead.
    void readNow();
    bool isReading() const { return m_busy; }

    struct Outcome {
        bool ok = false;
        QString error;
        QVector<FeedChange> changes;
    };
    // Reads and applies on the calling thread (the command line has no other).
    Outcome runOnce();

    // Quiet time after the last change the watcher saw, before reading.
    static constexpr int kSettleMs = 250;

Q_SIGNALS:
    // A read was applied; changes may be empty.
    void applied(const QVector<FeedChange>& changes);
    void readFailed(const QString& error);

private:
    void finished(const SheetRead& read);
    Outcome apply(const CellTexts& cells);
    void fileEvent();
    void folderEvent();

    CurrencyStore& m_store;
    CellReader m_reader;
    QString m_path;
    ValueFormat m_format;
    bool m_busy = false;
    bool m_again = false;
    bool m_retry = false;
    FileStamp m_failedStamp;
    FileStamp m_readStamp;
    QString m_lastError;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QThreadPool m_pool;
};

} // namespace quoteria
