#include "panel/splash.h"

#include "panel/startupcheck.h"

#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace quoteria {

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setStyleSheet(QStringLiteral("background:#0c2a52;color:white;"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Quoteria"), this);
    QFont f = name->font();
    f.setPointSize(28);
    f.setBold(true);
    name->setFont(f);
    name->setAlignment(Qt::AlignCenter);
    auto* sub = new QLabel(QStringLiteral("Exchange rate board"), this);
    sub->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    layout->addWidget(sub);
    resize(420, 220);
}

int SplashWindow::twipsPerPixel() const {
    const QScreen* s = screen();
    return twipsPerPixelFor(s ? s->logicalDotsPerInch() : 96.0);
}

void SplashWindow::startTimer(int ms) {
    QTimer::singleShot(ms, this, [this] {
        close();
        Q_EMIT finished();
    });
}

} // namespace quoteria
