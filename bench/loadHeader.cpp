// Time to load a cartridge image and show its header in the real main
// window, through the File > Load Rom menu item:
//   benchLoad FILE.nes [LOADS]
// Each round frees the image (not timed), then triggers Load Rom and lets the
// window repaint (timed). The file is opened for update, as the program
// does; a clean iNES header is never written to.
#include "FirstPaint.h"
#include "Format.h"
#include "Gui.h"
#include "Platform.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QStyleFactory>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Answers the file dialog with one file and every box with OK, counting the
// boxes: a box means the load did not go as planned.
class FixedAnswers : public platform::Prompts {
public:
    explicit FixedAnswers(QString file) : file(std::move(file)) {}
    platform::Answer message(const QString& text, const QString&, platform::Buttons) override {
        ++boxes;
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return platform::Answer::ok;
    }
    bool chooseFile(const QString&, const QString&, QString& fileName) override {
        fileName = file;
        return true;
    }
    bool chooseFolder(const QString&, QString&) override { return false; }
    bool confirm(QDialog&) override { return false; }
    void showError(const QString& message) override {
        ++boxes;
        std::fprintf(stderr, "error box: %s\n", qPrintable(message));
    }
    int boxes = 0;

private:
    QString file;
};

// Counts the paint events a window tree receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

double microseconds(bench::Clock::duration span) {
    return std::chrono::duration<double, std::micro>(span).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double mean(const std::vector<double>& values) {
    double sum = 0;
    for (double value : values) {
        sum += value;
    }
    return sum / static_cast<double>(values.size());
}

} // namespace

int main(int argc, char* argv[]) {
    bench::silenceOffscreenNotice();
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc < 2) {
        std::fprintf(stderr, "usage: benchLoad FILE.nes [LOADS]\n");
        return 2;
    }
    const int loads = argc > 2 ? std::atoi(argv[2]) : 2000;
    if (loads < 1) {
        std::fprintf(stderr, "LOADS must be a positive number\n");
        return 2;
    }
    const int warmUp = std::max(10, loads / 20);

    FixedAnswers answers(QString::fromLocal8Bit(argv[1]));
    TfrmMain window(answers);
    frmMain = &window;
    TfrmFormatInfo info;
    frmFormatInfo = &info;
    window.show();
    QApplication::processEvents();

    QAction* load = window.findChild<QAction*>(QStringLiteral("mnuLoad"));
    QAction* release = window.findChild<QAction*>(QStringLiteral("mnuFree"));
    if (load == nullptr || release == nullptr) {
        std::fprintf(stderr, "the window has no mnuLoad or mnuFree action\n");
        return 1;
    }
    PaintCounter counter;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        widget->installEventFilter(&counter);
    }

    std::vector<double> loadTimes;
    std::vector<double> displayTimes;
    loadTimes.reserve(static_cast<std::size_t>(loads));
    displayTimes.reserve(static_cast<std::size_t>(loads));
    int paintsTimed = 0;
    for (int round = 0; round < warmUp + loads; ++round) {
        release->trigger();
        QApplication::processEvents();
        const int paintsBefore = counter.paints;

        const auto start = bench::Clock::now();
        load->trigger();
        const auto loaded = bench::Clock::now();
        QApplication::processEvents();
        const auto shown = bench::Clock::now();

        if (!window.romLoaded || answers.boxes != 0) {
            std::fprintf(stderr, "load %d failed\n", round);
            return 1;
        }
        if (round >= warmUp) {
            loadTimes.push_back(microseconds(loaded - start));
            displayTimes.push_back(microseconds(shown - start));
            paintsTimed += counter.paints - paintsBefore;
        }
    }
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        widget->removeEventFilter(&counter);
    }
    frmMain = nullptr;
    frmFormatInfo = nullptr;

    std::printf("file %s\n", argv[1]);
    std::printf("loads %d\n", loads);
    std::printf("load_display_us_mean %.2f\n", mean(displayTimes));
    std::printf("load_display_us_median %.2f\n", median(displayTimes));
    std::printf("load_only_us_mean %.2f\n", mean(loadTimes));
    std::printf("paints_per_load %.1f\n", paintsTimed / static_cast<double>(loads));
    return 0;
}
