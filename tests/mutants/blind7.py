"""A seventh blind list of planted faults.

These were written from the product code (cart/ check/ document/ cli/ gui/
app/), the header reference, the README, docs/ and the texts of issues 19, 20
and 21 only, by someone who had not read the tests: no test source, test data
or test build file was opened while they were written (only run.py, the
README beside it and the six earlier blind lists, so as not to repeat their
faults). Each is one mistake a developer could really make, and each changes
something a user would see or harms their files. Most sit in lines no earlier
list planted a fault in. Run with
``python3 tests/mutants/run.py --blind blind7.py``.
"""

BLIND = [
    # ------------------------------------------------------------ cart/
    dict(id="b7-mapper-range-words-inverted",
         fault="a mapper out of range on an NES 2.0 header is refused with \"... in iNES 1.0 "
               "(NES 2.0 holds up to 4095)\", and on an iNES 1.0 header without those words",
         file="cart/nesHeader.cpp",
         old='(isNes2() ? "" : " in iNES 1.0 (NES 2.0 holds up to 4095)");',
         new='(isNes2() ? " in iNES 1.0 (NES 2.0 holds up to 4095)" : "");'),
    dict(id="b7-chr-pages-prg-unit",
         fault="typing a CHR-ROM page count stores twice as many pages (the count is turned into "
               "bytes with the 16 KiB PRG-ROM unit); 200 CHR pages are refused in iNES 1.0",
         file="cart/nesHeader.cpp",
         old="return setRomBytes(5, 0xF0, chrUnit, pages * chrUnit, \"CHR-ROM\", false);",
         new="return setRomBytes(5, 0xF0, chrUnit, pages * prgUnit, \"CHR-ROM\", false);"),
    dict(id="b7-chr-size-form-not-kept",
         fault="setting the CHR-ROM size an NES 2.0 header already holds in the exponent form "
               "rewrites it as a page count: leaving the CHR-ROM size box marks the header "
               "modified, and set chrRomBytes= with the same size writes the file",
         file="cart/nesHeader.cpp",
         old="return setRomBytes(5, 0xF0, chrUnit, bytes, \"CHR-ROM\", true);",
         new="return setRomBytes(5, 0xF0, chrUnit, bytes, \"CHR-ROM\", false);"),
    dict(id="b7-extension-ignores-byte11",
         fault="an iNES 1.0 header with extension data in bytes 8-10 and junk in byte 11 is "
               "taken for extension data: the junk is never reported as garbage nor cleaned",
         file="cart/nesHeader.cpp",
         old="std::all_of(raw.begin() + 11, raw.end(), [](auto b) { return b == 0; })",
         new="std::all_of(raw.begin() + 12, raw.end(), [](auto b) { return b == 0; })"),
    dict(id="b7-flag-yes-no-swapped",
         fault="flags read the wrong way in words: \"Battery  no\" for a battery-backed image, "
               "\"yes\" for one without (info, the database table, database findings)",
         file="cart/nesHeader.cpp",
         old='{FieldKind::flag, [](std::uint64_t v) { return std::string(v != 0 ? "yes" : "no"); }},',
         new='{FieldKind::flag, [](std::uint64_t v) { return std::string(v != 0 ? "no" : "yes"); }},'),
    dict(id="b7-size-unit-case-sensitive",
         fault="a size typed with a lower-case unit (\"32k\", \"2mib\") is refused: only upper "
               "case units are understood",
         file="cart/nesHeader.cpp",
         old="unit += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);",
         new="unit += c;"),
    dict(id="b7-expansion-setter-six-bits",
         fault="expansion devices $40-$42 cannot be set (\"a number from 0 to 63\") and a header "
               "database that names one is refused",
         file="cart/nesHeader.h",
         old='return setCode(15, 0x7F, code, "expansion device", true);',
         new='return setCode(15, 0x3F, code, "expansion device", true);'),
    dict(id="b7-vs-expansion-names-swapped",
         fault="expansion devices $04 and $05 swap names: \"Vs. System (1P via $4017)\" for $04 "
               "and \"$4016\" for $05",
         file="cart/nesNames.cpp",
         old='    {0x04, "Vs. System (1P via $4016)", false},\n    {0x05, "Vs. System (1P via $4017)", false},',
         new='    {0x04, "Vs. System (1P via $4017)", false},\n    {0x05, "Vs. System (1P via $4016)", false},'),
    dict(id="b7-bandai-advice-swapped",
         fault="the deprecated mapper 16 submappers 2 and 3 advise each other's mapper: the "
               "Datach one says \"use mapper 153\", the WRAM one \"use mapper 157\"",
         file="cart/nesNames.cpp",
         old='"Datach Joint ROM System (deprecated)", "use mapper 157"},\n    {16, 3, "8 KiB WRAM, no EEPROM (deprecated)", "use mapper 153"},',
         new='"Datach Joint ROM System (deprecated)", "use mapper 153"},\n    {16, 3, "8 KiB WRAM, no EEPROM (deprecated)", "use mapper 157"},'),
    dict(id="b7-write-16-byte-file-truncated",
         fault="a file that is exactly its 16-byte header cannot be written: every write says "
               "\"the file is shorter than 16 bytes now\"",
         file="cart/inesStrm.cpp",
         old="if (opened.st_size < static_cast<off_t>(headerSize)) {",
         new="if (opened.st_size <= static_cast<off_t>(headerSize)) {"),

    # ------------------------------------------------------------ check/
    dict(id="b7-leftover-part-by-prg",
         fault="an image without CHR-ROM whose file holds 16 KiB more is offered \"Use 2 CHR-ROM "
               "pages\" (or told its boards hold less CHR-ROM) instead of one more PRG-ROM page",
         file="check/imageCheck.cpp",
         old="header.chrRomBytes() == 0 && extra % NesHeader::prgUnit == 0 ? prgRom : chrRom;",
         new="header.prgRomBytes() == 0 && extra % NesHeader::prgUnit == 0 ? prgRom : chrRom;"),
    dict(id="b7-board-limit-inclusive",
         fault="an NROM image with 16 KiB of PRG-ROM and 16 KiB more in the file is told mapper 0 "
               "boards hold at most 32 KiB instead of being offered 2 PRG-ROM pages",
         file="check/imageCheck.cpp",
         old="static_cast<std::uint64_t>(suggested) * part.unit > most) {",
         new="static_cast<std::uint64_t>(suggested) * part.unit >= most) {"),
    dict(id="b7-misc-fix-one-bit",
         fault="\"Declare no misc ROM\" clears only byte 14 bit 0: a header declaring 2 or 3 "
               "misc ROMs still declares 2 after the fix",
         file="check/imageCheck.cpp",
         old='cleared(header, {{14, 0x03}}), "Declare no misc ROM"));',
         new='cleared(header, {{14, 0x01}}), "Declare no misc ROM"));'),
    dict(id="b7-byte6-mapper-keeps-byte7",
         fault="the \"Use mapper N\" fix for an old tool's junk keeps byte 7: it offers the mapper "
               "the header has already, and the message no longer says which mapper is meant",
         file="check/imageCheck.cpp",
         old="std::fill(mapperFromByte6.begin() + 7, mapperFromByte6.end(), 0);",
         new="std::fill(mapperFromByte6.begin() + 8, mapperFromByte6.end(), 0);"),
    dict(id="b7-chr-none-ignores-nvram",
         fault="an NES 2.0 header with only CHR-NVRAM is told \"there is neither CHR-ROM nor "
               "CHR-RAM\" and offered 8 KiB of CHR-RAM",
         file="check/imageCheck.cpp",
         old="if (header.chrRomBytes() != 0 || header.chrRamBytes() != 0 || header.chrNvramBytes() != 0) {",
         new="if (header.chrRomBytes() != 0 || header.chrRamBytes() != 0) {"),
    dict(id="b7-vs-ppu-7-no-fix",
         fault="Vs. PPU $7 (a withdrawn 2C03 variant) is reported as reserved without the fix "
               "\"Use Vs. PPU $00\" that $1 and $6 get",
         file="check/imageCheck.cpp",
         old="if (code != 0x1 && code != 0x6 && code != 0x7) {",
         new="if (code != 0x1 && code != 0x6) {"),
    dict(id="b7-trainer-ram-ignores-nvram",
         fault="an NES 2.0 image with a trainer and PRG-NVRAM (no plain PRG-RAM) is told no "
               "PRG-RAM is sized at $7000, with a fix that sets 8 KiB",
         file="check/imageCheck.cpp",
         old="if (!header.trainer() || header.prgRamBytes() != 0 || header.prgNvramBytes() != 0) {",
         new="if (!header.trainer() || header.prgRamBytes() != 0) {"),
    dict(id="b7-battery-rule-for-ines1",
         fault="every iNES 1.0 image with a battery gets the warning \"the battery flag is set, but "
               "no PRG-NVRAM or CHR-NVRAM is sized\", which iNES 1.0 cannot state",
         file="check/imageCheck.cpp",
         old='{"battery-no-nvram", Severity::warning, nes2, batteryWithoutNvram},',
         new='{"battery-no-nvram", Severity::warning, always, batteryWithoutNvram},'),
    dict(id="b7-chr-sha1-of-nothing",
         fault="an image without CHR-ROM shows a CHR-ROM SHA-1 (DA39A3EE..., the hash of no bytes) "
               "beside no CRC-32, instead of none",
         file="check/imageCheck.cpp",
         old="hashes.chrSha1 = segments[chrPart].empty() ? std::string() : chrSha.hex();",
         new="hashes.chrSha1 = chrSha.hex();"),
    dict(id="b7-db-region-as-console-type",
         fault="a database entry's console region is read as its console type: PAL games become "
               "Vs. System images, multi-region ones PlayChoice-10, and the timing stays NTSC",
         file="check/headerDatabase.cpp",
         old='{"console", "region", Kind::number, region, 0},',
         new='{"console", "region", Kind::number, consoleType, 0},'),
    dict(id="b7-db-h-v-letters-swapped",
         fault="the database's mirroring letters H and V give each other's bit: every entry "
               "differs from its image in mirroring and fix writes the wrong one",
         file="check/headerDatabase.cpp",
         old="{-1, 'H', false, false}, {-1, 'V', false, true},",
         new="{-1, 'H', false, true}, {-1, 'V', false, false},"),
    dict(id="b7-db-218-letters-lost",
         fault="mapper 218 entries with mirroring \"0\" or \"1\" are refused (\"not one mapper 218 "
               "has\"), and with them the whole header database",
         file="check/headerDatabase.cpp",
         old="const int family = header.mapper() == 30 || header.mapper() == 218 ? header.mapper() : -1;",
         new="const int family = header.mapper() == 30 ? header.mapper() : -1;"),

    # ------------------------------------------------------------ document/
    dict(id="b7-nes2-converted-again",
         fault="set format=nes2 on an NES 2.0 header converts it again from scratch: its "
               "submapper, mapper bits 8-11, RAM sizes, timing and byte 13-15 are reset",
         file="document/imageDocument.cpp",
         old="        if (!work.isNes2()) {\n            work = work.toNes2();\n        }\n        return std::nullopt;",
         new="        work = work.toNes2();\n        return std::nullopt;"),
    dict(id="b7-summary-battery-is-trainer",
         fault="info --brief and the collection's Battery column show the trainer flag: "
               "\"no battery\" for battery-backed images without a trainer",
         file="document/imageDocument.cpp",
         old="            header.battery(),\n",
         new="            header.trainer(),\n"),
    dict(id="b7-differs-in-1-fields",
         fault="an image differing from the database in one field reads \"differs in 1 fields\" "
               "(the collection's Database column)",
         file="document/imageDocument.cpp",
         old='    return differing == 0   ? "matched"\n           : differing == 1 ? "differs in 1 field"\n                            : "differs in " + std::to_string(differing) + " fields";',
         new='    return differing == 0 ? "matched" : "differs in " + std::to_string(differing) + " fields";'),
    dict(id="b7-write-words-moved-truncated",
         fault="a file moved or replaced since it was loaded is reported as \"shorter than 16 "
               "bytes now\", and one cut short as \"moved, replaced or deleted\"",
         file="document/imageDocument.cpp",
         old='    {WriteResult::moved, "the file was moved, replaced or deleted meanwhile",\n     "The file was moved, replaced or deleted since it was loaded.\\nNothing was written."},\n    {WriteResult::truncated,',
         new='    {WriteResult::truncated, "the file was moved, replaced or deleted meanwhile",\n     "The file was moved, replaced or deleted since it was loaded.\\nNothing was written."},\n    {WriteResult::moved,'),
    dict(id="b7-bad-byte-escape-lower-case",
         fault="a byte that is not UTF-8 in a file name or text is printed as \\xff instead of "
               "\\xFF (every command's output, the journal's path)",
         file="document/imageDocument.cpp",
         old='std::snprintf(escape, sizeof escape, "\\\\x%02X", static_cast<unsigned char>(text[at]));',
         new='std::snprintf(escape, sizeof escape, "\\\\x%02x", static_cast<unsigned char>(text[at]));'),
    dict(id="b7-journal-over-existing-file",
         fault="fix --journal FILE with a file that exists appends to it instead of refusing: "
               "another journal or any file named is changed",
         file="document/repair.cpp",
         old="O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600",
         new="O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600"),
    dict(id="b7-journal-cut-line-refused",
         fault="undo refuses a journal whose last line a killed fix left cut short "
               "(\"not a line of a journal\") instead of undoing every complete entry",
         file="document/repair.cpp",
         old="            if (end == std::string::npos && number > 1) {\n                break; // cut short while it was written\n            }\n",
         new=""),
    dict(id="b7-undo-already-old-fails",
         fault="undo exits 1 when a file already holds its old header (the fix never wrote it, "
               "as after a run killed between two files)",
         file="document/repair.cpp",
         old='{UndoResult::alreadyOld, "holds the old header already", "holds the old header already",\n         false},',
         new='{UndoResult::alreadyOld, "holds the old header already", "holds the old header already",\n         true},'),
    dict(id="b7-value-words-vs-swapped",
         fault="set vsPpu= takes the words of the Vs. hardware names and vsHardware= those of "
               "the PPU names: vsHardware=rbi is refused, vsPpu=rbi sets PPU $1",
         file="document/repair.cpp",
         old='    {"vsPpu", &vsPpuTypes},\n    {"vsHardware", &vsHardwareTypes},',
         new='    {"vsPpu", &vsHardwareTypes},\n    {"vsHardware", &vsPpuTypes},'),
    dict(id="b7-json-not-in-database-word",
         fault="fix --json gives result \"notFound\" for an image not in the database instead of "
               "the documented \"notInDatabase\"",
         file="document/repair.cpp",
         old='"notInDatabase",',
         new='"notFound",'),

    # ------------------------------------------------------------ cli/
    dict(id="b7-set-dry-run-option-missing",
         fault="set has no --dry-run: `set mapper=4 --dry-run a.nes` is refused as an unknown "
               "option",
         file="cli/commandLine.cpp",
         old='{"dry-run"},\n     runSet},',
         new='{},\n     runSet},'),
    dict(id="b7-short-help-lost",
         fault="tallowick-cli -h and COMMAND -h are refused as unknown options (exit 2); only "
               "--help works",
         file="cli/commandLine.cpp",
         old='QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");',
         new='QCommandLineOption help(QStringList{"help"}, "Show this help.");'),
    dict(id="b7-cli-version-on-stderr",
         fault="tallowick-cli --version prints its version on standard error: "
               "`tallowick-cli --version | cat` shows nothing",
         file="cli/commandLine.cpp",
         old='out << program << " " << TALLOWICK_VERSION << "\\n";',
         new='err << program << " " << TALLOWICK_VERSION << "\\n";'),
    dict(id="b7-set-old-is-new",
         fault="set prints the new header after \"old\" too (read from the document after the "
               "write): the changelog loses the header that was there",
         file="cli/commands.cpp",
         old="return writeOutcome(document, old, result, dryRun, note);",
         new="return writeOutcome(document, document.base(), result, dryRun, note);"),
    dict(id="b7-set-unchanged-written",
         fault="set with values the header already holds writes the file and says \"written\" "
               "instead of \"unchanged\"",
         file="cli/commands.cpp",
         old='    if (document.working() == old) {\n        return {printable(document.path()) + ": unchanged\\n" + note, {}, Verdict::fine};\n    }\n',
         new=""),
    dict(id="b7-info-brief-json-accepted",
         fault="info --brief --json is accepted (JSON printed) instead of the usage error "
               "\"--brief and --json exclude each other\" (exit 2)",
         file="cli/commands.cpp",
         old='    if (options.json && options.brief) {\n        return usageError(err, "info", "--brief and --json exclude each other");\n    }\n',
         new=""),
    dict(id="b7-check-verbose-fine-lost",
         fault="check --verbose prints nothing for an image without findings instead of "
               "\"PATH: fine\"",
         file="cli/commands.cpp",
         old='            if (findings.empty()) {\n                outcome.out = printable(path) + ": fine\\n";\n            }\n',
         new=""),
    dict(id="b7-json-submapper-name-of-mapper",
         fault="info --json gives the mapper's name under submapperName",
         file="cli/imageFile.cpp",
         old='{"submapper", "submapperName"},',
         new='{"mapper", "submapperName"},'),
    dict(id="b7-body-crc-is-rom-crc",
         fault="info's bodyCrc32 / \"Body CRC-32\" shows the ROM CRC-32: for an image with a "
               "trainer the database key is wrong",
         file="cli/imageFile.cpp",
         old='{"bodyCrc32", "Body CRC-32", &Hashes::bodyCrc32},',
         new='{"bodyCrc32", "Body CRC-32", &Hashes::romCrc32},'),
    dict(id="b7-cli-hex-lower-case",
         fault="the command line shows header bytes in lower case (\"4e 45 53 1a\"): info's "
               "Header line and JSON header, the old/new lines of set, clean, fix and undo",
         file="cli/imageFile.cpp",
         old="return (blanks ? raw.toHex(' ') : raw.toHex()).toUpper().toStdString();",
         new="return (blanks ? raw.toHex(' ') : raw.toHex()).toStdString();"),

    # ------------------------------------------------------------ gui/
    dict(id="b7-undo-shortcut-lost",
         fault="Ctrl+Z no longer undoes (Edit > Undo has no shortcut)",
         file="gui/Gui.cpp",
         old="    undo->setShortcut(QKeySequence::Undo);\n",
         new=""),
    dict(id="b7-recent-menu-not-reread",
         fault="the Recent Files menu does not show files another running copy opened since "
               "start: the saved list is no longer read when the menu opens",
         file="gui/Gui.cpp",
         old="    connect(ui->mnuRecent, &QMenu::aboutToShow, this, [this] {\n        recentFiles = SavedRecentFiles();\n        FillRecentMenu();\n    });\n",
         new=""),
    dict(id="b7-apply-disabled-after-load",
         fault="Apply Changes stays disabled after an image is loaded (and Ctrl+S does nothing)",
         file="gui/Gui.cpp",
         old="    ui->btnApply->setEnabled(true);\n    HighlightBytes(0);",
         new="    HighlightBytes(0);"),
    dict(id="b7-chr-size-box-shows-prg",
         fault="the CHR-ROM size box beside the CHR-ROM pages shows the PRG-ROM size",
         file="gui/Gui.cpp",
         old="show(ui->txtChrMem, SizeText(shown.chrRomBytes()));",
         new="show(ui->txtChrMem, SizeText(shown.prgRomBytes()));"),
    dict(id="b7-findings-not-refreshed",
         fault="after an edit the Check area keeps the findings and the database table of the "
               "header as loaded: a fix taken still shows its finding",
         file="gui/Gui.cpp",
         old="    Check().headerEdited();\n    setWindowModified(HeaderChanged());",
         new="    setWindowModified(HeaderChanged());"),
    dict(id="b7-mapper-highlight-inverted",
         fault="clicking the mapper number highlights byte 8 in an iNES 1.0 header and not in an "
               "NES 2.0 one, where mapper bits 8-11 live",
         file="gui/Gui.cpp",
         old="HighlightBytes(IsNes2() ? bytes({6, 7, 8}) : bytes({6, 7}));",
         new="HighlightBytes(IsNes2() ? bytes({6, 7}) : bytes({6, 7, 8}));"),
    dict(id="b7-mapper-byte8-not-shown",
         fault="typing a mapper above 255 into an NES 2.0 header leaves byte 8 in the grid "
               "showing its old value",
         file="gui/Gui.cpp",
         old="    for (int index : {6, 7, 8}) {\n        ShowByte(index);",
         new="    for (int index : {6, 7}) {\n        ShowByte(index);"),
    dict(id="b7-apply-keeps-bold",
         fault="after Apply the changed bytes stay bold in the grid, as if not yet written",
         file="gui/Gui.cpp",
         old="        ShowHeader(); // nothing is marked unwritten now\n",
         new=""),
    dict(id="b7-clear-recent-enabled-inverted",
         fault="Clear Recent Files is disabled while there are recent files and enabled when "
               "the list is empty",
         file="gui/Gui.cpp",
         old="ui->mnuClearRecent->setEnabled(!recentFiles.isEmpty());",
         new="ui->mnuClearRecent->setEnabled(recentFiles.isEmpty());"),
    dict(id="b7-lookup-after-scan-lost",
         fault="with a header database loaded, every image opened afterwards is said not to be "
               "in it: the lookup after the file is read is forgotten",
         file="gui/CheckArea.cpp",
         old="    document->takeReport(watcher.result());\n    document->lookUp(database.get());\n",
         new="    document->takeReport(watcher.result());\n"),
    dict(id="b7-take-all-takes-ticked",
         fault="Take All takes only the ticked fields (nothing when none is ticked)",
         file="gui/CheckArea.cpp",
         old="bind(ui->btnTakeAll, [this] { takeFields(true); });",
         new="bind(ui->btnTakeAll, [this] { takeFields(false); });"),
    dict(id="b7-differing-fields-ticked",
         fault="the differing fields of the database table come ticked: Take Selected takes "
               "every one unless the user unticks them",
         file="gui/CheckArea.cpp",
         old="name->setCheckState(Qt::Unchecked);",
         new="name->setCheckState(Qt::Checked);"),
    dict(id="b7-collection-open-unsorted-row",
         fault="double-clicking a row of the sorted or filtered collection opens another image "
               "(the row of the unsorted list)",
         file="gui/Collection.cpp",
         old="QByteArray::fromStdString(model->at(filter->mapToSource(index).row()).path));",
         new="QByteArray::fromStdString(model->at(index.row()).path));"),
    dict(id="b7-collection-sort-case",
         fault="the collection sorts upper-case names before all lower-case ones (\"Zelda.nes\" "
               "before \"adventure.nes\")",
         file="gui/Collection.cpp",
         old="    filter->setSortCaseSensitivity(Qt::CaseInsensitive);\n",
         new=""),
    dict(id="b7-collection-filter-not-connected",
         fault="choosing a filter in the collection's Show list changes nothing: every image "
               "stays listed",
         file="gui/Collection.cpp",
         old="    connect(ui->cmbFilter, &QComboBox::currentIndexChanged, this, &TfrmCollection::cmbFilterChange);\n",
         new=""),
    dict(id="b7-batch-titles-swapped",
         fault="the preview and summary of Clean Garbage are titled \"Convert to NES 2.0\", and "
               "those of Convert \"Clean Garbage\"",
         file="gui/Collection.cpp",
         old='const QString titles[] = {QStringLiteral("Fix from Database"), QStringLiteral("Clean Garbage"),\n                              QStringLiteral("Convert to NES 2.0")};',
         new='const QString titles[] = {QStringLiteral("Fix from Database"), QStringLiteral("Convert to NES 2.0"),\n                              QStringLiteral("Clean Garbage")};'),
    dict(id="b7-convert-button-words-swapped",
         fault="the NES 2.0 area's button reads \"Convert to NES 2.0\" on an NES 2.0 header (it "
               "converts to iNES 1.0) and \"Convert to iNES 1.0\" on an iNES 1.0 one",
         file="gui/Nes2Area.cpp",
         old='ui->btnConvert->setText(nes2 ? QStringLiteral("Con&vert to iNES 1.0")\n                                 : QStringLiteral("Con&vert to NES 2.0"));',
         new='ui->btnConvert->setText(nes2 ? QStringLiteral("Con&vert to NES 2.0")\n                                 : QStringLiteral("Con&vert to iNES 1.0"));'),
    dict(id="b7-ram-lists-lack-2mib",
         fault="the RAM lists of the NES 2.0 area stop at 1 MiB: a header with 2 MiB of PRG-RAM "
               "(or NVRAM, CHR-RAM) shows an empty list and 2 MiB cannot be chosen",
         file="gui/Nes2Area.cpp",
         old="        for (int shift = 0; shift <= 15; ++shift) {\n            const std::uint64_t bytes = NesHeader::ramBytes(shift);",
         new="        for (int shift = 0; shift < 15; ++shift) {\n            const std::uint64_t bytes = NesHeader::ramBytes(shift);"),
    dict(id="b7-header-hex-no-blanks",
         fault="Copy Header Bytes (and the database table's Header bytes row, and its copy) give "
               "\"4E45531A...\" without the blanks between bytes",
         file="gui/Platform.cpp",
         old="            .toHex(' ')\n            .toUpper());",
         new="            .toHex()\n            .toUpper());"),
    dict(id="b7-header-changed-no-cancel",
         fault="the \"Header Changed\" box offers only Overwrite and Reload: there is no Cancel "
               "to keep the edits without writing",
         file="gui/Platform.cpp",
         old="        {Buttons::overwriteReload, QMessageBox::Cancel, nullptr, Answer::cancel},\n",
         new=""),
    dict(id="b7-format-close-not-connected",
         fault="the Close button of the format pages does nothing (its signal is not connected)",
         file="gui/Format.cpp",
         old="        connect(ui->btnClose, &QPushButton::clicked, this, &TfrmFormatInfo::btnCloseClick);\n",
         new=""),
    dict(id="b7-preview-cancel-not-connected",
         fault="Cancel in the repair preview does nothing: the preview stays open",
         file="gui/RepairPreview.cpp",
         old="    connect(ui->btnsPreview, &QDialogButtonBox::rejected, this, &QDialog::reject);\n",
         new=""),
    dict(id="b7-nvram-access-key-chr",
         fault="Alt+N (the PRG-NVRAM label's access key) goes to the CHR-NVRAM list",
         file="gui/Nes2Area.ui",
         old="<cstring>cmbPrgNvram</cstring>",
         new="<cstring>cmbChrNvram</cstring>"),

    # ------------------------------------------------------------ app/
    dict(id="b7-app-short-version-lost",
         fault="tallowick -v is refused as an unknown option (exit 2); only --version prints "
               "the version",
         file="app/main.cpp",
         old='const QCommandLineOption version({"v", "version"}, QStringLiteral("Show the version and end."));',
         new='const QCommandLineOption version(QStringLiteral("version"),\n                                      QStringLiteral("Show the version and end."));'),
]
