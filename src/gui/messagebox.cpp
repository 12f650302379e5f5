#include "gui/messagebox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

// Qt sizes a message box to its text only; a short message left the title bar
// too narrow for the caption. The box keeps room for the caption (bold in most
// title bars) and the frame's buttons.
void roomForTitle(QMessageBox& box) {
    QFont bold = box.font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 120;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}
} // namespace

void BoxMessages::present(const QString& text, MsgIcon icon, const QString& title) {
    QMessageBox box(boxIcon(icon), titleOr(title), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    roomForTitle(box);
    box.exec();
}

MsgAnswer BoxMessages::question(const QString& text, const QString& title, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    roomForTitle(box);
    return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

MsgAnswer BoxMessages::questionWithCancel(const QString& text, const QString& title, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), titleOr(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QApplication::activeWindow());
    roomForTitle(box);
    const int r = box.exec();
    return r == QMessageBox::Yes  ? MsgAnswer::Yes
           : r == QMessageBox::No ? MsgAnswer::No
                                  : MsgAnswer::Cancel;
}

} // namespace quoteria
