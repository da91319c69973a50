// The few places where the windows need behaviour that Qt does not give as
// such: enter/exit/click handlers of form controls, message boxes with
// numeric flags and results, the standard error box for a handler's
// exception, and the number conversions.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

class QWidget;

namespace vcl {

constexpr int MB_OK = 0;
constexpr int MB_YESNO = 4;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Prepares the application object before any window exists: its name and
// version, the style, and the classic 8-point sans font for every window.
void ApplicationInitialize();

// Raised by StrToInt and shown to the user in the standard error box.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Optionally signed decimal text (blanks around it allowed) to a 32-bit
// integer; anything else raises EConvertError.
int StrToInt(const QString& text);
// Upper-case hexadecimal, zero-padded to at least `digits` digits.
QString IntToHex(int value, int digits);

// Everything the windows ask of the user. Tests answer through their own.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A modal box with no icon: MB_OK or MB_YESNO; returns IDOK, IDYES or IDNO.
    virtual int MessageBox(const QString& text, const QString& caption, int flags) = 0;
    // The file-open dialog; true with `fileName` set when the user chose one.
    virtual bool OpenFile(const QString& title, const QString& filter, QString& fileName) = 0;
    // The standard error box for an error raised by a handler.
    virtual void ShowException(const QString& message) = 0;
};

// The real dialogs.
class DialogPrompts : public Prompts {
public:
    int MessageBox(const QString& text, const QString& caption, int flags) override;
    bool OpenFile(const QString& title, const QString& filter, QString& fileName) override;
    void ShowException(const QString& message) override;
};

// A file-open dialog that remembers the last chosen file.
class OpenDialog {
public:
    OpenDialog(Prompts& prompts, QString title, QString filter);
    bool Execute();
    const QString& GetFileName() const { return fileName; }

private:
    Prompts& prompts;
    QString title;
    QString filter;
    QString fileName;
};

// Runs a control's Enter handler when it gets the focus from another control
// of its window, its Exit handler when it loses the focus to one, and its
// Click handler when it is clicked (after Enter). Focus that moves to or
// from another window, a menu or a popup runs nothing. Every handler runs
// through run(), which shows an escaping error in the standard error box.
class ControlEvents : public QObject {
public:
    using Handler = std::function<void()>;

    explicit ControlEvents(Prompts& prompts, QObject* parent = nullptr);

    void onEnter(QWidget* control, Handler handler);
    void onExit(QWidget* control, Handler handler);
    void onClick(QWidget* control, Handler handler);

    // Runs a handler; an error it raises is shown and the program goes on.
    void run(const Handler& handler);

    // While one lives, focus changes made by code run no handler.
    class Quiet {
    public:
        explicit Quiet(ControlEvents& events) : events(events) { ++events.quietDepth; }
        ~Quiet() { --events.quietDepth; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        ControlEvents& events;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Handlers {
        std::vector<Handler> enter, exit, click;
    };
    Handlers& handlersOf(QWidget* control);

    Prompts& prompts;
    std::map<QObject*, Handlers> handlers;
    int quietDepth = 0;
};

} // namespace vcl
