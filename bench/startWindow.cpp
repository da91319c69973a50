// Start-up of Tallowick as app/main.cpp does it, ending as soon as the main
// window's first frame has been painted:
//   benchTallowickStart [--report]
// With --report it prints the time from static initialisation to that
// frame; the wall time of the whole process is measured from outside.
#include "FirstPaint.h"
#include "Gui.h"
#include "Platform.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    bench::silenceOffscreenNotice();
    const bool report = bench::hasFlag(argc, argv, "--report");
    std::unique_ptr<QApplication> application;
    platform::DialogPrompts prompts;
    int status = 1;
    try {
        application = std::make_unique<QApplication>(argc, argv);
        platform::initializeApplication();

        ApplicationForms forms(prompts);

        status = bench::showUntilFirstPaint(*frmMain, report);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        status = 1;
    }
    return status;
}
