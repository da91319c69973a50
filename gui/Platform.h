// The small layer between the windows and Qt: the application's set-up, the
// questions and notes put to the user (behind an interface tests answer),
// reading a typed number, and enter/exit/click handlers for form controls.
#pragma once

#include "cartridgeHeader.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QColor;
class QFont;
class QDialog;
class QLayout;
class QLineEdit;
class QPalette;
class QWidget;

namespace platform {

// Names the application, picks the style and sets the window font from the
// desktop's (classicFont). Call once, before any window exists.
void initializeApplication();
// The classic 8-point sans while the desktop's font has its usual size (up
// to 11 points); in proportion to it when the desktop's is larger, so that
// the windows grow with it.
QFont classicFont(const QFont& desktop);
// How much taller `font`'s lines are than the classic font's; 1 for it or
// anything smaller.
double fontGrowth(const QFont& font);
// Multiplies the fixed sizes in `layout` (its minimum column widths and row
// heights, and its widgets' minimum and maximum sizes, nested layouts too)
// by `growth`.
void growLayout(QLayout* layout, double growth);

// The buttons of a box: OK; Yes and No; or Overwrite, Reload and Cancel.
enum class Buttons { ok, yesNo, yesNoCancel, overwriteReload };
enum class Answer { ok, yes, no, overwrite, reload, cancel };

// A whole number typed by the user, or why it was refused.
struct Number {
    bool ok = false;
    int value = 0;
    QString error; // the message for the user when !ok
};

// Optionally signed decimal text (blanks around it allowed) that fits in 32
// bits; anything else is refused with "'text' is not a valid integer value".
Number parseInteger(const QString& text);
// The same, also refused outside `low`-`high` with the range in the message.
Number parseInteger(const QString& text, int low, int high);
// The text as the user typed it, cut to a length a message box can show.
QString quoted(const QString& text);
// The text with its first letter capital, as a sentence starts; a first word
// with a capital of its own inside ("iNES") is kept as it is written.
QString sentenceStart(QString text);
// The controls that Tab visits from `first` on, as the focus chain has them,
// among the children of `within` (and not of `skip`).
QList<QWidget*> tabChain(QWidget* first, const QWidget* within, const QWidget* skip = nullptr);
// Paints a read-only box as display-only: in the classic grey where the
// scheme's text reads on it (light schemes), in the scheme's button colours
// elsewhere (dark schemes).
void markDisplayOnly(QLineEdit* box);
// The contrast ratio of two colours (1 to 21), as accessibility guides count it.
double contrast(const QColor& one, const QColor& other);
// The colour of a verdict (0 error, 1 warning, 2 fine) that reads on the
// palette's window colour: the classic dark red, brown and green on a light
// window, lighter ones on a dark window (a contrast of at least 4.5).
QColor verdictColour(int level, const QPalette& palette);
// Shows `text` in a display-only box from its start, whole in its tool tip
// when the box is too narrow for it.
void showText(QLineEdit* box, const QString& text);
// Upper-case hexadecimal, zero-padded to at least `digits` digits.
QString hexText(int value, int digits);

// The file that a name from Qt stands for, as the system spells it. Qt shows
// bytes of a name that are not UTF-8 as U+FFFD, which names no file; such a
// name is matched against the entries of its folder. Nothing when two of
// them read the same, so that the file cannot be told.
std::optional<QByteArray> systemPath(const QString& name);
// "4E 45 53 1A ...": 16 header bytes as the grid shows them, for copying.
QString headerHex(const CartridgeHeader& bytes);

// What the windows say when systemPath cannot tell the file.
extern const QString nameNotExact;

// Everything the windows ask of the user. Tests answer through their own.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A modal box with no icon and the given buttons.
    virtual Answer message(const QString& text, const QString& caption, Buttons buttons) = 0;
    // The file-open dialog; true with `fileName` set when the user chose one.
    virtual bool chooseFile(const QString& title, const QString& filter, QString& fileName) = 0;
    // The folder dialog; true with `folder` set when the user chose one.
    virtual bool chooseFolder(const QString& title, QString& folder) = 0;
    // Shows `dialog` modally; true when the user accepted it.
    virtual bool confirm(QDialog& dialog) = 0;
    // The error box for a refused entry or an error a handler did not expect.
    virtual void showError(const QString& message) = 0;
};

// The real dialogs.
class DialogPrompts : public Prompts {
public:
    Answer message(const QString& text, const QString& caption, Buttons buttons) override;
    bool chooseFile(const QString& title, const QString& filter, QString& fileName) override;
    bool chooseFolder(const QString& title, QString& folder) override;
    bool confirm(QDialog& dialog) override;
    void showError(const QString& message) override;
};

// The file-open dialog of a window: remembers the last file chosen.
class FileChooser {
public:
    FileChooser(Prompts& prompts, QString title, QString filter);
    bool choose();
    const QString& fileName() const { return chosen; }
    // A file picked another way (the command line, a drop, a recent file).
    void setFileName(const QString& fileName) { chosen = fileName; }

private:
    Prompts& prompts;
    QString title;
    QString filter;
    QString chosen;
};

// Runs a control's Enter handler when it gets the focus from another control
// of its window, its Exit handler when it loses the focus to one, and its
// Click handler when it is clicked (after Enter). Focus that moves to or
// from another window, a menu or a popup runs nothing. Every handler runs
// through run(), which shows an error it did not expect in the error box.
class ControlEvents : public QObject {
public:
    using Handler = std::function<void()>;

    explicit ControlEvents(Prompts& prompts, QObject* parent = nullptr);

    void onEnter(QWidget* control, Handler handler);
    void onExit(QWidget* control, Handler handler);
    void onClick(QWidget* control, Handler handler);

    // Runs a handler; an exception it raises is shown and the program goes on.
    void run(const Handler& handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Handlers {
        std::vector<Handler> enter, exit, click;
    };
    Handlers& handlersOf(QWidget* control);

    Prompts& prompts;
    std::map<QObject*, Handlers> handlers;
};

} // namespace platform
