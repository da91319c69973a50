"""A fourth blind list of planted faults.

These were written from the product code (cart/ check/ document/ cli/ gui/
app/), the header reference and the texts of issues 19, 20 and 21 only, by
someone who had not read the tests: no test source, test data or test build
file was opened while they were written (only run.py, the README beside it
and the three earlier blind lists, so as not to repeat their faults). Each is
one mistake a developer could really make, and each changes something a user
would see or harms their files. Run with
``python3 tests/mutants/run.py --blind blind4.py``.
"""

BLIND = [
    # ------------------------------------------------------------ cart/
    dict(id="b4-ram-unit-doubled",
         fault="NES 2.0 RAM sizes read twice too large: a shift count of 7 shows 16 KiB, not 8 KiB "
               "(128 << shift instead of 64 << shift)",
         file="cart/nesHeader.h",
         old="return shift == 0 ? 0 : std::uint64_t(64) << shift;",
         new="return shift == 0 ? 0 : std::uint64_t(128) << shift;"),
    dict(id="b4-expansion-mask-6-bits",
         fault="the expansion device is read from bits 0-5 of byte 15: devices $40-$42 read as "
               "$00-$02 (Standard controllers...)",
         file="cart/nesHeader.h",
         old="int expansion() const { return nes2Bits(15, 0x7F); }",
         new="int expansion() const { return nes2Bits(15, 0x3F); }"),
    dict(id="b4-to-nes2-chr-ram-as-nvram",
         fault="converting an iNES 1.0 image without CHR-ROM to NES 2.0 gives it 8 KiB of "
               "CHR-NVRAM instead of CHR-RAM (byte 11 high nibble)",
         file="cart/nesHeader.cpp",
         old="bytes[11] = bytes[5] == 0 ? eightKiB : 0;",
         new="bytes[11] = bytes[5] == 0 ? eightKiB << 4 : 0;"),
    dict(id="b4-to-ines1-mask-not-inverted",
         fault="converting to iNES 1.0 masks byte 7 with $0C instead of clearing bits 2-3: the "
               "NES 2.0 mark stays and the mapper's high nibble and the console type are lost "
               "(headers with a mapper of 16 or more are refused as lossy)",
         file="cart/nesHeader.cpp",
         old="converted.raw[7] = static_cast<std::uint8_t>(converted.raw[7] & ~markBits);",
         new="converted.raw[7] = static_cast<std::uint8_t>(converted.raw[7] & markBits);"),
    dict(id="b4-rom-size-msb-shift",
         fault="NES 2.0 ROM sizes above 255 pages read wrong: byte 9's nibble is shifted by 4, "
               "not 8 (256 pages of PRG-ROM read as 16)",
         file="cart/nesHeader.cpp",
         old="return static_cast<std::uint64_t>((nibble << 8) | raw[lsb]) * unit;",
         new="return static_cast<std::uint64_t>((nibble << 4) | raw[lsb]) * unit;"),
    dict(id="b4-exponent-encode-multiplier",
         fault="a size written in the exponent form stores the multiplier code as odd - 1, not "
               "(odd - 1) / 2: 3 x 2^E is written as 5 x 2^E, 5 and 7 spill into the exponent",
         file="cart/nesHeader.cpp",
         old="raw[lsb] = static_cast<std::uint8_t>((exponent << 2) | ((odd - 1) / 2));",
         new="raw[lsb] = static_cast<std::uint8_t>((exponent << 2) | (odd - 1));"),
    dict(id="b4-code-range-message-mask",
         fault="a code out of range says the mask, not the largest value: \"the submapper is a "
               "number from 0 to 240\" instead of 15",
         file="cart/nesHeader.cpp",
         old='return std::string("the ") + what + " is a number from 0 to " + number(highest);',
         new='return std::string("the ") + what + " is a number from 0 to " + number(mask);'),
    dict(id="b4-battery-field-sets-trainer",
         fault="set battery=1 (and the database's battery) sets the trainer flag instead of the "
               "battery flag",
         file="cart/nesHeader.cpp",
         old="[](const NesHeader& h) { return wide(h.battery()); }, setFlag<&NesHeader::setBattery>},",
         new="[](const NesHeader& h) { return wide(h.battery()); }, setFlag<&NesHeader::setTrainer>},"),
    dict(id="b4-console-names-swapped",
         fault="console type 1 is named \"Nintendo PlayChoice-10\" and 2 \"Nintendo Vs. System\" "
               "(info, JSON consoleTypeName, the window's list)",
         file="cart/nesNames.cpp",
         old='    {1, "Nintendo Vs. System", false},\n    {2, "Nintendo PlayChoice-10", false},',
         new='    {1, "Nintendo PlayChoice-10", false},\n    {2, "Nintendo Vs. System", false},'),
    dict(id="b4-vs-ppu-c-not-reserved",
         fault="Vs. PPU $C (the withdrawn RC2C05-05) is no longer reserved: a Vs. System image "
               "using it gets no vs-ppu-reserved warning",
         file="cart/nesNames.cpp",
         old='{0xC, "Reserved (was RC2C05-05)", true},',
         new='{0xC, "Reserved (was RC2C05-05)", false},'),

    # ------------------------------------------------------------ check/
    dict(id="b4-nrom-chr-limit-16k",
         fault="NROM boards are taken to hold 16 KiB of CHR-ROM: an NROM file with 8 KiB more "
               "than its header says is offered \"Use 2 CHR-ROM pages\" instead of being told "
               "mapper 0 boards hold at most 8 KiB",
         file="check/imageCheck.cpp",
         old="constexpr BoardLimit boardLimits[] = {{0, 32768, 8192}, {2, 0, 8192}, {7, 0, 8192}};",
         new="constexpr BoardLimit boardLimits[] = {{0, 32768, 16384}, {2, 0, 8192}, {7, 0, 8192}};"),
    dict(id="b4-part-missing-off-by-one",
         fault="a part the file ends right before is called \"cut short (none of 8 KiB)\" "
               "instead of \"missing\"",
         file="check/imageCheck.cpp",
         old="        if (fileSize <= part.begin) {",
         new="        if (fileSize < part.begin) {"),
    dict(id="b4-file-long-fix-label-count",
         fault="the file-long fix is labelled with the extra pages, not the new count: "
               "\"Use 1 PRG-ROM pages\" for a fix to 2 pages",
         file="check/imageCheck.cpp",
         old='return withFix(found, fix, "Use " + number(suggested) + " " + part.name + " pages");',
         new='return withFix(found, fix, "Use " + number(more) + " " + part.name + " pages");'),
    dict(id="b4-nes2-sizes-warning",
         fault="an NES 2.0 image whose sizes claim more than the file holds is only a warning: "
               "check exits 0 for it",
         file="check/imageCheck.cpp",
         old='finding(Severity::error, "nes2-sizes",',
         new='finding(Severity::warning, "nes2-sizes",'),
    dict(id="b4-diskdude-signature-inverted",
         fault="\"DiskDude!\" is no longer known as an old tool's signature, and any other text in "
               "bytes 7-15 is called one",
         file="check/imageCheck.cpp",
         old="[&text](const char* known) { return text.rfind(known, 0) == 0; });",
         new="[&text](const char* known) { return text.rfind(known, 0) != 0; });"),
    dict(id="b4-chr-none-fix-4k",
         fault="the fix \"Set 8 KiB of CHR-RAM\" for an NES 2.0 header with no CHR memory sets "
               "4 KiB",
         file="check/imageCheck.cpp",
         old="fix.setChrRamBytes(8192);",
         new="fix.setChrRamBytes(4096);"),
    dict(id="b4-byte10-words-swapped",
         fault="iNES 1.0 byte 10 bit 4 is described as \"bus conflicts\" and bit 5 as \"no "
               "PRG-RAM\"",
         file="check/imageCheck.cpp",
         old='{0x10, 0x10, "byte 10 no PRG-RAM"},\n    {0x20, 0x20, "byte 10 bus conflicts"},',
         new='{0x20, 0x20, "byte 10 no PRG-RAM"},\n    {0x10, 0x10, "byte 10 bus conflicts"},'),
    dict(id="b4-trainer-ram-fix-swapped",
         fault="the trainer-no-ram fix sets PRG-RAM for a battery image and PRG-NVRAM for one "
               "without, the opposite of its label",
         file="check/imageCheck.cpp",
         old="header.battery() ? fix.setPrgNvramBytes(8192) : fix.setPrgRamBytes(8192);",
         new="header.battery() ? fix.setPrgRamBytes(8192) : fix.setPrgNvramBytes(8192);"),
    dict(id="b4-mirroring-odd-nes2-only",
         fault="an iNES 1.0 header with both the four-screen and the vertical bit set is no "
               "longer reported (mirroring-odd runs for NES 2.0 only)",
         file="check/imageCheck.cpp",
         old='{"mirroring-odd", Severity::warning, always, oddMirroring},',
         new='{"mirroring-odd", Severity::warning, nes2, oddMirroring},'),
    dict(id="b4-body-crc-no-tail",
         fault="the body, ROM and file CRC-32 leave out the data after CHR-ROM (a misc ROM, "
               "padding): they differ from the SHA-1s' range and from dump catalogues",
         file="check/imageCheck.cpp",
         old="const Crc bodyCrc = crcs[prgPart].then(crcs[chrPart]).then(crcs[partCount]);",
         new="const Crc bodyCrc = crcs[prgPart].then(crcs[chrPart]);"),
    dict(id="b4-db-four-screen-letter-vertical",
         fault="a database entry with mirroring \"4\" gets the vertical bit too: four-screen games "
               "differ from the database and fix writes byte 6 with bit 0 set",
         file="check/headerDatabase.cpp",
         old="{-1, '4', true, false},",
         new="{-1, '4', true, true},"),
    dict(id="b4-db-miscrom-default-zero",
         fault="a <miscrom> element without a number counts as no misc ROM: such entries get "
               "byte 14 = 0",
         file="check/headerDatabase.cpp",
         old="set(miscCount, 1, line, nullptr);",
         new="set(miscCount, 0, line, nullptr);"),

    # ------------------------------------------------------------ document/
    dict(id="b4-missing-file-said-cannot-open",
         fault="a file that does not exist is no longer said to be missing: the window shows "
               "\"The stream could not be opened...\" instead of \"The file does not exist\"",
         file="document/imageDocument.cpp",
         old="openError == ENOENT ? OpenProblem::missing",
         new="openError == EACCES ? OpenProblem::missing"),
    dict(id="b4-reload-read-only-swapped",
         fault="reloading a writable file (Reload in Header Changed) opens it read-only, and a "
               "read-only one for writing: the next Apply is refused as read-only",
         file="document/imageDocument.cpp",
         old="open(strm != nullptr && !strm->isWritable() ? Access::readOnly : Access::update);",
         new="open(strm != nullptr && strm->isWritable() ? Access::readOnly : Access::update);"),
    dict(id="b4-take-selected-inverted",
         fault="Take Selected takes every differing field except the ticked ones",
         file="document/imageDocument.cpp",
         old="std::find(fields.begin(), fields.end(), difference.field) == fields.end()) {",
         new="std::find(fields.begin(), fields.end(), difference.field) != fields.end()) {"),
    dict(id="b4-summary-four-screen-lost",
         fault="info --brief and the collection's Mirroring column say horizontal or vertical for "
               "a four-screen image",
         file="document/imageDocument.cpp",
         old='header.fourScreen() ? "four-screen" : value("mirroring"),',
         new='value("mirroring"),'),
    dict(id="b4-fix-damaged-not-accepted",
         fault="an image whose data is in the database but whose header is damaged (wrong byte 3) "
               "is not fixed: the write is refused as no longer an iNES image",
         file="document/repair.cpp",
         old="plan.damaged = plan.entry != nullptr && !ines;",
         new="plan.damaged = plan.entry != nullptr && ines;"),
    dict(id="b4-headerless-out-overwrites",
         fault="fix --headerless-out writes over a file of the same name already in the folder",
         file="document/repair.cpp",
         old="O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666",
         new="O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666"),
    dict(id="b4-journal-device-inode-swapped",
         fault="the journal records the inode as the device and the device as the inode: undo "
               "says \"another file has this name now\" for every file",
         file="document/repair.cpp",
         old='json.Key("device");\n    json.Uint64(entry.device);\n    json.Key("inode");\n'
             '    json.Uint64(entry.inode);',
         new='json.Key("device");\n    json.Uint64(entry.inode);\n    json.Key("inode");\n'
             '    json.Uint64(entry.device);'),
    dict(id="b4-journal-relative-path-no-slash",
         fault="a file fixed by a relative name is journalled as the folder and the name run "
               "together (/work/dira.nes): undo cannot open it",
         file="document/repair.cpp",
         old='path = here != nullptr ? std::string(here) + "/" + path : path;',
         new='path = here != nullptr ? std::string(here) + path : path;'),
    dict(id="b4-repair-summary-dry-run-inverted",
         fault="the fix summary says \"would be fixed\" after a real run and \"fixed\" after a "
               "dry run",
         file="document/repair.cpp",
         old="(words.outcome == RepairOutcome::fixed && dryRun ? \"would be fixed\"",
         new="(words.outcome == RepairOutcome::fixed && !dryRun ? \"would be fixed\""),
    dict(id="b4-folder-nes-case-sensitive",
         fault="a folder's images named *.NES (upper case) are skipped by info, check, set, fix "
               "and the collection window",
         file="document/fileList.cpp",
         old="return (have >= 'A' && have <= 'Z' ? have - 'A' + 'a' : have) == want;",
         new="return have == want;"),

    # ------------------------------------------------------------ cli/
    dict(id="b4-undo-dry-run-option-missing",
         fault="undo has no --dry-run: `undo --dry-run JOURNAL` is refused as an unknown option",
         file="cli/commandLine.cpp",
         old='{"dry-run"},\n     runUndo},',
         new='{},\n     runUndo},'),
    dict(id="b4-verbose-sets-brief",
         fault="check --verbose is accepted but does nothing: the option sets the brief flag",
         file="cli/commandLine.cpp",
         old='{"verbose", "Every finding on its own line.", nullptr, &Options::verbose, nullptr},',
         new='{"verbose", "Every finding on its own line.", nullptr, &Options::brief, nullptr},'),
    dict(id="b4-options-after-command-refused",
         fault="options after the command are taken by the top level: `tallowick-cli info --json "
               "a.nes` is refused as an unknown option",
         file="cli/commandLine.cpp",
         old="    top.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);\n",
         new=""),
    dict(id="b4-notes-count-as-warnings",
         fault="an image with only notes (iNES 1.0 extension, a title at the end) counts as "
               "\"with warnings\" in check's summary and gets a line of its own",
         file="cli/commands.cpp",
         old="return !worst || *worst == Severity::info ? Verdict::fine",
         new="return !worst ? Verdict::fine"),
    dict(id="b4-set-yes-no-swapped",
         fault="set battery=yes clears the battery flag and battery=no sets it",
         file="cli/commands.cpp",
         old='{"no", 0}, {"yes", 1}',
         new='{"no", 1}, {"yes", 0}'),
    dict(id="b4-set-console-alias-lost",
         fault="set console=vs is refused with \"there is no field console\" (the documented "
               "alias of consoleType)",
         file="cli/commands.cpp",
         old='findField(key == "console" ? "consoleType" : key)',
         new="findField(key)"),
    dict(id="b4-set-ines1-refusal-ignored",
         fault="set format=ines1 on a header iNES 1.0 cannot hold writes the other fields and "
               "says \"written\" instead of refusing",
         file="cli/commands.cpp",
         old='        if (Refusal refusal = document.convert(false)) {\n'
             '            return "format=ines1: " + *refusal;\n        }',
         new="        document.convert(false);"),
    dict(id="b4-check-line-mildest-finding",
         fault="check's line for an image quotes its mildest finding instead of its worst",
         file="cli/commands.cpp",
         old="const Finding& worst = *std::min_element(",
         new="const Finding& worst = *std::max_element("),
    dict(id="b4-fix-default-format-keep",
         fault="fix without --format keeps iNES 1.0 headers in iNES 1.0 form instead of writing "
               "NES 2.0",
         file="cli/commands.cpp",
         old='fixFormatNamed(options.format.value_or("nes2"))',
         new='fixFormatNamed(options.format.value_or("keep"))'),
    dict(id="b4-fix-json-summary-on-stdout",
         fault="fix --json prints its summary line on standard output among the JSON lines, and "
               "fix without --json prints it on standard error",
         file="cli/commands.cpp",
         old="(options.json ? err : out) << summary",
         new="(options.json ? out : err) << summary"),
    dict(id="b4-json-database-own-fields",
         fault="info --json --db's \"database\" object holds the image's own fields, not the "
               "entry's: it always seems to agree",
         file="cli/imageFile.cpp",
         old="putFields(json, entry->header);",
         new="putFields(json, header);"),

    # ------------------------------------------------------------ gui/
    dict(id="b4-redo-shortcut-lost",
         fault="Edit > Redo has no keyboard shortcut (Ctrl+Shift+Z / Ctrl+Y do nothing)",
         file="gui/Gui.cpp",
         old="    redo->setShortcut(QKeySequence::Redo);\n",
         new=""),
    dict(id="b4-revert-not-connected",
         fault="Edit > Revert to File does nothing: its action is not connected",
         file="gui/Gui.cpp",
         old="    bind(findChild<QAction*>(QStringLiteral(\"mnuRevert\")), &QAction::triggered,\n"
             "         &TfrmMain::mnuRevertClick);\n",
         new=""),
    dict(id="b4-changed-bytes-mark-inverted",
         fault="the grid marks (bold) the bytes that were not changed instead of those waiting to "
               "be written",
         file="gui/Gui.cpp",
         old="font.setBold(document != nullptr && (*header)[index] != document->base().bytes()[index]);",
         new="font.setBold(document != nullptr && (*header)[index] == document->base().bytes()[index]);"),
    dict(id="b4-failed-save-replaces-image",
         fault="answering Yes to \"save them?\" before another file is opened replaces the image "
               "even when the save failed: the edits are lost",
         file="gui/Gui.cpp",
         old="    case platform::Answer::yes:\n        return SaveWorkingCopy(false) != Saved::notWritten;",
         new="    case platform::Answer::yes:\n        SaveWorkingCopy(false);\n        return true;"),
    dict(id="b4-load-keeps-undo-stack",
         fault="loading another image keeps the undo stack: Undo then puts the previous image's "
               "header into the new one",
         file="gui/Gui.cpp",
         old="    RememberRecent(romPath);\n    undoStack.clear();",
         new="    RememberRecent(romPath);"),
    dict(id="b4-mirroring-list-inverted",
         fault="the mirroring list shows Horizontal for a vertical image and Vertical for a "
               "horizontal one",
         file="gui/Gui.cpp",
         old="ui->cmbMirroring->setCurrentIndex(shown.verticalMirroring() ? 1 : 0);",
         new="ui->cmbMirroring->setCurrentIndex(shown.verticalMirroring() ? 0 : 1);"),
    dict(id="b4-recent-not-merged",
         fault="opening a file writes this window's old recent list over what another running "
               "copy saved meanwhile (no read before the update)",
         file="gui/Gui.cpp",
         old="    recentFiles = SavedRecentFiles();\n    recentFiles.removeAll(path);",
         new="    recentFiles.removeAll(path);"),
    dict(id="b4-recent-clear-not-saved",
         fault="File > Recent > Clear empties the menu but does not save it: the list is back "
               "the next time the menu opens and at the next start",
         file="gui/Gui.cpp",
         old="    recentFiles.clear();\n    SaveRecentFiles();",
         new="    recentFiles.clear();"),
    dict(id="b4-progress-to-a-tenth",
         fault="the Check area's progress bar stops at a tenth (values to 100 on a range of 1000)",
         file="gui/CheckArea.cpp",
         old="ui->prgCheck->setValue(static_cast<int>(1000 * scan->done / scan->total));",
         new="ui->prgCheck->setValue(static_cast<int>(100 * scan->done / scan->total));"),
    dict(id="b4-take-selected-takes-all",
         fault="Take Selected takes every differing field from the database, ticked or not",
         file="gui/CheckArea.cpp",
         old="bind(ui->btnTakeSelected, [this] { takeFields(false); });",
         new="bind(ui->btnTakeSelected, [this] { takeFields(true); });"),
    dict(id="b4-copy-entry-own-bytes",
         fault="\"Copy the Database's Header Bytes\" copies the image's own header instead",
         file="gui/CheckArea.cpp",
         old="platform::headerHex(document->entry()->header.bytes()));",
         new="platform::headerHex(document->working().bytes()));"),
    dict(id="b4-database-load-no-lookup",
         fault="loading a header database while an image is shown does not look it up: the "
               "image is called not in the database until it is loaded again",
         file="gui/CheckArea.cpp",
         old="    if (ImageDocument* document = host.document()) {\n"
             "        document->lookUp(database.get());\n    }\n",
         new=""),
    dict(id="b4-collection-not-refreshed",
         fault="after a collection repair the rows of the files written still show their old "
               "format, verdict and database state",
         file="gui/Collection.cpp",
         old="    Refresh(changed);\n    const bool cancelled",
         new="    const bool cancelled"),
    dict(id="b4-collection-clean-converts",
         fault="the collection's Clean Garbage converts the images to NES 2.0, and Convert to "
               "NES 2.0 cleans them",
         file="gui/Collection.cpp",
         old="batch == Batch::clean ? BatchEdit::clean\n"
             "                                                                      : BatchEdit::toNes2",
         new="batch == Batch::clean ? BatchEdit::toNes2\n"
             "                                                                      : BatchEdit::clean"),
    dict(id="b4-preview-counts-swapped",
         fault="the repair preview says \"5 of 2 selected images will get a new header\" "
               "(the two counts swapped)",
         file="gui/Collection.cpp",
         old="            .arg(toWrite)\n            .arg(plans.size()),",
         new="            .arg(plans.size())\n            .arg(toWrite),"),
    dict(id="b4-undo-repair-journal-kept",
         fault="after Undo Last Repair the journal stays remembered: the button stays enabled "
               "and offers to undo the same repair again",
         file="gui/Collection.cpp",
         old="    QSettings().remove(lastJournalKey);\n",
         new=""),
    dict(id="b4-save-question-cancel-is-no",
         fault="Cancel in the \"save them?\" question counts as No: the edits are thrown away "
               "and the other file is opened",
         file="gui/Platform.cpp",
         old="{Buttons::yesNoCancel, QMessageBox::Cancel, nullptr, Answer::cancel},",
         new="{Buttons::yesNoCancel, QMessageBox::Cancel, nullptr, Answer::no},"),
    dict(id="b4-escape-blocked-wrong-box",
         fault="Escape in the closing \"save them?\" box (Yes/No) counts as No again and the "
               "edits are lost; it is blocked in the Yes/No/Cancel box instead",
         file="gui/Platform.cpp",
         old="if (buttons == Buttons::yesNo) {\n        box.installEventFilter(&blocker);",
         new="if (buttons == Buttons::yesNoCancel) {\n        box.installEventFilter(&blocker);"),
    dict(id="b4-nes2-prg-ram-lists-swapped",
         fault="the NES 2.0 area's PRG-RAM list sets PRG-NVRAM and the PRG-NVRAM list sets "
               "PRG-RAM (and each shows the other's value)",
         file="gui/Nes2Area.cpp",
         old='lists = {{ui->cmbPrgRam, findField("prgRamBytes")},\n'
             '             {ui->cmbPrgNvram, findField("prgNvramBytes")},',
         new='lists = {{ui->cmbPrgRam, findField("prgNvramBytes")},\n'
             '             {ui->cmbPrgNvram, findField("prgRamBytes")},'),
    dict(id="b4-rom-form-multiplier",
         fault="the NES 2.0 area describes an exponent-form size with the multiplier code plus "
               "one (2^E x 2 bytes) instead of 1, 3, 5 or 7",
         file="gui/Nes2Area.cpp",
         old=".arg(2 * (raw[lsb] & 3) + 1);",
         new=".arg((raw[lsb] & 3) + 1);"),

    # ------------------------------------------------------------ app/
    dict(id="b4-app-help-on-stderr",
         fault="tallowick --help prints its help on standard error instead of standard output",
         file="app/main.cpp",
         old="std::fputs(qPrintable(text), stdout);",
         new="std::fputs(qPrintable(text), stderr);"),
    dict(id="b4-app-file-argument-ignored",
         fault="tallowick FILE opens the window without the file: the first argument is skipped",
         file="app/main.cpp",
         old="        for (int at = 1; at < argc; ++at) {\n            if (std::strcmp(argv[at], \"--\") != 0) {",
         new="        for (int at = 2; at < argc; ++at) {\n            if (std::strcmp(argv[at], \"--\") != 0) {"),
]

# Replanted on 2026-12-08: the summary words' table gained a column for dry
# runs, which moved these anchors; each is the same mistake where the line is now.
for _fault in BLIND:
    if _fault["id"] == 'b4-repair-summary-dry-run-inverted':
        _fault.update(old='const char* one = dryRun ? words.dryLine : words.line;\n            const char* many = dryRun ? words.dryCounted : words.counted;', new='const char* one = !dryRun ? words.dryLine : words.line;\n            const char* many = !dryRun ? words.dryCounted : words.counted;')
