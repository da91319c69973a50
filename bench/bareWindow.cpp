// The yardstick for benchTallowickStart: a bare Qt Widgets main window of
// the same size, style and menu bar, and nothing else, ending as soon as its
// first frame has been painted:
//   benchBareStart [--report] [--size WxH]
// The size is Tallowick's main window's (benchTallowickStart --report
// prints it); without --size, 776x568, its size with the classic font.
#include "FirstPaint.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyleFactory>
#include <QWidget>

#include <memory>

int main(int argc, char* argv[]) {
    bench::silenceOffscreenNotice();
    const bool report = bench::hasFlag(argc, argv, "--report");
    int status = 1;
    try {
        QApplication application(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Bare"));
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Bare"));
        // Parent-owned: the window deletes them.
        auto* central = new QWidget(&window);
        window.setCentralWidget(central);
        QMenuBar* bar = window.menuBar();
        QMenu* file = bar->addMenu(QStringLiteral("File"));
        file->addAction(QStringLiteral("Load Rom"));
        file->addAction(QStringLiteral("Free Rom"));
        file->addSeparator();
        file->addAction(QStringLiteral("Exit"));
        QMenu* help = bar->addMenu(QStringLiteral("Help"));
        help->addAction(QStringLiteral("iNES Format (.NES) Info"));
        help->addSeparator();
        help->addAction(QStringLiteral("About"));

        // The same geometry as Tallowick's main window, menu bar included:
        // the backing store and the area painted are as large.
        window.setFixedSize(bench::sizeOption(argc, argv, QSize(776, 568)));
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            window.move(screen->availableGeometry().center() - window.rect().center());
        }

        status = bench::showUntilFirstPaint(window, report);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "error: %s\n", error.what());
        status = 1;
    }
    return status;
}
