#pragma once
// When the rate feeds run: the workbook feed's one-second counter (Timer2) and
// the online copy's (Timer3). The program owns one; the panel switches it on at
// its load.
#include <QObject>
#include <QString>

class QTimer;

namespace quoteria {

class SettingsStore;

// Workbook feed settings as stored.
struct ExcelFeedSettings {
    QString source;
    bool enabled = false;
    int keep = 6;
    QString format = QStringLiteral("0.00000");

    static ExcelFeedSettings stored(const SettingsStore& settings);
    // The counter only runs for a workbook that is both named and switched on.
    bool runs() const { return enabled && !source.isEmpty(); }
};

class FeedScheduler : public QObject {
    Q_OBJECT
public:
    explicit FeedScheduler(QObject* parent = nullptr);

    // Starts the counters the settings allow; the others stay as they are.
    void start(const ExcelFeedSettings& excel, bool onlineAutoUpdate);
    // New workbook feed settings, at once: the counter starts afresh, and runs
    // only when they allow it.
    void applyExcel(const ExcelFeedSettings& excel);
    const ExcelFeedSettings& excel() const { return m_excel; }

    // Counts one second of the workbook feed against its period (read again on
    // every tick): true when the workbook is read now, and the count starts over.
    // With period p the read comes on every (p + 2)th tick.
    bool countExcel(int period);

    QTimer* excelTimer() const { return m_excelTimer; }
    QTimer* onlineTimer() const { return m_onlineTimer; }

Q_SIGNALS:
    // One second of the workbook feed counter.
    void excelTick();
    // One second of the online copy's counter.
    void onlineTick();
    // The workbook feed settings changed.
    void excelChanged(const ExcelFeedSettings& excel);

private:
    ExcelFeedSettings m_excel;
    int m_excelCount = 0;
    QTimer* m_excelTimer;
    QTimer* m_onlineTimer;
};

} // namespace quoteria
