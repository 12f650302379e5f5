#pragma once
// The layout designer and the header editor edit one theme at a time and exist
// once: asking for another theme closes the open window (withdrawing its unsaved
// edits) and opens a fresh one, given the key and loaded; asking again for the
// same theme brings it back as it was.
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace quoteria {

template <typename W, typename Make> W* openForTheme(QPointer<W>& slot, qint64 key, Make make) {
    if (slot && slot->themeKey() != qMax<qint64>(key, 0)) {
        slot->close();
        slot = nullptr;
    }
    if (!slot) {
        slot = make();
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->lblRef()->setText(key > 0 ? QString::number(key) : QString());
        slot->getData();
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot.data();
}

} // namespace quoteria
