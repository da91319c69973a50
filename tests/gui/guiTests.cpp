// The windows driven as a user drives them, on real files in temporary folders.
#include "Collection.h"
#include "Format.h"
#include "GuiHarness.h"

#include "commandLine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace harness;
using namespace testfiles;
using A = platform::Answer;

namespace {

Bytes fromHex(const QString& hex, std::size_t payload) {
    return image(testfiles::fromHex(hex.toStdString()), payload);
}

QString hexOf(const Bytes& bytes, int count = 16) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), count).toHex().toUpper();
}

// What the user sees of each control named in `expected`, in its form:
// "name=text" for an edit, a list, a label or a button; "name" for a ticked box and
// "-name" for a clear one; a leading "!" for a disabled control.
QString seen(Window& w, const QString& expected) {
    QStringList shown;
    for (QString name : expected.split(';')) {
        name = name.remove(QRegularExpression("^[!-]+")).section('=', 0, 0);
        QWidget* control = w.find(name);
        const char* property = qobject_cast<QComboBox*>(control) ? "currentText" : "text";
        QString text = name + "=" + control->property(property).toString();
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            text = (box->isChecked() ? "" : "-") + name;
        }
        shown << (control->isEnabled() ? "" : "!") + text;
    }
    return shown.join(';');
}

// The texts of column `column` of a list's or a table's rows, top to bottom.
QStringList rowsOf(const QAbstractItemModel* model, int column) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, column).data().toString();
    }
    return texts;
}

// What a user sees of each named control of `window`, an entry each: its
// text, state, tip and list or table (headings and rows); a finding's fix
// as shown when it is chosen; what each Copy action puts on the clipboard.
QStringList stateOf(QWidget& window) {
    const QRegularExpression named("^(txt|cmb|chk|btn|lbl|lst|tbl|sgd|mem|stb|prg|Label|mnu)");
    QStringList entries = {"title: " + window.windowTitle()};
    QList<QPointer<QObject>> objects; // some are gone once events run
    for (QObject* object : window.findChildren<QObject*>()) {
        objects << object;
    }
    for (QObject* object : objects) {
        auto* control = qobject_cast<QWidget*>(object);
        auto* action = qobject_cast<QAction*>(object);
        if (!object || !named.match(object->objectName()).hasMatch() || (!control && !action) ||
            qobject_cast<QMenu*>(object)) {
            continue;
        }
        const bool enabled = control ? control->isEnabled() : action->isEnabled();
        QString entry = object->objectName() + (enabled ? "" : " (disabled)") +
                        (control && control->isHidden() ? " (hidden)" : "") + ": ";
        if (action) {
            entry += action->text() + (action->isCheckable() && action->isChecked() ? " [x]" : "");
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            entry += list->currentText() + QString(" (%1 items)").arg(list->count());
            // An entry of their own: shown once.
            entries << object->objectName() + " items: " + rowsOf(list->model(), 0).join(" | ");
        } else if (auto* bar = qobject_cast<QProgressBar*>(control)) {
            entry += QString("%1 of %2").arg(bar->value()).arg(bar->maximum());
        } else if (auto* status = qobject_cast<QStatusBar*>(control)) {
            entry += status->currentMessage();
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
            entry += "\n  " + text->toPlainText().replace('\n', "\n  ");
        } else if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
            QStringList headings;
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                headings << view->model()->headerData(column, Qt::Horizontal).toString();
            }
            entry += headings.join(" | ");
            for (int row = 0; row < view->model()->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < view->model()->columnCount(); ++column) {
                    const QModelIndex cell = view->model()->index(row, column);
                    const QVariant tick = cell.data(Qt::CheckStateRole);
                    cells << (tick.isValid() ? tick.toInt() ? "[x] " : "[ ] " : "") +
                                 cell.data().toString();
                }
                entry += "\n  " + cells.join(" | ");
                if (auto* tree = qobject_cast<QTreeWidget*>(view);
                    tree && window.findChild<QLabel*>("lblFix")) {
                    tree->setCurrentItem(tree->topLevelItem(row));
                    const auto* fix = window.findChild<QPushButton*>("btnTakeFix");
                    entry += "\n    fix: " + window.findChild<QLabel*>("lblFix")->text() + " [" +
                             fix->text() + (fix->isEnabled() ? "]" : "] (disabled)");
                }
            }
        } else {
            auto* box = qobject_cast<QAbstractButton*>(control);
            auto* button = qobject_cast<QPushButton*>(control);
            auto* label = qobject_cast<QLabel*>(control);
            entry +=
                (label && label->buddy() ? "(for " + label->buddy()->objectName() + ") " : "") +
                control->property("text").toString() +
                (box && box->isCheckable() ? (box->isChecked() ? " [x]" : " [ ]") : "") +
                (button && button->isDefault() ? " (default)" : "");
        }
        // The header bytes the grid highlights while the control has the focus.
        auto* grid = window.findChild<QTableWidget*>("sgdHeader");
        if (grid && control && enabled && control->focusPolicy() != Qt::NoFocus) {
            grid->clearSelection();
            control->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            QList<int> bytes;
            for (const QModelIndex& cell : grid->selectionModel()->selectedIndexes()) {
                bytes << cell.row() * 8 + cell.column() - (cell.column() < 5 ? 1 : 2);
            }
            std::sort(bytes.begin(), bytes.end());
            for (int byte : bytes) {
                entry += (byte == bytes.first() ? "\n  bytes " : ", ") + QString::number(byte);
            }
        }
        const QString tip = control ? control->toolTip() : QString();
        entry += tip.isEmpty() ? "" : "\n  tip: " + tip;
        for (QAction* copy : control ? control->actions() : QList<QAction*>()) {
            if (copy->text().contains("Copy") && copy->isEnabled()) {
                QGuiApplication::clipboard()->clear();
                copy->trigger();
                entry += "\n  " + copy->text() + " -> " + QGuiApplication::clipboard()->text();
            }
        }
        entries << entry;
    }
    return entries;
}

const QString notCleaned =
    "Error: Some garbage bytes were found in bytes 8-15 of the header,\nbut writing the cleaned "
    "header to the file failed.\nThe file may be on a full disk or a faulty medium.\nThe window "
    "shows the header as the file holds it.";
const QString changed = "Header Changed: Another program has changed the header";

} // namespace

class GuiTests : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDir> tmp;

    QString file(const Bytes& bytes, const char* name = "game.nes") {
        writeFile(tmp->file(name), bytes);
        return QString::fromStdString(tmp->file(name));
    }
    QString sample(const QString& name) {
        copyFile(samplesDir() + "/" + name.toStdString(), tmp->file("game.nes"));
        return QString::fromStdString(tmp->file("game.nes"));
    }

private slots:
    void initTestCase() { filterNoise(); }
    void init() { tmp = std::make_unique<TempDir>(); }

    // The window once: the menus and shortcuts, every caption fitting its
    // control and the window, the highlight of the grid, the order of Tab;
    // then Free, About and Exit. (What each caption says: window.txt.)
    void layoutTabOrderFreeAndExit() {
        // A desktop theme may grey the highlight of an unfocused widget.
        const QPalette plain = QApplication::palette();
        QPalette themed = plain;
        themed.setColor(QPalette::Inactive, QPalette::Highlight, Qt::lightGray);
        QApplication::setPalette(themed);
        Window w;
        QApplication::setPalette(plain);
        QStringList menus;
        for (QMenu* menu :
             {w.find<QMenu>("mnuFile"), w.find<QMenu>("mnuEdit"), w.find<QMenu>("mnuHelp")}) {
            for (QAction* item : menu->actions()) {
                menus << item->text() +
                             (item->shortcut().isEmpty() ? "" : " " + item->shortcut().toString());
            }
        }
        // The platform's keys; Quit has none on some.
        // clang-format off
        const auto key = [](QKeySequence::StandardKey k) { const QString text = QKeySequence(k).toString(); return text.isEmpty() ? text : " " + text; };
        QCOMPARE(menus.join('|'), "&Load Rom Ctrl+O|&Open Folder... Ctrl+Shift+O|&Recent Files|&Free Rom|Load Header &Database...||E&xit" +
                 key(QKeySequence::Quit) + "|&Undo" + key(QKeySequence::Undo) + "|&Redo" + key(QKeySequence::Redo) + "||Re&vert to File|&Copy Header Bytes" +
                 key(QKeySequence::Copy) + "|&iNES Format (.NES) Info F1|&NES 2.0 Format Info||&About");
        // clang-format on
        QCOMPARE(w.form().windowTitle(), QString("Tallowick"));
        const QPalette grid = w.grid()->palette(); // yet the grid's highlight shows while unfocused
        QCOMPARE(grid.color(QPalette::Inactive, QPalette::Highlight),
                 grid.color(QPalette::Active, QPalette::Highlight));
        // Every caption and the boxes a user types into; with every list
        // filled, every text fits its control and the window.
        w.load(file(fromHex("4E45531A0201100951000000000032FF", 40000)));
        QStringList typed;
        for (QWidget* control : w.form().findChildren<QWidget*>()) {
            const bool caption =
                qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control);
            if (!control->property("readOnly").toBool() && qobject_cast<QLineEdit*>(control)) {
                typed << control->objectName();
            }
            const QPoint corner = control->mapTo(&w.form(), control->rect().bottomRight());
            QVERIFY2(!control->isVisible() ||
                         ((!caption || control->sizeHint().width() <= control->width()) &&
                          w.form().rect().contains(corner)),
                     qPrintable(control->objectName()));
        }
        QCOMPARE(typed.join(' '), "txtMapperNum txtPrgPages txtChrPages txtSubmapper txtPrgRomSize "
                                  "txtChrRomSize txtMiscRoms");
        w.click(w.edit("txtMapperNum"));
        w.grid()->setFocus(Qt::TabFocusReason);
        QVERIFY(w.highlighted().isEmpty()); // entering the grid drops the highlight
        QStringList visited;
        while (visited.size() < 60 && (visited.isEmpty() || visited.last() != "sgdHeader")) {
            w.tab();
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(
            visited,
            QString("txtLabel txtByte3 txtMapperNum txtMapperName txtPrgPages txtPrgMem "
                    "txtChrPages txtChrMem cmbMirroring chk4ScreenMirroring chkSRAM chkTrainer "
                    "btnApply txtFormat txtSubmapper txtSubmapperName txtPrgRomSize "
                    "txtPrgRomForm txtChrRomSize txtChrRomForm cmbPrgRam cmbPrgNvram cmbChrRam "
                    "cmbChrNvram cmbConsoleType cmbTiming txtMiscRoms cmbVsPpu cmbVsHardware "
                    "cmbExpansion lstFindings sgdHeader")
                .split(' '));
        QCOMPARE(w.said(), QString());

        // Free with the trainer ticked and a number being typed: no question,
        // nothing committed, a blank window; a click on a disabled field,
        // routed by the window, changes nothing. Then About, and Exit.
        w.click(w.find<QCheckBox>("chkTrainer"));
        w.prompts.clear();
        w.menu("mnuFree");
        QCOMPARE(w.said() + w.byteCells().join("") + w.form().windowTitle() +
                     w.find<QLabel>("lblVerdict")->text(),
                 QString("TallowickNo image loaded."));
        QCOMPARE(seen(w, "txtMapperNum;chkTrainer;cmbMirroring;txtChrMem;txtSubmapper"),
                 QString("!txtMapperNum=;!-chkTrainer;!cmbMirroring=;!txtChrMem=;!txtSubmapper="));
        QVERIFY(!w.button()->isEnabled() &&
                w.find<QTreeWidget>("lstFindings")->topLevelItemCount() == 0);
        w.menu("mnuAbout");
        QVERIFY(w.said().startsWith("About: Tallowick"));
        w.menu("mnuExit");
        QVERIFY(!w.form().isVisible() && w.prompts.boxes.size() == 1);
    }

    // A load after an earlier NES 2.0 file: a sample, a header in hex, or a file that
    // is refused; read-only ('r') or on a full disk ('f'). What is said (its
    // start), the header after in the file and the grid (the earlier file's
    // when refused: it stays), and the fields.
    void loading() {
        const QString notInes = "Error: The file is not a valid iNES cart image.\n",
                      notRegular = "Error: The file is not a regular file",
                      earlierShown = "txtPrgPages=1;txtFormat=NES 2.0";
        const char* earlier = "4E45531A010100085000000000000000";
        // clang-format off
        const struct { const char* file; char lock; QString note; const char* after; QString shown; } rows[] = {
            {"4E45531A02010F000000000000000000", ' ', "", "4E45531A02010F000000000000000000",
             "chk4ScreenMirroring;chkSRAM;chkTrainer;txtFormat=iNES 1.0;!txtSubmapper=;!cmbTiming="},
            {"4E45531AFF0040000000000000000000", ' ', "", "4E45531AFF0040000000000000000000",
             "txtPrgMem=4080k (4177920 bytes);txtChrMem=0k (0 bytes);txtMapperName=T*ROM, HKROM (MMC3);"
             "cmbMirroring=Horizontal;-chkSRAM;-chkTrainer;-chk4ScreenMirroring"},
            {"dirty-bytes.nes", ' ', removed, "4E45531A020112000000000000000000",
             "txtMapperName=S*ROM (MMC1);chkSRAM;txtFormat=iNES 1.0"},
            {"dirty-bytes.nes", 'r', kept, "4E45531A020112004741524241474521", "txtFormat=iNES 0.7"},
            {"dirty-bytes.nes", 'f', notCleaned, "4E45531A020112004741524241474521", "txtFormat=iNES 0.7"},
            {"PK", ' ', notInes + "Too short for an iNES header: 13 bytes", earlier, earlierShown},
            {"NES\x1B", ' ', notInes + "Too short", earlier, earlierShown},
            {"short", ' ', notInes + "Too short for an iNES header: 15 bytes", earlier, earlierShown},
            {"missing", ' ', "Error: The file does not exist:\n/", earlier, earlierShown},
            {"folder", ' ', notRegular, earlier, earlierShown}, {"fifo", ' ', notRegular, earlier, earlierShown},
            {"twins", ' ', "Error: The file's name holds bytes", earlier, earlierShown}};
        // clang-format on
        for (const auto& row : rows) {
            init(); // a fresh folder for each
            const QString name = QString::fromLatin1(row.file);
            const std::string made = tmp->file("game.nes");
            QString path = QString::fromStdString(made);
            if (name == "folder") {
                path = QString::fromStdString(tmp->path());
            } else if (name == "fifo") {
                ::mkfifo(made.c_str(), 0444);
            } else if (name == "twins") { // both names read "a\uFFFD.nes"
                writeFile(tmp->file("a\xFE.nes"), image(header(1, 1, 0, 0), 9));
                writeFile(tmp->file("a\xFF.nes"), image(header(1, 1, 0, 0), 9));
                path = QFile::decodeName(QByteArray::fromStdString(tmp->file("a\xFF.nes")));
            } else if (name.size() < 8 && name != "missing") {
                writeFile(made, name == "short"
                                    ? Bytes(15, 'N')
                                    : fromHex(name == "PK" ? "504B0304" : "4E45531B", 9));
            } else if (name != "missing") {
                path = name.endsWith(".nes") ? sample(name) : file(fromHex(name, 40000));
            }
            const bool regular = name != "fifo" && exists(made);
            const Bytes before = regular ? readFile(made) : Bytes();
            if (row.lock == 'r') {
                makeReadOnly(made);
            }
            Window w;
            w.load(file(fromHex("4E45531A010100085000000000000000", 100), "earlier.nes"));
            w.click(w.edit("txtSubmapper")); // left only by the load
            {
                std::unique_ptr<WritesFail> full(row.lock == 'f' ? new WritesFail : nullptr);
                w.load(path);
            }
            QVERIFY2(w.said().left(row.note.size()) == row.note &&
                         w.prompts.boxes.size() + w.prompts.errors.size() == !row.note.isEmpty(),
                     qPrintable(name + ": " + w.said()));
            QCOMPARE(seen(w, row.shown), row.shown);
            QCOMPARE(w.combo("cmbExpansion")->count(), 128); // $00-$7F, listed once
            for (const QLineEdit* box : w.form().findChildren<QLineEdit*>()) {
                const bool cut = box->fontMetrics().horizontalAdvance(box->text()) > box->width();
                QVERIFY2(!box->isReadOnly() || !cut || box->cursorPosition() == 0, // from its start
                         qPrintable(box->objectName()));
            }
            // A refused file stays as it was (and none is made); a loaded one
            // changes at most in bytes 8-15.
            const bool loaded = QString(row.after) != earlier;
            const Bytes now = regular ? readFile(made) : Bytes();
            QVERIFY(exists(made) == (regular || name == "fifo") && now.size() == before.size() &&
                    std::equal(now.begin() + (loaded ? 16 : 0), now.end(),
                               before.begin() + (loaded ? 16 : 0)));
            QCOMPARE((loaded ? hexOf(now) : QString(row.after)) + w.byteCells().join("") +
                         w.cell(0, 1) + w.cell(5, 0),
                     QString(row.after) + row.after + "0x0008-");
            QVERIFY(w.form().romLoaded && w.button()->isEnabled());
            QVERIFY2(w.highlighted().isEmpty() == loaded && !w.form().isWindowModified(),
                     qPrintable(name));
            QVERIFY(!loaded || w.form().windowTitle().startsWith("game.nes"));
        }
    }

    // An edit on a loaded header: a number typed into a box and left, an item
    // chosen from a list ("#n"), a click or a Space on a box or a button. What
    // is said (a part of it, or none), how the header starts after, and
    // "control=text" that follows (or none).
    void edits() {
        const QString ines = "4E45531A010101000000000000000000",
                      nes2 = "4E45531A010111090000000000000000", // a Vs. System
            trainer = "4E45531A010105000000000000000000",
                      battery = "4E45531A010103000000000000000000",
                      extended = "4E45531A0101110B0000000000000000";
        // clang-format off
        const struct { const char* why; QString head, box, typed, refused, after, beside; } rows[] = {
            {"mapper 20", ines, "txtMapperNum", "20", "", "4E45531A01014110", "txtMapperName=NROM"},
            {"blanks trimmed", ines, "txtMapperNum", " 20  ", "", "4E45531A01014110", ""},
            {"byte 7 console bits kept", "4E45531A010101010000000000000000", "txtMapperNum", "0", "", "4E45531A01010101", ""},
            {"mapper empty", ines, "txtMapperNum", "", "'' is not a valid integer value", "4E45531A01010100", ""},
            {"mapper abc", ines, "txtMapperNum", "abc", "'abc' is not a valid integer value", "4E45531A01010100", ""},
            {"mapper 2^64 + 1", ines, "txtMapperNum", "18446744073709551617", "is not a valid integer value", "4E45531A01010100", ""},
            {"NES 2.0 mapper 300", nes2, "txtMapperNum", "300", "", "4E45531A0101C12901", ""},
            {"PRG blank ignored", ines, "txtPrgPages", "   ", "", "4E45531A0101", ""},
            {"PRG +2", ines, "txtPrgPages", "+2", "", "4E45531A0201", ""},
            {"PRG -1", ines, "txtPrgPages", "-1", "out of range", "4E45531A0101", ""},
            {"horizontal", ines, "cmbMirroring", "#0", "", "4E45531A01010000", "cmbMirroring=Horizontal"},
            {"four-screen", ines, "chk4ScreenMirroring", "click", "", "4E45531A01010900", "chk4ScreenMirroring"},
            {"battery", ines, "chkSRAM", "click", "", "4E45531A01010300", "-chkTrainer"},
            {"battery off", battery, "chkSRAM", "space", "", "4E45531A01010100", "-chkSRAM"},
            {"mapper 256", ines, "txtMapperNum", "256", "'256' is out of range: enter a number from 0 to 255.", "4E45531A01010100", ""},
            {"full-width digits", ines, "txtMapperNum", QString::fromUtf16(u"\uFF11\uFF12"), "is not a valid integer value", "4E45531A01010100", ""},
            {"PRG 2", ines, "txtPrgPages", "2", "", "4E45531A0201", "txtPrgMem=32k (32768 bytes)"},
            {"CHR 256", ines, "txtChrPages", "256", "from 0 to 255.", "4E45531A0101", "txtChrMem=8k (8192 bytes)"},
            {"CHR 255", ines, "txtChrPages", "255", "", "4E45531A01FF", ""}, {"NES 2.0 CHR 3839", nes2, "txtChrPages", "3839", "", "4E45531A01FF110900E0", ""},
            {"a long paste", ines, "txtChrPages", "x" + QString(29999, '7'), "'x" + QString(39, '7') + QChar(0x2026) + "' (30000 characters) is not a valid integer value", "4E45531A0101", ""},
            {"NES 2.0 PRG 3839", nes2, "txtPrgPages", "3839", "", "4E45531AFF011109000E", "txtPrgRomSize=62898176"},
            {"NES 2.0 CHR 300", nes2, "txtChrPages", "300", "", "4E45531A012C110900 10", "txtChrRomForm=300 pages of 8 KiB"},
            {"submapper 16", nes2, "txtSubmapper", "16", "submapper is a number from 0 to 15.", "4E45531A0101110900", ""},
            {"PRG 768 bytes", nes2, "txtPrgRomSize", "768", "", "4E45531A2101110900 0F", "txtPrgPages="},
            {"CHR 24K", nes2, "txtChrRomSize", "24K", "", "4E45531A0103110900", "txtChrMem=24k (24576 bytes)"},
            {"CHR 6000", nes2, "txtChrRomSize", "6000", "cannot be stored", "4E45531A0101", ""},
            {"CHR words", nes2, "txtChrRomSize", "lots", "'lots' is not a size", "4E45531A0101", ""},
            {"misc ROMs 2", nes2, "txtMiscRoms", "2", "", "4E45531A010111090000000000000200", ""},
            {"trainer on", ines, "chkTrainer", "click", trainerOn, "4E45531A01010500", ""},
            {"trainer off", trainer, "chkTrainer", "space", trainerOff, "4E45531A01010100", ""},
            {"to NES 2.0", battery, "btnConvert", "click", "", "4E45531A010103080000700000000000", "txtFormat=NES 2.0;btnConvert=Con&vert to iNES 1.0"},
            {"to iNES 1.0", "4E45531A020100080000070000000000", "btnConvert", "click", "", "4E45531A020100000000000000000000", "txtFormat=iNES 1.0"},
            {"PRG-RAM", nes2, "cmbPrgRam", "#7", "", "4E45531A010111090000070000000000", ""},
            {"CHR-NVRAM", nes2, "cmbChrNvram", "#15", "", "4E45531A010111090000 00F0", ""},
            {"CHR-RAM", nes2, "cmbChrRam", "#7", "", "4E45531A0101110900000007", ""},
            {"console 0", nes2, "cmbConsoleType", "#0", "", "4E45531A01011108", "!cmbVsPpu=$0: Any RP2C03 / RC2C03 variant"},
            {"console", nes2, "cmbConsoleType", "#3", "", "4E45531A0101110B", "!cmbVsHardware=$0: Vs. Unisystem (normal)"},
            {"Vs. hardware", nes2, "cmbVsHardware", "#6", "", "4E45531A0101110900000000006000", ""},
            {"expansion", nes2, "cmbExpansion", "#42", "", "4E45531A01011109000000000000002A", ""},
            {"extended console", extended, "cmbExtConsole", "#12", "", "4E45531A0101110B00000000000C", "!cmbVsPpu=$C: Reserved (was RC2C05-05);cmbExtConsole=$C: Famicom Network System;!btnConvert=Con&vert to iNES 1.0"}};
        // clang-format on
        for (const auto& row : rows) {
            Window w;
            w.load(file(fromHex(row.head, 100)));
            QWidget* target = w.find(row.box);
            auto* entry = qobject_cast<QLineEdit*>(target);
            if (row.typed.startsWith('#')) {
                w.choose(row.typed.mid(1).toInt(), row.box.toLatin1());
            } else if (row.typed == "space") {
                QTest::keyClick(target, Qt::Key_Space);
            } else if (entry == nullptr) {
                w.click(target);
            } else if (row.typed.toUtf8().size() != row.typed.size() || row.typed.size() > 100) {
                // pasted, not typed key by key
                w.type(entry, QString());
                entry->insert(row.typed);
                w.tab();
            } else {
                w.commit(entry, row.typed);
            }
            const QString why = row.why + QString(": ") + w.said();
            QVERIFY2(row.refused.isEmpty()
                         ? w.said().isEmpty()
                         : w.said().contains(row.refused) && w.said().size() < 200,
                     qPrintable(why));
            // The original boxes keep what was typed; the NES 2.0 area shows what it took.
            QVERIFY2(!row.refused.isEmpty() || row.box.size() > 11 || !entry ||
                         entry->text() == row.typed,
                     qPrintable(why));
            QVERIFY2(w.byteCells().join("").startsWith(QString(row.after).remove(' ')),
                     qPrintable(why + w.byteCells().join("")));
            QVERIFY2(row.beside.isEmpty() || seen(w, row.beside) == row.beside, qPrintable(why));
            QCOMPARE(w.form().isWindowModified(), w.byteCells().join("") != row.head);
        }
    }

    // Apply and close when the file or the user did something: the edit ("5"
    // committed, "5." still being typed, "m" mapper 16), what another program
    // does before the save, how the user saves, the answers, what is said,
    // byte 4 in the file after ("-": no such file) and in the window ("": closed).
    void saving() {
        // clang-format off
        const struct { const char* why; QString edit, meanwhile, how; QList<A> answers; QString said, inFile, shown; } rows[] = {
            {"no edit, changed, close", "", "change", "close", {}, "", "03", ""},
            {"edit, apply", "5", "", "apply", {}, "", "05", "05"},
            {"changed, overwrite", "5", "change", "apply", {A::overwrite}, changed, "05", "05"},
            {"changed, reload", "5", "change", "apply", {A::reload}, changed, "03", "03"},
            {"changed, cancel", "5", "change", "apply", {A::cancel}, changed, "03", "05"},
            {"close yes, changed, overwrite", "5", "change", "close", {A::yes, A::overwrite}, saveQuestion + " | " + changed, "05", ""},
            {"close yes, changed, cancel", "5", "change", "close", {A::yes, A::cancel}, saveQuestion + " | " + changed, "03", "05"},
            {"close yes, changed, reload: stays open", "5", "change", "close", {A::yes, A::reload}, saveQuestion + " | " + changed, "03", "03"},
            {"replaced", "5", "replace", "apply", {}, "Error: The file was moved, replaced or deleted", "01", "05"},
            {"deleted", "5", "delete", "apply", {}, "Error: The file was moved, replaced or deleted", "-", "05"},
            {"truncated", "5", "truncate", "apply", {}, "Error: The file is shorter than 16 bytes", "-", "05"},
            {"no longer iNES", "5", "zip", "apply", {}, "Error: The file no longer starts with an iNES header", "01", "05"},
            {"made read-only", "5", "lock", "apply", {}, "Error: The file cannot be written because it is read-only or\nis in use by another application.", "01", "01"},
            {"disk full", "5", "full", "apply", {}, "Error: Writing the header to the file failed.\nThe file may be on a full disk or a faulty medium, \nand its header may not hold your changes.\n(", "01", "05"}, // the system's reason
            {"close yes, disk full", "5", "full", "close", {A::yes}, saveQuestion + " | Error: Writing the header", "01", "05"},
            {"typed, close yes", "5.", "", "close", {A::yes}, saveQuestion, "05", ""},
            {"typed refused, close", "x.", "", "close", {}, "'x' is not a valid integer value", "01", "01"},
            {"mapper 0 to 16, close", "m", "", "close", {A::yes}, saveQuestion, "01", ""},
            {"size typed, close yes", "32K.", "", "close", {A::yes}, saveQuestion, "02", ""},};
        // clang-format on
        for (const auto& row : rows) {
            init();                                                    // a fresh folder for each
            const Bytes original = image(header(1, 1, 0, 0x08), 3000); // NES 2.0
            const std::string name = file(original).toStdString();
            if (row.meanwhile == "locked") {
                makeReadOnly(name);
            }
            Window w;
            w.load(QString::fromStdString(name));
            QLineEdit* box = w.edit(row.edit == "m"          ? "txtMapperNum"
                                    : row.edit.contains('K') ? "txtPrgRomSize"
                                                             : "txtPrgPages");
            if (!row.edit.isEmpty()) {
                row.edit.endsWith('.') ? w.type(box, row.edit.chopped(1))
                                       : w.commit(box, row.edit == "m" ? "16" : row.edit);
            }
            // clang-format off
            const std::map<QString, std::function<void()>> others = {{"", [] {}}, {"locked", [] {}}, {"full", [] {}},
                {"change", [&] { writeFile(name, image(header(3, 1, 0, 0), 3000)); }},
                {"replace", [&] { writeFile(name + ".new", original), std::rename((name + ".new").c_str(), name.c_str()); }},
                {"delete", [&] { std::remove(name.c_str()); }}, {"truncate", [&] { ::truncate(name.c_str(), 15); }},
                {"zip", [&] { writeFile(name, fromHex("504B0304010100000000000000000000", 3000)); }},
                {"lock", [&] { makeReadOnly(name); }}};
            // clang-format on
            others.at(row.meanwhile)();
            w.prompts.answers = row.answers;
            {
                std::unique_ptr<WritesFail> full(row.meanwhile == "full" ? new WritesFail
                                                                         : nullptr);
                row.how == "apply" ? w.click(w.button()) : w.closeWindow();
            }
            QVERIFY2(w.said().left(row.said.size()) == row.said &&
                         row.said.isEmpty() == w.said().isEmpty(),
                     qPrintable(row.why + QString(": ") + w.said()));
            const Bytes now = exists(name) ? readFile(name) : Bytes();
            QVERIFY(now.size() < 16 ||
                    std::equal(now.begin() + 16, now.end(), original.begin() + 16));
            // The byte in the file, in the window, and the window's changed mark.
            const bool open = w.form().isVisible();
            QCOMPARE(QStringList({row.why, now.size() >= 16 ? hexOf(now, 5).right(2) : "-",
                                  open ? w.cell(6, 0) : "",
                                  open && w.form().isWindowModified() ? "*" : ""}),
                     QStringList({row.why, row.inFile, row.shown,
                                  row.shown == "05" && row.inFile != "05" ? "*" : ""}));
            w.form().romLoaded = false; // let the window go without a question
        }
    }

    // The command line, a drop and the recent files open a file as Load Rom
    // does, by its name byte for byte; the title shows it and its edits.
    void waysIn() {
        const QByteArray latin = QByteArray::fromStdString(tmp->file("caf\xE9.nes"));
        writeFile(latin.toStdString(), image(header(2, 1, 0, 0), 100));
        QSettings().clear();
        {
            Window w;
            w.form().LoadFile(latin);
            QCOMPARE(w.edit("txtPrgPages")->text(), QString("2"));
            QVERIFY(w.form().windowTitle().startsWith(QString::fromUtf8("caf\xEF\xBF\xBD.nes")));
            w.menu("mnuFree");
            w.load(QFile::decodeName(latin)); // the dialog's name reads U+FFFD for the byte E9
            QCOMPARE(w.edit("txtPrgPages")->text(), QString("2"));
        }
        // The list outlives the window, keeps the last eight files, and opens them.
        for (int i = 0; i < 8; ++i) {
            Window w;
            w.load(file(image(header(1, 1, 0, 0), 16), qPrintable(QString("r%1.nes").arg(i))));
        }
        Window w;
        auto* recent = w.find<QMenu>("mnuRecent");
        QStringList entries;
        for (QAction* action : recent->actions()) {
            entries << action->text();
        }
        QCOMPARE(entries.join('|'),
                 QString::fromUtf8("&1 r7.nes|&2 r6.nes|&3 r5.nes|&4 r4.nes|&5 "
                                   "r3.nes|&6 r2.nes|&7 r1.nes|&8 r0.nes||&Clear "
                                   "Recent Files"));
        Window().load(file(image(header(1, 1, 0, 0), 16), "x.nes")); // another copy, meanwhile
        emit recent->aboutToShow(); // opened: the other copy's file is there
        QCOMPARE(recent->actions().at(0)->text(), "&1 x.nes");
        w.form().LoadFile(latin); // first, before the other copy's file; r1.nes and r0.nes go
        recent->actions().at(1)->trigger();
        QCOMPARE(w.edit("txtPrgPages")->text(), QString("1"));
        QCOMPARE(recent->actions().at(1)->text() + recent->actions().at(7)->text(),
                 QString::fromUtf8("&2 caf\xEF\xBF\xBD.nes&8 r2.nes"));
        w.menu("mnuClearRecent");
        QVERIFY(recent->actions().size() == 1 && !w.find<QAction>("mnuClearRecent")->isEnabled() &&
                QSettings().value("recentFiles").toList().isEmpty());
        QCOMPARE(w.said(), QString());
    }

    // The Check area: findings at once, a fix taken, the hashes read in the
    // background, and the header database's fields taken into the working copy.
    void checkArea() {
        Window w;
        // MMC3 with 8 KiB more than the header says (mapper 0 could not hold it).
        w.load(file(fromHex("4E45531A020140000000000000000000", 49152)));
        auto* findings = w.find<QTreeWidget>("lstFindings");
        QCOMPARE(findings->topLevelItem(0)->text(1),
                 QString("The file holds 8 KiB more than the header "
                         "says: CHR-ROM is probably 2 pages, not 1"));
        QVERIFY(w.find<QLabel>("lblVerdict")->text().startsWith("1 warning"));
        findings->setCurrentItem(findings->topLevelItem(0));
        w.click(w.button("btnTakeFix"));
        QCOMPARE(w.cell(7, 0) + w.edit("txtChrPages")->text(), QString("022"));
        QVERIFY(w.find<QLabel>("lblVerdict")->text().startsWith("All well"));
        QTRY_VERIFY(w.find<QPlainTextEdit>("txtHashes")->toPlainText().contains("SHA-1"));
        // Of several fixes, the chosen one; a title at the end of the file, named.
        w.prompts.answers << A::no << A::no;
        w.load(file(fromHex("4E45531A38010008100F700004000081", 24676)));
        findings->setCurrentItem(
            findings->findItems("battery flag is clear", Qt::MatchContains, 1).value(0));
        w.click(w.button("btnTakeFix"));
        QCOMPARE(w.byteCells().join(""), QString("4E45531A38010208100F700004000081"));
        auto* hashes = w.find<QPlainTextEdit>("txtHashes");

        // nes2.nes is listed with another mirroring and timing, once the database is read.
        w.load(sample("nes2.nes"));
        w.prompts.files.push_back(QString::fromStdString(samplesDir() + "/nes20db-samples.xml"));
        w.menu("mnuLoadDatabase");
        auto* table = w.find<QTableWidget>("tblDatabase");
        QTRY_VERIFY(table->rowCount() > 0);
        QStringList differing;
        w.find<QCheckBox>("chkDifferencesOnly")->setChecked(true);
        for (int row = 0; row < table->rowCount(); ++row) {
            QCOMPARE(table->isRowHidden(row),
                     row < headerFieldCount &&
                         !(table->item(row, 0)->flags() & Qt::ItemIsUserCheckable));
            if (table->item(row, 0)->flags() & Qt::ItemIsUserCheckable) {
                differing << table->item(row, 0)->text() + " " + table->item(row, 2)->text();
                table->item(row, 0)->setCheckState(differing.size() == 1 ? Qt::Checked
                                                                         : Qt::Unchecked);
            }
        }
        QCOMPARE(differing.join(", "), QString("Mirroring vertical, Timing 0: RP2C02 (NTSC NES)"));
        auto* takeAll = w.find<QPushButton>("btnTakeAll");
        w.click(w.button("btnTakeSelected"));
        QCOMPARE(w.cell(8, 0) + w.cell(6, 1) + w.combo()->currentText(), QString("1101Vertical"));
        QTest::mouseClick(takeAll, Qt::LeftButton);
        QCOMPARE(w.cell(6, 1), QString("00"));
        QVERIFY(w.form().isWindowModified() && !takeAll->isEnabled());
        // An iNES 1.0 image takes the database's header in NES 2.0 form.
        w.prompts.answers << A::no;
        w.load(sample("trainer.nes"));
        QTRY_VERIFY(hashes->toPlainText().contains("No trainer"));
        w.commit(w.edit("txtMapperNum"), "5");
        QTRY_VERIFY(takeAll->isEnabled());
        QTest::mouseClick(takeAll, Qt::LeftButton);
        QCOMPARE(seen(w, "txtMapperNum;txtFormat"), QString("txtMapperNum=4;txtFormat=NES 2.0"));
        // A broken database is refused and changes nothing.
        writeFile(tmp->file("broken.xml"), {'<', 'n', 'e', 's'});
        w.prompts.files.push_back(QString::fromStdString(tmp->file("broken.xml")));
        w.menu("mnuLoadDatabase");
        QTRY_VERIFY(w.prompts.boxes.last().startsWith(
            "Error: The header database could not be read, so nothing changed."));
        QVERIFY(w.find<QLabel>("lblDatabase")->text().startsWith("In the header database"));
    }

    // The two reference pages, created at start-up, shown from Help.
    void formatPages() {
        ScriptedPrompts prompts;
        ApplicationForms forms(prompts);
        // clang-format off
        const struct { const char* menu; TfrmFormatInfo* window; int lines; QString first, rows; } pages[] = {
            {"mnuFormatInfo", frmFormatInfo, 28, "  iNES Format (.NES)", "    |   4    |  1   | 16K PRG-ROM page count                   |"
             "    |   5    |  1   | 8K CHR-ROM page count                    |    |        |      |   %####vTsM                              |"},
            {"mnuNes2Info", frmNes2FormatInfo, 58, "  NES 2.0 Format (.NES)", ""}};
        // clang-format on
        for (const auto& page : pages) {
            QVERIFY(page.window != nullptr && !page.window->isVisible());
            frmMain->findChild<QAction*>(page.menu)->trigger();
            auto* memo = page.window->findChild<QPlainTextEdit*>("memFormat");
            frmMain->findChild<QAction*>(page.menu)->trigger();
            QVERIFY(page.window->isVisible() &&
                    page.window->findChildren<QPlainTextEdit*>().size() == 1); // built once
            const QStringList lines = memo->toPlainText().split('\n');
            QCOMPARE(lines.size(), page.lines);
            QCOMPARE(lines.first(), page.first);
            QVERIFY(page.rows.isEmpty() || lines[7] + lines[8] + lines[10] == page.rows);
            QVERIFY(memo->isReadOnly());
            // Every line fits; only the longer page scrolls.
            QTRY_VERIFY(!memo->horizontalScrollBar()->isVisible());
            QTRY_COMPARE(memo->verticalScrollBar()->isVisible(), page.lines != 28);
            page.window->findChild<QPushButton*>("btnClose")->click();
            QVERIFY(!page.window->isVisible());
        }
        // A page left open does not keep the program running: closing the
        // main window ends the event loop (exit code 0, not the timer's 1).
        frmMain->findChild<QAction*>("mnuFormatInfo")->trigger();
        frmMain->show();
        QTimer::singleShot(0, frmMain, [] { frmMain->close(); });
        QTimer fallback; // gone with the test, so that it cannot end a later loop
        QObject::connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        fallback.start(5000);
        QCOMPARE(QApplication::exec(), 0);
    }

    // Everything the window shows of every sample and made-up image of the
    // golden files, with the sample database loaded; then the collection
    // window on their folder: each column's order, each filter, each batch's
    // preview. Compared with window.txt, checked once as CHECKED.md says; as
    // the command line's outputs are compared with theirs, both faces agree.
    void windowState() {
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(tmp->path()));
        const std::string folder = tmp->file("images");
        std::filesystem::create_directory(folder);
        writeGoldenImages(folder);
        Window w;
        w.prompts.files << QString::fromStdString(samplesDir() + "/nes20db-samples.xml");
        w.menu("mnuLoadDatabase");
        QTRY_VERIFY(w.find<QLabel>("lblDatabase")->text().contains("entries"));
        const QDir images(QString::fromStdString(folder));
        QStringList all, first;
        for (const QString& name : images.entryList(QDir::Files, QDir::Name)) {
            w.prompts.clear();
            w.load(images.filePath(name));
            QTRY_VERIFY(!w.find<QPlainTextEdit>("txtHashes")->toPlainText().startsWith("Reading"));
            QStringList shown = stateOf(w.form());
            all << "== " + name << w.said().split('\n', Qt::SkipEmptyParts);
            for (const QString& entry : shown) {
                all << (first.contains(entry) ? QStringList() : QStringList(entry));
            }
            first = first.isEmpty() ? shown : first;
        }
        w.prompts.files << QString::fromStdString(folder);
        w.menu("mnuOpenFolder");
        auto* collection = w.form().findChild<TfrmCollection*>();
        QTRY_VERIFY(!collection->Reading());
        auto* table = collection->findChild<QTableView*>("tblImages");
        all << "== the collection" << stateOf(*collection);
        for (int column = 0; column < table->model()->columnCount(); ++column) {
            table->sortByColumn(column, Qt::AscendingOrder);
            all << "sorted by " + table->model()->headerData(column, Qt::Horizontal).toString() +
                       ": " + rowsOf(table->model(), 0).join(", ");
        }
        auto* filter = collection->findChild<QComboBox*>("cmbFilter");
        for (int index = 0; index < filter->count(); ++index) {
            filter->setCurrentIndex(index);
            QStringList shown = rowsOf(table->model(), 0); // ties come in the order they were read
            shown.sort();
            all << filter->currentText() + ": " + shown.join(", ");
        }
        filter->setCurrentIndex(0);
        for (const char* batch : {"btnFix", "btnClean", "btnConvert"}) {
            table->selectAll();
            w.prompts.clear();
            collection->findChild<QPushButton*>(batch)->click(); // and Cancel
            all << w.said().split('\n');
        }
        const std::string diff = goldenDiff( // the text ends in a newline
            "window.txt", (all << QString()).join('\n').toStdString(), tmp->path());
        QVERIFY2(diff.empty(), diff.c_str());
    }

    // Every kind of change is one undoable step with a name; the modified mark
    // and the bold (unwritten) bytes follow; Revert to File is a step too.
    void undoRedo() {
        Window w;
        w.load(sample("clean-nrom.nes"));
        QStringList grids{w.byteCells().join("")};
        const std::function<void()> changes[] = {
            [&] { w.commit(w.edit("txtMapperNum"), "5"); }, [&] { w.choose(0); },
            [&] { w.click(w.find<QCheckBox>("chkSRAM")); }, [&] { w.menu("mnuRevert"); },
            [&] { w.click(w.button("btnConvert")); },       [&] { w.choose(1, "cmbTiming"); }};
        for (const auto& change : changes) {
            change();
            grids << w.byteCells().join("");
        }
        w.menu("mnuCopyHeader"); // the working copy's bytes, not the file's
        QCOMPARE(QGuiApplication::clipboard()->text().remove(' '), grids.last());
        QCOMPARE(w.find<QAction>("mnuUndo")->text(),
                 QString("&Undo Set Timing to 1: RP2C07 (Licensed PAL NES)"));
        QVERIFY(w.form().isWindowModified() && w.grid()->item(0, 9)->font().bold());
        for (qsizetype step = grids.size() - 2; step >= 0; --step) {
            w.menu("mnuUndo");
            QCOMPARE(w.byteCells().join(""), grids[step]);
        }
        QVERIFY(!w.form().isWindowModified() && !w.grid()->item(0, 9)->font().bold());
        QCOMPARE(w.find<QAction>("mnuRedo")->text(),
                 QString("&Redo Set Mapper to 5: E*ROM (MMC5)"));
        for (qsizetype step = 1; step < grids.size(); ++step) {
            w.menu("mnuRedo");
            QCOMPARE(w.byteCells().join(""), grids[step]);
        }
        w.click(w.button());
        QVERIFY(!w.form().isWindowModified() && !w.grid()->item(0, 9)->font().bold());
        QVERIFY(
            w.find<QStatusBar>("stbStatus")->currentMessage().startsWith("Wrote the header to"));
        w.load(sample("clean-nrom.nes")); // a new image starts a new stack
        QVERIFY(!w.find<QAction>("mnuUndo")->isEnabled());
    }

    // Before a load, a drop or a recent file replaces unapplied edits, the
    // window asks; Cancel keeps everything, No drops the edits, Yes writes
    // them. A file that cannot be loaded is refused before anything is asked.
    // A folder as a collection with the database: the preview of Fix from
    // Database (nothing written without Yes, the same new headers `fix
    // --dry-run` prints), the write, and Undo Last Repair, bytes compared.
    void collectionRepair() {
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(tmp->path()));
        const std::string folder = tmp->file("games"),
                          database = samplesDir() + "/nes20db-samples.xml";
        std::filesystem::create_directories(folder + "/sub");
        std::map<std::string, Bytes> before;
        for (const char* name : {"nes2.nes", "trainer.nes", "sub/clean-nrom.nes"}) {
            copyFile(samplesDir() + "/" + std::filesystem::path(name).filename().string(),
                     folder + "/" + name);
            before[name] = readFile(folder + "/" + name);
        }
        Window w;
        w.prompts.files << QString::fromStdString(database) << QString::fromStdString(folder);
        w.menu("mnuLoadDatabase");
        QTRY_VERIFY(w.find<QLabel>("lblDatabase")->text().contains("entries"));
        w.menu("mnuOpenFolder");
        auto* collection = w.form().findChild<TfrmCollection*>();
        QTRY_VERIFY(!collection->Reading());
        auto* table = collection->findChild<QTableView*>("tblImages");
        const auto rows = [table] {
            QStringList shown;
            for (int row = 0; row < table->model()->rowCount(); ++row) {
                shown << table->model()->index(row, 0).data().toString() + " " +
                             table->model()->index(row, 8).data().toString();
            }
            return shown.join(", ");
        };
        QCOMPARE(rows(),
                 "nes2.nes differs in 2 fields, sub/clean-nrom.nes not found, trainer.nes matched");
        table->selectAll();
        const auto fix = [&](platform::Answer answer, const char* button = "btnFix") {
            w.prompts.clear();
            w.prompts.answers = {answer};
            collection->findChild<QPushButton*>(button)->click();
        };
        fix(platform::Answer::no);
        for (const auto& [name, bytes] : before) {
            QVERIFY2(readFile(folder + "/" + name) == bytes, name.c_str());
        }
        const QString preview = w.prompts.boxes.join('\n');
        QVERIFY(preview.contains("2 of 3 selected images will get a new header") &&
                preview.contains("sub/clean-nrom.nes: not in the database"));
        QVERIFY(preview.contains("marked: 11 00 08 70")); // bytes 6 and 12, 7 and 10
        std::ostringstream out, err;
        runCommandLine({"fix", "--dry-run", "--db", database, folder}, out, err);
        const QStringList cli = QString::fromStdString(out.str()).split('\n').filter(
            QRegularExpression("^  (old|new) "));
        QCOMPARE(cli.size(), 4);
        for (const QString& line : cli) {
            QVERIFY2(preview.contains(line.trimmed()), qPrintable(line));
        }
        fix(platform::Answer::yes);
        QCOMPARE(w.prompts.boxes.last().section('\n', 0, 0),
                 "Fix from Database: 3 images: 2 fixed, 0 unchanged, 1 not in the database.");
        QCOMPARE(rows(), "nes2.nes matched, sub/clean-nrom.nes not found, trainer.nes matched");
        for (const auto& [name, bytes] : before) {
            const Bytes now = readFile(folder + "/" + name);
            QVERIFY(std::equal(now.begin() + 16, now.end(), bytes.begin() + 16, bytes.end()));
            QCOMPARE(now == bytes, name == "sub/clean-nrom.nes");
        }
        const std::string trainer = folder + "/trainer.nes";
        const auto meddle = [&] { // another program changes trainer.nes's header
            Bytes changed = readFile(trainer);
            changed[6] = 0x47;
            writeFile(trainer, changed);
        };
        meddle();
        fix(platform::Answer::yes, "btnUndoRepair");
        QCOMPARE(w.prompts.boxes.last().section('\n', 0, 0),
                 "Undo Last Repair: 1 of 2 headers put back.");
        writeFile(trainer, before["trainer.nes"]); // as it was
        for (const auto& [name, bytes] : before) {
            QVERIFY2(readFile(folder + "/" + name) == bytes, name.c_str());
        }
        QVERIFY(!collection->findChild<QPushButton*>("btnUndoRepair")->isEnabled());
        // Enter (or a double-click) on a row of the sorted list opens its image.
        table->sortByColumn(0, Qt::DescendingOrder);
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(w.edit("txtMapperNum")->text(), "4");
        QVERIFY(w.form().windowTitle().contains("trainer.nes"));
        // Another program changes a header between the preview and the write:
        // that file is left as it is now.
        w.prompts.beforeConfirming = meddle;
        table->selectAll();
        fix(platform::Answer::yes);
        QCOMPARE(w.prompts.boxes.last().section('\n', 0, 0),
                 "Fix from Database: 3 images: 1 fixed, 0 unchanged, 1 not in the database, 1 "
                 "not written.");
        QCOMPARE(readFile(trainer)[6], 0x47);
        // Thousands of images are each listed once, however the reading is split.
        const std::string many = tmp->file("many");
        std::filesystem::create_directories(many);
        for (int i = 0; i < 4000; ++i) {
            writeFile(many + "/" + std::to_string(i) + ".nes", header(1, 1, 0, 0));
        }
        w.prompts.files << QString::fromStdString(many);
        w.menu("mnuOpenFolder");
        QTRY_VERIFY_WITH_TIMEOUT(!collection->Reading(), 60000);
        QCOMPARE(table->model()->rowCount(), 4000);
        collection->findChild<QPushButton*>("btnClose")->click();
        QVERIFY(!collection->isVisible());
    }

    void questionBeforeReplacing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shown");  // byte 4 in the window after
        QTest::addColumn<QString>("inFile"); // byte 4 of the edited file after
        // clang-format off
        for (const char* how : {"load", "drop", "recent"}) {
            QTest::addRow("%s, cancel", how) << how << int(A::cancel) << "05" << "03";
            QTest::addRow("%s, no", how) << how << int(A::no) << "01" << "03";
            QTest::addRow("%s, yes", how) << how << int(A::yes) << "01" << "05";
        }
        QTest::addRow("refused file") << "refused" << int(A::yes) << "05" << "03";
        QTest::addRow("load, yes, the save fails") << "full" << int(A::yes) << "05" << "03";
        // clang-format on
    }
    void questionBeforeReplacing() {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        QFETCH(QString, inFile);
        const QString other = file(image(header(1, 1, 0, 0), 24576), "other.nes");
        const QString edited = file(image(header(3, 1, 0, 0), 57344), "edited.nes");
        Window w;
        w.load(file({'P', 'K'}, "first.nes")); // refused: still nothing loaded
        QVERIFY(!w.form().romLoaded);
        w.load(other); // now a recent file
        w.load(edited);
        w.commit(w.edit("txtPrgPages"), "5");
        w.prompts.clear();
        w.prompts.answers << A(answer);
        if (how == "drop") {
            w.drop(QFile::encodeName(other));
        } else if (how == "recent") {
            w.find<QMenu>("mnuRecent")->actions().at(1)->trigger();
        } else {
            const std::unique_ptr<WritesFail> full(how == "full" ? new WritesFail : nullptr);
            w.load(how == "refused" ? file({'P', 'K'}, "zip.nes") : other);
        }
        QCOMPARE(w.cell(6, 0), shown);
        QCOMPARE(QString::number(readFile(QFile::encodeName(edited).toStdString())[4], 16)
                     .rightJustified(2, '0'),
                 inFile);
        QCOMPARE(w.prompts.boxes.value(0).startsWith("Save Changes"), how != "refused");
        QCOMPARE(w.prompts.errors, QStringList());
        if (shown == "01") { // the image opened after the question can be written
            w.commit(w.edit("txtPrgPages"), "2");
            w.click(w.button());
            QCOMPARE(readFile(QFile::encodeName(other).toStdString())[4], 2);
        }
        if (how == "refused") { // a reload opens the image that stayed, not the refused file
            const std::string kept = QFile::encodeName(edited).toStdString();
            Bytes changed = readFile(kept);
            changed[5] = 2;
            writeFile(kept, changed);
            w.prompts.answers = {A::reload};
            w.click(w.button());
            QCOMPARE(w.cell(7, 0) + w.cell(6, 0), QString("0203"));
        }
    }

    // Recent files reach the settings at once: another running copy sees
    // them, and the list a window starts with after a restart holds a name
    // that is not UTF-8, which reopens byte for byte; the header database
    // chosen is read again at the restart.
    void recentFilesAcrossCopies() {
        const QByteArray odd = QFile::encodeName(file(image(header(2, 1, 0, 0), 40960), "x"))
                                   .replace("/x", "/caf\xE9.nes");
        writeFile(odd.toStdString(), image(header(2, 1, 0, 0), 40960));
        {
            Window w;
            w.drop(odd);
            w.prompts.files << QString::fromStdString(samplesDir() + "/nes20db-samples.xml");
            w.menu("mnuLoadDatabase");
            QTRY_VERIFY(w.find<QLabel>("lblDatabase")->text().contains("entries"));
        }
        QProcess reader;
        reader.start(QCoreApplication::applicationFilePath(), {"--print-recent"});
        QVERIFY(reader.waitForFinished(20000));
        QCOMPARE(reader.readAllStandardOutput().trimmed(), odd.toHex());
        Window restarted;
        restarted.find<QMenu>("mnuRecent")->actions().at(0)->trigger();
        QCOMPARE(restarted.cell(6, 0), QString("02"));
        QCOMPARE(restarted.said(), QString());
        QTRY_VERIFY(restarted.find<QLabel>("lblDatabase")->text().contains("(6 entries)"));
    }

    // The real dialogs: Qt's file dialog given a typed name of no file, then a
    // name with non-ASCII characters; the error box raised from a focus change;
    // the buttons of each question and the answers they give; Escape first
    // (press < 0) closes a box with Cancel and leaves a Yes/No box open.
    void realDialogs() {
        const QString path = file(image(header(3, 2, 0, 0), 100), "Zelda – Ärger.nes");
        platform::DialogPrompts real;
        TfrmMain form(real);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        // Every dialog that opens is answered: the file dialog with the next
        // name, a box with its button `press` (from the left, OK when alone),
        // noted as "caption: text (icon) buttons".
        QStringList names = {path + "x", path}, shown;
        int press = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (auto* files = qobject_cast<QFileDialog*>(dialog); files && !names.isEmpty()) {
                files->findChild<QLineEdit*>("fileNameEdit")->setText(names.takeFirst());
                static_cast<QDialog*>(files)->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
                if (press < 0) {
                    press = -press - 1;
                    QTest::keyClick(box, Qt::Key_Escape);
                    return;
                }
                QList<QAbstractButton*> buttons = box->buttons();
                std::sort(buttons.begin(), buttons.end(),
                          [](auto* l, auto* r) { return l->x() < r->x(); });
                shown
                    << QString("%1: %2 (%3)").arg(box->windowTitle(), box->text()).arg(box->icon());
                for (QAbstractButton* button : buttons) {
                    shown.last() += " " + button->text();
                }
                buttons[std::min<int>(press, buttons.size() - 1)]->click();
            }
        });
        answer.start(20);
        form.findChild<QAction*>("mnuLoad")->trigger();
        form.findChild<QAction*>("mnuLoad")->trigger();
        auto* pages = form.findChild<QLineEdit*>("txtPrgPages");
        QCOMPARE(pages->text(), QString("3"));
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::mouseClick(pages, Qt::LeftButton, {}, QPoint(4, 8));
        pages->selectAll();
        QTest::keyClicks(pages, "abc");
        QTest::keyClick(pages, Qt::Key_Tab);
        form.romLoaded = false;
        for (auto [buttons, pressed, answered] :
             {std::tuple(platform::Buttons::yesNo, -1, A::yes),
              {platform::Buttons::yesNoCancel, -1, A::cancel},
              {platform::Buttons::yesNoCancel, 1, A::no},
              {platform::Buttons::overwriteReload, 1, A::reload}}) {
            press = pressed;
            QCOMPARE(real.message("Changes have been made.  save them?", "Save Changes", buttons),
                     answered);
        }
        const QString question = "Save Changes: Changes have been made.  save them? (0) ";
        QCOMPARE(shown, QStringList({"Error: The file does not exist:\n" + path + "x (0) OK",
                                     "Tallowick: 'abc' is not a valid integer value (3) OK",
                                     question + "&Yes &No", question + "&Yes &No Cancel",
                                     question + "Overwrite Reload Cancel"}));
    }
};

int main(int argc, char** argv) {
    // A second copy of the program, as another process: prints the first
    // recent file it finds in the settings, in hex.
    if (argc > 1 && QByteArray(argv[1]) == "--print-recent") {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tallowick"));
        const QVariantList recent = QSettings().value("recentFiles").toList();
        std::printf("%s\n", recent.value(0).toByteArray().toHex().constData());
        return 0;
    }
    return runTests<GuiTests>(argc, argv);
}

#include "guiTests.moc"
