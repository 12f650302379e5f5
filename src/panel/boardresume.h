#pragma once
// A board that was running when the program last ended, started again before
// anyone logs in. The panel takes it over after the login.
#include "board/runningmark.h"
#include "panel/boardcontrol.h"

#include <functional>
#include <memory>
#include <optional>

namespace quoteria {

struct ResumedBoard {
    std::unique_ptr<BoardControl> board;
    RunningMark mark;
};

// Where the running mark of this configuration lives.
QString runningMarkPathOf(const AppContext& ctx);

// The board of the running mark, shown, its ticker and pause as they were; nothing
// when resuming is off, no board was running or its theme cannot be shown (each
// said in one log line). monitorOn is asked live, as the panel's choices are.
std::optional<ResumedBoard> resumeBoard(AppContext& ctx, const BoardFactory& factory,
                                        std::function<bool()> monitorOn);

} // namespace quoteria
