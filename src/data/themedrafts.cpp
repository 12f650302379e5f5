#include "data/themedrafts.h"

#include <algorithm>

namespace quoteria {

void ThemeDrafts::setThemeRow(qint64 key, const BoardTheme& edited) {
    m_drafts[key].row = edited;
    emit changed(key);
}

void ThemeDrafts::setLayout(qint64 key, const double zone[BoardTheme::ZoneCount][4]) {
    Draft& d = m_drafts[key];
    d.hasLayout = true;
    std::copy(&zone[0][0], &zone[0][0] + BoardTheme::ZoneCount * 4, &d.zone[0][0]);
    emit changed(key);
}

void ThemeDrafts::setHeader(qint64 key, const QString head[6]) {
    Draft& d = m_drafts[key];
    d.hasHeader = true;
    std::copy(head, head + 6, d.head);
    emit changed(key);
}

void ThemeDrafts::clear(qint64 key, Part part) {
    auto it = m_drafts.find(key);
    if (it == m_drafts.end())
        return;
    switch (part) {
    case ThemeRow:
        it->row.reset();
        break;
    case Layout:
        it->hasLayout = false;
        break;
    case Header:
        it->hasHeader = false;
        break;
    }
    if (!it->row && !it->hasLayout && !it->hasHeader)
        m_drafts.erase(it);
    emit changed(key);
}

BoardTheme ThemeDrafts::apply(const BoardTheme& stored) const {
    const auto it = m_drafts.constFind(stored.key);
    if (it == m_drafts.constEnd())
        return stored;
    BoardTheme out = stored;
    if (it->row) {
        // Only the theme row's own values; what the stored theme knows of its
        // layout and header stays.
        out = *it->row;
        out.key = stored.key;
        out.found = stored.found;
        out.hasPosition = stored.hasPosition;
        out.hasHeader = stored.hasHeader;
        std::copy(&stored.zone[0][0], &stored.zone[0][0] + BoardTheme::ZoneCount * 4,
                  &out.zone[0][0]);
        std::copy(stored.head, stored.head + 6, out.head);
    }
    if (it->hasLayout) {
        out.hasPosition = true;
        std::copy(&it->zone[0][0], &it->zone[0][0] + BoardTheme::ZoneCount * 4, &out.zone[0][0]);
    }
    if (it->hasHeader) {
        out.hasHeader = true;
        std::copy(it->head, it->head + 6, out.head);
    }
    return out;
}

} // namespace quoteria
