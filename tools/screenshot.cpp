// Saves pictures of Tallowick's windows, for the README and for checking the
// layout by eye:
//   screenshot OUTDIR SAMPLES [VARIANT]
// SAMPLES is the samples folder; the samples and the sample header database
// are copied to a temporary folder first and never written. With a VARIANT
// ("scaled", "dark", "large") only main-window-VARIANT.png is made, the dark
// one with a dark colour scheme set on the application, the large one with
// a desktop font of 16 points. The pictures:
//   main-window.png   an NES 2.0 image, its mapper number clicked
//   check-area.png    an image the header database lists with other fields
//   findings.png      an image whose header does not fit the file
//   format-window.png, nes2-format-window.png   the two reference pages
//   collection-window.png   the samples folder as a collection, with the database
//   repair-preview.png      what Fix from Database would write to every sample
#include "Collection.h"
#include "Format.h"
#include "Gui.h"
#include "Platform.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

// Answers every box with OK and the file dialog with the next name.
class FixedAnswers : public platform::Prompts {
public:
    QStringList files;
    platform::Answer message(const QString& text, const QString&, platform::Buttons) override {
        std::printf("box: %s\n", qPrintable(text));
        return platform::Answer::ok;
    }
    bool chooseFile(const QString&, const QString&, QString& fileName) override {
        if (files.isEmpty()) {
            return false;
        }
        fileName = files.takeFirst();
        return true;
    }
    bool chooseFolder(const QString& title, QString& folder) override {
        return chooseFile(title, {}, folder);
    }
    // The preview of a repair is photographed, then cancelled.
    std::function<void(QDialog&)> onConfirm;
    bool confirm(QDialog& dialog) override {
        if (onConfirm) {
            onConfirm(dialog);
        }
        return false;
    }
    void showError(const QString& message) override {
        std::printf("error box: %s\n", qPrintable(message));
    }
};

// Lets the window settle: events, the background reading, a repaint.
void settle(QWidget& window) {
    window.activateWindow();
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 700) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::initializeApplication();
    if (argc < 3) {
        std::fprintf(stderr, "usage: screenshot OUTDIR SAMPLES [scaled|dark]\n");
        return 2;
    }
    const QString variant = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (variant == "large") { // a desktop font of 16 points
        QFont desktop;
        desktop.setPointSize(16);
        QApplication::setFont(platform::classicFont(desktop));
    }
    if (variant == "dark") {
        // Breeze Dark's colours: the button and window shades, then the text.
        QPalette dark(QColor(0x31363B), QColor(0x2A2E32));
        for (auto [role, colour] : {std::pair{QPalette::WindowText, 0xFCFCFC},
                                    {QPalette::Base, 0x1B1E20},
                                    {QPalette::AlternateBase, 0x232629},
                                    {QPalette::Text, 0xFCFCFC},
                                    {QPalette::ButtonText, 0xFCFCFC},
                                    {QPalette::Highlight, 0x3DAEE9},
                                    {QPalette::HighlightedText, 0xFCFCFC},
                                    {QPalette::ToolTipBase, 0x31363B},
                                    {QPalette::ToolTipText, 0xFCFCFC}}) {
            dark.setColor(role, QColor(QRgb(colour)));
        }
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(QPalette::Disabled, role, QColor(0x8A8F94));
        }
        QApplication::setPalette(dark);
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir samples(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir scratch;
    for (const QString& name : samples.entryList({"*.nes", "*.xml"})) {
        QFile::copy(samples.filePath(name), scratch.filePath(name));
    }
    FixedAnswers answers;
    ApplicationForms forms(answers);
    TfrmMain& window = *frmMain;
    window.show();
    bool ok = true;
    auto shoot = [&](QWidget& shown, const char* name) {
        settle(shown);
        ok = shown.grab().save(out.filePath(QString::fromLatin1(name))) && ok;
    };
    auto load = [&](const char* sample) {
        window.LoadFile(QFile::encodeName(scratch.filePath(QString::fromLatin1(sample))));
    };

    load("nes2-mapper268.nes");
    settle(window);
    window.findChild<QLineEdit*>(QStringLiteral("txtMapperNum"))->setFocus(Qt::MouseFocusReason);
    if (!variant.isEmpty()) {
        shoot(window, qPrintable("main-window-" + variant + ".png"));
        return ok ? 0 : 1;
    }
    shoot(window, "main-window.png");

    load("long.nes");
    shoot(window, "findings.png");

    answers.files << scratch.filePath(QStringLiteral("nes20db-samples.xml"));
    window.findChild<QAction*>(QStringLiteral("mnuLoadDatabase"))->trigger();
    load("nes2.nes");
    window.findChild<QTabWidget*>(QStringLiteral("tabCheck"))->setCurrentIndex(2);
    shoot(window, "check-area.png");

    answers.files << scratch.path();
    window.findChild<QAction*>(QStringLiteral("mnuOpenFolder"))->trigger();
    auto* collection = window.findChild<TfrmCollection*>();
    while (collection->Reading()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    shoot(*collection, "collection-window.png");
    collection->findChild<QTableView*>(QStringLiteral("tblImages"))->selectAll();
    answers.onConfirm = [&](QDialog& preview) {
        preview.show();
        shoot(preview, "repair-preview.png");
    };
    collection->findChild<QPushButton*>(QStringLiteral("btnFix"))->click();
    collection->close();

    for (auto [page, name] : {std::pair{frmFormatInfo, "format-window.png"},
                              std::pair{frmNes2FormatInfo, "nes2-format-window.png"}}) {
        page->show();
        shoot(*page, name);
        page->hide();
    }
    return ok ? 0 : 1;
}
