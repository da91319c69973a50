// Shared by the start-up benchmarks: the moment the program began (taken
// while static objects are built, before main), a message handler that drops
// the offscreen plugin's per-window notice, and an event filter that ends
// the event loop once a window's first frame has been painted and flushed.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include <chrono>
#include <cstdio>
#include <cstring>

namespace bench {

using Clock = std::chrono::steady_clock;

// Set during static initialisation, i.e. after the dynamic loader has
// mapped and relocated Qt but before main runs.
inline const Clock::time_point programStart = Clock::now();

inline double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline QtMessageHandler previousHandler = nullptr;

inline void quietHandler(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    }
}

inline void silenceOffscreenNotice() {
    previousHandler = qInstallMessageHandler(quietHandler);
}

// True when the command line holds `flag`.
inline bool hasFlag(int argc, char* argv[], const char* flag) {
    for (int index = 1; index < argc; ++index) {
        if (std::strcmp(argv[index], flag) == 0) {
            return true;
        }
    }
    return false;
}

// Watches one top-level window. Its first Paint event starts the first
// frame; the children are painted and the backing store is flushed in the
// same pass, so a call queued from there runs once the frame is complete.
// That call ends the event loop and, when asked, prints how long it took
// and the window's size (the bare window is made that size to compare).
// The value of `--size WxH` on the command line, or `fallback`.
inline QSize sizeOption(int argc, char* argv[], QSize fallback) {
    for (int index = 1; index + 1 < argc; ++index) {
        int width = 0;
        int height = 0;
        if (std::strcmp(argv[index], "--size") == 0 &&
            std::sscanf(argv[index + 1], "%dx%d", &width, &height) == 2 && width > 0 &&
            height > 0) {
            return {width, height};
        }
    }
    return fallback;
}

class FirstPaintQuit : public QObject {
public:
    explicit FirstPaintQuit(bool report, QObject* parent = nullptr)
        : QObject(parent), report(report) {
        // A window that never paints must not hang a benchmark run.
        QTimer::singleShot(10000, this, [] {
            std::fprintf(stderr, "no paint within 10 s\n");
            QCoreApplication::exit(1);
        });
    }

    bool painted() const { return done; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            const auto* window = qobject_cast<const QWidget*>(watched);
            const QSize size = window != nullptr ? window->size() : QSize();
            QMetaObject::invokeMethod(
                this,
                [this, size] {
                    done = true;
                    if (report) {
                        std::printf("first paint %.3f ms after static initialisation\n"
                                    "window %dx%d\n",
                                    millisecondsSince(programStart), size.width(), size.height());
                        std::fflush(stdout);
                    }
                    QCoreApplication::exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool report;
    bool seen = false;
    bool done = false;
};

// Shows `window` and runs the event loop until its first frame is complete:
// the loop's exit status, or 1 when the window never painted.
inline int showUntilFirstPaint(QWidget& window, bool report) {
    FirstPaintQuit firstPaint(report);
    window.installEventFilter(&firstPaint);
    window.show();
    const int status = QCoreApplication::exec();
    window.removeEventFilter(&firstPaint);
    return firstPaint.painted() ? status : 1;
}

} // namespace bench
