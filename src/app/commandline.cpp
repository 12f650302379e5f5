#include "app/commandline.h"

#include "app/jobs.h"
#include "data/messageservice.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <functional>

namespace quoteria {

namespace {

struct Command {
    const char* flag;
    bool needsGui; // needs a QGuiApplication (offscreen rendering)
    std::function<int(const QStringList&)> run;
};

} // namespace

// Jobs defined elsewhere.
int renderBoardCommand(const QStringList& args);
int benchBoardCommand(const QStringList& args);

int runCommandLine(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Command commands[] = {
        {"--init-db", false, initDbCommand},
        {"--render-board", true, renderBoardCommand},
        {"--bench-board", true, benchBoardCommand},
        {"--rtf2html", false, rtfToHtmlCommand},
        // Pictures are decoded to check them: offscreen, as for rendering.
        {"--export-theme", true, exportThemeCommand},
        {"--import-theme", true, importThemeCommand},
    };
    for (const Command& c : commands) {
        if (!args.contains(QLatin1String(c.flag)))
            continue;
        if (c.needsGui) {
            // Drawing needs fonts but no window: run without a display.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication app(argc, argv);
            setMessageService(nullptr);
            return c.run(args);
        }
        QCoreApplication app(argc, argv);
        setMessageService(nullptr);
        return c.run(args);
    }
    return -1;
}

bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace quoteria
