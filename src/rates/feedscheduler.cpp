#include "rates/feedscheduler.h"

#include "data/settingkeys.h"
#include "data/settingsstore.h"

#include <QTimer>

namespace quoteria {

ExcelFeedSettings ExcelFeedSettings::stored(const SettingsStore& settings) {
    ExcelFeedSettings e;
    e.source = settings.get(settings::ExcelSource);
    e.enabled = settings.get(settings::ExcelOn);
    e.keep = settings.get(settings::KeptLength);
    e.format = settings.get(settings::ValueFormat);
    return e;
}

FeedScheduler::FeedScheduler(QObject* parent)
    : QObject(parent), m_excelTimer(new QTimer(this)), m_onlineTimer(new QTimer(this)) {
    // The names the feed windows and the tests know them by.
    m_excelTimer->setObjectName(QStringLiteral("Timer2"));
    m_onlineTimer->setObjectName(QStringLiteral("Timer3"));
    m_excelTimer->setInterval(1000);
    m_onlineTimer->setInterval(1000);
    connect(m_excelTimer, &QTimer::timeout, this, &FeedScheduler::excelTick);
    connect(m_onlineTimer, &QTimer::timeout, this, &FeedScheduler::onlineTick);
}

void FeedScheduler::start(const ExcelFeedSettings& excel, bool onlineAutoUpdate) {
    m_excel = excel;
    if (m_excel.runs())
        m_excelTimer->start();
    if (onlineAutoUpdate)
        m_onlineTimer->start();
}

void FeedScheduler::applyExcel(const ExcelFeedSettings& excel) {
    m_excel = excel;
    m_excelCount = 0;
    if (m_excel.runs())
        m_excelTimer->start();
    else
        m_excelTimer->stop();
    Q_EMIT excelChanged(m_excel);
}

bool FeedScheduler::countExcel(int period) {
    if (period >= m_excelCount) {
        ++m_excelCount;
        return false;
    }
    m_excelCount = 0;
    return true;
}

} // namespace quoteria
