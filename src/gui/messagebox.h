#pragma once
// Shows operator messages as message boxes titled with the program's name.
#include "data/messageservice.h"

class QWidget;

namespace quoteria {

class BoxMessages : public MessageService {
protected:
    void present(const QString& text, MsgIcon icon, const QString& title) override;
    MsgAnswer question(const QString& text, const QString& title, MsgIcon icon) override;
    MsgAnswer questionWithCancel(const QString& text, const QString& title, MsgIcon icon) override;
};

} // namespace quoteria
