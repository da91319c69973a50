// The windows driven as a user drives them, on real files in temporary folders.
#include "Collection.h"
#include "Format.h"
#include "GuiHarness.h"

#include "commandLine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <sys/file.h>
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
// text, state, tip and list or table (headings and rows); when `probe`, a
// finding's fix as shown when it is chosen, the bytes highlighted with the
// focus on the control, and what each Copy action puts on the clipboard.
QStringList stateOf(QWidget& window, bool probe = true) {
    const QRegularExpression named("^(txt|cmb|chk|btn|lbl|lst|tbl|sgd|mem|stb|prg|Label|mnu)");
    QStringList entries = {"title: " + window.windowTitle() +
                           (window.isWindowModified() ? " (modified)" : "")};
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
        QString entry =
            (control && control->window() != &window ? control->window()->objectName() + "/" : "") +
            object->objectName() + (enabled ? "" : " (disabled)") +
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
                auto* table = qobject_cast<QTableView*>(view);
                if (table && table->isRowHidden(row)) {
                    continue;
                }
                QStringList cells;
                for (int column = 0; column < view->model()->columnCount(); ++column) {
                    const QModelIndex cell = view->model()->index(row, column);
                    const QVariant tick = cell.data(Qt::CheckStateRole);
                    const QString tip = cell.data(Qt::ToolTipRole).toString(); // when it says more
                    cells << (tick.isValid() ? tick.toInt() ? "[x] " : "[ ] " : "") +
                                 cell.data().toString() +
                                 (tip.isEmpty() || tip == cell.data() ? ""
                                                                      : " (tip: " + tip + ")") +
                                 (cell.data(Qt::FontRole).value<QFont>().bold() ? "*" : "");
                }
                entry += "\n  " + cells.join(" | ");
                if (auto* tree = qobject_cast<QTreeWidget*>(view);
                    probe && tree && window.findChild<QLabel*>("lblFix")) {
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
        if (probe && grid && control && enabled && control->focusPolicy() != Qt::NoFocus) {
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
        for (QAction* copy : control&& probe ? control->actions() : QList<QAction*>()) {
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
    // is refused; read-only ('r'), unreadable ('u') or on a full disk ('f'). What is said (its
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
            {"4E45531A010100000000000000000000", 'u', "Error: The stream could not be opened.  Check that no "
             "other\napplications are using the file and try again.", earlier, earlierShown},
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
            } else if (row.lock == 'u') {
                ::chmod(made.c_str(), 0);
            }
            Window w;
            w.load(file(fromHex("4E45531A010100085000000000000000", 100), "earlier.nes"));
            w.click(w.edit("txtSubmapper")); // left only by the load
            {
                std::unique_ptr<WritesFail> full(row.lock == 'f' ? new WritesFail : nullptr);
                w.load(path);
            }
            if (row.lock == 'u') {
                ::chmod(made.c_str(), 0644);
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
        QSettings().clear(); // no recent files, no database, no last repair
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

    // Sessions as a user has them, from session.txt: each "> verb words" line
    // is done, and what it did follows it: the boxes shown, each control
    // whose state changed (after a load: only the title, grid and status
    // line) and each file whose bytes changed. Paths are below the folder "@",
    // which holds every golden image in images/.
    void session() {
        QSettings().clear(); // no recent files, no database
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(tmp->file("state")));
        std::filesystem::create_directory(tmp->file("images"));
        writeGoldenImages(tmp->file("images"));
        const auto at = [&](const QString& name) {
            return name.startsWith("samples/") ? samplesDir() + name.mid(7).toStdString()
                                               : tmp->file(name.toStdString());
        };
        std::unique_ptr<Window> w;
        QStringList out, state;
        const auto find = [&](const QString& name) { // a name, or WINDOW/NAME
            if (name == ".") {
                return static_cast<QObject*>(QApplication::focusWidget());
            }
            QObject* window = name.contains('/')
                                  ? w->form().findChild<QWidget*>(name.section('/', 0, 0))
                                  : &w->form();
            return window->findChild<QObject*>(name.section('/', -1));
        };
        const auto meddle = [&](const QStringList& words) { // FILE OFFSET HEX
            Bytes bytes = readFile(at(words[0]));
            const Bytes put = testfiles::fromHex(words[2].toStdString());
            bytes.resize(std::max(bytes.size(), words[1].toInt() + put.size()));
            std::copy(put.begin(), put.end(), bytes.begin() + words[1].toInt());
            writeFile(at(words[0]), bytes);
        };
        const std::map<QString, A> answers = {{"yes", A::yes},
                                              {"no", A::no},
                                              {"cancel", A::cancel},
                                              {"overwrite", A::overwrite},
                                              {"reload", A::reload}};
        int held = -1; // another program's write lock on a file, for one step
        // clang-format off
        const std::map<QString, std::function<void(const QStringList&, const QString&)>> verbs = {
            {"fresh", [&](auto&, auto&) { w ? void(w->form().romLoaded = false) : void(), w.reset(), w = std::make_unique<Window>(); }},
            {"make", [&](auto& words, auto&) { writeFile(at(words[0]), image(testfiles::fromHex(words[1].toStdString()), words[2].toInt())); }},
            {"sparse", [&](auto& words, auto&) { writeSparse(at(words[0]), testfiles::fromHex(words[1].toStdString()), words[2].toULongLong()); }},
            {"copy", [&](auto& words, auto&) { for (const QString& to : words.mid(1)) // FROM TO...
                std::filesystem::create_directories(std::filesystem::path(at(to)).parent_path()), copyFile(at(words[0]), at(to)); }},
            {"load", [&](auto& words, auto&) { w->load(QString::fromStdString(at(words[0]))); }},
            {"loadclick", [&](auto& words, auto&) { // before the window handles any event
                w->prompts.files << QString::fromStdString(at(words[0])), w->find<QAction>("mnuLoad")->trigger();
                qobject_cast<QAbstractButton*>(find(words[1]))->click(); }},
            {"file", [&](auto& words, auto&) { w->prompts.files << QString::fromStdString(at(words[0])); }},
            {"drop", [&](auto& words, auto&) { w->drop(QByteArray::fromStdString(at(words[0]))); }},
            {"type", [&](auto& words, auto& rest) { w->commit(w->edit(qPrintable(words[0])), rest); }},
            {"paste", [&](auto& words, auto&) { QLineEdit* box = w->edit(qPrintable(words[0]));
                w->type(box, {}), box->insert(words[1].leftJustified(words[2].toInt(), words[1].back())), w->tab(); }},
            {"keys", [&](auto& words, auto& rest) { w->type(w->edit(qPrintable(words[0])), rest); }},
            {"choose", [&](auto& words, auto&) { w->choose(words[1].toInt(), qPrintable(words[0])); }},
            {"click", [&](auto& words, auto&) { auto* action = qobject_cast<QAction*>(find(words[0]));
                action ? action->trigger() : w->click(qobject_cast<QWidget*>(find(words[0]))); }},
            {"key", [&](auto& words, auto&) { const QKeyCombination key = QKeySequence(words[1])[0];
                QTest::keyClick(qobject_cast<QWidget*>(find(words[0])), key.key(), key.keyboardModifiers()); }},
            {"row", [&](auto& words, auto&) { auto* view = qobject_cast<QAbstractItemView*>(find(words[0]));
                view->setCurrentIndex(view->model()->index(words[1].toInt(), 0)); }},
            {"all", [&](auto& words, auto&) { qobject_cast<QAbstractItemView*>(find(words[0]))->selectAll(); }},
            {"sort", [&](auto& words, auto&) { qobject_cast<QTableView*>(find(words[0]))->sortByColumn(words[1].toInt(), Qt::DescendingOrder); }},
            {"tick", [&](auto& words, auto&) { QAbstractItemModel* model = qobject_cast<QAbstractItemView*>(find(words[0]))->model();
                const QModelIndex cell = model->match(model->index(0, 0), Qt::DisplayRole, words[1]).value(0);
                model->setData(cell, cell.data(Qt::CheckStateRole).toInt() ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole); }},
            {"answer", [&](auto& words, auto&) { for (const QString& word : words) w->prompts.answers << answers.at(word); }},
            {"meanwhile", [&](auto& words, auto&) { w->prompts.beforeConfirming = [&, words] { meddle(words), w->prompts.beforeConfirming = {}; }; }},
            {"meddle", [&](auto& words, auto&) { meddle(words); }},
            {"truncate", [&](auto& words, auto&) { QVERIFY(::truncate(at(words[0]).c_str(), words[1].toInt()) == 0); }},
            {"replace", [&](auto& words, auto&) { copyFile(at(words[0]), at(words[0]) + ".new"), std::filesystem::rename(at(words[0]) + ".new", at(words[0])); }},
            {"recent", [&](auto& words, auto&) { w->find<QMenu>("mnuRecent")->actions().at(words[0].toInt())->trigger(); }},
            {"menu", [&](auto& words, auto&) { QStringList items;
                for (QAction* item : w->find<QMenu>(qPrintable(words[0]))->actions()) items << item->text();
                out << "menu: " + items.join(" | "); }},
            {"clipboard", [&](auto&, auto&) { out << "clipboard: " + QGuiApplication::clipboard()->text(); }},
            {"delete", [&](auto& words, auto&) { std::filesystem::remove_all(at(words[0])); }},
            {"lock", [&](auto& words, auto&) { for (const QString& name : words) makeReadOnly(at(name)); }},
            {"hold", [&](auto& words, auto&) { held = ::open(at(words[0]).c_str(), O_RDONLY), ::flock(held, LOCK_EX); }},
            {"close", [&](auto&, auto&) { w->closeWindow(); }}};
        // clang-format on
        std::map<std::string, std::pair<std::filesystem::file_time_type, Bytes>> files;
        const auto changedFiles = [&] { // read again only when written since
            QStringList changed;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(tmp->path())) {
                const std::string name = entry.path().lexically_relative(tmp->path()).string();
                auto& [written, before] = files[name];
                if (!entry.is_regular_file() || name.rfind("state/", 0) == 0 ||
                    (entry.last_write_time() == written && entry.file_size() == before.size())) {
                    continue;
                }
                const Bytes bytes = readFile(entry.path());
                const bool rest =
                    before.size() > 16 &&
                    std::equal(bytes.begin() + 16, bytes.end(), before.begin() + 16, before.end());
                changed << (bytes == before
                                ? QStringList()
                                : QStringList(
                                      QString("file %1: %2, %3 bytes%4")
                                          .arg(QString::fromStdString(name),
                                               hexOf(bytes, std::min<int>(16, bytes.size())))
                                          .arg(bytes.size())
                                          .arg(rest ? "" : ", the rest new")));
                files[name] = {entry.last_write_time(), bytes};
            }
            changed.sort(); // in name order, whatever order the folder lists
            return changed;
        };
        changedFiles();
        for (const std::string& line : linesOf(goldenText("session.txt"))) {
            const QString command = QString::fromStdString(line);
            // A comment is copied, after a blank line if it starts a block.
            const bool comment = command.startsWith('#');
            out << (comment && !out.isEmpty() && !out.last().startsWith('#') ? QStringList("")
                                                                             : QStringList())
                << (command.startsWith("> ") || comment ? QStringList(command) : QStringList());
            if (!command.startsWith("> ")) {
                continue;
            }
            QStringList words = command.mid(2).split(' ');
            const bool failing = words.first() == "full"; // every write fails as on a full disk
            const QString verb = words.value(failing), rest = command.section(' ', 3 + failing);
            words = words.mid(failing + 1);
            words.removeAll(QString());
            if (w && w->form().isVisible() && QApplication::activeWindow() == nullptr) {
                w->form().activateWindow(); // as the desktop does when a window closes
                QVERIFY(QTest::qWaitForWindowActive(&w->form()));
            }
            {
                const std::unique_ptr<WritesFail> full(failing ? new WritesFail : nullptr);
                verbs.at(verb)(words, rest);
            }
            held = verb == "hold" ? held : (::close(held), -1);
            if (verb != "answer" && verb != "file" &&
                !(w->prompts.answers.isEmpty() && w->prompts.files.isEmpty())) {
                out << QString("not asked: %1 answers, %2 files")
                           .arg(w->prompts.answers.size())
                           .arg(w->prompts.files.size());
                w->prompts.answers.clear(), w->prompts.files.clear();
            }
            // The hashes, the database, the folder read, and their results shown.
            const QDeadlineTimer deadline(20000);
            for (int calm = 0; calm < 3; QThread::msleep(calm == 0)) {
                QApplication::processEvents();
                auto* collection = w->form().findChild<TfrmCollection*>();
                calm = QThreadPool::globalInstance()->activeThreadCount() == 0 &&
                               !w->find<QPlainTextEdit>("txtHashes")
                                    ->toPlainText()
                                    .startsWith("Reading") &&
                               (!collection || !collection->Reading())
                           ? calm + 1
                           : 0;
                QVERIFY(!deadline.hasExpired());
            }
            out << w->said()
                       .split(" | ", Qt::SkipEmptyParts)
                       .replaceInStrings(QRegularExpression("^"), "said: ")
                       .replaceInStrings(QRegularExpression("fix-[-0-9]+"), "fix-TIME-PROCESS");
            w->prompts.clear();
            QStringList windows;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                windows << (window->isVisible() ? window->objectName() : QString());
            }
            windows.removeAll(QString());
            windows.sort();
            const QStringList now =
                stateOf(w->form(), false)
                << "windows shown: " +
                       (windows.isEmpty() ? QStringList("none") : windows).join(' ');
            const QRegularExpression shownAfterLoad("^(title|sgdHeader|stbStatus)");
            for (const QString& entry : now) {
                const bool shown = !state.contains(entry) &&
                                   ((verb != "load" && (verb != "fresh" || state.isEmpty())) ||
                                    shownAfterLoad.match(entry).hasMatch());
                out << (!shown ? QStringList()
                        : entry.size() < 1200
                            ? QStringList(entry)
                            : QStringList(entry.left(80) +
                                          QString("... (%1 characters)").arg(entry.size())));
            }
            state = now;
            out << changedFiles();
        }
        const std::string diff =
            goldenDiff("session.txt", out.join('\n').toStdString() + "\n", tmp->path());
        QVERIFY2(diff.empty(), diff.c_str());
    }

    // The preview of Fix from Database shows the new headers `fix --dry-run`
    // prints for the same folder (what the window then does: session.txt);
    // thousands of images are each listed once, however the reading is split.
    void collectionRepair() {
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(tmp->path()));
        const std::string folder = tmp->file("games"),
                          database = samplesDir() + "/nes20db-samples.xml";
        std::filesystem::create_directories(folder + "/sub");
        for (const char* name : {"nes2.nes", "trainer.nes", "sub/clean-nrom.nes"}) {
            copyFile(samplesDir() + "/" + std::filesystem::path(name).filename().string(),
                     folder + "/" + name);
        }
        Window w;
        w.prompts.files << QString::fromStdString(database) << QString::fromStdString(folder);
        w.menu("mnuLoadDatabase");
        QTRY_VERIFY(w.find<QLabel>("lblDatabase")->text().contains("entries"));
        w.menu("mnuOpenFolder");
        auto* collection = w.form().findChild<TfrmCollection*>();
        QTRY_VERIFY(!collection->Reading());
        auto* table = collection->findChild<QTableView*>("tblImages");
        table->selectAll();
        collection->findChild<QPushButton*>("btnFix")->click(); // and Cancel
        std::ostringstream out, err;
        runCommandLine({"fix", "--dry-run", "--db", database, folder}, out, err);
        const QStringList cli = QString::fromStdString(out.str()).split('\n').filter(
            QRegularExpression("^  (old|new) "));
        QCOMPARE(cli.size(), 4);
        for (const QString& line : cli) {
            QVERIFY2(w.prompts.boxes.join('\n').contains(line.trimmed()), qPrintable(line));
        }
        const std::string many = tmp->file("many");
        std::filesystem::create_directories(many);
        for (int i = 0; i < 4000; ++i) {
            writeFile(many + "/" + std::to_string(i) + ".nes", header(1, 1, 0, 0));
        }
        w.prompts.files << QString::fromStdString(many);
        w.menu("mnuOpenFolder");
        QTRY_VERIFY_WITH_TIMEOUT(!collection->Reading(), 60000);
        QCOMPARE(table->model()->rowCount(), 4000);
        // Images of 60 MB hashed for the database take a while: while they are read,
        // the line counts them, the bar follows, and no repair can start; Stop
        // leaves the rows read so far, and the line says how many.
        const std::string slow = tmp->file("slow");
        std::filesystem::create_directories(slow);
        for (int i = 0; i < 40; ++i) {
            writeSparse(slow + "/" + std::to_string(i) + ".nes", // PRG-ROM 0xEFF pages, all there
                        testfiles::fromHex("4E45531AFF000008000E000000000000"), 62898192);
        }
        w.prompts.files << QString::fromStdString(slow);
        w.menu("mnuOpenFolder");
        const auto* line = collection->findChild<QLabel*>("lblScan");
        QCOMPARE(line->text(), QString("Reading the folder..."));
        const QRegularExpression reading("^([0-9]+) of ([0-9]+) images read$");
        QTRY_VERIFY_WITH_TIMEOUT(!collection->Reading() || (table->model()->rowCount() > 0 &&
                                                            reading.match(line->text()).hasMatch()),
                                 60000);
        if (collection->Reading()) { // else a machine with many cores read them all at once
            const QRegularExpressionMatch counts = reading.match(line->text());
            QCOMPARE(counts.captured(2), QString("40"));
            QCOMPARE(collection->findChild<QProgressBar*>("prgScan")->value(),
                     counts.captured(1).toInt() * 1000 / 40);
            table->selectAll();
            QVERIFY(!collection->findChild<QPushButton*>("btnFix")->isEnabled());
            collection->findChild<QPushButton*>("btnCancelScan")->click();
            QTRY_VERIFY(!collection->Reading());
            QCOMPARE(line->text(),
                     QString("Stopped: %1 of 40 images read").arg(table->model()->rowCount()));
        }
        // One of them in the main window: what its check says while it reads.
        w.load(QString::fromStdString(slow + "/0.nes"));
        QCOMPARE(
            w.find<QLabel>("lblDatabase")->text() + '|' +
                w.find<QPlainTextEdit>("txtHashes")->toPlainText(),
            "Reading the file for its hashes... (6 entries in the database)|Reading the file...");
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
                shown << files->windowTitle() + ": " + files->nameFilters().join(';');
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
        const QString load = "Load Rom: iNES Rom Files (*.nes *.NES)";
        QCOMPARE(shown, QStringList({load, "Error: The file does not exist:\n" + path + "x (0) OK",
                                     load, "Tallowick: 'abc' is not a valid integer value (3) OK",
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
