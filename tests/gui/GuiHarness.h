// Driving the real main window as a user would: a prompt seam that records
// every box and answers it, and helpers for typing, tabbing and clicking.
#pragma once

#include "Gui.h"
#include "Platform.h"
#include "TestFiles.h"

#include <QTest>
#include <QtWidgets>

namespace harness {

// The boxes the window shows, word for word.
const QString removed =
    "Note: Some garbage bytes were found and removed from bytes 8-15 of the "
    "header.\nYou may need to adjust the mapper for this game to work properly.";
const QString kept =
    "Note: Some garbage bytes were found in bytes 8-15 of the header.\nThey could "
    "not be removed because the file is read-only\nor in use by another application.";
// Records every box as "caption: text"; answers questions from a queue (No, or Cancel, when it
// is empty) and the file dialog from a queue of names (cancel when empty).
class ScriptedPrompts : public platform::Prompts {
public:
    platform::Answer message(const QString& text, const QString& caption,
                             platform::Buttons buttons) override;
    bool chooseFile(const QString& title, const QString& filter, QString& fileName) override;
    // The folder dialog takes the next name of `files`; a dialog to confirm is
    // recorded in `boxes` as its title, its text and its bytes in bold
    // ("marked: 11 08"), and accepted for a Yes.
    bool chooseFolder(const QString& title, QString& folder) override {
        return chooseFile(title, {}, folder);
    }
    // Runs before a dialog to confirm is answered (another program's change).
    std::function<void()> beforeConfirming;
    bool confirm(QDialog& dialog) override;
    void showError(const QString& message) override { errors.push_back(message); }

    QStringList boxes;
    QStringList errors;
    QList<platform::Answer> answers;
    QStringList files;
    void clear() { boxes.clear(), errors.clear(); }
};

// The main window with its controls, shown and active.
class Window {
public:
    Window();
    ~Window() { frmMain = nullptr; }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    TfrmMain& form() { return *main; }
    ScriptedPrompts prompts;

    template <typename T = QWidget> T* find(const QString& name) {
        return main->findChild<T*>(name);
    }
    QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
    QComboBox* combo(const char* name = "cmbMirroring") { return find<QComboBox>(name); }
    QPushButton* button(const char* name = "btnApply") { return find<QPushButton>(name); }
    QTableWidget* grid() { return find<QTableWidget>("sgdHeader"); }

    // Menu commands; loading answers the dialog with `path`.
    void menu(const char* name) { find<QAction>(name)->trigger(), QApplication::processEvents(); }
    void load(const QString& path) { prompts.files.push_back(path), menu("mnuLoad"); }
    // A file dropped on the window, named byte for byte.
    void drop(const QByteArray& path);

    // What a user does with the keyboard and the mouse.
    void type(QLineEdit* box, const QString& text); // click, clear, type
    void tab();
    void commit(QLineEdit* box, const QString& text) { type(box, text), tab(); }
    void click(QWidget* control);                              // a mouse click, events run
    void choose(int index, const char* list = "cmbMirroring"); // pick from a list
    void closeWindow() { main->close(), QApplication::processEvents(); } // the close box

    // What a user sees.
    QString cell(int column, int row) { return grid()->item(row, column)->text(); }
    QStringList byteCells();   // the 16 byte cells in header order
    QStringList highlighted(); // "c,r" of each selected cell, sorted
    QString said() const { return (prompts.boxes + prompts.errors).join(" | "); }

private:
    std::unique_ptr<TfrmMain> main;
};

inline QtMessageHandler previousHandler = nullptr;

// Call from initTestCase() (QTest replaces the handler when it starts): drops
// the offscreen platform's own notes about what it cannot do.
inline void filterNoise() {
    previousHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            for (const char* noise : {"propagateSizeHints", "does not support raise",
                                      "does not support grabbing", "XDG_RUNTIME_DIR"}) {
                if (text.contains(QLatin1String(noise))) {
                    return;
                }
            }
            previousHandler(type, context, text);
        });
}

// The main() of a QtTest binary of ours: runs as an ordinary user, offscreen
// unless told otherwise, with settings (recent files) in a test folder.
template <typename Tests> int runTests(int argc, char** argv) {
    testfiles::becomeOrdinaryUser();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    platform::initializeApplication();
    QSettings().clear();
    Tests tests;
    return QTest::qExec(&tests, argc, argv);
}

} // namespace harness
