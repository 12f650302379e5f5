#pragma once
// What the online windows say when a remote job failed: the store's own words,
// which the job leaves in its value, else the connection's.
#include "feeds/onlinerates.h"

namespace quoteria {

inline QString failureText(const OnlineRates::Outcome& o) {
    const QString why = o.value.toString();
    return why.isEmpty() ? o.error : why;
}

} // namespace quoteria
