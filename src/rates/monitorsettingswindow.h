#pragma once
// "Auto Monitor Rate": the rate monitor's options (watched column, period, alarm
// sounds and the board's alarm colours).
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quoteria {

struct AppContext;
class RateMonitor;

class MonitorSettingsWindow : public QWidget {
    Q_OBJECT
public:
    // monitor may be null; when given, a save sets its check period.
    MonitorSettingsWindow(AppContext& ctx, RateMonitor* monitor, QWidget* parent = nullptr);

    static const QString kBadPeriod;

    // Fills the controls from the stored settings.
    void loadSettings();
    // The "Save" button; false when the window stays open (nothing is stored then).
    bool save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void browse(QLineEdit* target);
    void pickColor(QLabel* swatch);
    void setSwatch(QLabel* swatch, unsigned value);
    void checkTime();

    AppContext& m_ctx;
    RateMonitor* m_monitor;
    QComboBox* m_cmbClm;
    QLineEdit* m_txtTime;
    QCheckBox* m_chkSnd;
    QLineEdit* m_txtLow;
    QLineEdit* m_txtHigh;
    QCheckBox* m_chkClr;
    QLabel* m_lblLow;
    QLabel* m_lblHigh;
    unsigned m_lowColor = 0;
    unsigned m_highColor = 0;
};

} // namespace quoteria
