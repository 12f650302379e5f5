#include "board/boardmotion.h"

namespace quoteria {

namespace {
// Positions stay finite and convertible to pixels however odd a theme's sizes are.
double bounded(double v) {
    return qBound(-1.0e9, v, 1.0e9);
}
} // namespace

void TableScroll::reset(int rowCount, double firstTop, double rowStep, double rowHeight,
                        double hGap, double step) {
    m_tops.resize(qMax(0, rowCount));
    for (int v = 0; v < m_tops.size(); ++v)
        m_tops[v] = bounded(firstTop + double(v) * rowStep);
    m_last = int(m_tops.size()) - 1;
    m_rowHeight = rowHeight;
    m_hGap = hGap;
    m_step = step;
}

void TableScroll::tick() {
    // Index order matters: row 1 wraps below the last row before that row moves, so
    // it lands hGap + step below it; every other row follows one that already moved.
    for (int v = 0; v < m_tops.size(); ++v) {
        if (m_tops[v] > -m_rowHeight) {
            m_tops[v] = bounded(m_tops[v] - m_step);
        } else {
            m_tops[v] = bounded(m_tops[m_last] + m_rowHeight + m_hGap);
            m_last = v;
        }
    }
}

void TickerMotion::setStrip(int stripWidth, int anchorWidth) {
    m_stripWidth = stripWidth;
    m_elements[0].width = anchorWidth;
}

void TickerMotion::chainLeft() {
    for (int i = 1; i < m_elements.size(); ++i)
        m_elements[i].left = bounded(m_elements[i - 1].left + m_elements[i - 1].width + 100);
}

void TickerMotion::chainRight() {
    for (int i = 1; i < m_elements.size(); ++i)
        m_elements[i].left = bounded(m_elements[i - 1].left - m_elements[i].width - 100);
}

void TickerMotion::build(Train train, bool withinTick) {
    if (train == LeftTrain)
        placeAnchorRight();
    if (!withinTick || m_loadedSerial != m_tickSerial || m_loadedTrain != train) {
        m_widths = load ? load(train) : QVector<int>();
        m_loadedSerial = m_tickSerial;
        m_loadedTrain = train;
        ++m_builds;
    }
    m_elements.resize(1);
    for (int k = 0; k < m_widths.size(); ++k)
        m_elements.append(Element{0, m_widths[k], k});
    if (train == LeftTrain)
        chainLeft();
    else
        chainRight();
    m_train = train;
}

void TickerMotion::resetLeft() {
    m_elements[0].left = m_stripWidth;
    chainLeft();
}

void TickerMotion::resetRight() {
    m_elements[0].left = 0;
    chainRight();
}

void TickerMotion::unload() {
    m_elements.resize(1);
    m_widths.clear();
    m_loadedSerial = -1;
}

void TickerMotion::switchTo(Train train) {
    if (train == RightTrain)
        resetRight();
    else
        resetLeft();
    build(train, true);
    if (switched)
        switched(train);
}

void TickerMotion::tickLeft(double step) {
    ++m_tickSerial;
    if (m_elements.size() == 1)
        switchTo(RightTrain);
    // The bound is taken once, as the elements may be rebuilt inside the loop.
    const int bound = int(m_elements.size());
    for (int i = 0; i < bound; ++i) {
        const Element& last = m_elements.last();
        if (-last.width >= last.left)
            switchTo(RightTrain);
        else if (i < m_elements.size())
            m_elements[i].left = bounded(m_elements[i].left - step);
    }
}

void TickerMotion::tickRight(double step) {
    ++m_tickSerial;
    if (m_elements.size() == 1)
        switchTo(LeftTrain);
    const int bound = int(m_elements.size());
    for (int i = 0; i < bound; ++i) {
        const Element& last = m_elements.last();
        if (last.left >= m_stripWidth)
            switchTo(LeftTrain);
        else if (i < m_elements.size())
            m_elements[i].left = bounded(m_elements[i].left + step);
    }
}

} // namespace quoteria
