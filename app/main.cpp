// Tallowick: views, checks and edits the 16-byte header of iNES and NES 2.0
// cartridge images. `tallowick FILE` opens FILE at start, as Load Rom would.
#include "Gui.h"
#include "Platform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum class Start { window, done, refused };

// The options of the command line, read before any window or display is
// needed: --help and --version print and end; an unknown option is refused.
// Qt's own options (-style, -platform, ...) are left for QApplication.
Start readOptions(int argc, char* argv[]) {
    bool options = false;
    for (int at = 1; at < argc && std::strcmp(argv[at], "--") != 0; ++at) {
        options = options || argv[at][0] == '-';
    }
    if (!options) {
        return Start::window; // no need to look closer: start at once
    }
    int count = argc;
    QCoreApplication core(count, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tallowick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALLOWICK_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Views, checks and edits the 16-byte header of iNES and NES 2.0 cartridge "
                       "images\n(.nes files) in a window. FILE is opened at start."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({"h", "help"}, QStringLiteral("Show this help and end."));
    const QCommandLineOption version({"v", "version"}, QStringLiteral("Show the version and end."));
    parser.addOption(help);
    parser.addOption(version);
    // Qt's own options, taken by QApplication: those with a value, then the others.
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "style",
                             "stylesheet", "display", "geometry", "qwindowgeometry", "title",
                             "qwindowtitle", "qwindowicon", "session", "qmljsdebugger"}) {
        QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption qt(QString::fromLatin1(name));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The cartridge image to open."), "[FILE]");
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "tallowick: %s\nTry 'tallowick --help'.\n",
                     qPrintable(parser.errorText()));
        return Start::refused;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.replace(QCoreApplication::arguments().constFirst(), QStringLiteral("tallowick"));
        std::fputs(qPrintable(text), stdout);
        return Start::done;
    }
    if (parser.isSet(version)) {
        std::printf("tallowick %s\n", TALLOWICK_VERSION);
        return Start::done;
    }
    return Start::window;
}

} // namespace

int main(int argc, char* argv[]) {
    switch (readOptions(argc, argv)) {
    case Start::done:
        return 0;
    case Start::refused:
        return 2;
    case Start::window:
        break;
    }
    std::unique_ptr<QApplication> application;
    platform::DialogPrompts prompts;
    try {
        // QApplication takes its own options (-style, -platform, ...) out of argv.
        application = std::make_unique<QApplication>(argc, argv);
        platform::initializeApplication();

        ApplicationForms forms(prompts);
        frmMain->show();
        // The file's name reaches the system byte for byte, as it was given.
        for (int at = 1; at < argc; ++at) {
            if (std::strcmp(argv[at], "--") != 0) {
                frmMain->LoadFile(QByteArray(argv[at]));
                break;
            }
        }
        QApplication::exec();
    } catch (const std::exception& error) {
        if (application) {
            prompts.showError(QString::fromStdString(error.what()));
        }
    } catch (...) {
        if (application) {
            prompts.showError(QString());
        }
    }
    return 0;
}
