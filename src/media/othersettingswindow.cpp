#include "media/othersettingswindow.h"

#include "data/appcontext.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "feeds/sheetfeed.h"
#include "gui/dialogservice.h"
#include "gui/named.h"

#include <QCameraDevice>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace quoteria {

namespace {
// The period and the digits as typed: corrected only when saved.
constexpr TextSetting kPeriodText{settings::ExcelPeriod.at, "60"};
constexpr TextSetting kDigitsText{settings::KeptLength.at, "6"};
} // namespace

const QString OtherSettingsWindow::kNoHtmlFile =
    QStringLiteral("Cannot Save.. First select html file");
const QString OtherSettingsWindow::kBothInputs =
    QStringLiteral("Cannot enable both Video Input & HTML Input Together");

OtherSettingsWindow::OtherSettingsWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Other Settings"));

    auto* video = new QGroupBox(QStringLiteral("Live Video"), this);
    m_chkEnable = named(new QCheckBox(QStringLiteral("Enable Input"), video), "chkEnable");
    m_cmbSource = named(new QComboBox(video), "cmbSource");
    auto* vg = new QGridLayout(video);
    vg->addWidget(m_chkEnable, 0, 0, 1, 2);
    vg->addWidget(new QLabel(QStringLiteral("Input Source"), video), 1, 0);
    vg->addWidget(m_cmbSource, 1, 1);

    auto* html = new QGroupBox(QStringLiteral("HTML Source"), this);
    m_chkHTML = named(new QCheckBox(QStringLiteral("Enable HTML"), html), "chkHTML");
    m_txtHTML = named(new QLineEdit(html), "txtHTML");
    auto* browseHtml = named(new QPushButton(QStringLiteral("..."), html), "Command3");
    auto* hg = new QGridLayout(html);
    hg->addWidget(m_chkHTML, 0, 0, 1, 3);
    hg->addWidget(new QLabel(QStringLiteral("Source"), html), 1, 0);
    hg->addWidget(m_txtHTML, 1, 1);
    hg->addWidget(browseHtml, 1, 2);

    auto* excel = new QGroupBox(QStringLiteral("Excel Sheet"), this);
    m_txtPath = named(new QLineEdit(excel), "txtPath");
    auto* browseBook = named(new QPushButton(QStringLiteral("..."), excel), "Command2");
    m_chkAuto = named(new QCheckBox(QStringLiteral("Auto Updation"), excel), "chkAuto");
    m_txtInt = named(new QLineEdit(excel), "txtInt");
    m_txtFormat = named(new QLineEdit(excel), "txtFormat");
    auto* eg = new QGridLayout(excel);
    eg->addWidget(new QLabel(QStringLiteral("Select Excel"), excel), 0, 0);
    eg->addWidget(m_txtPath, 0, 1);
    eg->addWidget(browseBook, 0, 2);
    eg->addWidget(m_chkAuto, 1, 0, 1, 3);
    eg->addWidget(new QLabel(QStringLiteral("Intervel (sec)"), excel), 2, 0);
    eg->addWidget(m_txtInt, 2, 1);
    eg->addWidget(new QLabel(QStringLiteral("Length Curr. Digits"), excel), 3, 0);
    eg->addWidget(m_txtFormat, 3, 1);

    auto* saveButton = named(new QPushButton(QStringLiteral("Save"), this), "Command1");
    auto* box = new QVBoxLayout(this);
    box->addWidget(video);
    box->addWidget(html);
    box->addWidget(excel);
    box->addWidget(saveButton, 0, Qt::AlignRight);

    connect(browseHtml, &QPushButton::clicked, this, [this] {
        browse(m_txtHTML, QStringLiteral("Select HTML"),
               QStringLiteral("HTML Files (*.htm *.html)"));
    });
    connect(browseBook, &QPushButton::clicked, this, [this] {
        browse(m_txtPath, QStringLiteral("Select Excel"),
               QStringLiteral("Excel Files (*.xls *.xlsx)"));
    });
    connect(saveButton, &QPushButton::clicked, this, [this] { save(); });
    loadSettings();
}

void OtherSettingsWindow::showEvent(QShowEvent* event) {
    // Each opening starts from what is stored, as a freshly loaded window would.
    if (!event->spontaneous())
        loadSettings();
    QWidget::showEvent(event);
}

void OtherSettingsWindow::loadSettings() {
    // In device order, so the index is the device the board opens.
    m_cmbSource->clear();
    for (const QCameraDevice& d : QMediaDevices::videoInputs())
        m_cmbSource->addItem(d.description());
    const SettingsStore& s = m_ctx.settings;
    m_chkEnable->setChecked(s.get(settings::VideoInOn));
    const int source = s.get(settings::VideoInSource);
    m_cmbSource->setCurrentIndex(source < m_cmbSource->count() ? source : -1);
    m_chkHTML->setChecked(s.get(settings::HtmlOn));
    m_txtHTML->setText(s.get(settings::HtmlSource));
    m_txtPath->setText(s.get(settings::ExcelSource));
    m_chkAuto->setChecked(s.get(settings::ExcelOn));
    m_txtInt->setText(s.get(kPeriodText));
    m_txtFormat->setText(s.get(kDigitsText));
}

void OtherSettingsWindow::browse(QLineEdit* target, const QString& caption, const QString& filter) {
    const QString file = dialogs().openFile(this, caption, folderOf(target->text()), filter);
    if (!file.isEmpty())
        target->setText(file);
}

bool OtherSettingsWindow::save() {
    if (m_chkHTML->isChecked() && m_txtHTML->text().isEmpty()) {
        messages().show(kNoHtmlFile);
        return false;
    }
    if (m_chkEnable->isChecked() && m_chkHTML->isChecked()) {
        messages().show(kBothInputs);
        return false;
    }
    const FeedEntries e = correctedEntries(m_txtInt->text(), m_txtFormat->text());
    m_txtInt->setText(e.period);
    m_txtFormat->setText(e.digits);

    SettingsStore& s = m_ctx.settings;
    s.set(settings::VideoInOn, m_chkEnable->isChecked());
    s.set(settings::HtmlOn, m_chkHTML->isChecked());
    s.set(settings::HtmlSource, m_txtHTML->text());
    s.set(settings::VideoInSource, m_cmbSource->currentIndex());
    s.set(settings::ExcelSource, m_txtPath->text());
    s.set(settings::ExcelOn, m_chkAuto->isChecked());
    s.set(kPeriodText, e.period);
    s.set(kDigitsText, e.digits);
    s.set(settings::ValueFormat, e.format);
    Q_EMIT saved();
    close();
    return true;
}

} // namespace quoteria
