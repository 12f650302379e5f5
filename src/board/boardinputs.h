#pragma once
// Everything a board shows, handed to the engine whole: a preview or theme editor
// can show a theme that was never saved, a test a board without a database.
#include "board/boardlayout.h"
#include "board/boardmotion.h"
#include "data/themestore.h"

#include <QColor>
#include <QString>
#include <QVector>
#include <optional>

namespace quoteria {

// One active currency: name, five values, flag picture and alarm state.
struct RateRow {
    qint64 key = 0;  // currAuto; 0 for a row with no stored currency
    QString text[6]; // 0 name, 1..5 values
    QString img;
    QString vstate; // "N" normal, "H" high, anything else low
};

// One ticker message with its own font and colour.
struct NewsLine {
    QString text;
    QString fontName;
    double fontSize = 0;
    bool bold = false;
    bool italic = false;
    QColor colour;
};

// How alarm states colour the rows.
struct RowColouring {
    bool monitor = false; // the panel's "Start Monitor" box
    bool alarms = false;  // the monitor's colouring setting
    QColor high, low;     // rows in state "N", and every row when off, take the theme's colour
};

struct BoardRows {
    QVector<RateRow> rates; // in board order
    RowColouring colouring;
};

// Scroll circulates the rows, Page shows them a page at a time, Fixed (any other
// stored choice) lays them out once and keeps them still.
enum class TableMotion { Scroll, Page, Fixed };

struct MotionProfile {
    TableMotion table = TableMotion::Scroll;
    int pageIntervalMs = 3000;
    double tickerStep = 30; // twips per tick, for this surface
    double titleStep = 30;  // the marquee's twips per tick, for this surface
    double tableStep = 5;   // twips per tick, for this surface
    BoardProfile surface;
    int twipsPerPixel = 15;
};

struct BoardInputs {
    BoardTheme theme; // with its zones and header captions
    BoardRows rows;
    QVector<NewsLine> news[2]; // by TickerMotion::Train
    MotionProfile motion;
    QString clockFolder; // where the clock faces named by themes are found
};

// Where a running board gets fresh rows and news for its timed refreshes.
class BoardSource {
public:
    virtual ~BoardSource() = default;
    virtual BoardRows rows() = 0;
    virtual QVector<NewsLine> news(TickerMotion::Train train) = 0;
    // One currency by key, active or not (a kept row of a short last page).
    virtual std::optional<RateRow> rate(qint64 key) = 0;
};

} // namespace quoteria
