// A long random session with the main window (TALLOWICK_SEED picks it,
// TALLOWICK_ACTIONS sets its length): loads, typing, tabbing, clicks, Apply,
// Free and close. After every step the grid, the working copy, the boxes shown
// and every file on disk are checked against a model of what the user did. A
// failure prints the seed and every action that led to it.
#include "GuiHarness.h"

#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

using namespace harness;
using testfiles::Bytes;

namespace {

// How the boxes the window may show begin: caption, then text.
const QString notOpened = "Error: The file does not exist:",
              notInes = "Error: The file is not a valid iNES",
              readOnly = "Error: The file cannot be written because it is read-only";

// What is typed into a number box: the text and the number it stands for,
// which the box takes when it is in its range.
constexpr int bad = -1;   // not a number: rejected with an error box
constexpr int blank = -2; // empty or blanks: a page count ignores it, the mapper rejects it
struct Input {
    QString text;
    int value;
};
// Texts typed and the numbers they stand for; "%1" is a number from 0 to
// 255, written in one of the ways a box accepts. Up to 4095 (the mapper) and
// 3839 (the pages) only NES 2.0 takes.
// clang-format off
const Input typed[] = {{"%1", 0}, {"%1", 0}, {"%1", 0}, {"%1", 0}, {"+%1", 0}, {" %1  ", 0}, {"00%1", 0}, {" +0%1", 0},
    {"0000000000000000%1", 0}, {"256", 256}, {"+256", 256}, {"1000", 1000}, {"3839", 3839}, {"3840", 3840}, {"4095", 4095},
    {"4096", bad}, {"-1", bad}, {"-300", bad}, {"-0", 0}, {"", blank}, {"", blank}, {"  ", blank}, {"2147483648", bad},
    {"0x1F", bad}, {"1e2", bad}, {"-", bad}, {"+-5", bad}, {"1 2", bad}, {"1.5", bad}};
// clang-format on

const QStringList numberBoxes = {"txtMapperNum", "txtPrgPages", "txtChrPages"};
const QStringList checkBoxes = {"chk4ScreenMirroring", "chkSRAM", "chkTrainer"};
constexpr std::uint8_t checkBits[] = {0x08, 0x02, 0x04};
// What a click lands on, the more often the more it is listed.
const QStringList controls =
    QString("txtLabel txtByte3 txtMapperName txtPrgMem txtChrMem txtMapperNum "
            "txtPrgPages txtChrPages sgdHeader sgdHeader Label1 Label3 Image1 "
            "cmbMirroring cmbMirroring btnApply btnApply chk4ScreenMirroring "
            "chkSRAM chkTrainer chk4ScreenMirroring chkSRAM chkTrainer txtSubmapper")
        .split(' ');

// A file and what it must hold: its first 16 bytes in hex (none: missing),
// then `payload` bytes, and zeros up to `length` in a sparse file.
struct File {
    std::string name;
    const char* head;
    std::size_t payload;
    bool readOnly = false;
    std::uint64_t length = 0;
    std::string path = {};
    Bytes bytes = {};
};

QString hex(const std::uint8_t* bytes, std::size_t count) {
    return QByteArray(reinterpret_cast<const char*>(bytes), int(std::min<std::size_t>(count, 16)))
        .toHex(' ')
        .toUpper();
}

class Session {
public:
    Session(std::uint32_t seed, int actions) : rng(seed), actions(actions) {
        // The clean file has iNES 1.0 console bits in byte 7 that a mapper entry clears.
        // clang-format off
        files = {{"clean-\xC3\xA4.nes", "4E45531A020113010000000000000000", 3000},
                 {"dirty.nes", "4E45531A080440004469736B44756465", 2000},
                 {"dirty-locked.nes", "4E45531A010101000102030405060708", 500, true},
                 {"locked.nes", "4E45531A040022300000000000000000", 700, true},
                 {"nes2.nes", "4E45531A020110085000070001000000", 300},
                 {"trainer.nes", "4E45531A010134000000000000000000", 512 + 1500},
                 {"header-only.nes", "4E45531A0000F9F00000000000000000", 0},
                 {"not-ines.nes", "504B0304090909090000000000000000", 100},
                 {"short.nes", "4E45531A0101000005050505050505", 0},
                 {"missing.nes", "", 0},
                 {"huge.nes", "4E45531A100041400000000000000000", 1000, false, std::uint64_t(1) << 30}};
        // clang-format on
        for (File& file : files) {
            file.bytes = testfiles::image(testfiles::fromHex(file.head), file.payload);
            file.path = dir.file(file.name);
            file.length = std::max<std::uint64_t>(file.length, file.bytes.size());
            if (!file.bytes.empty()) {
                testfiles::writeSparse(file.path, file.bytes, file.length);
            }
            if (file.readOnly) {
                testfiles::makeReadOnly(file.path);
            }
        }
    }

    QStringList steps; // what the user did, one numbered line per action

    // Runs the whole session; false when a check failed.
    bool run() {
        for (int done = 0; done < actions && !QTest::currentTestFailed(); ++done) {
            steps << QString::number(done + 1).rightJustified(6) + " ";
            if (closed) {
                note("open a window");
                w.reset();
                w = std::make_unique<Window>();
                current = -1;
                closed = false;
            }
            step = {};
            w->prompts.clear();
            act();
            if (!QTest::currentTestFailed()) {
                verify();
            }
        }
        return !QTest::currentTestFailed();
    }

private:
    int pick(std::size_t n) { return static_cast<int>(rng() % n); }
    bool chance(int percent) { return pick(100) < percent; }
    void note(const QString& action) {
        steps.last() += (steps.last().endsWith(' ') ? "" : ", ") + action;
    }
    QLineEdit* number(int box) { return w->form().findChild<QLineEdit*>(numberBoxes[box]); }

    void act() {
        // Typing needs a cartridge; without one, loads are likelier.
        const int weights[] = {current < 0 ? 40 : 10, current < 0 ? 0 : 30, 10, 36, 3, 3};
        void (Session::*const runs[])() = {&Session::load,    &Session::typeNumber,
                                           &Session::tab,     &Session::click,
                                           &Session::freeRom, &Session::closeWindow};
        int kind = 0;
        for (int draw = pick(std::accumulate(std::begin(weights), std::end(weights), 0));
             draw >= weights[kind]; draw -= weights[kind++]) {
        }
        const auto run = runs[kind]; // GCC 12's bounds check misreads runs[kind] inside ->*
        (this->*run)();
    }

    // A file of the table or, one time in twelve, a cancelled dialog.
    void load() {
        const int index = pick(files.size() + 1);
        if (index == static_cast<int>(files.size())) {
            note("load, cancel the dialog");
            return w->menu("mnuLoad");
        }
        note("load " + QString::fromStdString(files[index].name));
        expectLoad(index, true);
        w->load(QString::fromStdString(files[index].path));
    }

    // Click a number box, type a new text, then Tab, click elsewhere or leave it.
    void typeNumber() {
        const int box = pick(3);
        const Input input = randomInput();
        note(QString("type \"%1\" into %2").arg(input.text, numberBoxes[box]));
        moveFocus(number(box));
        w->type(number(box), input.text);
        entries[box] = input;
        const int then = pick(5);
        then < 2 ? tab() : then < 4 ? click() : void();
    }

    void tab() {
        note("Tab");
        moveFocus(nullptr);
        w->tab();
    }

    // A click on a control; a button may instead get the focus and a Space.
    void click() {
        QWidget* target = w->form().findChild<QWidget*>(controls[pick(controls.size())]);
        if (!target->isEnabled()) {
            // Through the window, as the platform delivers a real click: nothing may change.
            note("click the disabled " + target->objectName());
            step.unchanged = true;
            step.highlight = w->highlighted();
            QTest::mouseClick(w->form().windowHandle(), Qt::LeftButton, {},
                              target->mapTo(&w->form(), QPoint(6, target->height() / 2)));
            return QApplication::processEvents();
        }
        const bool space = qobject_cast<QAbstractButton*>(target) != nullptr && chance(40);
        note((space ? "Space on " : "click ") + target->objectName());
        if (target->focusPolicy() & Qt::ClickFocus) {
            moveFocus(target);
        }
        const int flag = checkBoxes.indexOf(target->objectName());
        work[6] ^= flag >= 0 ? checkBits[flag] : 0;
        if (flag == 2) {
            step.boxes << ((work[6] & checkBits[flag]) != 0 ? trainerOn : trainerOff);
        }
        if (target == w->button() && files[current].readOnly) {
            step.boxes << readOnly; // refused; the file is loaded again and the edits are gone
            expectLoad(current, false);
        } else if (target == w->button()) {
            std::copy(work.begin(), work.end(), files[current].bytes.begin());
            base = work;
        }
        QPoint at(6, target->height() / 2);
        if (target == w->combo()) {
            const int index = pick(2);
            note("choose " + w->combo()->itemText(index));
            work[6] = static_cast<std::uint8_t>((work[6] & ~0x01) | index);
            return w->choose(index);
        }
        if (target == w->grid()) {
            const int row = pick(2), column = pick(10);
            note(QString("at column %1, row %2").arg(column).arg(row));
            at = w->grid()->visualItemRect(w->grid()->item(row, column)).center();
            target = w->grid()->viewport();
        }
        if (space) {
            target->setFocus(Qt::TabFocusReason);
            QTest::keyClick(target, Qt::Key_Space);
        } else {
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
        }
        QApplication::processEvents();
    }

    // Blanking a number box that has the focus judges nothing.
    void freeRom() {
        note("Free Rom");
        current = -1;
        w->menu("mnuFree");
    }

    // Closing commits the number being typed (a refused one keeps the window);
    // only the user's changes to a writable file are offered for saving.
    void closeWindow() {
        const bool yes = chance(50);
        note(QString("close the window, answer %1").arg(yes ? "Yes" : "No"));
        w->prompts.answers.push_back(yes ? platform::Answer::yes : platform::Answer::no);
        QWidget* focused = w->form().focusWidget();
        closed = focused == nullptr || commit(numberBoxes.indexOf(focused->objectName()));
        if (closed && current >= 0 && !files[current].readOnly && work != base) {
            step.boxes << saveQuestion;
            if (yes) {
                std::copy(work.begin(), work.end(), files[current].bytes.begin());
            }
        }
        w->closeWindow();
        w->prompts.answers.clear();
    }

    Input randomInput() {
        Input input = typed[pick(std::size(typed))];
        if (input.text.contains("%1")) {
            const int edges[] = {0, 15, 16, 255};
            input.value = chance(30) ? edges[pick(4)] : pick(256);
            input.text = input.text.arg(input.value);
        }
        return input;
    }

    // The focus moves to `target` (nullptr: elsewhere): leaving a number box commits it.
    void moveFocus(QWidget* target) {
        QWidget* focused = QApplication::focusWidget();
        if (focused != target && focused != nullptr) {
            commit(numberBoxes.indexOf(focused->objectName()));
            if (focused->objectName() == "txtSubmapper") {
                showEntries(); // an edit in the NES 2.0 area shows every field again
            }
        }
    }

    // What leaving box `box` (-1: not a number box) does: its number goes
    // into the working copy, or it is rejected with an error box (false).
    bool commit(int box) {
        if (box < 0 || current < 0 || (entries[box].value == blank && box > 0)) {
            return true;
        }
        const bool nes2 = (work[7] & 0x0C) == 0x08;
        const int value = entries[box].value;
        if (value < 0 || value > (box == 0 ? (nes2 ? 4095 : 255) : (nes2 ? 3839 : 255))) {
            step.rejected << "'" + entries[box].text + "'";
            return false;
        }
        if (box == 0) {
            // Only the mapper's bits change in every format; NES 2.0 has bits 8-11 in byte 8.
            work[6] = static_cast<std::uint8_t>((work[6] & 0x0F) | ((value & 0x0F) << 4));
            work[7] = static_cast<std::uint8_t>((value & 0xF0) | (work[7] & 0x0F));
            work[8] = static_cast<std::uint8_t>(nes2 ? (work[8] & 0xF0) | (value >> 8) : work[8]);
        } else {
            const int shift = box == 1 ? 0 : 4;
            work[3 + box] = static_cast<std::uint8_t>(value);
            work[9] = static_cast<std::uint8_t>(
                nes2 ? (work[9] & ~(0x0F << shift)) | ((value >> 8) << shift) : work[9]);
        }
        return true;
    }

    // A refused file leaves the image that was open. Before another image
    // replaces unapplied edits to a writable file (`ask`), the user is asked:
    // Yes saves them, No drops them, Cancel keeps everything as it is.
    void expectLoad(int index, bool ask) {
        File& file = files[index];
        if (file.bytes.size() < 16 || hex(file.bytes.data(), 4) != "4E 45 53 1A") {
            step.boxes << (file.bytes.empty() ? notOpened : notInes);
            return;
        }
        if (ask && current >= 0 && !files[current].readOnly && work != base) {
            const platform::Answer answer = std::array{platform::Answer::yes, platform::Answer::no,
                                                       platform::Answer::cancel}[pick(3)];
            note(QString("answer %1").arg(int(answer)));
            w->prompts.answers.push_back(answer);
            step.boxes << saveQuestion;
            if (answer == platform::Answer::cancel) {
                return;
            }
            if (answer == platform::Answer::yes) {
                std::copy(work.begin(), work.end(), files[current].bytes.begin());
            }
        }
        current = -1;
        // Bytes 8-15 are data in NES 2.0, and iNES 1.0 extension data (bytes
        // 11-15 zero, byte 9 at most 1, byte 8 at most 16) when bytes 12-15
        // are zero and byte 7 bits 2-3 read 00; anything else there is garbage.
        const Bytes& b = file.bytes;
        const bool zeroFrom11 = std::count(b.begin() + 11, b.begin() + 16, 0) == 5;
        const bool extension = (b[7] & 0x0C) == 0 && zeroFrom11 && b[9] <= 1 && b[8] <= 16;
        if ((file.bytes[7] & 0x0C) != 0x08 && !extension &&
            std::count(file.bytes.begin() + 8, file.bytes.begin() + 16, 0) < 8) {
            step.boxes << (file.readOnly ? kept : removed);
            std::fill(file.bytes.begin() + (file.readOnly ? 16 : 8), file.bytes.begin() + 16, 0);
        }
        std::copy(file.bytes.begin(), file.bytes.begin() + 16, work.begin());
        base = work;
        current = index;
        showEntries();
    }

    // The number boxes show the working copy again.
    void showEntries() {
        const int nes2 = (work[7] & 0x0C) == 0x08 ? 1 : 0;
        const int values[] = {(work[6] >> 4) | (work[7] & 0xF0) | nes2 * ((work[8] & 0x0F) << 8),
                              work[4] | nes2 * ((work[9] & 0x0F) << 8),
                              work[5] | nes2 * ((work[9] >> 4) << 8)};
        for (int box = 0; box < 3; ++box) {
            entries[box] = {QString::number(values[box]), values[box]};
        }
    }

    // The checks after every step; the first that fails ends the session.
    void verify() {
        // The boxes, then the error boxes, each cut to the beginning expected of it.
        QStringList shown = w->prompts.boxes + w->prompts.errors;
        const QStringList wanted = step.boxes + step.rejected;
        for (int i = 0; i < shown.size() && i < wanted.size(); ++i) {
            shown[i].truncate(wanted[i].size());
        }
        QCOMPARE(shown.join(" | "), wanted.join(" | "));
        // Every file holds what the model says: length, header and what follows.
        for (const File& file : files) {
            std::ifstream in(file.path, std::ios::binary);
            Bytes now(file.bytes.size());
            in.read(reinterpret_cast<char*>(now.data()), static_cast<std::streamsize>(now.size()));
            const QString name = QString::fromStdString(file.name) + ": ";
            const auto size =
                testfiles::exists(file.path) ? std::filesystem::file_size(file.path) : 0;
            QCOMPARE(name + QString::number(size) + " bytes, " + hex(now.data(), now.size()),
                     name + QString::number(file.length) + " bytes, " +
                         hex(file.bytes.data(), file.bytes.size()));
            QVERIFY2(now == file.bytes, qPrintable(name + "changed behind its header"));
        }
        TfrmMain& form = w->form();
        QCOMPARE(form.isVisible(), !closed);
        const bool loaded = !closed && current >= 0;
        QVERIFY(closed || (form.romFile != nullptr) == loaded);
        QVERIFY(!step.unchanged || w->highlighted() == step.highlight);
        if (!closed) {
            QCOMPARE(w->byteCells().join(' '),
                     loaded ? hex(form.header->data(), 16) : QString(15, ' '));
        }
        if (loaded) {
            QCOMPARE(hex(form.header->data(), 16), hex(work.data(), 16));
            QCOMPARE(form.isWindowModified(), work != base);
            QCOMPARE(w->find<QCheckBox>("chkTrainer")->isChecked(), (work[6] & 0x04) != 0);
        }
    }

    std::mt19937 rng;
    int actions;
    testfiles::TempDir dir;
    std::vector<File> files;
    std::unique_ptr<Window> w;

    // The model: what the window holds, its working copy, the number boxes.
    int current = -1;   // the file loaded, or -1
    bool closed = true; // the window is closed: a fresh one comes next
    CartridgeHeader work{};
    CartridgeHeader base{}; // the header as the window last read or wrote it
    Input entries[3];
    // What the step must show: the boxes, the rejected texts; for a click on
    // a disabled control, the highlight it must not change.
    struct {
        QStringList boxes, rejected, highlight;
        bool unchanged = false;
    } step;
};

} // namespace

class RandomUserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { filterNoise(); }

    void randomSession() {
        const std::uint32_t seed = qEnvironmentVariable("TALLOWICK_SEED", "20240611").toUInt();
        const int actions = qEnvironmentVariable("TALLOWICK_ACTIONS", "3000").toInt();
        std::fprintf(stderr, "randomUserTest: seed %u, %d actions\n", seed, actions);
        Session session(seed, actions);
        if (!session.run()) {
            const auto count = static_cast<int>(session.steps.size());
            std::fprintf(stderr,
                         "\nrandomUserTest FAILED: seed %u, at action %d\nrerun with "
                         "TALLOWICK_SEED=%u TALLOWICK_ACTIONS=%d\nactions:\n%s\n",
                         seed, count, seed, count, qPrintable(session.steps.join('\n')));
        }
    }
};

int main(int argc, char** argv) {
    return runTests<RandomUserTest>(argc, argv);
}

#include "randomUserTest.moc"
