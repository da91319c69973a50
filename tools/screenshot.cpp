// Saves pictures of Tallowick's windows with a sample loaded, for the README
// and for checking the layout by eye:
//   screenshot OUTDIR SAMPLE.nes
// The sample is copied to a temporary folder first; it is never written.
#include "Format.h"
#include "Gui.h"
#include "Platform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Answers every box with OK and the file dialog with one chosen file.
class FixedAnswers : public platform::Prompts {
public:
    explicit FixedAnswers(QString file) : file(std::move(file)) {}
    platform::Answer message(const QString& text, const QString&, platform::Buttons) override {
        std::printf("box: %s\n", qPrintable(text));
        return platform::Answer::ok;
    }
    bool chooseFile(const QString&, const QString&, QString& fileName) override {
        fileName = file;
        return true;
    }
    void showError(const QString& message) override {
        std::printf("error box: %s\n", qPrintable(message));
    }

private:
    QString file;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::initializeApplication();
    if (argc < 3) {
        std::fprintf(stderr, "usage: screenshot OUTDIR SAMPLE.nes\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("sample.nes"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[2]), copy)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[2]);
        return 2;
    }
    FixedAnswers answers(copy);
    ApplicationForms forms(answers);
    TfrmMain& window = *frmMain;
    TfrmFormatInfo& info = *frmFormatInfo;
    window.show();
    info.show();
    QApplication::processEvents();

    window.findChild<QAction*>(QStringLiteral("mnuLoad"))->trigger();
    // With no window manager, activate the window as a desktop would.
    window.activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (!window.isActiveWindow() && waited.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    // Show a highlight, as after clicking the mapper number.
    window.findChild<QLineEdit*>(QStringLiteral("txtMapperNum"))->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();

    bool ok = window.grab().save(QDir(outDir).filePath(QStringLiteral("main-window.png"))) &&
              info.grab().save(QDir(outDir).filePath(QStringLiteral("format-window.png")));
    return ok ? 0 : 1;
}
