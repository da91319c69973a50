// Driving the real main window as a user would: a prompt seam that records
// every box and answers it, and helpers for typing, tabbing and clicking.
#pragma once

#include "Gui.h"
#include "Platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>

#include <deque>
#include <memory>
#include <vector>

namespace harness {

struct Box {
    QString text;
    QString caption;
    platform::Buttons buttons;
};

// Records every box; answers questions from a queue (No, or Cancel, when it
// is empty) and the file dialog from a queue of names (cancel when empty).
class ScriptedPrompts : public platform::Prompts {
public:
    platform::Answer message(const QString& text, const QString& caption,
                             platform::Buttons buttons) override;
    bool chooseFile(const QString& title, const QString& filter, QString& fileName) override;
    void showError(const QString& message) override;

    std::vector<Box> boxes;
    QStringList errors;
    std::deque<platform::Answer> answers;
    std::deque<QString> files;
    QString lastTitle, lastFilter;

    void clear() {
        boxes.clear();
        errors.clear();
    }
};

// The main window with its controls, shown and active.
class Window {
public:
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    TfrmMain& form() { return *main; }
    ScriptedPrompts prompts;

    QLineEdit* edit(const char* name);
    QCheckBox* check(const char* name);
    QComboBox* combo(const char* name = "cmbMirroring");
    QPushButton* apply();
    QTableWidget* grid();
    QAction* action(const char* name);

    // Menu commands; loading answers the dialog with `path`.
    void load(const QString& path);
    // A file dropped on the window, named byte for byte.
    void drop(const QByteArray& path);
    void menu(const char* name);

    // What a user does with the keyboard and the mouse.
    void focus(QWidget* control);                   // by clicking it
    void type(QLineEdit* box, const QString& text); // click, clear, type
    void tab();
    void commit(QLineEdit* box, const QString& text);          // type, then tab on
    void toggle(QCheckBox* box);                               // mouse click
    void choose(int index, const char* list = "cmbMirroring"); // pick from a list
    void closeWindow();                                        // the title bar's close box

    // What a user sees.
    QString cell(int column, int row);
    QStringList byteCells();   // the 16 byte cells in header order
    QStringList highlighted(); // "c,r" of each selected cell, sorted

    void activate();

private:
    std::unique_ptr<TfrmMain> main;
};

// The 16 byte cells as the grid should show `bytes`.
QStringList expectedCells(const CartridgeHeader& bytes);

} // namespace harness
