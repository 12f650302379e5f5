#pragma once
// The program's services every control panel is handed, over a test's context.
#include "data/appcontext.h"
#include "feeds/onlinerates.h"
#include "media/alarmplayer.h"
#include "panel/controlpanel.h"
#include "rates/feedscheduler.h"
#include "rates/ratemonitor.h"

namespace quoteria::test {

struct PanelServiceSet {
    explicit PanelServiceSet(AppContext& ctx) : monitor(ctx), online(ctx) {
        monitor.setPlayer(&mp);
    }
    RateMonitor monitor;
    MediaAlarmPlayer mp;
    FeedScheduler feeds;
    OnlineRates online;
    PanelServices services() { return {monitor, mp, feeds, online}; }
};

} // namespace quoteria::test
