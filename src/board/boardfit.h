#pragma once
// Where a board drawn for one screen stands on another: scaled uniformly to fit and
// centred, and turned for screens mounted on their side that cannot turn themselves.
#include "board/boardinputs.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTransform>

class QPainter;

namespace quoteria {

struct BoardPlacement {
    QSize screen;      // pixels as the system reports them
    QSize design;      // the theme's own screen; empty: the frame itself
    bool fit = false;  // off: the design drawn 1:1 from the top-left corner
    int rotation = 0;  // 0, 90, 180 or 270 degrees clockwise

    // The placement of a board's inputs on a screen; its design size read from the theme.
    static BoardPlacement of(const BoardInputs& inputs, const QSize& screen, bool fit,
                             int rotation);
    static bool validRotation(int degrees);
    // The surface the board is laid out on: the screen, turned back for 90 and 270.
    QSize frame() const;
    // Screen pixels per design pixel: 1 without fit.
    double scale() const;
    // Where the scaled design's top-left corner stands in the frame.
    QPoint origin() const;
    // The scaled design in the frame.
    QRect boardRect() const;
    // Frame coordinates to screen coordinates.
    QTransform toScreen() const;
    QRect toScreen(const QRect& frameRect) const;
    QRect toFrame(const QRect& screenRect) const;
};

// A player on a turned board's zone: its widget stands on the turned rectangle and
// its picture is painted upright for the board, turned like the board itself.
struct PlayerTurn {
    int rotation = 0; // as the board's: 0, 90, 180 or 270 degrees clockwise

    // The picture's own size in a widget of that size: turned back for 90 and 270.
    QSize upright(const QSize& widget) const;
    // Upright picture coordinates to widget coordinates.
    QTransform toWidget(const QSize& widget) const;
    // Turns painter for a widget of that size; at 0 it is left alone, costing nothing.
    void apply(QPainter& painter, const QSize& widget) const;
};

} // namespace quoteria
