#include "app/commandline.h"
#include "app/program.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    const int rc = quoteria::runCommandLine(argc, argv);
    if (rc >= 0)
        return rc;
    if (!quoteria::displayAvailable()) {
        std::fprintf(
            stderr, "quoteria: no display found (DISPLAY is not set); the board needs a screen.\n");
        return 3;
    }
    // The HTML page's engine is loaded late, only by a board that shows one.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quoteria"));
    return quoteria::runProgram(app);
}
