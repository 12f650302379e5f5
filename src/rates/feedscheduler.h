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
    const ExcelFeedSettings& excel() const { return m_excel; }

    QTimer* excelTimer() const { return m_excelTimer; }
    QTimer* onlineTimer() const { return m_onlineTimer; }

Q_SIGNALS:
    // One second of the workbook feed counter.
    void excelTick();
    // One second of the online copy's counter.
    void onlineTick();

private:
    ExcelFeedSettings m_excel;
    QTimer* m_excelTimer;
    QTimer* m_onlineTimer;
};

} // namespace quoteria
