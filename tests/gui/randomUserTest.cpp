// A long random session with the main window, chosen by a seeded generator:
// loads of every kind of file, typing, tabbing, clicking, toggling, Apply,
// Free and close. After every step the grid, the working copy, the controls,
// the boxes shown and every file on disk are checked against a model of what
// the user has done so far.
//
// TALLOWICK_SEED picks the session, TALLOWICK_ACTIONS its length, and
// TALLOWICK_TRACE=1 prints each action as it runs (for a session that
// crashes). A failure prints the seed and every action that led to it.
#include "GuiHarness.h"
#include "TestFiles.h"
#include "guiMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace harness;
using testfiles::Bytes;

namespace {

constexpr std::uint32_t defaultSeed = 20240611;
constexpr int defaultActions = 3000;

const char* const numberBoxes[] = {"txtMapperNum", "txtPrgPages", "txtChrPages"};
const char* const displayBoxes[] = {"txtLabel", "txtByte3", "txtMapperName", "txtPrgMem",
                                    "txtChrMem"};
const char* const checkBoxes[] = {"chk4ScreenMirroring", "chkSRAM", "chkTrainer"};
constexpr std::uint8_t checkBits[] = {0x08, 0x02, 0x04};
constexpr int trainerCheck = 2;
// Controls that take no focus: clicking them changes nothing.
const char* const passiveControls[] = {"Label1", "Label2", "Label3", "Label4",
                                       "Label5", "Label7", "Label9", "Image1"};

// How a menu command is given.
const char* const wayNames[] = {"", " from the menu bar", " by its shortcut"};

const QString noteCaption = "Note";
const QString errorCaption = "Error";
const QString garbageRemoved =
    "Some garbage bytes were found and removed from bytes 8-15 of the header.\nYou may need to "
    "adjust the mapper for this game to work properly.";
const QString garbageKept = "Some garbage bytes were found in bytes 8-15 of the header.\nThey "
                            "could not be removed because the file is read-only\nor in use by "
                            "another application.";
const QString notOpened = "The stream could not be opened.  Check that no other\napplications are "
                          "using the file and try again.";
const QString notInes = "The file is not a valid iNES cart image.";
const QString readOnlyApply =
    "The file cannot be written because it is read-only or\nis in use by another application.";
const QString trainerOn = "A 512-byte trainer will not actually be inserted at offsets "
                          "16-527.\nYou need to use HexEdit or the Pellmoor to add one.";
const QString trainerOff = "The 512-byte trainer at offsets 16-527 will not acually be removed "
                           "from the file.\nYou need to use HexEdit or the Pellmoor to remove it.";
const QString saveQuestion = "Changes have been made.  save them?";

constexpr std::uint64_t hugeSize = std::uint64_t(1) << 30;
// Offsets of the 1 GB file beyond its written start; they must stay zero.
constexpr std::uint64_t hugeProbes[] = {std::uint64_t(1) << 20, hugeSize / 2 + 12345, hugeSize - 1};

// One file the session may load, and what it must hold.
struct File {
    std::string name;
    std::string path;
    bool readOnly = false;
    bool exists = true;
    // 1 GB sparse: `bytes` is only its start, the rest reads as zero.
    bool huge = false;
    // The dirty writable file, made dirty again before most loads.
    bool redirty = false;
    Bytes bytes;
};

CartridgeHeader headOf(const File& file) {
    CartridgeHeader head{};
    std::copy(file.bytes.begin(), file.bytes.begin() + 16, head.begin());
    return head;
}

bool isImage(const File& file) {
    return file.exists && file.bytes.size() >= 16 && file.bytes[0] == 'N' && file.bytes[1] == 'E' &&
           file.bytes[2] == 'S' && file.bytes[3] == 0x1A;
}

bool isNes2(const CartridgeHeader& head) {
    return (head[7] & 0x0C) == 0x08;
}

bool isDirty(const CartridgeHeader& head) {
    return std::any_of(head.begin() + 8, head.end(), [](std::uint8_t b) { return b != 0; });
}

QString hex(const std::uint8_t* bytes, std::size_t count) {
    QStringList parts;
    for (std::size_t i = 0; i < count; ++i) {
        parts << QString("%1").arg(bytes[i], 2, 16, QChar('0')).toUpper();
    }
    return parts.join(' ');
}

QString hex(const CartridgeHeader& head) {
    return hex(head.data(), head.size());
}

// A number box's text as a header byte: optionally signed decimal digits,
// blanks around them allowed, from 0 to 255; anything else is rejected.
std::optional<int> byteValue(const QString& text) {
    const QString trimmed = text.trimmed();
    int at = 0;
    bool negative = false;
    if (at < trimmed.size() && (trimmed[at] == '+' || trimmed[at] == '-')) {
        negative = trimmed[at] == '-';
        ++at;
    }
    if (at == trimmed.size()) {
        return std::nullopt;
    }
    long long value = 0;
    for (; at < trimmed.size(); ++at) {
        const char16_t c = trimmed[at].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c - u'0'), 100000LL);
    }
    if (negative) {
        value = -value;
    }
    if (value < 0 || value > 255) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QString sizeText(int pages, int pageKilobytes) {
    return QString("%1k (%2 bytes)").arg(pages * pageKilobytes).arg(pages * pageKilobytes * 1024);
}

// Reads a whole small file; false when it cannot be opened.
bool readWhole(const std::string& path, Bytes& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    out.clear();
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        out.insert(out.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return true;
}

// Writes `bytes` over the file from `offset` on, as another program would.
void overwrite(const std::string& path, std::size_t offset, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb+");
    QVERIFY2(file != nullptr, path.c_str());
    std::fseek(file, static_cast<long>(offset), SEEK_SET);
    QCOMPARE(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
}

class Session {
public:
    Session(std::uint32_t seed, int actions) : actions(actions), rng(seed) {}

    // Runs the whole session; the first problem found, or an empty string.
    QString run();
    const std::vector<std::string>& log() const { return steps; }
    // How often the interesting things happened, to see what a seed covered.
    QString summary() const;

private:
    // ------------------------------------------------------------ set-up
    void makeFiles();
    int addFile(const std::string& name, const Bytes& bytes, bool readOnly = false);
    void newWindow();

    // ------------------------------------------------------------ randomness
    std::uint32_t pick(std::uint32_t n) { return rng() % n; }
    bool chance(std::uint32_t percent) { return pick(100) < percent; }
    QString randomText();
    QString randomKeys();
    QString nearbyValue(QLineEdit* box);

    // ------------------------------------------------------------ actions
    bool act();
    void note(const QString& action);
    // A menu command, given in one of its ways (see wayNames).
    int pickWay(const char* name);
    void command(const char* name, int way);
    bool load();
    void cancelLoad();
    bool typeNumber();
    bool typeMore();
    void tab();
    void clickField();
    void toggleByMouse();
    bool toggleBySpace();
    bool chooseMirroring();
    bool mirroringByArrow();
    void clickApply();
    void freeRom();
    void closeWindow();

    // What the user does by hand, beyond the harness.
    void typeInto(QLineEdit* box, const QString& text);
    static void typeKeys(QWidget* box, const QString& text);
    void clickDisabled(QWidget* control);

    // ------------------------------------------------------------ the model
    QLineEdit* focusedNumberBox();
    void focusMovesTo(QWidget* target);
    void leave(QLineEdit* box);
    void expectLoad(int index);
    void expectBox(const QString& caption, const QString& text) {
        expectedBoxes << caption + ": " + text;
    }
    void writeModelHeaderTo(File& file);

    // ------------------------------------------------------------ checks
    QString verify();
    QString verifyPrompts();
    QString verifyControls();
    QString verifyFile(const File& file);
    void startStep();

    int actions;
    std::mt19937 rng;
    std::vector<std::string> steps;
    bool trace = qEnvironmentVariableIntValue("TALLOWICK_TRACE") != 0;

    std::unique_ptr<testfiles::TempDir> dir;
    std::vector<File> files;
    std::unique_ptr<Window> w;

    // What the window must hold.
    bool loaded = false;
    int loadedFile = -1;
    CartridgeHeader work{};
    // Set by a load: the number boxes show the file's values.
    bool justLoaded = false;

    // What the step must show and where the focus must end up.
    QStringList expectedBoxes;
    QStringList expectedErrors; // the rejected texts, in order
    std::size_t boxMark = 0;
    int errorMark = 0;
    QWidget* expectedFocus = nullptr;
    // For a click on a disabled control: nothing at all may change.
    bool expectUnchanged = false;
    QStringList highlightBefore;
    // A problem found during the step itself.
    QString stepProblem;

    struct {
        int loads = 0, failedLoads = 0, cleaned = 0, keptDirty = 0, commits = 0, rejected = 0,
            written = 0, reloaded = 0, questions = 0, saved = 0, windows = 0;
    } counts;
};

QString Session::summary() const {
    return QString("%1 loads (%2 failed, %3 cleaned, %4 kept dirty), %5 numbers committed, %6 "
                   "rejected, %7 applies written, %8 refused read-only, %9 save questions")
               .arg(counts.loads)
               .arg(counts.failedLoads)
               .arg(counts.cleaned)
               .arg(counts.keptDirty)
               .arg(counts.commits)
               .arg(counts.rejected)
               .arg(counts.written)
               .arg(counts.reloaded)
               .arg(counts.questions) +
           QString(" (%1 saved), %2 windows").arg(counts.saved).arg(counts.windows);
}

// ---------------------------------------------------------------- set-up

int Session::addFile(const std::string& name, const Bytes& bytes, bool readOnly) {
    File file;
    file.name = name;
    file.path = dir->file(name);
    file.bytes = bytes;
    file.readOnly = readOnly;
    testfiles::writeFile(file.path, bytes);
    if (readOnly) {
        testfiles::makeReadOnly(file.path);
    }
    files.push_back(file);
    return static_cast<int>(files.size()) - 1;
}

void Session::makeFiles() {
    using testfiles::header;
    using testfiles::image;
    // Clean, with iNES 1.0 console bits in byte 7 that a mapper entry clears.
    addFile("clean-\xC3\xA4.nes", image(header(2, 1, 0x13, 0x01), 3000));
    const int dirty = addFile("dirty.nes", image({'N', 'E', 'S', 0x1A, 8, 4, 0x40, 0x00, 'D', 'i',
                                                  's', 'k', 'D', 'u', 'd', 'e'},
                                                 2000));
    files[dirty].redirty = true;
    addFile("dirty-locked.nes",
            image({'N', 'E', 'S', 0x1A, 1, 1, 0x01, 0x00, 1, 2, 3, 4, 5, 6, 7, 8}, 500), true);
    addFile("locked.nes", image(header(4, 0, 0x22, 0x30), 700), true);
    addFile("nes2.nes",
            image({'N', 'E', 'S', 0x1A, 2, 1, 0x10, 0x08, 0x50, 0, 7, 0, 1, 0, 0, 0}, 300));
    // The trainer's 512 bytes and then the program.
    addFile("trainer.nes", image(header(1, 1, 0x34, 0x00), 512 + 1500));
    addFile("header-only.nes", header(0, 0, 0xF9, 0xF0));
    addFile("not-ines.nes", image({'P', 'K', 3, 4, 9, 9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0}, 100));
    addFile("short.nes", {'N', 'E', 'S', 0x1A, 1, 1, 0, 0, 5, 5, 5, 5, 5, 5, 5});
    File missing;
    missing.name = "missing.nes";
    missing.path = dir->file(missing.name);
    missing.exists = false;
    files.push_back(missing);

    File huge;
    huge.name = "huge.nes";
    huge.path = dir->file(huge.name);
    huge.huge = true;
    huge.bytes = image(header(16, 0, 0x41, 0x40), 1000);
    testfiles::writeSparse(huge.path, huge.bytes, hugeSize);
    files.push_back(huge);
}

void Session::newWindow() {
    w.reset();
    w = std::make_unique<Window>();
    ++counts.windows;
    loaded = false;
    loadedFile = -1;
    boxMark = 0;
    errorMark = 0;
}

// ---------------------------------------------------------------- randomness

QString Session::randomText() {
    auto number = [this](int from, int to) {
        return QString::number(from +
                               static_cast<int>(pick(static_cast<std::uint32_t>(to - from + 1))));
    };
    auto oneOf = [this](std::initializer_list<const char16_t*> texts) {
        const auto* at = texts.begin() + pick(static_cast<std::uint32_t>(texts.size()));
        return QString::fromUtf16(*at);
    };
    switch (pick(13)) {
    case 0:
    case 1:
        return number(0, 255);
    case 2:
        // The edges of the range and of a nibble.
        return oneOf({u"0", u"1", u"15", u"16", u"254", u"255", u"256", u"257", u"-1", u"+256",
                      u"-255", u"1000"});
    case 12: {
        const QString digits = number(0, 255);
        switch (pick(5)) {
        case 0:
            return "+" + digits;
        case 1:
            return " " + digits + "  ";
        case 2:
            return "00" + digits;
        case 3:
            return "-0";
        default:
            return " +" + digits;
        }
    }
    case 3:
        return number(256, 99999);
    case 4:
        return number(-999, -1);
    case 5:
        return oneOf({u"99999999999", u"2147483647", u"2147483648", u"-2147483648", u"-2147483649",
                      u"4294967296", u"4294967552", u"000000000000000000000255",
                      u"123456789012345678901234567890"});
    case 6:
        return chance(60) ? QString() : QString(1 + static_cast<int>(pick(3)), ' ');
    case 7:
        return oneOf({u"abc", u"x", u"1a", u"a1", u"0x1F", u"1e2", u"FF", u"one", u"N"});
    case 8:
        return oneOf({u"+", u"-", u"+-5", u"--5", u"5-", u"+ 5", u"- 1", u"++1"});
    case 9:
        return oneOf({u"1 2", u"12 3", u"1.5", u"3,0", u"1_0", u"7."});
    default:
        // Full-width and Arabic-Indic digits, accents, a superscript, an
        // emoji; a no-break or ideographic space around a digit is a blank.
        return oneOf({u"\uFF11\uFF12", u"\u0663", u"\u00E9", u"12\u20AC", u"\u00F1", u"\u00A05",
                      u"\u30007", u"\U0001F600", u"4\u00B2", u"\u0660\u0661"});
    }
}

// A value that changes little: the page count the file holds (an edit set
// back), or a mapper with the same low nibble (only byte 7 changes).
QString Session::nearbyValue(QLineEdit* box) {
    const CartridgeHeader inFile = headOf(files[loadedFile]);
    if (box == w->edit("txtPrgPages")) {
        return QString::number(inFile[4]);
    }
    if (box == w->edit("txtChrPages")) {
        return QString::number(inFile[5]);
    }
    return QString::number((work[6] >> 4) | (pick(16) << 4));
}

QString Session::randomKeys() {
    const char16_t keys[] = {u'0', u'1', u'5', u'9', u' ', u'+', u'-', u'x', u'\xE4'};
    QString text;
    const int count = 1 + static_cast<int>(pick(3));
    for (int i = 0; i < count; ++i) {
        text += QChar(keys[pick(sizeof keys / sizeof keys[0])]);
    }
    return text;
}

// ---------------------------------------------------------------- actions

void Session::note(const QString& action) {
    steps.push_back(action.toStdString());
    if (trace) {
        std::fprintf(stderr, "%zu %s\n", steps.size(), steps.back().c_str());
    }
}

// Performs one action; false when the one drawn cannot be done now (its
// control is disabled and cannot be reached), so another is drawn.
bool Session::act() {
    const std::uint32_t loadWeight = loaded ? 10 : 40;
    const std::uint32_t weights[] = {loadWeight, 2, 30, 5, 10, 10, 6, 4, 5, 3, 6, 3, 3};
    std::uint32_t total = 0;
    for (std::uint32_t weight : weights) {
        total += weight;
    }
    std::uint32_t draw = pick(total);
    int kind = 0;
    while (draw >= weights[kind]) {
        draw -= weights[kind];
        ++kind;
    }
    switch (kind) {
    case 0:
        return load();
    case 1:
        cancelLoad();
        return true;
    case 2:
        return typeNumber();
    case 3:
        return typeMore();
    case 4:
        tab();
        return true;
    case 5:
        clickField();
        return true;
    case 6:
        toggleByMouse();
        return true;
    case 7:
        return toggleBySpace();
    case 8:
        return chooseMirroring();
    case 9:
        return mirroringByArrow();
    case 10:
        clickApply();
        return true;
    case 11:
        freeRom();
        return true;
    default:
        closeWindow();
        return true;
    }
}

bool Session::load() {
    const int index = static_cast<int>(pick(static_cast<std::uint32_t>(files.size())));
    File& file = files[index];
    QString action;
    if (file.redirty && !isDirty(headOf(file)) && chance(75)) {
        // Another program puts garbage back into bytes 8-15.
        Bytes garbage(8);
        for (std::uint8_t& byte : garbage) {
            byte = static_cast<std::uint8_t>(pick(256));
        }
        garbage[pick(8)] = static_cast<std::uint8_t>(1 + pick(255));
        overwrite(file.path, 8, garbage);
        std::copy(garbage.begin(), garbage.end(), file.bytes.begin() + 8);
        action = QString("make %1 dirty again (bytes 8-15 = %2), then ")
                     .arg(QString::fromStdString(file.name), hex(garbage.data(), garbage.size()));
    }
    const int way = pickWay("mnuLoad");
    note(action + QString("load %1%2").arg(QString::fromStdString(file.name), wayNames[way]));
    expectLoad(index);
    w->prompts.files.push_back(QString::fromStdString(file.path));
    command("mnuLoad", way);
    return true;
}

void Session::cancelLoad() {
    const int way = pickWay("mnuLoad");
    note(QString("load%1, cancel the dialog").arg(wayNames[way]));
    command("mnuLoad", way);
}

// The shortcut only where the platform gives the command one (Exit has
// none under some keyboard schemes).
int Session::pickWay(const char* name) {
    return static_cast<int>(pick(w->action(name)->shortcut().isEmpty() ? 2 : 3));
}

void Session::command(const char* name, int way) {
    QAction* action = w->action(name);
    if (way == 0) {
        w->menu(name);
        return;
    }
    if (way == 2) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keySequence(focused != nullptr ? focused : &w->form(), action->shortcut());
        QApplication::processEvents();
        return;
    }
    auto* bar = w->form().findChild<QMenuBar*>("MainMenu1");
    auto* file = w->form().findChild<QMenu*>("mnuFile");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center());
    QApplication::processEvents();
    if (!file->isVisible()) {
        stepProblem = "clicking File in the menu bar opened no menu";
        return;
    }
    QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(action).center());
    QApplication::processEvents();
}

// Click a number box, replace its text, and leave it one way or another.
bool Session::typeNumber() {
    QLineEdit* box = w->edit(numberBoxes[pick(3)]);
    if (!box->isEnabled()) {
        return false;
    }
    const QString text = loaded && chance(15) ? nearbyValue(box) : randomText();
    const int how = static_cast<int>(pick(8));
    static const char* const hows[] = {
        "Tab", "Tab", "Tab", "Shift+Tab", "click away", "click away", "leave it typed", "Return"};
    note(QString("type \"%1\" into %2, %3").arg(text, box->objectName(), hows[how]));
    focusMovesTo(box);
    typeInto(box, text);
    if (box->text() != text) {
        stepProblem = QString("typed \"%1\", the box shows \"%2\"").arg(text, box->text());
        return true;
    }
    switch (how) {
    case 0:
    case 1:
    case 2:
    case 3:
        leave(box);
        expectedFocus = nullptr;
        QTest::keyClick(box, Qt::Key_Tab, how == 3 ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::processEvents();
        break;
    case 4:
    case 5: {
        // Another field: a display box, another number box or the grid.
        QWidget* target = nullptr;
        do {
            const int which = static_cast<int>(pick(9));
            target = which < 5   ? static_cast<QWidget*>(w->edit(displayBoxes[which]))
                     : which < 8 ? static_cast<QWidget*>(w->edit(numberBoxes[which - 5]))
                                 : static_cast<QWidget*>(w->grid());
        } while (target == box);
        steps.back() += " (" + target->objectName().toStdString() + ")";
        focusMovesTo(target);
        w->focus(target);
        break;
    }
    case 6:
        break;
    default:
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
        break;
    }
    return true;
}

// Type a few more keys into the number box that has the focus.
bool Session::typeMore() {
    QLineEdit* box = focusedNumberBox();
    if (box == nullptr) {
        return false;
    }
    const QString keys = randomKeys();
    note(QString("type more \"%1\" into %2").arg(keys, box->objectName()));
    typeKeys(box, keys);
    QApplication::processEvents();
    expectedFocus = box;
    return true;
}

void Session::tab() {
    const bool back = chance(25);
    QWidget* from = QApplication::focusWidget();
    note(QString("%1 from %2")
             .arg(back ? "Shift+Tab" : "Tab", from != nullptr ? from->objectName() : "nothing"));
    if (QLineEdit* box = focusedNumberBox()) {
        leave(box);
    }
    if (back) {
        QTest::keyClick(from != nullptr ? from : &w->form(), Qt::Key_Tab, Qt::ShiftModifier);
        QApplication::processEvents();
    } else {
        w->tab();
    }
}

void Session::clickField() {
    QWidget* target = nullptr;
    const std::uint32_t kind = pick(100);
    if (kind < 40) {
        target = w->edit(displayBoxes[pick(5)]);
    } else if (kind < 65) {
        target = w->edit(numberBoxes[pick(3)]);
    } else if (kind < 85) {
        target = w->grid();
    } else {
        target = w->form().findChild<QWidget*>(passiveControls[pick(8)]);
    }
    if (target == w->grid()) {
        const int row = static_cast<int>(pick(2));
        const int column = static_cast<int>(pick(10));
        note(QString("click the grid at column %1, row %2").arg(column).arg(row));
        focusMovesTo(target);
        const QPoint at = w->grid()->visualItemRect(w->grid()->item(row, column)).center();
        QTest::mouseClick(w->grid()->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
        return;
    }
    if (!target->isEnabled()) {
        note(QString("click the disabled %1").arg(target->objectName()));
        clickDisabled(target);
        return;
    }
    note(QString("click %1").arg(target->objectName()));
    if (target->focusPolicy() & Qt::ClickFocus) {
        focusMovesTo(target);
    } else {
        expectedFocus = QApplication::focusWidget();
    }
    w->focus(target);
}

void Session::toggleByMouse() {
    const int which = static_cast<int>(pick(3));
    QCheckBox* box = w->check(checkBoxes[which]);
    if (!box->isEnabled()) {
        note(QString("click the disabled %1").arg(box->objectName()));
        clickDisabled(box);
        return;
    }
    note(QString("click %1").arg(box->objectName()));
    focusMovesTo(box);
    work[6] ^= checkBits[which];
    if (which == trainerCheck) {
        expectBox(noteCaption, (work[6] & checkBits[which]) != 0 ? trainerOn : trainerOff);
    }
    w->toggle(box);
}

bool Session::toggleBySpace() {
    const int which = static_cast<int>(pick(3));
    QCheckBox* box = w->check(checkBoxes[which]);
    if (!box->isEnabled()) {
        return false;
    }
    note(QString("tab to %1, press Space").arg(box->objectName()));
    focusMovesTo(box);
    work[6] ^= checkBits[which];
    if (which == trainerCheck) {
        expectBox(noteCaption, (work[6] & checkBits[which]) != 0 ? trainerOn : trainerOff);
    }
    box->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QTest::keyClick(box, Qt::Key_Space);
    QApplication::processEvents();
    return true;
}

bool Session::chooseMirroring() {
    if (!w->combo()->isEnabled()) {
        return false;
    }
    const int index = static_cast<int>(pick(2));
    note(QString("choose mirroring %1").arg(w->combo()->itemText(index)));
    focusMovesTo(w->combo());
    work[6] = static_cast<std::uint8_t>((work[6] & ~0x01) | index);
    w->choose(index);
    return true;
}

bool Session::mirroringByArrow() {
    QComboBox* combo = w->combo();
    if (!combo->isEnabled()) {
        return false;
    }
    const bool down = chance(50);
    note(QString("tab to the mirroring box, press %1").arg(down ? "Down" : "Up"));
    focusMovesTo(combo);
    // Horizontal, then Vertical: the arrows move within the list and stop at its ends.
    work[6] = static_cast<std::uint8_t>((work[6] & ~0x01) | (down ? 1 : 0));
    combo->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QTest::keyClick(combo, down ? Qt::Key_Down : Qt::Key_Up);
    QApplication::processEvents();
    return true;
}

void Session::clickApply() {
    QPushButton* apply = w->apply();
    if (!apply->isEnabled()) {
        note("click the disabled Apply");
        clickDisabled(apply);
        return;
    }
    const bool space = chance(25);
    note(space ? "tab to Apply, press Space" : "click Apply");
    focusMovesTo(apply);
    File& file = files[loadedFile];
    if (!file.readOnly) {
        writeModelHeaderTo(file);
        ++counts.written;
    } else {
        ++counts.reloaded;
        // The file is loaded again, and the edits are gone.
        expectBox(errorCaption, readOnlyApply);
        expectLoad(loadedFile);
        expectedFocus = nullptr;
    }
    if (space) {
        apply->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QTest::keyClick(apply, Qt::Key_Space);
    } else {
        QTest::mouseClick(apply, Qt::LeftButton);
    }
    QApplication::processEvents();
}

void Session::freeRom() {
    const int way = pickWay("mnuFree");
    note(QString("Free Rom%1").arg(wayNames[way]));
    loaded = false;
    loadedFile = -1;
    expectedFocus = nullptr;
    command("mnuFree", way);
}

void Session::closeWindow() {
    const bool yes = chance(50);
    // The close box, or File > Exit in one of its ways.
    const int way = chance(40) ? -1 : pickWay("mnuExit");
    note(QString("close the window by %1, answer %2")
             .arg(way < 0 ? "its close box" : QString("Exit") + wayNames[way], yes ? "Yes" : "No"));
    w->prompts.answers.push_back(yes ? vcl::IDYES : vcl::IDNO);
    // Only real changes to a writable file are offered for saving. Closing
    // moves no focus within the window, so text still being typed in a
    // number box is not judged and not part of the working copy.
    if (loaded && !files[loadedFile].readOnly) {
        const CartridgeHeader inFile = headOf(files[loadedFile]);
        if (!std::equal(work.begin() + 4, work.begin() + 8, inFile.begin() + 4)) {
            expectBox("Save Changes", saveQuestion);
            ++counts.questions;
            if (yes) {
                writeModelHeaderTo(files[loadedFile]);
                ++counts.saved;
            }
        }
    }
    if (way < 0) {
        w->closeWindow();
    } else {
        command("mnuExit", way);
    }
    if (stepProblem.isEmpty()) {
        stepProblem = verifyPrompts();
    }
    if (stepProblem.isEmpty() && w->form().isVisible()) {
        stepProblem = "the window is still shown after closing";
    }
    if (!stepProblem.isEmpty()) {
        return;
    }
    expectedBoxes.clear();
    expectedErrors.clear();
    expectedFocus = nullptr;
    newWindow();
}

// ---------------------------------------------------------------- by hand

void Session::typeInto(QLineEdit* box, const QString& text) {
    w->focus(box);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    typeKeys(box, text);
    QApplication::processEvents();
}

// Key by key; characters beyond the basic plane come from an input method.
void Session::typeKeys(QWidget* box, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size()) {
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, 2));
            QApplication::sendEvent(box, &commit);
            ++i;
        } else if (c.unicode() < 0x80) {
            QTest::keyClick(box, static_cast<char>(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void Session::clickDisabled(QWidget* control) {
    expectUnchanged = true;
    highlightBefore = w->highlighted();
    expectedFocus = QApplication::focusWidget();
    // Through the window, as the platform delivers a real click: a click on
    // a child goes wherever Qt routes it.
    const QPoint at = control->mapTo(&w->form(), QPoint(6, control->height() / 2));
    QTest::mouseClick(w->form().windowHandle(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

// ---------------------------------------------------------------- the model

QLineEdit* Session::focusedNumberBox() {
    QWidget* focused = QApplication::focusWidget();
    for (const char* name : numberBoxes) {
        if (focused != nullptr && focused == w->edit(name)) {
            return w->edit(name);
        }
    }
    return nullptr;
}

// The user moves the focus to `target`: a number box that had it is left.
void Session::focusMovesTo(QWidget* target) {
    QLineEdit* box = focusedNumberBox();
    if (box != nullptr && box != target) {
        leave(box);
    }
    expectedFocus = target;
}

// Leaving a number box commits its text to the working copy, or rejects it
// with an error box and changes nothing.
void Session::leave(QLineEdit* box) {
    const QString text = box->text();
    const bool mapper = box == w->edit("txtMapperNum");
    if (!mapper && text.isEmpty()) {
        return; // an emptied page count is left as it was
    }
    const std::optional<int> value = byteValue(text);
    if (!value) {
        expectedErrors << text;
        ++counts.rejected;
        return;
    }
    ++counts.commits;
    const auto byte = static_cast<std::uint8_t>(*value);
    if (mapper) {
        // iNES 1.0 wants bits 0-3 of byte 7 zero; in NES 2.0 they are kept.
        const std::uint8_t keep = isNes2(work) ? (work[7] & 0x0F) : 0;
        work[6] = static_cast<std::uint8_t>((work[6] & 0x0F) | ((byte & 0x0F) << 4));
        work[7] = static_cast<std::uint8_t>((byte & 0xF0) | keep);
    } else if (box == w->edit("txtPrgPages")) {
        work[4] = byte;
    } else {
        work[5] = byte;
    }
}

void Session::expectLoad(int index) {
    File& file = files[index];
    loaded = false;
    loadedFile = -1;
    ++counts.loads;
    if (!file.exists) {
        expectBox(errorCaption, notOpened);
        ++counts.failedLoads;
        return;
    }
    if (!isImage(file)) {
        expectBox(errorCaption, notInes);
        ++counts.failedLoads;
        return;
    }
    CartridgeHeader head = headOf(file);
    if (!isNes2(head) && isDirty(head)) {
        if (file.readOnly) {
            expectBox(noteCaption, garbageKept);
            ++counts.keptDirty;
        } else {
            std::fill(head.begin() + 8, head.end(), 0);
            std::fill(file.bytes.begin() + 8, file.bytes.begin() + 16, 0);
            expectBox(noteCaption, garbageRemoved);
            ++counts.cleaned;
        }
    }
    loaded = true;
    loadedFile = index;
    work = head;
    justLoaded = true;
}

void Session::writeModelHeaderTo(File& file) {
    std::copy(work.begin(), work.end(), file.bytes.begin());
}

// ---------------------------------------------------------------- checks

void Session::startStep() {
    expectedBoxes.clear();
    expectedErrors.clear();
    boxMark = w->prompts.boxes.size();
    errorMark = static_cast<int>(w->prompts.errors.size());
    expectedFocus = nullptr;
    justLoaded = false;
    expectUnchanged = false;
    stepProblem.clear();
}

QString Session::verifyPrompts() {
    QStringList shown;
    for (std::size_t i = boxMark; i < w->prompts.boxes.size(); ++i) {
        shown << w->prompts.boxes[i].caption + ": " + w->prompts.boxes[i].text;
    }
    if (shown != expectedBoxes) {
        return QString("boxes shown:\n  [%1]\nexpected:\n  [%2]")
            .arg(shown.join("]\n  ["), expectedBoxes.join("]\n  ["));
    }
    const QStringList errors = w->prompts.errors.mid(errorMark);
    if (errors.size() != expectedErrors.size()) {
        QStringList rejected;
        for (const QString& text : expectedErrors) {
            rejected << "\"" + text + "\"";
        }
        return QString("error boxes shown: [%1]; expected one for each rejected text: %2")
            .arg(errors.join("] ["), rejected.isEmpty() ? "none" : rejected.join(' '));
    }
    for (int i = 0; i < errors.size(); ++i) {
        if (!errors[i].contains("'" + expectedErrors[i] + "'")) {
            return QString("the error box \"%1\" does not name the text \"%2\"")
                .arg(errors[i], expectedErrors[i]);
        }
    }
    return {};
}

QString Session::verifyControls() {
    TfrmMain& form = w->form();
    if ((form.romFile != nullptr) != loaded) {
        return QString("the window holds %1 cartridge, expected %2")
            .arg(form.romFile != nullptr ? "a" : "no", loaded ? "one" : "none");
    }
    if (form.romLoaded != loaded) {
        return QString("romLoaded is %1").arg(form.romLoaded);
    }
    if (!loaded) {
        if (w->byteCells() != QStringList(16, QString())) {
            return "the grid shows bytes with no cartridge loaded: " + w->byteCells().join(' ');
        }
        for (const char* name : numberBoxes) {
            if (w->edit(name)->isEnabled() || !w->edit(name)->text().isEmpty()) {
                return QString("%1 is enabled or shows text with no cartridge").arg(name);
            }
        }
        for (const char* name : checkBoxes) {
            if (w->check(name)->isEnabled() || w->check(name)->isChecked()) {
                return QString("%1 is enabled or ticked with no cartridge").arg(name);
            }
        }
        if (w->combo()->isEnabled() || w->apply()->isEnabled()) {
            return "the mirroring box or Apply is enabled with no cartridge";
        }
        return {};
    }
    if (form.header == nullptr) {
        return "a cartridge is loaded but there is no working copy";
    }
    const CartridgeHeader& actual = *form.header;
    if (w->byteCells() != expectedCells(actual)) {
        return QString("the grid shows %1, the working copy is %2")
            .arg(w->byteCells().join(' '), hex(actual));
    }
    if (actual != work) {
        return QString("the working copy is %1, expected %2").arg(hex(actual), hex(work));
    }
    if (w->combo()->currentIndex() != (work[6] & 0x01)) {
        return QString("mirroring shows entry %1 for byte 6 = %2")
            .arg(w->combo()->currentIndex())
            .arg(work[6], 2, 16, QChar('0'));
    }
    for (int i = 0; i < 3; ++i) {
        if (w->check(checkBoxes[i])->isChecked() != ((work[6] & checkBits[i]) != 0)) {
            return QString("%1 disagrees with byte 6 = %2")
                .arg(checkBoxes[i])
                .arg(work[6], 2, 16, QChar('0'));
        }
    }
    if (w->edit("txtPrgMem")->text() != sizeText(work[4], 16)) {
        return QString("PRG size shows \"%1\" for %2 pages")
            .arg(w->edit("txtPrgMem")->text())
            .arg(work[4]);
    }
    if (w->edit("txtChrMem")->text() != sizeText(work[5], 8)) {
        return QString("CHR size shows \"%1\" for %2 pages")
            .arg(w->edit("txtChrMem")->text())
            .arg(work[5]);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             w->edit("txtMapperNum"), w->edit("txtPrgPages"), w->edit("txtChrPages"), w->combo(),
             w->check(checkBoxes[0]), w->check(checkBoxes[1]), w->check(checkBoxes[2]),
             w->apply()}) {
        if (!control->isEnabled()) {
            return control->objectName() + " is disabled with a cartridge loaded";
        }
    }
    if (justLoaded) {
        const QString shown[] = {w->edit("txtMapperNum")->text(), w->edit("txtPrgPages")->text(),
                                 w->edit("txtChrPages")->text(), w->edit("txtLabel")->text(),
                                 w->edit("txtByte3")->text()};
        const QString wanted[] = {QString::number((work[6] >> 4) | (work[7] & 0xF0)),
                                  QString::number(work[4]), QString::number(work[5]), "NES",
                                  "0x1A"};
        for (int i = 0; i < 5; ++i) {
            if (shown[i] != wanted[i]) {
                return QString("after the load a box shows \"%1\", expected \"%2\"")
                    .arg(shown[i], wanted[i]);
            }
        }
    }
    return {};
}

QString Session::verifyFile(const File& file) {
    const QString name = QString::fromStdString(file.name);
    if (!file.exists) {
        return testfiles::exists(file.path) ? name + " was created" : QString();
    }
    Bytes now;
    if (file.huge) {
        const int fd = ::open(file.path.c_str(), O_RDONLY);
        if (fd < 0) {
            return name + " cannot be opened";
        }
        struct stat info {};
        ::fstat(fd, &info);
        now.resize(file.bytes.size());
        const ssize_t got = ::pread(fd, now.data(), now.size(), 0);
        std::uint8_t probe = 0;
        QString problem;
        if (static_cast<std::uint64_t>(info.st_size) != hugeSize) {
            problem = QString("%1 is %2 bytes long, expected %3")
                          .arg(name)
                          .arg(qint64(info.st_size))
                          .arg(hugeSize);
        } else if (got != static_cast<ssize_t>(now.size())) {
            problem = name + " cannot be read";
        }
        for (std::uint64_t offset : hugeProbes) {
            if (problem.isEmpty() &&
                (::pread(fd, &probe, 1, static_cast<off_t>(offset)) != 1 || probe != 0)) {
                problem = QString("%1 byte %2 is %3, expected 0").arg(name).arg(offset).arg(probe);
            }
        }
        ::close(fd);
        if (!problem.isEmpty()) {
            return problem;
        }
    } else if (!readWhole(file.path, now)) {
        return name + " cannot be read";
    } else if (now.size() != file.bytes.size()) {
        return QString("%1 is %2 bytes long, expected %3")
            .arg(name)
            .arg(now.size())
            .arg(file.bytes.size());
    }
    const auto differs = std::mismatch(now.begin(), now.end(), file.bytes.begin());
    if (differs.first == now.end()) {
        return {};
    }
    const auto at = differs.first - now.begin();
    if (at < 16) {
        return QString("%1 header is %2, expected %3%4")
            .arg(name, hex(now.data(), std::min<std::size_t>(16, now.size())),
                 hex(file.bytes.data(), std::min<std::size_t>(16, file.bytes.size())),
                 file.readOnly ? " (the file is read-only)" : "");
    }
    return QString("%1 byte %2 behind the header is %3, expected %4")
        .arg(name)
        .arg(at)
        .arg(now[at])
        .arg(file.bytes[at]);
}

QString Session::verify() {
    if (!stepProblem.isEmpty()) {
        return stepProblem;
    }
    if (QTest::currentTestFailed()) {
        return "a check inside the step failed (see above)";
    }
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        return "a popup was left open";
    }
    QString problem = verifyPrompts();
    if (problem.isEmpty()) {
        problem = verifyControls();
    }
    for (const File& file : files) {
        if (problem.isEmpty()) {
            problem = verifyFile(file);
        }
    }
    QWidget* focused = QApplication::focusWidget();
    if (problem.isEmpty() && expectedFocus != nullptr && focused != expectedFocus) {
        problem = QString("the focus is on %1, expected on %2")
                      .arg(focused != nullptr ? focused->objectName() : "nothing",
                           expectedFocus->objectName());
    }
    if (problem.isEmpty() && expectUnchanged && w->highlighted() != highlightBefore) {
        problem = QString("clicking a disabled control changed the highlight from [%1] to [%2]")
                      .arg(highlightBefore.join(' '), w->highlighted().join(' '));
    }
    return problem;
}

QString Session::run() {
    dir = std::make_unique<testfiles::TempDir>();
    makeFiles();
    newWindow();
    if (QTest::currentTestFailed()) {
        return "setting up failed";
    }
    for (int done = 0; done < actions;) {
        startStep();
        if (!act()) {
            continue;
        }
        ++done;
        const QString problem = verify();
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    w.reset();
    return {};
}

std::uint32_t fromEnvironment(const char* name, std::uint32_t fallback) {
    if (qEnvironmentVariableIsEmpty(name)) {
        return fallback;
    }
    bool ok = false;
    const uint value = qEnvironmentVariable(name).toUInt(&ok);
    if (!ok) {
        qFatal("%s must be a non-negative whole number", name);
    }
    return value;
}

} // namespace

class RandomUserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { filterNoise(); }

    void randomSession() {
        const std::uint32_t seed = fromEnvironment("TALLOWICK_SEED", defaultSeed);
        const int actions = static_cast<int>(fromEnvironment("TALLOWICK_ACTIONS", defaultActions));
        std::fprintf(stderr, "randomUserTest: seed %u, %d actions\n", seed, actions);
        QElapsedTimer clock;
        clock.start();
        Session session(seed, actions);
        const QString problem = session.run();
        if (!problem.isEmpty()) {
            const auto& steps = session.log();
            std::fprintf(stderr, "\nrandomUserTest FAILED: seed %u, after action %zu\n", seed,
                         steps.size());
            std::fprintf(stderr, "rerun with TALLOWICK_SEED=%u TALLOWICK_ACTIONS=%zu\n", seed,
                         steps.size());
            std::fprintf(stderr, "actions:\n");
            for (std::size_t i = 0; i < steps.size(); ++i) {
                std::fprintf(stderr, "%6zu  %s\n", i + 1, steps[i].c_str());
            }
            std::fprintf(stderr, "problem: %s\n\n", qPrintable(problem));
            QFAIL(qPrintable(
                QString("seed %1, action %2: %3").arg(seed).arg(steps.size()).arg(problem)));
        }
        std::fprintf(stderr, "randomUserTest: %d actions in %lld ms: %s\n", actions,
                     static_cast<long long>(clock.elapsed()), qPrintable(session.summary()));
    }
};

int main(int argc, char** argv) {
    return runTests<RandomUserTest>(argc, argv);
}

#include "randomUserTest.moc"
