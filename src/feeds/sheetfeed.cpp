#include "feeds/sheetfeed.h"

#include "data/formats.h"
#include "data/messageservice.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <cmath>

namespace quoteria {

CellReader workbookReader() {
    return [](const QString& path, const QVector<CellRef>& wanted,
              QString* error) -> std::optional<CellTexts> {
        const auto book = WorkbookCells::read(path, wanted, error);
        if (!book)
            return std::nullopt;
        CellTexts texts;
        for (const CellRef& c : wanted)
            texts.insert({c.row, c.col}, book->text(c));
        return texts;
    };
}

std::optional<CellRef> cellRefOf(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    int n[2];
    for (int i = 0; i < 2; ++i) {
        if (!isNumeric(parts.at(i)))
            return std::nullopt;
        const double v = vbVal(parts.at(i));
        // Beyond any sheet's size, and kept far from int overflow.
        if (v < 1 || v > 1e7 || v != std::floor(v))
            return std::nullopt;
        n[i] = int(v);
    }
    return CellRef{n[0], n[1]};
}

QString feedValue(const QString& cellText, const ValueFormat& format) {
    if (cellText.isEmpty())
        return QString();
    if (format.length == 0)
        return formatNumber(cellText, QStringLiteral("0.0000"));
    return keepLength(formatNumber(cellText, format.pattern), format.length);
}

FeedEntries correctedEntries(const QString& period, const QString& digits) {
    FeedEntries e{period, digits, QString()};
    if (!isNumeric(e.period))
        e.period = QStringLiteral("3");
    if (!isNumeric(e.digits))
        e.digits = QStringLiteral("5");
    // Bounded so a huge or negative count still gives a usable pattern.
    const double zeros = std::round(vbVal(e.digits)) + 1;
    e.format = QStringLiteral("0.") + QString(int(qBound(0.0, zeros, 30.0)), QLatin1Char('0'));
    if (vbVal(e.period) > 5000)
        e.period = QStringLiteral("60");
    return e;
}

QVector<CellRef> wantedCells(const QVector<CurrencyRow>& rows) {
    QVector<CellRef> wanted;
    for (const CurrencyRow& r : rows)
        for (const QString& c : r.cells)
            if (const auto ref = cellRefOf(c); ref && !wanted.contains(*ref))
                wanted.append(*ref);
    return wanted;
}

QVector<FeedChange> feedChanges(const QVector<CurrencyRow>& rows, const CellTexts& cells,
                                const ValueFormat& format) {
    QVector<FeedChange> changes;
    for (const CurrencyRow& r : rows) {
        for (int i = 0; i < 5 && i < r.cells.size(); ++i) {
            const auto ref = cellRefOf(r.cells.at(i));
            if (!ref)
                continue;
            const auto cell = cells.constFind({ref->row, ref->col});
            if (cell == cells.constEnd())
                continue;
            const QString value = feedValue(*cell, format);
            const QString before = r.values.value(i);
            if (!value.isEmpty() && value != before)
                changes.append({r.key, r.name, i, before, value});
        }
    }
    return changes;
}

FileStamp stampOf(const QString& path) {
    QFileInfo info(path);
    FileStamp s;
    s.exists = info.isFile();
    if (s.exists) {
        s.size = info.size();
        s.modified = info.lastModified();
    }
    return s;
}

SheetRead readSteady(const CellReader& reader, const QString& path,
                     const QVector<CellRef>& wanted) {
    SheetRead r;
    const FileStamp before = stampOf(path);
    if (!before.exists) {
        r.error = QStringLiteral("no such file");
        r.stamp = before;
        return r;
    }
    QString error;
    auto cells = reader(path, wanted, &error);
    r.stamp = stampOf(path);
    r.unsteady = r.stamp != before;
    if (r.unsteady)
        r.error = QStringLiteral("the file changed while it was read");
    else if (!cells)
        r.error = error.isEmpty() ? QStringLiteral("unreadable") : error;
    else
        r.cells = std::move(cells);
    return r;
}

SheetFeed::SheetFeed(CurrencyStore& store, CellReader reader, QObject* parent)
    : QObject(parent), m_store(store), m_reader(std::move(reader)) {
    m_pool.setMaxThreadCount(1);
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        // A change elsewhere in the folder leaves the workbook's stamp alone.
        if (stampOf(m_path) != m_readStamp)
            readNow();
    });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &SheetFeed::fileEvent);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &SheetFeed::folderEvent);
}

SheetFeed::~SheetFeed() {
    m_pool.waitForDone();
}

void SheetFeed::configure(const QString& path, bool watch, const ValueFormat& format) {
    m_format = format;
    if (path != m_path) {
        m_readStamp = FileStamp();
        m_retry = false;
    }
    m_path = path;
    const QStringList old = m_watcher.files() + m_watcher.directories();
    if (!old.isEmpty())
        m_watcher.removePaths(old);
    m_settle.stop();
    if (!watch || path.isEmpty())
        return;
    // The folder too: editors save by writing a new file and renaming it over the
    // old one, and the file's own watch ends with the old file.
    const QFileInfo info(path);
    if (info.absoluteDir().exists())
        m_watcher.addPath(info.absolutePath());
    if (info.isFile())
        m_watcher.addPath(info.absoluteFilePath());
}

void SheetFeed::fileEvent() {
    m_settle.start();
}

void SheetFeed::folderEvent() {
    const QFileInfo info(m_path);
    if (info.isFile() && !m_watcher.files().contains(info.absoluteFilePath()))
        m_watcher.addPath(info.absoluteFilePath());
    if (stampOf(m_path) != m_readStamp)
        m_settle.start();
}

void SheetFeed::tick(bool due) {
    if (due || (m_retry && !m_busy && stampOf(m_path) != m_failedStamp))
        readNow();
}

void SheetFeed::readNow() {
    if (m_path.isEmpty())
        return;
    if (m_busy) {
        m_again = true;
        return;
    }
    bool ok = false;
    const QVector<CurrencyRow> rows = m_store.list(true, &ok);
    if (!ok)
        return;
    m_busy = true;
    m_pool.start([this, reader = m_reader, path = m_path, wanted = wantedCells(rows)] {
        const SheetRead read = readSteady(reader, path, wanted);
        // Dropped with the feed if it is gone before the window thread gets to it.
        QMetaObject::invokeMethod(
            this, [this, read] { finished(read); }, Qt::QueuedConnection);
    });
}

void SheetFeed::finished(const SheetRead& read) {
    m_busy = false;
    if (read.cells) {
        m_retry = false;
        m_lastError.clear();
        const Outcome o = apply(*read.cells);
        // Only a stamp whose values are on the board counts as read.
        if (o.ok)
            m_readStamp = read.stamp;
    } else {
        // Tried again at the next tick once the writer has moved on (or the file
        // an editor renamed away is back).
        m_retry = true;
        // A file caught mid-save is read again at the next tick, whatever its stamp.
        m_failedStamp = read.unsteady ? FileStamp() : read.stamp;
        if (read.error != m_lastError)
            logLine(QStringLiteral("workbook feed: %1: %2").arg(m_path, read.error));
        m_lastError = read.error;
        Q_EMIT readFailed(read.error);
    }
    if (m_again) {
        m_again = false;
        readNow();
    }
}

SheetFeed::Outcome SheetFeed::apply(const CellTexts& cells) {
    Outcome o;
    // The rows as they are now: the operator may have changed them during the read.
    const QVector<CurrencyRow> rows = m_store.list(true, &o.ok);
    if (!o.ok) {
        o.error = m_store.connection().lastError();
        return o;
    }
    o.changes = feedChanges(rows, cells, m_format);
    QVector<CurrencyStore::ColumnValue> values;
    values.reserve(o.changes.size());
    for (const FeedChange& c : o.changes)
        values.append({c.key, c.column, c.after});
    const CurrencyStore::Result r = m_store.setColumnValues(values, {ChangeSource::SheetFeed, {}});
    o.ok = r.ok;
    o.error = r.error;
    if (!o.ok) {
        o.changes.clear();
        logLine(QStringLiteral("workbook feed: the values were not written: %1").arg(r.error));
        return o;
    }
    Q_EMIT applied(o.changes);
    return o;
}

SheetFeed::Outcome SheetFeed::runOnce() {
    Outcome o;
    bool ok = false;
    const QVector<CurrencyRow> rows = m_store.list(true, &ok);
    if (!ok) {
        o.error = m_store.connection().lastError();
        return o;
    }
    const SheetRead read = readSteady(m_reader, m_path, wantedCells(rows));
    if (!read.cells) {
        o.error = read.error;
        return o;
    }
    return apply(*read.cells);
}

} // namespace quoteria
