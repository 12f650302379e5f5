#include "panel/aboutwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quoteria {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Developed By"));
    auto* box = new QVBoxLayout(this);
    auto* name =
        new QLabel(QStringLiteral("<b>Quoteria</b> %1").arg(QLatin1String(QUOTERIA_VERSION)), this);
    name->setObjectName(QStringLiteral("lblName"));
    box->addWidget(name);
    box->addWidget(new QLabel(QStringLiteral("Rate board for currency-exchange counters"), this));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    box->addWidget(ok, 0, Qt::AlignRight);
}

} // namespace quoteria
