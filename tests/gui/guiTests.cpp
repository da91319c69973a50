// The windows driven as a user drives them, on real files in temporary folders.
#include "Format.h"
#include "GuiHarness.h"
#include "TestFiles.h"
#include "guiMain.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace harness;
using namespace testfiles;

namespace {

const char* const numberBoxes[] = {"txtMapperNum", "txtPrgPages", "txtChrPages"};
const char* const allEdits[] = {"txtLabel",    "txtByte3",  "txtMapperNum", "txtMapperName",
                                "txtPrgPages", "txtPrgMem", "txtChrPages",  "txtChrMem"};
const char* const checkBoxes[] = {"chk4ScreenMirroring", "chkSRAM", "chkTrainer"};

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

// While one lives, every write of this process fails as on a full disk:
// files may not grow past 0 bytes, so no write reaches a file.
class WritesFail {
public:
    WritesFail() {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~WritesFail() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    WritesFail(const WritesFail&) = delete;
    WritesFail& operator=(const WritesFail&) = delete;

private:
    rlimit saved{};
};

// Answers the next modal dialog once it is open, unless `owner` is gone by
// then; one left open after five seconds is closed, so that a test fails
// instead of hanging.
void whenModal(QObject* owner, std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, owner, [answer] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            answer(dialog);
        }
    });
    QTimer::singleShot(5000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            stuck->close();
        }
    });
}

CartridgeHeader asHeader(const Bytes& bytes) {
    CartridgeHeader header{};
    std::copy(bytes.begin(), bytes.begin() + 16, header.begin());
    return header;
}

// Everything from offset 16 on, and the length, as they were.
bool tailKept(const Bytes& before, const Bytes& after) {
    return before.size() == after.size() &&
           std::equal(before.begin() + 16, before.end(), after.begin() + 16);
}

} // namespace

class GuiTests : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> tmp;

    QString file(const Bytes& bytes, const char* name = "game.nes") {
        std::string path = tmp->file(name);
        writeFile(path, bytes);
        return QString::fromStdString(path);
    }
    QString readOnly(const Bytes& bytes, const char* name = "locked.nes") {
        QString path = file(bytes, name);
        makeReadOnly(path.toStdString());
        return path;
    }
    static Bytes bytesOf(const QString& path) { return readFile(path.toStdString()); }

    static void expectBlank(Window& w) {
        for (const char* name : allEdits) {
            QVERIFY2(w.edit(name)->text().isEmpty(), name);
            QVERIFY2(!w.edit(name)->isEnabled(), name);
        }
        for (const char* name : checkBoxes) {
            QVERIFY(!w.check(name)->isChecked());
            QVERIFY(!w.check(name)->isEnabled());
        }
        QCOMPARE(w.combo()->currentIndex(), -1);
        QVERIFY(!w.combo()->isEnabled());
        QVERIFY(!w.apply()->isEnabled());
        QCOMPARE(w.byteCells(), QStringList(16, QString()));
        QCOMPARE(w.cell(0, 0), QString("0x0000"));
        QCOMPARE(w.cell(0, 1), QString("0x0008"));
        QCOMPARE(w.cell(5, 0), QString("-"));
        QCOMPARE(w.cell(5, 1), QString("-"));
        QVERIFY(w.highlighted().isEmpty());
    }

private slots:
    void initTestCase() { filterNoise(); }
    void init() { tmp = std::make_unique<TempDir>(); }
    void cleanup() { tmp.reset(); }

    void startsEmptyWithTheLaidOutControls() {
        Window w;
        expectBlank(w);
        QVERIFY(!w.form().romLoaded);
        QCOMPARE(w.form().windowTitle(), QString("Tallowick"));
        QCOMPARE(w.form().centralWidget()->size(), QSize(321, 288));
        QCOMPARE(w.form().minimumSize(), w.form().maximumSize());
        struct Place {
            const char* name;
            QRect rect;
        } places[] = {
            {"sgdHeader", {80, 16, 216, 41}},       {"txtLabel", {120, 72, 33, 17}},
            {"txtByte3", {120, 96, 33, 17}},        {"txtMapperNum", {120, 120, 33, 17}},
            {"txtMapperName", {120, 144, 193, 17}}, {"txtPrgPages", {120, 168, 33, 17}},
            {"txtPrgMem", {160, 168, 153, 17}},     {"txtChrPages", {120, 192, 33, 17}},
            {"txtChrMem", {160, 192, 153, 17}},     {"chk4ScreenMirroring", {184, 72, 129, 17}},
            {"chkSRAM", {184, 96, 113, 17}},        {"chkTrainer", {184, 120, 121, 17}},
            {"btnApply", {108, 256, 97, 25}},       {"Image1", {27, 11, 30, 46}},
        };
        for (const Place& place : places) {
            auto* control = w.form().findChild<QWidget*>(place.name);
            QVERIFY2(control != nullptr, place.name);
            QCOMPARE(control->geometry(), place.rect);
        }
        QCOMPARE(w.edit("txtLabel")->toolTip(), QString("should be \"NES\""));
        QCOMPARE(w.edit("txtByte3")->toolTip(), QString("should be 0x1A"));
        for (const char* name :
             {"txtLabel", "txtByte3", "txtMapperName", "txtPrgMem", "txtChrMem"}) {
            QVERIFY2(w.edit(name)->isReadOnly(), name);
        }
        for (const char* name : numberBoxes) {
            QVERIFY2(!w.edit(name)->isReadOnly(), name);
        }
        QStringList menu;
        for (const char* name :
             {"mnuLoad", "mnuFree", "N1", "mnuExit", "mnuFormatInfo", "N2", "mnuAbout"}) {
            QAction* item = w.action(name);
            QVERIFY2(item != nullptr, name);
            QVERIFY(item->isEnabled());
            menu << item->text();
        }
        QCOMPARE(menu, QStringList({"Load Rom", "Free Rom", "", "Exit", "iNES Format (.NES) Info",
                                    "", "About"}));
        // A click on a disabled field, routed by the window, highlights nothing.
        const QPoint byte3 = w.edit("txtByte3")->geometry().center();
        QTest::mouseClick(w.form().windowHandle(), Qt::LeftButton, {},
                          w.form().centralWidget()->mapTo(&w.form(), byte3));
        QVERIFY(w.highlighted().isEmpty());
        // Every text fits its control.
        for (QWidget* control : w.form().findChildren<QWidget*>()) {
            if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty()) {
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
            }
            if (auto* button = qobject_cast<QAbstractButton*>(control);
                button && button->isVisible()) {
                QVERIFY2(button->sizeHint().width() <= button->width() + 2,
                         qPrintable(button->text()));
            }
        }
    }

    void loadsACleanImageWithoutWritingIt() {
        Bytes bytes = image(header(2, 1, 0x0F, 0x00), 40000);
        QString path = file(bytes);
        Window w;
        w.load(path);
        QVERIFY(w.prompts.boxes.empty());
        QCOMPARE(w.prompts.lastTitle, QString("Load Rom"));
        QVERIFY(w.prompts.lastFilter.contains("*.nes") && w.prompts.lastFilter.contains("*.NES"));
        QVERIFY(w.form().romLoaded);
        QCOMPARE(w.edit("txtLabel")->text(), QString("NES"));
        QCOMPARE(w.edit("txtByte3")->text(), QString("0x1A"));
        QCOMPARE(w.edit("txtMapperNum")->text(), QString("0"));
        QCOMPARE(w.edit("txtMapperName")->text(), QString("NROM"));
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("2"));
        QCOMPARE(w.edit("txtPrgMem")->text(), QString("32k (32768 bytes)"));
        QCOMPARE(w.edit("txtChrPages")->text(), QString("1"));
        QCOMPARE(w.edit("txtChrMem")->text(), QString("8k (8192 bytes)"));
        QCOMPARE(w.combo()->currentText(), QString("Vertical"));
        for (const char* name : checkBoxes) {
            QVERIFY(w.check(name)->isChecked() && w.check(name)->isEnabled());
        }
        QVERIFY(w.apply()->isEnabled());
        QCOMPARE(w.byteCells(), expectedCells(asHeader(bytes)));
        QVERIFY(w.highlighted().isEmpty());
        QVERIFY2(w.prompts.boxes.empty(), "setting the trainer box from code shows no note");
        QCOMPARE(bytesOf(path), bytes);
    }

    void loadShowsLargeCountsAndTheMapperName() {
        Bytes bytes = image(header(255, 0, 0x40, 0x00), 100);
        Window w;
        w.load(file(bytes));
        QCOMPARE(w.edit("txtPrgMem")->text(), QString("4080k (4177920 bytes)"));
        QCOMPARE(w.edit("txtChrMem")->text(), QString("0k (0 bytes)"));
        QCOMPARE(w.edit("txtMapperName")->text(), QString("T*ROM, HKROM (MMC3)"));
        QCOMPARE(w.combo()->currentText(), QString("Horizontal"));
    }

    void bytes8To15AtLoad_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QByteArray>("shown"); // bytes 8-15 in the grid and the file after
        QTest::newRow("dirty, writable") << QByteArray("4E45531A02011200"
                                                       "4741524241474521")
                                         << false << garbageRemoved << QByteArray(8, 0);
        QTest::newRow("dirty, read-only")
            << QByteArray("4E45531A02011200"
                          "0102030405060708")
            << true << garbageKept << QByteArray::fromHex("0102030405060708");
        QTest::newRow("NES 2.0 data")
            << QByteArray("4E45531A02011008"
                          "5000070001000000")
            << false << QString() << QByteArray::fromHex("5000070001000000");
    }
    void bytes8To15AtLoad() {
        QFETCH(QByteArray, head);
        QFETCH(bool, locked);
        QFETCH(QString, note);
        QFETCH(QByteArray, shown);
        const QByteArray raw = QByteArray::fromHex(head);
        Bytes bytes = image(Bytes(raw.begin(), raw.end()), 3000);
        QString path = locked ? readOnly(bytes) : file(bytes);
        Window w;
        w.load(path);
        QCOMPARE(int(w.prompts.boxes.size()), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty()) {
            QCOMPARE(w.prompts.boxes[0].text, note);
            QCOMPARE(w.prompts.boxes[0].caption, QString("Note"));
            QCOMPARE(w.prompts.boxes[0].buttons, platform::Buttons::ok);
        }
        Bytes expected = bytes;
        std::copy(shown.begin(), shown.end(), expected.begin() + 8);
        QCOMPARE(bytesOf(path), expected);
        QCOMPARE(w.byteCells(), expectedCells(asHeader(expected)));
        QVERIFY(w.apply()->isEnabled());
    }

    void refusesWhatIsNotAnImage_data() {
        QTest::addColumn<QByteArray>("head"); // the file's bytes; empty: no such file
        QTest::addColumn<QString>("message");
        QTest::newRow("not iNES") << QByteArray("504B030400000000"
                                                "0000000000000000")
                                  << notInes;
        QTest::newRow("byte 3 wrong") << QByteArray("4E45531B01010000"
                                                    "0000000000000000")
                                      << notInes;
        QTest::newRow("too short") << QByteArray("4E45531A01010000") << notInes;
        QTest::newRow("missing") << QByteArray() << notOpened;
        QTest::newRow("a folder") << QByteArray("folder") << notInes;
    }
    void refusesWhatIsNotAnImage() {
        QFETCH(QByteArray, head);
        QFETCH(QString, message);
        const QByteArray raw = QByteArray::fromHex(head);
        const Bytes bytes(raw.begin(), raw.end());
        QString path = QString::fromStdString(tmp->file("rom.nes"));
        if (head == "folder") {
            path = QString::fromStdString(tmp->path());
        } else if (!head.isEmpty()) {
            path = file(bytes, "rom.nes");
        }
        Window w;
        w.load(path);
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QCOMPARE(w.prompts.boxes[0].text, message);
        QCOMPARE(w.prompts.boxes[0].caption, QString("Error"));
        QVERIFY(w.form().romFile == nullptr);
        QVERIFY(!w.form().romLoaded);
        expectBlank(w);
        if (head.isEmpty()) {
            QVERIFY(!exists(path.toStdString())); // nothing was created
        } else if (head != "folder") {
            QCOMPARE(bytesOf(path), bytes);
        }
    }

    void failedLoadAfterLoadBlanksTheWindow() {
        Window w;
        w.load(file(image(header(1, 1, 0, 0), 100)));
        w.load(QString::fromStdString(tmp->file("gone.nes")));
        QCOMPARE(w.prompts.boxes.back().text, notOpened);
        expectBlank(w);
        QVERIFY(!w.form().romLoaded);
        w.apply()->click(); // disabled: nothing may reach a released stream
        w.closeWindow();
        QCOMPARE(int(w.prompts.boxes.size()), 1);
    }

    void aboutAndExit() {
        Window w;
        w.menu("mnuAbout");
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QCOMPARE(w.prompts.boxes[0].caption, QString("About"));
        QCOMPARE(w.prompts.boxes[0].buttons, platform::Buttons::ok);
        QVERIFY(w.prompts.boxes[0].text.contains("Tallowick"));
        w.menu("mnuExit");
        QVERIFY(!w.form().isVisible());
        QCOMPARE(int(w.prompts.boxes.size()), 1);
    }

    void formatWindowIsShownHiddenAndReused() {
        TfrmFormatInfo info;
        frmFormatInfo = &info;
        Window w;
        QVERIFY(!info.isVisible());
        w.menu("mnuFormatInfo");
        QVERIFY(info.isVisible());
        w.menu("mnuFormatInfo");
        QCOMPARE(QApplication::topLevelWidgets().count(&info), 1);
        auto* memo = info.findChild<QPlainTextEdit*>("memFormat");
        const QStringList lines = memo->toPlainText().split('\n');
        QCOMPARE(lines.size(), 28);
        QCOMPARE(lines.first(), QString("  iNES Format (.NES)"));
        QCOMPARE(lines[10],
                 QString("    |        |      |   %####vTsM                              |"));
        QVERIFY(memo->isReadOnly());
        // Every line fits the memo without wrapping or scrolling.
        const QFontMetrics metrics(memo->font());
        for (const QString& line : lines) {
            QVERIFY(metrics.horizontalAdvance(line) < memo->viewport()->width());
        }
        QVERIFY(metrics.lineSpacing() * 28 < memo->viewport()->height());
        QTest::keyClicks(memo, "typed");
        QCOMPARE(memo->toPlainText().split('\n'), lines);
        info.findChild<QPushButton*>("btnClose")->click();
        QVERIFY(!info.isVisible());
        w.menu("mnuFormatInfo");
        QVERIFY(info.isVisible());
        info.close(); // the title bar's close box
        QVERIFY(!info.isVisible());
        QVERIFY(w.form().isVisible());
        frmFormatInfo = nullptr;
    }

    // -------------------------------------------------------------- editing

    void mapperNumberBox() {
        Bytes bytes = image(header(1, 1, 0x01, 0x00), 100);
        Window w;
        w.load(file(bytes));
        QLineEdit* box = w.edit("txtMapperNum");
        w.commit(box, "20");
        QCOMPARE(w.cell(8, 0), QString("41"));
        QCOMPARE(w.cell(9, 0), QString("10"));
        // The name stays the file's.

        QCOMPARE(w.edit("txtMapperName")->text(), QString("NROM"));

        for (const QString& bad :
             {QString(), QString("abc"), QString("300"), QString("-1"), QString("99999999999")}) {
            w.prompts.clear();
            w.commit(box, bad);
            QCOMPARE(w.prompts.errors.size(), 1);
            if (bad == "300" || bad == "-1") {
                QVERIFY2(w.prompts.errors[0].contains("0 to 255"), qPrintable(w.prompts.errors[0]));
            }
            QCOMPARE(box->text(), bad);
            QCOMPARE((*w.form().header)[6], std::uint8_t(0x41));
            QCOMPARE((*w.form().header)[7], std::uint8_t(0x10));
            QCOMPARE(w.cell(8, 0), QString("41"));
            w.activate();
        }
        w.prompts.clear();
        w.commit(box, " +7 ");
        QVERIFY(w.prompts.errors.isEmpty());
        QCOMPARE(w.cell(8, 0), QString("71"));
        QCOMPARE(w.cell(9, 0), QString("00"));
    }

    void tabbingThroughTheMapperBoxClearsIneslowBitsButKeepsNes2() {
        Window w;
        w.load(file(image(header(1, 1, 0x00, 0x01), 100), "ines.nes"));
        w.focus(w.edit("txtMapperNum"));
        w.tab();
        QCOMPARE((*w.form().header)[7], std::uint8_t(0x00));
        QCOMPARE(w.cell(9, 0), QString("00"));

        w.load(file(image(header(1, 1, 0x10, 0x09), 100), "nes2.nes"));
        w.commit(w.edit("txtMapperNum"), "33");
        QCOMPARE((*w.form().header)[6], std::uint8_t(0x10));
        QCOMPARE((*w.form().header)[7], std::uint8_t(0x29));
        QCOMPARE(w.cell(9, 0), QString("29"));
    }

    void pageCountBoxes() {
        Window w;
        w.load(file(image(header(1, 1, 0, 0), 100)));
        w.commit(w.edit("txtPrgPages"), "2");
        QCOMPARE(w.edit("txtPrgMem")->text(), QString("32k (32768 bytes)"));
        QCOMPARE(w.cell(6, 0), QString("02"));
        w.commit(w.edit("txtPrgPages"), "0");
        QCOMPARE(w.edit("txtPrgMem")->text(), QString("0k (0 bytes)"));
        QCOMPARE(w.cell(6, 0), QString("00"));
        w.commit(w.edit("txtChrPages"), "255");
        QCOMPARE(w.edit("txtChrMem")->text(), QString("2040k (2088960 bytes)"));
        QCOMPARE(w.cell(7, 0), QString("FF"));

        w.commit(w.edit("txtPrgPages"), "");
        QVERIFY(w.prompts.errors.isEmpty());
        QCOMPARE(w.edit("txtPrgMem")->text(), QString("0k (0 bytes)"));
        for (const char* bad : {"300", "-1", "x1", "256"}) {
            w.prompts.clear();
            w.commit(w.edit("txtChrPages"), bad);
            QCOMPARE(w.prompts.errors.size(), 1);
            QCOMPARE(w.edit("txtChrMem")->text(), QString("2040k (2088960 bytes)"));
            QCOMPARE((*w.form().header)[5], std::uint8_t(0xFF));
            w.activate();
        }
    }

    void mirroringAndFlags() {
        Window w;
        w.load(file(image(header(1, 1, 0x00, 0x00), 100)));
        w.choose(1);
        QCOMPARE(w.cell(8, 0), QString("01"));
        QCOMPARE(w.highlighted(), QStringList({"8,0"}));
        w.choose(1); // the entry already shown
        QCOMPARE(w.cell(8, 0), QString("01"));

        w.toggle(w.check("chk4ScreenMirroring"));
        QCOMPARE(w.cell(8, 0), QString("09"));
        QCOMPARE(w.combo()->currentText(), QString("Vertical"));
        w.toggle(w.check("chkSRAM"));
        QCOMPARE(w.cell(8, 0), QString("0B"));
        QVERIFY(w.prompts.boxes.empty());

        w.toggle(w.check("chkTrainer"));
        QCOMPARE(w.cell(8, 0), QString("0F"));
        w.activate();
        // By keyboard: the box has the focus, Space toggles it back.
        QTest::keyClick(w.check("chkTrainer"), Qt::Key_Space);
        QCOMPARE(w.cell(8, 0), QString("0B"));
        QCOMPARE(int(w.prompts.boxes.size()), 2);
        QCOMPARE(w.prompts.boxes[0].text, trainerOn);
        QCOMPARE(w.prompts.boxes[1].text, trainerOff);
        QCOMPARE(w.prompts.boxes[1].caption, QString("Note"));

        w.choose(0);
        QCOMPARE(w.cell(8, 0), QString("0A"));
        QCOMPARE((*w.form().header)[6], std::uint8_t(0x0A));
    }

    void clickingAFieldHighlightsItsBytes() {
        Window w;
        w.load(file(image(header(1, 1, 0, 0), 100)));
        struct Case {
            const char* name;
            QStringList cells;
        } cases[] = {
            {"txtLabel", {"1,0", "2,0", "3,0"}},
            {"txtByte3", {"4,0"}},
            {"txtMapperNum", {"8,0", "9,0"}},
            {"txtMapperName", {"8,0", "9,0"}},
            {"txtPrgPages", {"6,0"}},
            {"txtPrgMem", {"6,0"}},
            {"txtChrPages", {"7,0"}},
            {"txtChrMem", {"7,0"}},
            {"chk4ScreenMirroring", {"8,0"}},
            {"chkSRAM", {"8,0"}},
            {"chkTrainer", {"8,0"}},
            {"cmbMirroring", {"8,0"}},
        };
        for (const Case& c : cases) {
            auto* control = w.form().findChild<QWidget*>(c.name);
            if (qobject_cast<QCheckBox*>(control) != nullptr ||
                qobject_cast<QComboBox*>(control) != nullptr) {
                control->setFocus(Qt::TabFocusReason); // entering by keyboard
            } else {
                w.focus(control);
            }
            QApplication::processEvents();
            QCOMPARE(w.highlighted(), c.cells);
        }
        w.focus(w.edit("txtLabel"));
        w.focus(w.grid());
        QVERIFY2(w.highlighted().size() <= 1, "entering the grid clears the highlight");
        // Tabbing from the grid into the label box highlights the label again.
        w.grid()->setFocus(Qt::TabFocusReason);
        QVERIFY(w.highlighted().isEmpty());
        w.tab();
        QCOMPARE(w.highlighted(), QStringList({"1,0", "2,0", "3,0"}));
    }

    void tabVisitsTheFieldsInTheOrderOfTheWindow() {
        Window w;
        w.load(file(image(header(1, 1, 0, 0), 100)));
        w.grid()->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (int step = 0; step < 14; ++step) {
            w.tab();
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"txtLabel", "txtByte3", "txtMapperNum", "txtMapperName",
                                       "txtPrgPages", "txtPrgMem", "txtChrPages", "txtChrMem",
                                       "cmbMirroring", "chk4ScreenMirroring", "chkSRAM",
                                       "chkTrainer", "btnApply", "sgdHeader"}));
        QVERIFY(w.prompts.errors.isEmpty()); // tabbing through unchanged boxes
        QVERIFY(w.prompts.boxes.empty());
    }

    // -------------------------------------------------------------- apply, free, close

    void applyWritesTheWorkingCopyOnly() {
        Bytes bytes = image(header(1, 1, 0, 0), 40000);
        QString path = file(bytes);
        Window w;
        w.load(path);
        w.commit(w.edit("txtPrgPages"), "8");
        w.commit(w.edit("txtMapperNum"), "4");
        w.toggle(w.check("chkSRAM"));
        QCOMPARE(bytesOf(path), bytes);
        QTest::mouseClick(w.apply(), Qt::LeftButton);
        Bytes now = bytesOf(path);
        QVERIFY(std::equal(w.form().header->begin(), w.form().header->end(), now.begin()));
        QCOMPARE(now[4], std::uint8_t(8));
        QCOMPARE(now[6], std::uint8_t(0x42));
        QVERIFY(tailKept(bytes, now));
        QVERIFY(w.prompts.boxes.empty());
        w.closeWindow();
        QVERIFY2(w.prompts.boxes.empty(), "nothing left to save");
    }

    void applyOnAReadOnlyFileReloadsIt() {
        Bytes bytes = image(header(1, 1, 0, 0), 100);
        QString path = readOnly(bytes);
        Window w;
        w.load(path);
        w.commit(w.edit("txtPrgPages"), "5");
        QTest::mouseClick(w.apply(), Qt::LeftButton);
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QCOMPARE(w.prompts.boxes[0].text, readOnlyApply);
        QCOMPARE(w.prompts.boxes[0].caption, QString("Error"));
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("1"));
        QCOMPARE(w.cell(6, 0), QString("01"));
        QVERIFY(w.edit("txtPrgPages")->isEnabled());
        QVERIFY(w.form().romLoaded);
        QCOMPARE(bytesOf(path), bytes);
        w.commit(w.edit("txtPrgPages"), "7");
        w.closeWindow(); // read-only: edits are dropped without a word
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QCOMPARE(bytesOf(path), bytes);
    }

    void closeOffersToSaveRealChangesOnly_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("written");
        QTest::newRow("yes") << "5" << platform::Answer::yes << true << true;
        QTest::newRow("no") << "5" << platform::Answer::no << true << false;
        QTest::newRow("set back") << "1" << platform::Answer::yes << false << false;
    }
    void closeOffersToSaveRealChangesOnly() {
        QFETCH(QString, edit);
        QFETCH(platform::Answer, answer);
        QFETCH(bool, asked);
        QFETCH(bool, written);
        Bytes bytes = image(header(1, 1, 0, 0), 3000);
        QString path = file(bytes);
        Window w;
        w.load(path);
        w.commit(w.edit("txtPrgPages"), "9");
        w.commit(w.edit("txtPrgPages"), edit);
        w.prompts.answers.push_back(answer);
        w.menu("mnuExit");
        QCOMPARE(!w.prompts.boxes.empty(), asked);
        if (asked) {
            QCOMPARE(w.prompts.boxes[0].text, QString("Changes have been made.  save them?"));
            QCOMPARE(w.prompts.boxes[0].caption, QString("Save Changes"));
            QCOMPARE(w.prompts.boxes[0].buttons, platform::Buttons::yesNo);
        }
        Bytes now = bytesOf(path);
        QCOMPARE(now[4], std::uint8_t(written ? 5 : 1));
        QVERIFY(tailKept(bytes, now));
        QVERIFY(!w.form().isVisible());
    }

    void closeBoxBehavesLikeExit() {
        QString path = file(image(header(1, 1, 0, 0), 100));
        Window w;
        w.load(path);
        w.toggle(w.check("chkSRAM"));
        w.prompts.answers.push_back(platform::Answer::yes);
        w.closeWindow();
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QCOMPARE(w.prompts.boxes[0].caption, QString("Save Changes"));
        QCOMPARE(bytesOf(path)[6], std::uint8_t(0x02));
    }

    void freeBlanksWithoutAskingOrWriting() {
        Window w;
        w.menu("mnuFree"); // before any load
        expectBlank(w);
        Bytes bytes = image(header(1, 1, 0x04, 0), 100);
        QString path = file(bytes);
        w.load(path);
        w.type(w.edit("txtMapperNum"), "7"); // still focused and being typed
        w.menu("mnuFree");
        expectBlank(w);
        QVERIFY2(w.prompts.boxes.empty(), "no trainer note while freeing");
        QVERIFY2(w.prompts.errors.isEmpty(), "no conversion error while freeing");
        w.menu("mnuFree");
        expectBlank(w);
        w.closeWindow();
        QVERIFY(w.prompts.boxes.empty());
        QCOMPARE(bytesOf(path), bytes);
        // After Free and a new load the fixed cells are still there.
        Window again;
        again.load(path);
        again.menu("mnuFree");
        again.load(path);
        QCOMPARE(again.cell(5, 0), QString("-"));
        QCOMPARE(again.cell(0, 1), QString("0x0008"));
    }

    void failedWritesAreReportedNotHidden() {
        const QString failed = "Writing the header to the file failed.";
        Bytes dirty = image({'N', 'E', 'S', 0x1A, 1, 1, 0, 0, 9, 9, 9, 9, 9, 9, 9, 9}, 100);
        QString path = file(dirty);
        Window w;
        {
            WritesFail full;
            w.load(path);
        }
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QCOMPARE(w.prompts.boxes[0].caption, QString("Error"));
        QVERIFY(w.prompts.boxes[0].text.contains("writing the cleaned header"));
        QCOMPARE(w.byteCells().mid(8), QStringList(8, "09")); // the window shows the file
        QCOMPARE(bytesOf(path), dirty);

        w.prompts.clear();
        w.commit(w.edit("txtPrgPages"), "4");
        {
            WritesFail full;
            QTest::mouseClick(w.apply(), Qt::LeftButton);
        }
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QVERIFY(w.prompts.boxes[0].text.startsWith(failed));
        QCOMPARE(bytesOf(path), dirty);

        w.prompts.clear();
        w.prompts.answers.push_back(platform::Answer::yes);
        {
            WritesFail full;
            w.closeWindow();
        }
        QCOMPARE(int(w.prompts.boxes.size()), 2);
        QCOMPARE(w.prompts.boxes[0].caption, QString("Save Changes"));
        QVERIFY(w.prompts.boxes[1].text.startsWith(failed));
        QCOMPARE(bytesOf(path), dirty);
    }

    // -------------------------------------------------------------- the real dialogs

    void realDialogsLoadANonAsciiNameAndShowTheErrorBox() {
        QString path = file(image(header(3, 2, 0, 0), 100), "Zelda – Ärger.nes");
        platform::DialogPrompts real;
        TfrmMain form(real);
        form.show();
        QString title;
        whenModal(&form, [&](QWidget* dialog) {
            title = dialog->windowTitle();
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        form.findChild<QAction*>("mnuLoad")->trigger();
        QCOMPARE(title, QString("Load Rom"));
        QVERIFY(form.romLoaded);
        QCOMPARE(form.findChild<QLineEdit*>("txtPrgPages")->text(), QString("3"));

        // A rejected number raises the error in a real box, from the focus
        // change itself, and the window goes on.
        QString shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        auto commit = [&](const char* name, const char* text) {
            form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&form));
            whenModal(&form, [&](QWidget* dialog) {
                auto* box = qobject_cast<QMessageBox*>(dialog);
                shown = box->text();
                icon = box->icon();
                box->button(QMessageBox::Ok)->click();
            });
            auto* box = form.findChild<QLineEdit*>(name);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, 8));
            box->selectAll();
            QTest::keyClicks(box, text);
            QTest::keyClick(box, Qt::Key_Tab);
        };
        commit("txtPrgPages", "abc");
        QCOMPARE(shown, QString("'abc' is not a valid integer value"));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(form.findChild<QLineEdit*>("txtPrgPages")->text(), QString("abc"));
        commit("txtChrPages", "3");
        QCOMPARE(form.findChild<QLineEdit*>("txtChrMem")->text(), QString("24k (24576 bytes)"));
        form.romLoaded = false; // close without the save question
    }

    void realMessageBoxHasTheCaptionTextAndNoIcon() {
        platform::DialogPrompts real;
        QObject owner;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        int buttons = 0;
        whenModal(&owner, [&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = int(box->buttons().size());
            box->button(QMessageBox::Yes)->click();
        });
        const platform::Answer result = real.message("Changes have been made.  save them?",
                                                     "Save Changes", platform::Buttons::yesNo);
        QCOMPARE(result, platform::Answer::yes);
        QCOMPARE(title, QString("Save Changes"));
        QCOMPARE(text, QString("Changes have been made.  save them?"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 2);
    }
};

int main(int argc, char** argv) {
    return runTests<GuiTests>(argc, argv);
}

#include "guiTests.moc"
