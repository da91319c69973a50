"""A thirteenth blind list of planted faults.

These were written from the product code (cart/ check/ document/ cli/ gui/
app/), the header reference, the README, docs/ and the texts of issues 19, 20
and 21 only, by someone who had not read the tests: no test source, test data
or test build file was opened while they were written (only run.py, the
README beside it and the twelve earlier blind lists, so as not to repeat their
faults; the lines those lists had planted in were marked first and set aside,
and a line already used was taken again only for a different mistake). Each
is one mistake a developer could really make, and each changes something a
user would see or harms their files. Run with
``python3 tests/mutants/run.py --blind blind13.py``.

Changed after the first run (see blind13-results.md): b13-check-summary-zero-unread
did not build and now writes its always-true test as ``+ 1 > 0``;
b13-dry-run-existing-target is replanted where the product's mend moved the check.
"""

BLIND = [
    # ------------------------------------------------------------ cart/
    dict(id="b13-nes2-reason-bits",
         fault="the reason given for the NES 2.0 format says byte 7 bits 2-3 read 01 instead of 10, "
               "the pattern of an archaic header",
         file="cart/nesHeader.cpp",
         old='"byte 7 bits 2-3 read 10, the NES 2.0 mark"',
         new='"byte 7 bits 2-3 read 01, the NES 2.0 mark"'),
    dict(id="b13-mapper-low-nibble-into-flags",
         fault="setting the mapper writes its low nibble into byte 6's low bits (mirroring, battery, "
               "trainer, four-screen) instead of its high nibble, and keeps the old low mapper bits",
         file="cart/nesHeader.cpp",
         old="setBits(6, 0xF0, value & 0x0F);",
         new="setBits(6, 0x0F, value & 0x0F);"),
    dict(id="b13-ram-message-1mib",
         fault="a RAM size that cannot be stored is refused with \"a power of two from 128 bytes to "
               "1 MiB\" though NES 2.0 holds up to 2 MiB",
         file="cart/nesHeader.cpp",
         old='from 128 bytes to 2 MiB"',
         new='from 128 bytes to 1 MiB"'),
    dict(id="b13-garbage-skips-byte8",
         fault="a non-NES 2.0 header whose only stray byte is byte 8 is no longer seen as holding "
               "garbage: clean leaves it and the padding finding is not reported",
         file="cart/nesHeader.cpp",
         old="std::any_of(raw.begin() + 8, raw.end(), [](std::uint8_t b) { return b != 0; });",
         new="std::any_of(raw.begin() + 9, raw.end(), [](std::uint8_t b) { return b != 0; });"),
    dict(id="b13-timing-named-as-console",
         fault="the timing value is named from the console type table: \"1: Vs. System\" instead of "
               "\"1: PAL\" (RP2C07) in info and the windows",
         file="cart/nesHeader.cpp",
         old="return codeText(timings, h.timing());",
         new="return codeText(consoleTypes, h.timing());"),
    dict(id="b13-ines07-reason-bytes",
         fault="the reason given for an iNES 0.7 header says bytes 8-15 may hold an old tool's text "
               "instead of bytes 7-15",
         file="cart/nesHeader.cpp",
         old='"bytes 12-15 are not zero, so bytes 7-15 may hold an old tool\'s text"',
         new='"bytes 12-15 are not zero, so bytes 8-15 may hold an old tool\'s text"'),
    dict(id="b13-nes2-only-inverted",
         fault="the NES 2.0-only codes (submapper, timing, Vs. PPU, misc ROMs, expansion...) are "
               "refused on an NES 2.0 header with \"only an NES 2.0 header holds\" and written into "
               "an iNES 1.0 one",
         file="cart/nesHeader.cpp",
         old="if (nes2Only && !isNes2()) {",
         new="if (nes2Only && isNes2()) {"),
    # ------------------------------------------------------------ check/
    dict(id="b13-use-pages-plural-zero",
         fault="a fix label reads \"Use 1 PRG-ROM pages\" and \"Use 0 CHR-ROM page\": the singular "
               "is chosen for a count of 0 instead of 1",
         file="check/imageCheck.cpp",
         old='"Use " + number(count) + " " + part + (count == 1 ? " page" : " pages");',
         new='"Use " + number(count) + " " + part + (count == 0 ? " page" : " pages");'),
    dict(id="b13-chr-part-from-trainer-end",
         fault="CHR-ROM is placed right after the trainer instead of after PRG-ROM: its CRC-32 and "
               "SHA-1 are taken over PRG-ROM's bytes and the expected file size loses PRG-ROM",
         file="check/imageCheck.cpp",
         old='{"CHR-ROM", prgEnd, plus(prgEnd, header.chrRomBytes())}',
         new='{"CHR-ROM", prgEnd, plus(trainerEnd, header.chrRomBytes())}'),
    dict(id="b13-title-cut-at-64",
         fault="a title of 61 to 64 characters appended to the file is shown in full in the finding "
               "instead of cut to 57 characters and \"...\"",
         file="check/imageCheck.cpp",
         old="if (title.size() > 60) {",
         new="if (title.size() > 64) {"),
    dict(id="b13-byte8-above-15",
         fault="an iNES 1.0 byte 8 of exactly 16 is named \"byte 8 above 16\" in the garbage finding's "
               "list of bytes that are not extension data",
         file="check/imageCheck.cpp",
         old='{8, 16, "byte 8 above 16"},',
         new='{8, 15, "byte 8 above 16"},'),
    dict(id="b13-prg-exponent-info",
         fault="a needless PRG-ROM exponent form is reported as info instead of a warning: check "
               "counts the image as fine and exits 0",
         file="check/imageCheck.cpp",
         old='{"prg-exponent", Severity::warning, nes2, needlessExponent<prgRom>},',
         new='{"prg-exponent", Severity::info, nes2, needlessExponent<prgRom>},'),
    dict(id="b13-vs-ppu-rule-ines1",
         fault="the reserved Vs. PPU rule is run for iNES 1.0 headers instead of NES 2.0 ones: a "
               "reserved Vs. PPU in an NES 2.0 Vs. System header is no longer reported",
         file="check/imageCheck.cpp",
         old='{"vs-ppu-reserved", Severity::warning, nes2, reservedVsPpu},',
         new='{"vs-ppu-reserved", Severity::warning, ines1, reservedVsPpu},'),
    dict(id="b13-db-prgram-into-nvram",
         fault="the database's <prgram size> is read into the PRG-NVRAM slot: an entry with PRG-RAM "
               "gets that size as PRG-NVRAM (and no PRG-RAM) in the comparison and in fix",
         file="check/headerDatabase.cpp",
         old='{"prgram", "size", Kind::number, prgRam, 0},',
         new='{"prgram", "size", Kind::number, prgNvram, 0},'),
    dict(id="b13-db-miscrom-size-attribute",
         fault="the database's <miscrom number> is no longer read (the attribute looked for is "
               "\"size\"): an entry with 2 or 3 misc ROMs gets 1",
         file="check/headerDatabase.cpp",
         old='{"miscrom", "number", Kind::number, miscCount, 0},',
         new='{"miscrom", "size", Kind::number, miscCount, 0},'),
    dict(id="b13-db-battery-into-trainer",
         fault="the database's pcb battery value sets the trainer flag instead of the battery flag",
         file="check/headerDatabase.cpp",
         old='{battery, "battery"},',
         new='{battery, "trainer"},'),
    dict(id="b13-db-four-screen-from-vertical",
         fault="a database entry with vertical mirroring is built with the four-screen flag set, and "
               "a four-screen entry without it",
         file="check/headerDatabase.cpp",
         old="header.setFourScreen(row->fourScreen);",
         new="header.setFourScreen(row->vertical);"),
    dict(id="b13-db-rom-size-from-prg",
         fault="a database entry's ROM size is taken from the PRG-ROM size, so entries are matched "
               "and shown with the wrong ROM size",
         file="check/headerDatabase.cpp",
         old="entries.push_back({std::move(game.name), header, game.values[romSize],",
         new="entries.push_back({std::move(game.name), header, game.values[prgSize],"),
    # ------------------------------------------------------------ document/
    dict(id="b13-tally-errors-singular",
         fault="the tally of findings says \"2 error\" instead of \"2 errors\" (check's lines, the "
               "window's status bar)",
         file="document/imageDocument.cpp",
         old='{Severity::error, "error", "errors"}',
         new='{Severity::error, "error", "error"}'),
    dict(id="b13-probable-mapper-byte7",
         fault="the mapper probably meant by a header with junk in byte 7 is taken from byte 7's high "
               "nibble instead of byte 6's: clean's note names the wrong mapper",
         file="document/imageDocument.cpp",
         old="const int fromByte6 = work.bytes()[6] >> 4;",
         new="const int fromByte6 = work.bytes()[7] >> 4;"),
    dict(id="b13-locked-brief-reading",
         fault="a write stopped by another program's lock is reported as \"another program is reading "
               "the file\" instead of writing it",
         file="document/imageDocument.cpp",
         old='{WriteResult::locked, "another program is writing the file",',
         new='{WriteResult::locked, "another program is reading the file",'),
    dict(id="b13-journal-hex-decimal",
         fault="a journal's hex bytes are read as if each pair were decimal (high digit times 10): "
               "undo finds every header changed since and restores nothing, or writes wrong bytes",
         file="document/repair.cpp",
         old="bytes += char(high * 16 + low);",
         new="bytes += char(high * 10 + low);"),
    dict(id="b13-fixed-json-word",
         fault="fix --json reports a fixed image's result as \"fix\" instead of \"fixed\"",
         file="document/repair.cpp",
         old='{RepairOutcome::fixed, "fixed", "would be fixed", "fixed", "fixed", "would be fixed", false},',
         new='{RepairOutcome::fixed, "fixed", "would be fixed", "fix", "fixed", "would be fixed", false},'),
    dict(id="b13-dry-run-existing-target",
         fault="a dry run of fix --headerless-out no longer reports that the file it would write "
               "already exists in the folder",
         file="document/repair.cpp",
         old="if (found != ENOENT) {",
         new="if (found != ENOENT && found != EEXIST) {"),
    # ------------------------------------------------------------ cli/
    dict(id="b13-warnings-exit-1",
         fault="info and check exit 1 when the worst finding is a warning, as for an error, instead "
               "of 0",
         file="cli/commands.cpp",
         old="return worst >= Verdict::errors ? exitFailed : exitFine;",
         new="return worst >= Verdict::warnings ? exitFailed : exitFine;"),
    dict(id="b13-no-hashes-sets-brief",
         fault="info --no-hashes prints one brief line per image (with hashes still read) instead of "
               "the full block without hashes",
         file="cli/commandLine.cpp",
         old="&Options::noHashes, nullptr},",
         new="&Options::brief, nullptr},"),
    dict(id="b13-check-summary-zero-unread",
         fault="check's summary always ends with \", 0 could not be read\" when every file was read",
         file="cli/commands.cpp",
         old="<< (counts[int(Verdict::failed)] > 0",
         new="<< (counts[int(Verdict::failed)] + 1 > 0"),
    dict(id="b13-info-no-database-line",
         fault="info --db no longer prints the database line (\"not in the database\" or the entry "
               "found) in its text output",
         file="cli/commands.cpp",
         old="imageText(document, findings, database != nullptr)",
         new="imageText(document, findings, false)"),
    dict(id="b13-clean-note-same-mapper",
         fault="clean's note on byte 7 junk names the probable mapper twice: \"probably 1 (byte 6 "
               "alone), not 1\" instead of the mapper the header reads now",
         file="cli/commands.cpp",
         old="std::to_string(document.working().mapper()) + \"\\n\"",
         new="std::to_string(*mapper) + \"\\n\""),
    dict(id="b13-brief-sets-json",
         fault="info --brief prints a JSON object per file instead of one line per image, and "
               "--brief alone is ignored",
         file="cli/commandLine.cpp",
         old='{"brief", "One line per image.", nullptr, &Options::brief, nullptr},',
         new='{"brief", "One line per image.", nullptr, &Options::json, nullptr},'),
    # ------------------------------------------------------------ gui/
    dict(id="b13-gui-chr-pages-from-prg",
         fault="the main window's CHR-ROM pages box shows the PRG-ROM page count",
         file="gui/Gui.cpp",
         old="show(ui->txtChrPages, pages(shown.chrRomPages()));",
         new="show(ui->txtChrPages, pages(shown.prgRomPages()));"),
    dict(id="b13-gui-grid-misses-byte15",
         fault="the header grid never shows byte 15: after loading an image its cell keeps the "
               "previous image's value (or stays empty)",
         file="gui/Gui.cpp",
         old="for (int index = 0; index < 16; ++index) {\n        ShowByte(index);",
         new="for (int index = 0; index < 15; ++index) {\n        ShowByte(index);"),
    dict(id="b13-gui-format-menu-opens-nes2",
         fault="Help > iNES Format opens the NES 2.0 format window instead of the iNES one",
         file="gui/Gui.cpp",
         old="bind(ui->mnuFormatInfo, &QAction::triggered, &TfrmMain::mnuFormatInfoClick);",
         new="bind(ui->mnuFormatInfo, &QAction::triggered, &TfrmMain::mnuNes2InfoClick);"),
    dict(id="b13-gui-recent-four",
         fault="the recent files menu keeps only the last 4 images instead of 8",
         file="gui/Gui.cpp",
         old="constexpr int recentFileCount = 8;",
         new="constexpr int recentFileCount = 4;"),
    dict(id="b13-collection-chr-sort-key-prg",
         fault="sorting the collection by CHR-ROM orders the rows by their PRG-ROM size",
         file="gui/Collection.cpp",
         old="row.keys[col::chr] = header.chrRomBytes();",
         new="row.keys[col::chr] = header.prgRomBytes();"),
    dict(id="b13-collection-sorted-descending",
         fault="the collection window first lists the images by path from Z to A instead of A to Z",
         file="gui/Collection.cpp",
         old="ui->tblImages->sortByColumn(col::path, Qt::AscendingOrder);",
         new="ui->tblImages->sortByColumn(col::path, Qt::DescendingOrder);"),
    dict(id="b13-collection-convert-cleans",
         fault="the collection's Convert to NES 2.0 button runs the clean batch instead",
         file="gui/Collection.cpp",
         old="connect(ui->btnConvert, &QPushButton::clicked, this, &TfrmCollection::btnConvertClick);",
         new="connect(ui->btnConvert, &QPushButton::clicked, this, &TfrmCollection::btnCleanClick);"),
    dict(id="b13-checkarea-info-word",
         fault="an info finding is listed as \"Warning\" instead of \"Note\" in the findings list",
         file="gui/CheckArea.cpp",
         old='{Severity::info, "Note", QStyle::SP_MessageBoxInformation}',
         new='{Severity::info, "Warning", QStyle::SP_MessageBoxInformation}'),
    dict(id="b13-checkarea-clear-enables-fix",
         fault="after the image is closed the Take the Fix button stays enabled with no finding "
               "chosen",
         file="gui/CheckArea.cpp",
         old="ui->lblVerdict->setPalette(QPalette());\n    ui->btnTakeFix->setEnabled(false);",
         new="ui->lblVerdict->setPalette(QPalette());\n    ui->btnTakeFix->setEnabled(true);"),
    dict(id="b13-checkarea-tip-severity",
         fault="a finding's tooltip shows its severity word (\"Error\") instead of the full message, "
               "so a long message cannot be read",
         file="gui/CheckArea.cpp",
         old="item->setToolTip(1, item->text(1));",
         new="item->setToolTip(1, item->text(0));"),
    dict(id="b13-nes2-chr-nvram-list-field",
         fault="the CHR-NVRAM list shows and sets the CHR-RAM size",
         file="gui/Nes2Area.cpp",
         old='{ui->cmbChrNvram, findField("chrNvramBytes")},',
         new='{ui->cmbChrNvram, findField("chrRamBytes")},'),
    dict(id="b13-nes2-vs-hardware-15",
         fault="the Vs. hardware list offers codes $0-$E only: a header with $F shows an empty choice",
         file="gui/Nes2Area.cpp",
         old="{ui->cmbVsHardware, vsHardwareTypes, 16, true},",
         new="{ui->cmbVsHardware, vsHardwareTypes, 15, true},"),
    dict(id="b13-nes2-prg-form-highlights-chr",
         fault="clicking the PRG-ROM form box highlights bytes 5 and 9 (CHR-ROM) instead of 4 and 9",
         file="gui/Nes2Area.cpp",
         old='clickAndEnter(ui->txtPrgRomForm, findField("prgRomBytes")->bytes);',
         new='clickAndEnter(ui->txtPrgRomForm, findField("chrRomBytes")->bytes);'),
    dict(id="b13-nes2-convert-direction",
         fault="the Convert button converts an iNES 1.0 header to iNES 1.0 (nothing happens) and "
               "tries to make an NES 2.0 header NES 2.0 again instead of converting it",
         file="gui/Nes2Area.cpp",
         old="const bool toNes2 = !document->working().isNes2();",
         new="const bool toNes2 = document->working().isNes2();"),
    dict(id="b13-nes2-negative-becomes-zero",
         fault="a negative number typed into an NES 2.0 box (submapper -1) is taken as 0 instead of "
               "refused",
         file="gui/Nes2Area.cpp",
         old="value = typed.value < 0 ? UINT64_MAX : static_cast<std::uint64_t>(typed.value);",
         new="value = typed.value < 0 ? std::uint64_t(0) : static_cast<std::uint64_t>(typed.value);"),
    # ------------------------------------------------------------ app/
    dict(id="b13-app-help-opens-window",
         fault="tallowick --help prints the help and then opens the window instead of ending",
         file="app/main.cpp",
         old="std::fputs(qPrintable(text), stdout);\n        return Start::done;",
         new="std::fputs(qPrintable(text), stdout);\n        return Start::window;"),
]
