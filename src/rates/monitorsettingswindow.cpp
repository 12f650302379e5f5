#include "rates/monitorsettingswindow.h"

#include "data/appcontext.h"
#include "data/formats.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/wincolor.h"
#include "gui/dialogservice.h"
#include "gui/named.h"
#include "rates/ratemonitor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace quoteria {

const QString MonitorSettingsWindow::kBadPeriod =
    QStringLiteral("Check every: enter whole seconds from 0 to %1").arg(kMaxCheckPeriod);

MonitorSettingsWindow::MonitorSettingsWindow(AppContext& ctx, RateMonitor* monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx), m_monitor(monitor) {
    setObjectName(QStringLiteral("frmMonitor"));
    setWindowTitle(QStringLiteral("Auto Monitor Rate"));

    m_cmbClm = named(new QComboBox(this), "cmbClm");
    m_cmbClm->setEditable(true);
    for (int i = 1; i <= 5; ++i)
        m_cmbClm->addItem(QStringLiteral("Colum%1").arg(i));
    m_txtTime = named(new QLineEdit(QStringLiteral("10"), this), "txtTime");
    m_chkSnd = named(new QCheckBox(QStringLiteral("Alert Sound"), this), "chkSnd");
    m_txtLow = named(new QLineEdit(this), "txtLow");
    m_txtHigh = named(new QLineEdit(this), "txtHigh");
    auto* browseLow = named(new QPushButton(QStringLiteral("..."), this), "cmdLow");
    auto* browseHigh = named(new QPushButton(QStringLiteral("..."), this), "cmdHigh");
    m_chkClr = named(new QCheckBox(QStringLiteral("Enable Color"), this), "chkClr");
    m_lblLow = named(new QLabel(this), "lblLow");
    m_lblHigh = named(new QLabel(this), "lblHigh");
    auto* saveButton = named(new QPushButton(QStringLiteral("Save"), this), "cmdSave");

    for (QLabel* swatch : {m_lblLow, m_lblHigh}) {
        swatch->setMinimumSize(60, 20);
        swatch->setAutoFillBackground(true);
        swatch->setFrameShape(QFrame::Box);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->installEventFilter(this);
    }
    m_txtLow->installEventFilter(this);
    m_txtHigh->installEventFilter(this);
    m_txtTime->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    int r = 0;
    grid->addWidget(new QLabel(QStringLiteral("Check Column"), this), r, 0);
    grid->addWidget(m_cmbClm, r++, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Check every"), this), r, 0);
    grid->addWidget(m_txtTime, r, 1);
    grid->addWidget(new QLabel(QStringLiteral("Sec."), this), r++, 2);
    grid->addWidget(m_chkSnd, r++, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Low Sound"), this), r, 0);
    grid->addWidget(m_txtLow, r, 1);
    grid->addWidget(browseLow, r++, 2);
    grid->addWidget(new QLabel(QStringLiteral("High Sound"), this), r, 0);
    grid->addWidget(m_txtHigh, r, 1);
    grid->addWidget(browseHigh, r++, 2);
    grid->addWidget(m_chkClr, r++, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Low Color"), this), r, 0);
    grid->addWidget(m_lblLow, r++, 1);
    grid->addWidget(new QLabel(QStringLiteral("High Color"), this), r, 0);
    grid->addWidget(m_lblHigh, r++, 1);
    grid->addWidget(saveButton, r, 2);

    connect(browseLow, &QPushButton::clicked, this, [this] { browse(m_txtLow); });
    connect(browseHigh, &QPushButton::clicked, this, [this] { browse(m_txtHigh); });
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });

    loadSettings();
}

void MonitorSettingsWindow::setSwatch(QLabel* swatch, unsigned value) {
    (swatch == m_lblLow ? m_lowColor : m_highColor) = value;
    QPalette p = swatch->palette();
    p.setColor(QPalette::Window, colorFromWin(value));
    swatch->setPalette(p);
}

void MonitorSettingsWindow::loadSettings() {
    const SettingsStore& s = m_ctx.settings;
    m_cmbClm->setCurrentText(s.get(settings::MonitorColumn));
    m_chkSnd->setChecked(s.get(settings::MonitorSoundNumber) == 1);
    m_txtLow->setText(s.get(settings::MonitorLowSound));
    m_txtHigh->setText(s.get(settings::MonitorHighSound));
    m_chkClr->setChecked(s.get(settings::MonitorColoursNumber) == 1);
    setSwatch(m_lblLow, unsigned(s.get(settings::MonitorLowColourNumber)));
    setSwatch(m_lblHigh, unsigned(s.get(settings::MonitorHighColourNumber)));
    // As stored, so an unusable entry is seen and corrected rather than read as 0.
    m_txtTime->setText(s.get(settings::MonitorPeriodText));
}

void MonitorSettingsWindow::showEvent(QShowEvent* event) {
    // Each opening starts from what is stored, as a freshly loaded window would.
    if (!event->spontaneous())
        loadSettings();
    QWidget::showEvent(event);
}

void MonitorSettingsWindow::browse(QLineEdit* target) {
    const QString file =
        dialogs().openFile(this, QStringLiteral("Select Sound"), folderOf(target->text()),
                           QStringLiteral("Sound Files(*.wav);;MP3 Files(*.mp3)"));
    if (!file.isEmpty())
        target->setText(file);
}

void MonitorSettingsWindow::pickColor(QLabel* swatch) {
    const QColor c =
        dialogs().color(this, colorFromWin(swatch == m_lblLow ? m_lowColor : m_highColor));
    if (c.isValid())
        setSwatch(swatch, unsigned(winFromColor(c)));
}

void MonitorSettingsWindow::checkTime() {
    if (!isNumeric(m_txtTime->text()))
        m_txtTime->setText(QStringLiteral("10"));
}

bool MonitorSettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_lblLow || watched == m_lblHigh) &&
        event->type() == QEvent::MouseButtonRelease) {
        pickColor(static_cast<QLabel*>(watched));
        return true;
    }
    if ((watched == m_txtLow || watched == m_txtHigh) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            static_cast<QLineEdit*>(watched)->clear();
            return true;
        }
    }
    if (watched == m_txtTime && event->type() == QEvent::FocusOut)
        checkTime();
    return QWidget::eventFilter(watched, event);
}

bool MonitorSettingsWindow::save() {
    checkTime();
    if (m_chkSnd->isChecked() && (m_txtLow->text().isEmpty() || m_txtHigh->text().isEmpty())) {
        messages().show(QStringLiteral("Select a sound for low and high value"));
        return false;
    }
    const auto period = checkPeriodOf(m_txtTime->text());
    if (!period) {
        messages().show(kBadPeriod);
        m_txtTime->setFocus();
        m_txtTime->selectAll();
        return false;
    }
    SettingsStore& s = m_ctx.settings;
    s.set(settings::MonitorColumn, m_cmbClm->currentText());
    s.set(settings::MonitorSound, m_chkSnd->isChecked());
    s.set(settings::MonitorLowSound, m_txtLow->text());
    s.set(settings::MonitorHighSound, m_txtHigh->text());
    s.set(settings::MonitorColours, m_chkClr->isChecked());
    s.set(settings::MonitorLowColour, int(m_lowColor));
    s.set(settings::MonitorHighColour, int(m_highColor));
    s.set(settings::MonitorPeriod, *period);
    if (m_monitor)
        m_monitor->setPeriod(*period);
    close();
    return true;
}

} // namespace quoteria
