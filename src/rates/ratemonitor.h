#pragma once
// The rate monitor: every period it compares one value column of the active
// currencies with their low and high limits, marks each row "L", "N" or "H" and
// sounds the alarm through its player. The program owns one; the panel's "Start
// Monitor" box switches it on and off, and its own one-second Timer4 ticks it.
#include <QObject>
#include <QString>
#include <optional>

class QTimer;

namespace quoteria {

struct AppContext;

// The panel's media player as the monitor needs it.
class AlarmPlayer {
public:
    virtual ~AlarmPlayer() = default;
    // Not playing: undefined, stopped or paused.
    virtual bool isPlaying() const = 0;
    // Sets the file as the source and starts it. A missing or unplayable file
    // plays nothing and reports nothing.
    virtual void play(const QString& path) = 0;
    virtual void stop() = 0;
};

// "N" when low <= value <= high, "L" below low (high is then not looked at), "H"
// above high. Texts that are not numbers count as 0.
QString alarmState(const QString& value, const QString& low, const QString& high);

// Longest check period: one day.
constexpr int kMaxCheckPeriod = 86400;
// The check period as typed in the settings window or stored in "intervel": whole
// seconds from 0 to kMaxCheckPeriod, blanks around allowed; nothing otherwise
// (fractions, exponents, signs, letters, too large).
std::optional<int> checkPeriodOf(const QString& text);

// Monitor settings, "Display"/"Monitor"/...
struct MonitorSettings {
    QString column = QStringLiteral("Colum1");
    int period = 10;
    bool sound = false;
    QString lowSound;
    QString highSound;
    bool color = false;
    unsigned lowColor = 0;
    unsigned highColor = 0;
};

class RateMonitor : public QObject {
    Q_OBJECT
public:
    explicit RateMonitor(AppContext& ctx, QObject* parent = nullptr);

    // Not owned; without a player the monitor marks rows and stays silent.
    void setPlayer(AlarmPlayer* player) { m_player = player; }
    AlarmPlayer* player() const { return m_player; }

    // The "Start Monitor" box: checked lets tick() count; cleared stops checking and
    // silences an alarm in progress. The board asks isEnabled().
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // setEnabled() with Timer4 running while on.
    void switchOn(bool on);
    QTimer* ticker() const { return m_ticker; }

    // One Timer4 tick (once a second). Does nothing while disabled. Counts up to the
    // period, then checks on the following tick and starts counting again.
    void tick();
    // The comparison itself; false when the watched column is unknown or the
    // query fails (nothing is changed then).
    bool check();

    int counter() const { return m_counter; }
    int period() const { return m_period; }
    void setPeriod(int seconds) { m_period = seconds; }
    // Period from "Display"/"Monitor"/"intervel" (10, also when the stored text is
    // not a period checkPeriodOf accepts), as at panel start.
    void reloadPeriod();

    static MonitorSettings readSettings(const AppContext& ctx);

Q_SIGNALS:
    // Rows were marked differently than before.
    void statesChanged();

private:
    AppContext& m_ctx;
    AlarmPlayer* m_player = nullptr;
    QTimer* m_ticker;
    bool m_enabled = false;
    int m_counter = 0;
    int m_period = 10;
};

} // namespace quoteria
