#include "app/commandline.h"

#include "app/jobs.h"
#include "data/messageservice.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <memory>

namespace quoteria {

namespace {

// What a job needs to run: Qt Core only, drawing (fonts, offscreen), windows
// (offscreen unless a platform is chosen) or the real display.
enum class Needs { Core, Drawing, Windows, Display };

struct Command {
    const char* flag;
    Needs needs;
    std::function<int(const QStringList&)> run;
};

} // namespace

// Jobs defined elsewhere.
int renderBoardCommand(const QStringList& args);
int benchBoardCommand(const QStringList& args);
int renderPreviewCommand(const QStringList& args);
int benchPreviewEditCommand(const QStringList& args);
int benchWindowCommand(const QStringList& args);

int runCommandLine(int argc, char** argv) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Command commands[] = {
        // The demonstration's pictures and video frames are drawn with text.
        {"--init-db", Needs::Drawing, initDbCommand},
        {"--render-board", Needs::Drawing, renderBoardCommand},
        {"--render-preview", Needs::Drawing, renderPreviewCommand},
        {"--bench-board", Needs::Drawing, benchBoardCommand},
        {"--bench-preview-edit", Needs::Windows, benchPreviewEditCommand},
        {"--rtf2html", Needs::Core, rtfToHtmlCommand},
        {"--feed-once", Needs::Core, feedOnceCommand},
        // Pictures are decoded to check them: offscreen, as for rendering.
        {"--export-theme", Needs::Drawing, exportThemeCommand},
        {"--import-theme", Needs::Drawing, importThemeCommand},
        {"--read-cells", Needs::Core, readCellsCommand},
        {"--export-history", Needs::Core, exportHistoryCommand},
        {"--install-autostart", Needs::Core, installAutostartCommand},
        {"--remove-autostart", Needs::Core, removeAutostartCommand},
        {"--bench-window", Needs::Display, benchWindowCommand},
    };
    for (const Command& c : commands) {
        if (!args.contains(QLatin1String(c.flag)))
            continue;
        if (c.needs == Needs::Display && !displayAvailable()) {
            std::fprintf(stderr,
                         "quoteria: no display found (DISPLAY is not set); %s needs "
                         "a screen.\n",
                         c.flag);
            return 3;
        }
        if (c.needs != Needs::Core) {
            // Drawing needs fonts but no screen: run without a display.
            if (c.needs != Needs::Display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            std::unique_ptr<QGuiApplication> app(c.needs == Needs::Drawing
                                                     ? new QGuiApplication(argc, argv)
                                                     : new QApplication(argc, argv));
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
