#pragma once
// A window that may hold typing not yet saved. Closing it, or ending the program,
// first asks the operator what to do with that typing.
#include "data/messageservice.h"

#include <QString>

namespace quoteria {

class UnsavedWork {
public:
    virtual ~UnsavedWork() = default;
    // True while something typed is not saved.
    virtual bool hasUnsavedWork() const = 0;
    // Asks Yes / No / Cancel. Yes saves, No drops the typing. False when the operator
    // cancelled or the save failed: the window then stays open with what was typed.
    virtual bool settleUnsavedWork() = 0;
};

// The question a window asks before its typing is lost: `changed` says what changed
// ("The theme has changed."). Yes runs save; No drops the typing. False when the
// operator cancelled or the save failed (the save says why).
template <typename Save> bool askToSaveChanges(const QString& changed, Save save) {
    const MsgAnswer a =
        messages().askYesNoCancel(changed + QStringLiteral("\nDo you want to save the changes ?"),
                                  QStringLiteral("Veltracor"), MsgIcon::Warning);
    if (a == MsgAnswer::Cancel)
        return false;
    return a == MsgAnswer::No || save();
}

} // namespace quoteria
