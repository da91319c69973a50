// The main form alone: Tallowick's application set-up and the main window's
// generated form (every control of the first frame, the same font, style
// and size), without any of the window's own code (no document, settings,
// undo stack, menus filled in or areas). Ending at its first frame, it
// shows what the form itself costs, between the bare window and Tallowick:
//   benchFormStart [--report]
#include "FirstPaint.h"
#include "Platform.h"
#include "ui_Gui.h"

#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    bench::silenceOffscreenNotice();
    const bool report = bench::hasFlag(argc, argv, "--report");
    int status = 1;
    try {
        QApplication application(argc, argv);
        platform::initializeApplication();
        QMainWindow window;
        Ui::TfrmMain form;
        form.setupUi(&window);
        window.resize(bench::sizeOption(argc, argv, QSize(776, 568)));

        status = bench::showUntilFirstPaint(window, report);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        status = 1;
    }
    return status;
}
