// The main() of a QtTest binary of ours: runs as an ordinary user, offscreen
// unless told otherwise, with Qt's start-up noise filtered out.
#pragma once

#include "TestFiles.h"

#include "Platform.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

namespace harness {

inline QtMessageHandler previousHandler = nullptr;

inline void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The offscreen platform's own notes about what it cannot do.
    if (text.contains(QLatin1String("propagateSizeHints")) ||
        text.contains(QLatin1String("does not support raise")) ||
        text.contains(QLatin1String("does not support grabbing")) ||
        text.contains(QLatin1String("XDG_RUNTIME_DIR"))) {
        return;
    }
    previousHandler(type, context, text);
}

// Call from initTestCase(): QTest replaces the handler when it starts.
inline void filterNoise() {
    previousHandler = qInstallMessageHandler(quietHandler);
}

template <typename Tests> int runTests(int argc, char** argv) {
    testfiles::becomeOrdinaryUser();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Settings (recent files) go to a test folder, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    platform::initializeApplication();
    QSettings().clear();
    Tests tests;
    return QTest::qExec(&tests, argc, argv);
}

} // namespace harness
