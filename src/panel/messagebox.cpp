#include "panel/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace quoteria {

namespace {
QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString titleOr(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Quoteria") : title;
}
} // namespace

void BoxMessages::present(const QString& text, MsgIcon icon, const QString& title) {
    QMessageBox box(boxIcon(icon), titleOr(title), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

MsgAnswer BoxMessages::question(const QString& text, const QString& title, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

MsgAnswer BoxMessages::questionWithCancel(const QString& text, const QString& title, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), titleOr(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    const int r = box.exec();
    return r == QMessageBox::Yes  ? MsgAnswer::Yes
           : r == QMessageBox::No ? MsgAnswer::No
                                  : MsgAnswer::Cancel;
}

} // namespace quoteria
