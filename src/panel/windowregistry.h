#pragma once
// Each editing window exists once: created on first use, owned by its opener,
// shown modeless; asking again raises the open one.
#include <QPointer>
#include <QWidget>

namespace quoteria {

template <typename W, typename Make> W* showOnce(QPointer<W>& slot, Make make) {
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

} // namespace quoteria
