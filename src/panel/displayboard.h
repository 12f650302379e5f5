#pragma once
// The full-screen board window behind the panel's board controls.
#include "panel/boardcontrol.h"

namespace quoteria {

// Creates a DisplayWindow for each start.
BoardFactory displayBoardFactory();

} // namespace quoteria
