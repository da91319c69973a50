// The windows driven as a user drives them, on real files in temporary folders.
#include "Format.h"
#include "GuiHarness.h"
#include "TestFiles.h"
#include "guiMain.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTimer>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace harness;
using namespace testfiles;

namespace {

const QString garbageRemoved = "Some garbage bytes were found and removed from bytes 8-15 of the "
                               "header.\nYou may need to adjust the mapper for this game to work "
                               "properly.";
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
const QString saveQuestion = "Save Changes: Changes have been made.  save them?";

// While one lives, every write of this process fails as on a full disk.
class WritesFail {
public:
    WritesFail() {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~WritesFail() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

// Answers the next modal dialog once it is open; one left open after five
// seconds is closed, so that a test fails instead of hanging.
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

Bytes fromHex(const QByteArray& hex, std::size_t payload) {
    const QByteArray raw = QByteArray::fromHex(hex);
    return image(Bytes(raw.begin(), raw.end()), payload);
}

QString hexOf(const Bytes& bytes, int count = 16) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), count).toHex().toUpper();
}

// What the user sees: "control=text" for edits, lists and buttons, "control"
// alone for a ticked box; "!control" for a disabled one.
QStringList seen(Window& w, const QStringList& names) {
    QStringList shown;
    for (const QString& name : names) {
        QWidget* control = w.form().findChild<QWidget*>(name);
        QString text = name;
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            text += "=" + edit->text();
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            text += "=" + list->currentText();
        } else if (auto* box = qobject_cast<QCheckBox*>(control)) {
            text = box->isChecked() ? name : "-" + name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            text += "=" + button->text();
        }
        shown << (control->isEnabled() ? text : "!" + text);
    }
    return shown;
}

QStringList namesOf(const QStringList& expected) {
    QStringList names;
    for (QString entry : expected) {
        entry.remove(QRegularExpression("^[!-]+"));
        names << entry.section('=', 0, 0);
    }
    return names;
}

} // namespace

class GuiTests : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> tmp;

    QString file(const Bytes& bytes, const char* name = "game.nes") {
        const std::string path = tmp->file(name);
        writeFile(path, bytes);
        return QString::fromStdString(path);
    }
    static Bytes bytesOf(const QString& path) { return readFile(path.toStdString()); }
    static QString boxes(Window& w) {
        QStringList all;
        for (const Box& box : w.prompts.boxes) {
            all << box.caption + ": " + box.text;
        }
        return (all + w.prompts.errors).join(" | ");
    }

private slots:
    void initTestCase() { filterNoise(); }
    void init() { tmp = std::make_unique<TempDir>(); }
    void cleanup() { tmp.reset(); }

    // The window as laid out, once: where the original fields stand, the
    // texts a user reads, that every text fits, and the order of Tab.
    void layoutTextsAndTabOrder() {
        Window w;
        struct Place {
            const char* name;
            QRect rect;
        } const places[] = {
            {"sgdHeader", {80, 16, 216, 41}},       {"txtLabel", {120, 72, 33, 17}},
            {"txtByte3", {120, 96, 33, 17}},        {"txtMapperNum", {120, 120, 33, 17}},
            {"txtMapperName", {120, 144, 193, 17}}, {"txtPrgPages", {120, 168, 33, 17}},
            {"txtPrgMem", {160, 168, 153, 17}},     {"txtChrPages", {120, 192, 33, 17}},
            {"txtChrMem", {160, 192, 153, 17}},     {"chk4ScreenMirroring", {184, 72, 129, 17}},
            {"chkSRAM", {184, 96, 113, 17}},        {"chkTrainer", {184, 120, 121, 17}},
            {"btnApply", {108, 256, 97, 25}},       {"Image1", {27, 11, 30, 46}},
        };
        for (const Place& place : places) {
            QCOMPARE(w.form().findChild<QWidget*>(place.name)->geometry(), place.rect);
        }
        QCOMPARE(w.edit("txtLabel")->toolTip(), QString("should be \"NES\""));
        QCOMPARE(w.edit("txtByte3")->toolTip(), QString("should be 0x1A"));
        QStringList menu;
        for (const char* name : {"mnuLoad", "mnuRecent", "mnuFree", "mnuLoadDatabase", "N1",
                                 "mnuExit", "mnuFormatInfo", "mnuNes2Info", "N2", "mnuAbout"}) {
            auto* item = w.form().findChild<QObject*>(name);
            auto* action = qobject_cast<QAction*>(item);
            menu << (action ? action->text() : qobject_cast<QMenu*>(item)->title());
        }
        QCOMPARE(
            menu,
            QStringList({"Load Rom", "Recent Files", "Free Rom", "Load Header Database...", "",
                         "Exit", "iNES Format (.NES) Info", "NES 2.0 Format Info", "", "About"}));
        QCOMPARE(w.action("mnuFormatInfo")->shortcut(), QKeySequence(QKeySequence::HelpContents));
        QCOMPARE(w.action("mnuLoad")->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(w.action("mnuExit")->shortcut(), QKeySequence(QKeySequence::Quit));

        // With an NES 2.0 header every list is filled: every text fits.
        w.load(file(fromHex("4E45531A0201100951000000000032FF", 40000)));
        for (QWidget* control : w.form().findChildren<QWidget*>()) {
            const QFontMetrics metrics(control->font());
            if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty()) {
                QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->text()));
            } else if (auto* button = qobject_cast<QAbstractButton*>(control);
                       button && button->isVisible()) {
                QVERIFY2(button->sizeHint().width() <= button->width() + 2,
                         qPrintable(button->text()));
            } else if (auto* list = qobject_cast<QComboBox*>(control)) {
                for (int i = 0; i < list->count(); ++i) {
                    QVERIFY2(metrics.horizontalAdvance(list->itemText(i)) + 24 <= list->width(),
                             qPrintable(list->itemText(i)));
                }
            }
            const QPoint corner = control->mapTo(&w.form(), control->rect().bottomRight());
            QVERIFY2(!control->isVisibleTo(&w.form()) || w.form().rect().contains(corner),
                     qPrintable(control->objectName()));
        }

        w.grid()->setFocus(Qt::TabFocusReason);
        QStringList visited;
        for (int step = 0; step < 35; ++step) {
            w.tab();
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(
            visited.mid(0, 14),
            QStringList({"txtLabel", "txtByte3", "txtMapperNum", "txtMapperName", "txtPrgPages",
                         "txtPrgMem", "txtChrPages", "txtChrMem", "cmbMirroring",
                         "chk4ScreenMirroring", "chkSRAM", "chkTrainer", "btnApply", "txtFormat"}));
        QCOMPARE(visited.mid(14, 8),
                 QStringList({"txtSubmapper", "txtSubmapperName", "txtPrgRomSize", "txtPrgRomForm",
                              "txtChrRomSize", "txtChrRomForm", "cmbPrgRam", "cmbPrgNvram"}));
        QVERIFY(visited.indexOf("cmbExpansion") < visited.indexOf("sgdHeader"));
        QVERIFY2(w.prompts.errors.isEmpty() && w.prompts.boxes.empty(), qPrintable(boxes(w)));
    }

    // What a load shows, what it says, and what it does to the file.
    void loading_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("payload");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QByteArray>("after"); // the file's header after the load
        QTest::addColumn<QStringList>("shown");
        const QStringList ines = {"txtLabel=NES",       "txtByte3=0x1A",
                                  "txtFormat=iNES 1.0", "btnConvert=Convert to NES 2.0",
                                  "!txtSubmapper=",     "!cmbTiming="};
        QTest::newRow("clean") << QByteArray("4E45531A02010F000000000000000000") << 40000 << false
                               << QString() << QByteArray("4E45531A02010F000000000000000000")
                               << ines + QStringList{"txtMapperNum=0",
                                                     "txtMapperName=NROM",
                                                     "txtPrgPages=2",
                                                     "txtPrgMem=32k (32768 bytes)",
                                                     "txtChrPages=1",
                                                     "txtChrMem=8k (8192 bytes)",
                                                     "cmbMirroring=Vertical",
                                                     "chk4ScreenMirroring",
                                                     "chkSRAM",
                                                     "chkTrainer"};
        QTest::newRow("large") << QByteArray("4E45531AFF004000000000000000000") + "0" << 100
                               << false << QString()
                               << QByteArray("4E45531AFF0040000000000000000000")
                               << QStringList{"txtPrgMem=4080k (4177920 bytes)",
                                              "txtChrMem=0k (0 bytes)",
                                              "txtMapperName=T*ROM, HKROM (MMC3)",
                                              "cmbMirroring=Horizontal", "-chkTrainer"};
        QTest::newRow("dirty") << QByteArray("4E45531A020112004741524241474521") << 3000 << false
                               << "Note: " + garbageRemoved
                               << QByteArray("4E45531A020112000000000000000000")
                               << QStringList{"txtMapperName=S*ROM (MMC1)", "chkSRAM"};
        QTest::newRow("dirty, read-only")
            << QByteArray("4E45531A020112000102030405060708") << 3000 << true
            << "Note: " + garbageKept << QByteArray("4E45531A020112000102030405060708")
            << QStringList{"txtFormat=iNES 0.7"};
        QTest::newRow("NES 2.0, mapper 268, exponent size")
            << QByteArray("4E45531A2102C008110F070001000001") << 768 + 16384 << false << QString()
            << QByteArray("4E45531A2102C008110F070001000001")
            << QStringList{"txtMapperNum=268",
                           "txtMapperName=AA6023 MMC3 multicarts (COOLBOY, MINDKIDS)",
                           "txtPrgPages=",
                           "txtPrgMem=0.750k (768 bytes)",
                           "txtChrPages=2",
                           "txtFormat=NES 2.0",
                           "txtSubmapper=1",
                           "txtSubmapperName=MINDKIDS, outer registers at $5xxx",
                           "txtPrgRomSize=768",
                           "txtPrgRomForm=768 bytes: 2^8 x 3 bytes",
                           "txtChrRomForm=2 pages of 8 KiB",
                           "cmbTiming=1: RP2C07 (Licensed PAL NES)",
                           "cmbPrgRam=8 KiB (8192 bytes)",
                           "cmbChrRam=none",
                           "!cmbVsPpu=$0: Any RP2C03 / RC2C03 variant",
                           "!btnConvert=Convert to iNES 1.0"};
        QTest::newRow("NES 2.0, Vs. System, RAM and misc ROM")
            << QByteArray("4E45531A02011209000097070032014") + "A" << 49152 << false << QString()
            << QByteArray("4E45531A02011209000097070032014A")
            << QStringList{"txtMapperNum=1",
                           "cmbConsoleType=1: Nintendo Vs. System",
                           "cmbVsPpu=$2: RP2C04-0001",
                           "cmbVsHardware=$3: Vs. Unisystem, Super Xevious protection",
                           "!cmbExtConsole=$2: Nintendo PlayChoice-10",
                           "cmbPrgRam=8 KiB (8192 bytes)",
                           "cmbPrgNvram=32 KiB (32768 bytes)",
                           "cmbChrRam=8 KiB (8192 bytes)",
                           "txtMiscRoms=1",
                           "cmbExpansion=$4A: Unknown ($4A)",
                           "txtSubmapperName=Normal MMC1"};
    }
    void loading() {
        QFETCH(QByteArray, head);
        QFETCH(int, payload);
        QFETCH(bool, locked);
        QFETCH(QString, said);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, shown);
        const Bytes bytes = fromHex(head, std::size_t(payload));
        const QString path = file(bytes);
        if (locked) {
            makeReadOnly(path.toStdString());
        }
        Window w;
        w.load(path);
        QCOMPARE(boxes(w), said);
        QCOMPARE(seen(w, namesOf(shown)), shown);
        QCOMPARE(hexOf(bytesOf(path)), QString(after));
        QCOMPARE(w.byteCells().join(""), QString(after));
        QCOMPARE(bytesOf(path).size(), bytes.size());
        QVERIFY(w.form().romLoaded && w.apply()->isEnabled() && w.highlighted().isEmpty());
        QVERIFY(!w.form().isWindowModified());
        QVERIFY(w.form().windowTitle().contains("game.nes"));
    }

    void refusedFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("not iNES") << "PK" << notInes;
        QTest::newRow("byte 3") << "NES\x1B" << notInes;
        QTest::newRow("15 bytes") << "short" << notInes;
        QTest::newRow("missing") << "missing" << notOpened;
        QTest::newRow("folder") << "folder"
                                << "The file is not a regular file";
        QTest::newRow("read-only FIFO") << "fifo"
                                        << "The file is not a regular file";
        QTest::newRow("two names read the same") << "twins"
                                                 << "The file's name holds bytes";
    }
    void refusedFiles() {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        QString path = QString::fromStdString(tmp->file("rom.nes"));
        const Bytes bytes = kind == "PK"      ? fromHex("504B0304000000000000000000000000", 9)
                            : kind == "short" ? Bytes(15, 'N')
                                              : fromHex("4E45531B010100000000000000000000", 9);
        if (kind == "folder") {
            path = QString::fromStdString(tmp->path());
        } else if (kind == "fifo") {
            ::mkfifo(path.toLocal8Bit().constData(), 0444);
        } else if (kind == "twins") {
            writeFile(tmp->file("a\xFE.nes"), image(header(1, 1, 0, 0), 9));
            writeFile(tmp->file("a\xFF.nes"), image(header(1, 1, 0, 0), 9));
            path = QFile::decodeName(QByteArray::fromStdString(tmp->file("a\xFF.nes")));
        } else if (kind != "missing") {
            writeFile(path.toStdString(), bytes);
        }
        Window w;
        w.load(file(image(header(1, 1, 0, 0), 100), "earlier.nes"));
        w.load(path);
        QCOMPARE(int(w.prompts.boxes.size()), 1);
        QVERIFY2(w.prompts.boxes[0].text.startsWith(said), qPrintable(boxes(w)));
        QCOMPARE(w.prompts.boxes[0].caption, QString("Error"));
        if (kind != "twins") { // a refused name leaves the earlier file loaded
            QVERIFY(w.form().romFile == nullptr && !w.form().romLoaded);
            QCOMPARE(w.byteCells(), QStringList(16, QString()));
            QVERIFY(!w.edit("txtMapperNum")->isEnabled() && !w.apply()->isEnabled());
            QCOMPARE(w.cell(0, 1) + w.cell(5, 0), QString("0x0008-"));
        }
        QCOMPARE(exists(tmp->file("rom.nes")),
                 kind != "missing" && kind != "folder" && kind != "twins");
    }

    // Typing into a number box and leaving it: the bytes it changes, or the
    // error box and nothing changed.
    void numberBoxes_data() {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refused"); // a part of the error, or empty
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("sizeBox"); // "control=text" beside it, or empty
        const QString ines = "4E45531A010101000000000000000000";
        const QString nes2 = "4E45531A010111090000000000000000";
        QTest::newRow("mapper 20") << ines << "txtMapperNum"
                                   << "20"
                                   << ""
                                   << "4E45531A01014110"
                                   << "";
        QTest::newRow("mapper +7") << ines << "txtMapperNum"
                                   << " +7 "
                                   << ""
                                   << "4E45531A01017100"
                                   << "";
        QTest::newRow("iNES clears byte 7's low bits")
            << QString("4E45531A010101010000000000000000") << "txtMapperNum"
            << "0"
            << ""
            << "4E45531A01010100"
            << "";
        QTest::newRow("mapper empty") << ines << "txtMapperNum"
                                      << ""
                                      << "not a valid"
                                      << "4E45531A01010100"
                                      << "";
        QTest::newRow("mapper letters") << ines << "txtMapperNum"
                                        << "abc"
                                        << "'abc' is not a valid integer value"
                                        << "4E45531A01010100"
                                        << "";
        QTest::newRow("mapper 256") << ines << "txtMapperNum"
                                    << "256"
                                    << "from 0 to 255."
                                    << "4E45531A01010100"
                                    << "";
        QTest::newRow("mapper -1") << ines << "txtMapperNum"
                                   << "-1"
                                   << "from 0 to 255."
                                   << "4E45531A01010100"
                                   << "";
        QTest::newRow("NES 2.0 mapper 300") << nes2 << "txtMapperNum"
                                            << "300"
                                            << ""
                                            << "4E45531A0101C12901"
                                            << "";
        QTest::newRow("NES 2.0 mapper 4096") << nes2 << "txtMapperNum"
                                             << "4096"
                                             << "from 0 to 4095."
                                             << "4E45531A01011109"
                                             << "";
        QTest::newRow("PRG 2") << ines << "txtPrgPages"
                               << "2"
                               << ""
                               << "4E45531A0201"
                               << "txtPrgMem=32k (32768 bytes)";
        QTest::newRow("PRG empty") << ines << "txtPrgPages"
                                   << ""
                                   << ""
                                   << "4E45531A0101"
                                   << "txtPrgMem=16k (16384 bytes)";
        QTest::newRow("PRG blanks") << ines << "txtPrgPages"
                                    << "   "
                                    << ""
                                    << "4E45531A0101"
                                    << "txtPrgMem=16k (16384 bytes)";
        QTest::newRow("CHR 255") << ines << "txtChrPages"
                                 << "255"
                                 << ""
                                 << "4E45531A01FF"
                                 << "txtChrMem=2040k (2088960 bytes)";
        QTest::newRow("CHR 256") << ines << "txtChrPages"
                                 << "256"
                                 << "'256' is out of range: enter a number from 0 to 255."
                                 << "4E45531A0101"
                                 << "txtChrMem=8k (8192 bytes)";
        QTest::newRow("a long paste") << ines << "txtChrPages" << QString(30000, '7')
                                      << "(30000 characters) is not a valid integer value"
                                      << "4E45531A0101"
                                      << "";
        QTest::newRow("NES 2.0 PRG 3839") << nes2 << "txtPrgPages"
                                          << "3839"
                                          << ""
                                          << "4E45531AFF011109000E"
                                          << "txtPrgRomSize=62898176";
        QTest::newRow("NES 2.0 PRG 3840") << nes2 << "txtPrgPages"
                                          << "3840"
                                          << "from 0 to 3839."
                                          << "4E45531A0101"
                                          << "";
        QTest::newRow("submapper 5") << nes2 << "txtSubmapper"
                                     << "5"
                                     << ""
                                     << "4E45531A0101110950"
                                     << "";
        QTest::newRow("submapper 16") << nes2 << "txtSubmapper"
                                      << "16"
                                      << "submapper is a number from 0 to 15."
                                      << "4E45531A0101110900"
                                      << "";
        QTest::newRow("PRG 768 bytes") << nes2 << "txtPrgRomSize"
                                       << "768"
                                       << ""
                                       << "4E45531A2101110900 0F"
                                       << "txtPrgPages=";
        QTest::newRow("CHR 24K") << nes2 << "txtChrRomSize"
                                 << "24K"
                                 << ""
                                 << "4E45531A0103110900"
                                 << "txtChrMem=24k (24576 bytes)";
        QTest::newRow("CHR 6000") << nes2 << "txtChrRomSize"
                                  << "6000"
                                  << "cannot be stored"
                                  << "4E45531A0101"
                                  << "";
        QTest::newRow("CHR words") << nes2 << "txtChrRomSize"
                                   << "lots"
                                   << "'lots' is not a size"
                                   << "4E45531A0101"
                                   << "";
        QTest::newRow("misc ROMs 2") << nes2 << "txtMiscRoms"
                                     << "2"
                                     << ""
                                     << "4E45531A010111090000000000000200"
                                     << "";
        QTest::newRow("misc ROMs 4") << nes2 << "txtMiscRoms"
                                     << "4"
                                     << "from 0 to 3"
                                     << "4E45531A010111090000000000000000"
                                     << "";
    }
    void numberBoxes() {
        QFETCH(QString, head);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, refused);
        QFETCH(QString, after);
        QFETCH(QString, sizeBox);
        after.remove(' ');
        Window w;
        w.load(file(fromHex(head.toLatin1(), 100)));
        QLineEdit* entry = w.edit(box.toLatin1());
        if (typed.size() > 100) { // pasted, not typed key by key
            w.type(entry, QString());
            entry->insert(typed);
            w.tab();
        } else {
            w.commit(entry, typed);
        }
        QCOMPARE(w.prompts.errors.size(), refused.isEmpty() ? 0 : 1);
        if (!refused.isEmpty()) {
            QVERIFY2(w.prompts.errors[0].contains(refused), qPrintable(w.prompts.errors[0]));
            QVERIFY(w.prompts.errors[0].size() < 120);
        }
        // A box of the original fields keeps what was typed; the NES 2.0 area
        // shows the value it took.
        if (!refused.isEmpty() ||
            QStringList{"txtMapperNum", "txtPrgPages", "txtChrPages"}.contains(box)) {
            QCOMPARE(entry->text(), typed);
        }
        QVERIFY(w.byteCells().join("").startsWith(after));
        if (!sizeBox.isEmpty()) {
            QCOMPARE(seen(w, {sizeBox.section('=', 0, 0)}).constFirst(), sizeBox);
        }
        QCOMPARE(w.form().isWindowModified(), refused.isEmpty() && w.byteCells().join("") != head);
    }

    // The lists, the flags and the conversion: the bytes they change, the
    // cells they highlight, the notes they show.
    void listsFlagsAndConversion() {
        Window w;
        w.load(file(fromHex("4E45531A010100000000000000000000", 100)));
        w.choose(1);
        QCOMPARE(w.cell(8, 0), QString("01"));
        w.toggle(w.check("chk4ScreenMirroring"));
        w.toggle(w.check("chkSRAM"));
        QCOMPARE(w.cell(8, 0), QString("0B"));
        QCOMPARE(w.combo()->currentText(), QString("Vertical"));
        w.toggle(w.check("chkTrainer"));
        w.activate();
        QTest::keyClick(w.check("chkTrainer"), Qt::Key_Space);
        QCOMPARE(boxes(w), "Note: " + trainerOn + " | Note: " + trainerOff);
        QCOMPARE(w.cell(8, 0), QString("0B"));
        QVERIFY(!w.combo("cmbTiming")->isEnabled());

        // Convert to NES 2.0: battery → 8 KiB PRG-NVRAM, CHR-ROM present.
        QTest::mouseClick(w.form().findChild<QPushButton*>("btnConvert"), Qt::LeftButton);
        QCOMPARE(w.byteCells().join(""), QString("4E45531A01010B080000700000000000"));
        QCOMPARE(seen(w, {"txtFormat", "btnConvert"}),
                 QStringList({"txtFormat=NES 2.0", "btnConvert=Convert to iNES 1.0"}));
        struct Choice {
            const char* list;
            int index;
            const char* cells; // all 16 bytes after
            QStringList highlight;
        } const choices[] = {
            {"cmbPrgRam", 7, "4E45531A01010B080000770000000000", {"3,1"}},
            {"cmbChrNvram", 15, "4E45531A01010B08000077F000000000", {"4,1"}},
            {"cmbTiming", 3, "4E45531A01010B08000077F003000000", {"6,1"}},
            {"cmbConsoleType", 1, "4E45531A01010B09000077F003000000", {"9,0"}},
            {"cmbVsHardware", 6, "4E45531A01010B09000077F003600000", {"7,1"}},
            {"cmbVsPpu", 11, "4E45531A01010B09000077F0036B0000", {"7,1"}},
            {"cmbExpansion", 0x2A, "4E45531A01010B09000077F0036B002A", {"9,1"}},
            {"cmbConsoleType", 3, "4E45531A01010B0B000077F0036B002A", {"9,0"}},
            {"cmbExtConsole", 12, "4E45531A01010B0B000077F0036C002A", {"7,1"}},
        };
        for (const Choice& c : choices) {
            w.choose(c.index, c.list);
            QCOMPARE(w.byteCells().join(""), QString(c.cells));
            QCOMPARE(w.highlighted(), c.highlight);
        }
        QVERIFY(!w.combo("cmbVsPpu")->isEnabled() && w.combo("cmbExtConsole")->isEnabled());
        QVERIFY2(!w.form().findChild<QPushButton*>("btnConvert")->isEnabled(),
                 "bytes 8-15 hold more than iNES 1.0 can");
        QVERIFY2(w.prompts.errors.isEmpty(), qPrintable(boxes(w)));

        // Back to iNES 1.0 when nothing is lost.
        w.load(file(fromHex("4E45531A020100080000070000000000", 100), "nes2.nes"));
        QTest::mouseClick(w.form().findChild<QPushButton*>("btnConvert"), Qt::LeftButton);
        QCOMPARE(w.byteCells().join(""), QString("4E45531A020100000000000000000000"));
    }

    void clickingAFieldHighlightsItsBytes_data() {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("cells");
        const QByteArray ines = "4E45531A010100000000000000000000";
        const QByteArray nes2 = "4E45531A010100080000000000000000";
        QTest::newRow("label") << ines << "txtLabel" << QStringList{"1,0", "2,0", "3,0"};
        QTest::newRow("byte 3") << ines << "txtByte3" << QStringList{"4,0"};
        QTest::newRow("mapper") << ines << "txtMapperNum" << QStringList{"8,0", "9,0"};
        QTest::newRow("mapper name") << ines << "txtMapperName" << QStringList{"8,0", "9,0"};
        QTest::newRow("PRG") << ines << "txtPrgPages" << QStringList{"6,0"};
        QTest::newRow("PRG size") << ines << "txtPrgMem" << QStringList{"6,0"};
        QTest::newRow("CHR") << ines << "txtChrPages" << QStringList{"7,0"};
        QTest::newRow("CHR size") << ines << "txtChrMem" << QStringList{"7,0"};
        QTest::newRow("mirroring") << ines << "cmbMirroring" << QStringList{"8,0"};
        QTest::newRow("4-screen") << ines << "chk4ScreenMirroring" << QStringList{"8,0"};
        QTest::newRow("SRAM") << ines << "chkSRAM" << QStringList{"8,0"};
        QTest::newRow("trainer") << ines << "chkTrainer" << QStringList{"8,0"};
        QTest::newRow("format") << ines << "txtFormat" << QStringList{"9,0"};
        QTest::newRow("NES 2.0 mapper")
            << nes2 << "txtMapperNum" << QStringList{"1,1", "8,0", "9,0"};
        QTest::newRow("NES 2.0 CHR") << nes2 << "txtChrMem" << QStringList{"2,1", "7,0"};
        QTest::newRow("submapper") << nes2 << "txtSubmapperName" << QStringList{"1,1"};
        QTest::newRow("PRG-ROM size") << nes2 << "txtPrgRomForm" << QStringList{"2,1", "6,0"};
        QTest::newRow("misc ROMs") << nes2 << "txtMiscRoms" << QStringList{"8,1"};
        QTest::newRow("the grid") << nes2 << "sgdHeader" << QStringList{};
    }
    void clickingAFieldHighlightsItsBytes() {
        QFETCH(QByteArray, head);
        QFETCH(QString, control);
        QFETCH(QStringList, cells);
        Window w;
        w.load(file(fromHex(head, 100)));
        w.focus(w.edit("txtLabel"));
        auto* target = w.form().findChild<QWidget*>(control);
        if (qobject_cast<QLineEdit*>(target) != nullptr) {
            w.focus(target);
        } else {
            target->setFocus(Qt::TabFocusReason); // entering by keyboard
        }
        QApplication::processEvents();
        QCOMPARE(w.highlighted(), cells);
        // A click on a disabled field, routed by the window, changes nothing.
        w.menu("mnuFree");
        const QPoint byte3 = w.edit("txtByte3")->geometry().center();
        QTest::mouseClick(w.form().windowHandle(), Qt::LeftButton, {},
                          w.form().centralWidget()->mapTo(&w.form(), byte3));
        QVERIFY(w.highlighted().isEmpty());
    }

    // Apply and close when the file or the user did something: what is
    // asked, what the file holds after, and whether the window stays.
    void saving_data() {
        QTest::addColumn<QString>("edit");      // "5" committed, "5…" still being typed, or ""
        QTest::addColumn<QString>("meanwhile"); // what another program does before the save
        QTest::addColumn<QString>("how");       // "apply" or "close"
        QTest::addColumn<QList<platform::Answer>>("answers");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("prgInFile"); // byte 4 after, "-" for no such file
        QTest::addColumn<bool>("open");         // the window after a close
        QTest::addColumn<QString>("cell");      // what the window shows of byte 4 then
        using A = QList<platform::Answer>;
        const QString changed = "Header Changed: Another program has changed the header";
        const QString error = "Error: ";
        QTest::newRow("no edit, changed behind, close") << ""
                                                        << "change"
                                                        << "close" << A{} << ""
                                                        << "03" << false << QString("");
        QTest::newRow("edit, apply") << "5"
                                     << ""
                                     << "apply" << A{} << ""
                                     << "05" << true << QString("05");
        QTest::newRow("edit, changed, overwrite") << "5"
                                                  << "change"
                                                  << "apply" << A{platform::Answer::overwrite}
                                                  << changed << "05" << true << QString("05");
        QTest::newRow("edit, changed, reload")
            << "5"
            << "change"
            << "apply" << A{platform::Answer::reload} << changed << "03" << true << QString("03");
        QTest::newRow("edit, changed, cancel")
            << "5"
            << "change"
            << "apply" << A{platform::Answer::cancel} << changed << "03" << true << QString("05");
        QTest::newRow("close yes, changed, overwrite")
            << "5"
            << "change"
            << "close" << A{platform::Answer::yes, platform::Answer::overwrite}
            << saveQuestion + " | " + changed << "05" << false << QString("");
        QTest::newRow("close yes, changed, cancel")
            << "5"
            << "change"
            << "close" << A{platform::Answer::yes, platform::Answer::cancel}
            << saveQuestion + " | " + changed << "03" << true << QString("05");
        QTest::newRow("replaced") << "5"
                                  << "replace"
                                  << "apply" << A{}
                                  << error + "The file was moved, replaced or deleted"
                                  << "01" << true << QString("05");
        QTest::newRow("deleted") << "5"
                                 << "delete"
                                 << "apply" << A{}
                                 << error + "The file was moved, replaced or deleted"
                                 << "-" << true << QString("05");
        QTest::newRow("truncated") << "5"
                                   << "truncate"
                                   << "apply" << A{} << error + "The file is shorter than 16 bytes"
                                   << "-" << true << QString("05");
        QTest::newRow("no longer iNES")
            << "5"
            << "zip"
            << "apply" << A{} << error + "The file no longer starts with an iNES header"
            << "01" << true << QString("05");
        QTest::newRow("made read-only")
            << "5"
            << "lock"
            << "apply" << A{} << error + readOnlyApply << "01" << true << QString("01");
        QTest::newRow("disk full")
            << "5"
            << "full"
            << "apply" << A{} << error + "Writing the header to the file failed."
            << "01" << true << QString("05");
        QTest::newRow("close yes, disk full") << "5"
                                              << "full"
                                              << "close" << A{platform::Answer::yes}
                                              << saveQuestion + " | " + error + "Writing the header"
                                              << "01" << true << QString("05");
        QTest::newRow("close no") << "5"
                                  << ""
                                  << "close" << A{platform::Answer::no} << saveQuestion << "01"
                                  << false << QString("");
        QTest::newRow("typed, close yes")
            << "5…"
            << ""
            << "close" << A{platform::Answer::yes} << saveQuestion << "05" << false << QString("");
        QTest::newRow("typed refused, close")
            << "x…"
            << ""
            << "close" << A{} << "'x' is not a valid integer value"
            << "01" << true << QString("01");
        QTest::newRow("set back, close") << "1"
                                         << ""
                                         << "close" << A{} << ""
                                         << "01" << false << QString("");
        QTest::newRow("read-only at load") << "5"
                                           << "locked"
                                           << "close" << A{} << ""
                                           << "01" << false << QString("");
    }
    void saving() {
        QFETCH(QString, edit);
        QFETCH(QString, meanwhile);
        QFETCH(QString, how);
        QFETCH(QList<platform::Answer>, answers);
        QFETCH(QString, said);
        QFETCH(QString, prgInFile);
        QFETCH(bool, open);
        QFETCH(QString, cell);
        const Bytes original = image(header(1, 1, 0, 0), 3000);
        const QString path = file(original);
        const std::string name = path.toStdString();
        if (meanwhile == "locked") {
            makeReadOnly(name);
        }
        Window w;
        w.load(path);
        if (edit.endsWith(QChar(0x2026))) {
            w.type(w.edit("txtPrgPages"), edit.chopped(1));
        } else if (!edit.isEmpty()) {
            w.commit(w.edit("txtPrgPages"), edit);
        }
        const std::map<QString, std::function<void()>> others = {
            {"change", [&] { writeFile(name, image(header(3, 1, 0, 0), 3000)); }},
            {"replace",
             [&] {
                 writeFile(name + ".new", original);
                 std::rename((name + ".new").c_str(), name.c_str());
             }},
            {"delete", [&] { std::remove(name.c_str()); }},
            {"truncate", [&] { ::truncate(name.c_str(), 15); }},
            {"zip", [&] { writeFile(name, fromHex("504B0304010100000000000000000000", 3000)); }},
            {"lock", [&] { makeReadOnly(name); }},
        };
        if (others.count(meanwhile)) {
            others.at(meanwhile)();
        }
        w.prompts.answers.assign(answers.begin(), answers.end());
        {
            std::unique_ptr<WritesFail> full(meanwhile == "full" ? new WritesFail : nullptr);
            if (how == "apply") {
                QTest::mouseClick(w.apply(), Qt::LeftButton);
            } else {
                w.closeWindow();
            }
        }
        QVERIFY2(boxes(w).left(said.size()) == said && said.isEmpty() == boxes(w).isEmpty(),
                 qPrintable(boxes(w)));
        const Bytes now = exists(name) ? readFile(name) : Bytes();
        QCOMPARE(now.size() >= 16 ? QString(hexOf(now, 5).right(2)) : QString("-"), prgInFile);
        QVERIFY(now.empty() || now.size() == 15 ||
                std::equal(now.begin() + 16, now.end(), original.begin() + 16));
        QCOMPARE(w.form().isVisible(), how == "apply" || open);
        if (w.form().isVisible()) {
            QCOMPARE(w.cell(6, 0), cell);
            QCOMPARE(w.form().isWindowModified(), cell == "05" && prgInFile != "05");
        }
        w.form().romLoaded = false; // let the window go without a question
    }

    void freeAndFailedLoad() {
        Window w;
        w.menu("mnuFree"); // before any load
        const QString path = file(image(header(1, 1, 0x04, 0), 100));
        w.load(path);
        w.type(w.edit("txtMapperNum"), "7"); // still focused and being typed
        w.menu("mnuFree");
        QVERIFY2(w.prompts.boxes.empty() && w.prompts.errors.isEmpty(), qPrintable(boxes(w)));
        QCOMPARE(w.byteCells(), QStringList(16, QString()));
        QCOMPARE(seen(w, {"txtMapperNum", "chkTrainer", "cmbMirroring", "txtFormat", "btnConvert"}),
                 QStringList({"!txtMapperNum=", "!-chkTrainer",
                              "!cmbMirroring=", "!txtFormat=", "!btnConvert=Convert to NES 2.0"}));
        QCOMPARE(w.form().windowTitle(), QString("Tallowick"));
        w.load(path);
        QCOMPARE(w.cell(5, 1) + w.cell(0, 0), QString("-0x0000"));
        w.menu("mnuAbout");
        QCOMPARE(w.prompts.boxes.back().caption, QString("About"));
        w.menu("mnuExit");
        QVERIFY(!w.form().isVisible());
        QCOMPARE(int(w.prompts.boxes.size()), 1);
    }

    // The command line, a drop and the recent files open a file as Load Rom
    // does, by its name byte for byte; the title shows it and its edits.
    void waysIn() {
        const QByteArray latin = QByteArray::fromStdString(tmp->file("caf\xE9.nes"));
        writeFile(latin.toStdString(), image(header(2, 1, 0, 0), 100));
        const QByteArray plain = QByteArray::fromStdString(tmp->file("plain.nes"));
        writeFile(plain.toStdString(), image(header(3, 1, 0, 0), 100));
        QSettings().clear();
        Window w;
        w.form().LoadFile(latin);
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("2"));
        QVERIFY(w.form().windowTitle().startsWith(QString::fromUtf8("caf\xEF\xBF\xBD.nes")));
        w.drop(plain);
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("3"));
        w.commit(w.edit("txtPrgPages"), "4");
        QVERIFY(w.form().isWindowModified());
        QTest::mouseClick(w.apply(), Qt::LeftButton);
        QVERIFY(!w.form().isWindowModified());
        // Through the file dialog, whose name reads U+FFFD for the byte E9.
        w.load(QFile::decodeName(latin));
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("2"));

        auto* recent = w.form().findChild<QMenu*>("mnuRecent");
        QStringList entries;
        for (QAction* action : recent->actions()) {
            entries << action->text();
        }
        QCOMPARE(entries, QStringList({QString::fromUtf8("&1 caf\xEF\xBF\xBD.nes"), "&2 plain.nes",
                                       "", "Clear Recent Files"}));
        recent->actions().at(1)->trigger();
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("4"));
        w.menu("mnuClearRecent");
        QCOMPARE(recent->actions().size(), 1);
        QVERIFY(!w.action("mnuClearRecent")->isEnabled());
        QVERIFY2(w.prompts.boxes.empty(), qPrintable(boxes(w)));
    }

    // The two reference pages, created at start-up, shown from Help.
    void formatPages() {
        ScriptedPrompts prompts;
        ApplicationForms forms(prompts);
        QVERIFY(frmFormatInfo != nullptr && frmNes2FormatInfo != nullptr);
        struct Page {
            const char* menu;
            TfrmFormatInfo* window;
            int lines;
            const char* first;
        } const pages[] = {{"mnuFormatInfo", frmFormatInfo, 28, "  iNES Format (.NES)"},
                           {"mnuNes2Info", frmNes2FormatInfo, 58, "  NES 2.0 Format (.NES)"}};
        for (const Page& page : pages) {
            QVERIFY(!page.window->isVisible());
            frmMain->findChild<QAction*>(page.menu)->trigger();
            frmMain->findChild<QAction*>(page.menu)->trigger();
            QVERIFY(page.window->isVisible());
            auto* memo = page.window->findChild<QPlainTextEdit*>("memFormat");
            const QStringList lines = memo->toPlainText().split('\n');
            QCOMPARE(lines.size(), page.lines);
            QCOMPARE(lines.first(), QString(page.first));
            QVERIFY(memo->isReadOnly());
            const QFontMetrics metrics(memo->font());
            for (const QString& line : lines.mid(2)) {
                QCOMPARE(line.size(), 64);
                QVERIFY(metrics.horizontalAdvance(line) < memo->viewport()->width());
            }
            QCOMPARE(metrics.lineSpacing() * page.lines < memo->viewport()->height(),
                     page.lines == 28);
            page.window->findChild<QPushButton*>("btnClose")->click();
            QVERIFY(!page.window->isVisible());
        }
        QCOMPARE(
            pages[0].window->findChild<QPlainTextEdit*>("memFormat")->toPlainText().split('\n')[10],
            QString("    |        |      |   %####vTsM                              |"));
    }

    // The real dialogs: a name with non-ASCII characters through Qt's file
    // dialog, the error box raised from a focus change, and the buttons of
    // the boxes.
    void realDialogs() {
        const QString path = file(image(header(3, 2, 0, 0), 100), "Zelda – Ärger.nes");
        platform::DialogPrompts real;
        TfrmMain form(real);
        form.show();
        whenModal(&form, [&](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        });
        form.findChild<QAction*>("mnuLoad")->trigger();
        QCOMPARE(form.findChild<QLineEdit*>("txtPrgPages")->text(), QString("3"));

        QString shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        whenModal(&form, [&](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            shown = box->text();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        auto* pages = form.findChild<QLineEdit*>("txtPrgPages");
        QTest::mouseClick(pages, Qt::LeftButton, {}, QPoint(4, 8));
        pages->selectAll();
        QTest::keyClicks(pages, "abc");
        QTest::keyClick(pages, Qt::Key_Tab);
        QCOMPARE(shown, QString("'abc' is not a valid integer value"));
        QCOMPARE(icon, QMessageBox::Critical);
        form.romLoaded = false;

        struct Asked {
            platform::Buttons buttons;
            QStringList labels;
            int pressed;
            platform::Answer answer;
        } const asked[] = {
            {platform::Buttons::yesNo, {"&Yes", "&No"}, 0, platform::Answer::yes},
            {platform::Buttons::overwriteReload,
             {"Overwrite", "Reload", "Cancel"},
             1,
             platform::Answer::reload},
            {platform::Buttons::overwriteReload,
             {"Overwrite", "Reload", "Cancel"},
             2,
             platform::Answer::cancel},
        };
        for (const Asked& a : asked) {
            QStringList labels;
            QString title;
            whenModal(&form, [&](QWidget* dialog) {
                auto* box = qobject_cast<QMessageBox*>(dialog);
                title = box->windowTitle() + "/" + box->text();
                QList<QAbstractButton*> buttons = box->buttons();
                std::sort(buttons.begin(), buttons.end(),
                          [](auto* a, auto* b) { return a->x() < b->x(); });
                for (QAbstractButton* button : buttons) {
                    labels << button->text();
                }
                icon = box->icon();
                buttons[a.pressed]->click();
            });
            QCOMPARE(real.message("Changes have been made.  save them?", "Save Changes", a.buttons),
                     a.answer);
            QCOMPARE(title, QString("Save Changes/Changes have been made.  save them?"));
            QCOMPARE(labels, a.labels);
            QCOMPARE(icon, QMessageBox::NoIcon);
        }
    }
};

int main(int argc, char** argv) {
    return runTests<GuiTests>(argc, argv);
}

#include "guiTests.moc"
