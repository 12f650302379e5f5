#pragma once
// The board's motion, advanced one timer tick at a time with the board's own step
// rules: the scrolling table rows, the pages, the title marquee and the two news
// trains. Positions are twips, held as real numbers so that a half-speed surface
// (the preview) moves by exact half steps; nothing here draws.
#include <QVector>
#include <functional>

namespace quoteria {

// Upward circulation of the table rows (Timer7). Rows are 0-based here.
class TableScroll {
public:
    void reset(int rowCount, double firstTop, double rowStep, double rowHeight, double hGap,
               double step);
    // One tick: rows still (partly) in the zone move up by the step; a row that has
    // left the top is placed hGap below the row that is currently last.
    void tick();
    int rowCount() const { return int(m_tops.size()); }
    double top(int row) const { return m_tops.at(row); }
    const QVector<double>& tops() const { return m_tops; }
    // The row that is currently last in circular order.
    int lastRow() const { return m_last; }

private:
    QVector<double> m_tops;
    int m_last = -1;
    double m_rowHeight = 0;
    double m_hGap = 0;
    double m_step = 0;
};

// Page mode (Timer1): the page now shown and the page count of the last read.
struct PageState {
    int currentPage = 1;
    int pageCount = 0;
    // Next page, back to 1 after the last (and on the first call, when the count is
    // not known yet).
    void advance() { currentPage = currentPage >= pageCount ? 1 : currentPage + 1; }
};

// The title marquee (Timer2).
struct Marquee {
    double xpos = 0;    // left edge of the text relative to the title zone
    bool drawn = false; // false on the tick between two passes (and before the first)
    void tick(double textWidth, double zoneWidth, double step) {
        if (xpos > -textWidth) {
            xpos -= step;
            drawn = true;
        } else {
            xpos = zoneWidth;
            drawn = false;
        }
    }
};

// The news trains (Timer4 left-running, Timer5 right-running). Element 0 is the
// anchor; elements 1..n are the messages of the train being shown.
class TickerMotion {
public:
    enum Train { LeftTrain, RightTrain };
    struct Element {
        double left = 0;
        int width = 0;
        int message = -1; // index into the loaded messages of the train; -1 for the anchor
    };

    // Reads the train's messages and returns their widths (twips), in query order.
    std::function<QVector<int>(Train)> load;
    // Called after a switch: the train that now moves (its timer on, the other off).
    std::function<void(Train)> switched;

    void setStrip(int stripWidth, int anchorWidth);
    int stripWidth() const { return m_stripWidth; }

    // getScpos: the anchor to the strip's right edge.
    void placeAnchorRight() { m_elements[0].left = m_stripWidth; }
    // getSnews / getSnews1: destroys the messages and builds the train from `load`.
    // Inside a tick a train built again in the same tick reuses the rows just read.
    void build(Train train, bool withinTick = false);
    // resetLbl / resetLbl1: re-chains the present elements from the anchor.
    void resetLeft();
    void resetRight();
    // Destroys elements 1..n; the anchor stays.
    void unload();

    // One tick of Timer4 / Timer5 with the step in twips.
    void tickLeft(double step);
    void tickRight(double step);

    Train train() const { return m_train; }
    int count() const { return int(m_elements.size()); } // anchor included
    const Element& element(int i) const { return m_elements.at(i); }
    // Number of trains built since the last call (tests and the renderer use it).
    int takeBuilds() {
        const int b = m_builds;
        m_builds = 0;
        return b;
    }

private:
    void switchTo(Train train);
    void chainLeft();
    void chainRight();

    QVector<Element> m_elements{Element{}};
    QVector<int> m_widths;
    Train m_train = LeftTrain;
    int m_stripWidth = 0;
    int m_builds = 0;
    int m_tickSerial = 0;
    int m_loadedSerial = -1;
    Train m_loadedTrain = LeftTrain;
};

} // namespace quoteria
