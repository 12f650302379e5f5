#pragma once
// A window that may hold typing not yet saved. Closing it, or ending the program,
// first asks the operator what to do with that typing.
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

} // namespace quoteria
