"""A tenth blind list of planted faults.

These were written from the product code (cart/ check/ document/ cli/ gui/
app/), the header reference, the README, docs/ and the texts of issues 19, 20
and 21 only, by someone who had not read the tests: no test source, test data
or test build file was opened while they were written (only run.py, the
README beside it and the nine earlier blind lists, so as not to repeat their
faults; the lines those lists had planted in were listed first, and a line
already used was taken again only for a different mistake). Each is one
mistake a developer could really make, and each changes something a user
would see or harms their files. Run with
``python3 tests/mutants/run.py --blind blind10.py``.
"""

BLIND = [
    # ------------------------------------------------------------ cart/
    dict(id="b10-magic-ignores-byte3",
         fault="a file that starts with \"NES\" but has another byte than $1A at byte 3 is taken "
               "for an iNES image, and the \"byte 3 is ..., not $1A\" diagnosis never appears",
         file="cart/nesHeader.cpp",
         old="return raw[0] == 'N' && raw[1] == 'E' && raw[2] == 'S' && raw[3] == 0x1A;",
         new="return raw[0] == 'N' && raw[1] == 'E' && raw[2] == 'S';"),
    dict(id="b10-page-count-msb-shift-4",
         fault="a ROM size of more than 255 pages in an NES 2.0 header stores the wrong high "
               "nibble in byte 9 (pages shifted by 4 instead of 8): 256 pages is written as "
               "4096 pages' worth",
         file="cart/nesHeader.cpp",
         old="setBits(9, nibbleMask, static_cast<int>(pages >> 8));",
         new="setBits(9, nibbleMask, static_cast<int>(pages >> 4));"),
    dict(id="b10-to-nes2-ram-16k",
         fault="converting an iNES 1.0 header to NES 2.0 records 16 KiB of PRG-RAM/PRG-NVRAM "
               "(and 16 KiB of CHR-RAM without CHR-ROM) instead of 8 KiB",
         file="cart/nesHeader.cpp",
         old="constexpr std::uint8_t eightKiB = 7;",
         new="constexpr std::uint8_t eightKiB = 8;"),
    dict(id="b10-size-k-decimal",
         fault="a size typed as \"32K\" is read as 32,000 bytes instead of 32 KiB and is refused "
               "or stored in the exponent form",
         file="cart/nesHeader.cpp",
         old='{"K", 1024}',
         new='{"K", 1000}'),
    dict(id="b10-submapper-name-of-next",
         fault="a submapper that has no entry of its own gets the name (and the deprecation "
               "advice) of the next submapper listed for its mapper",
         file="cart/nesNames.cpp",
         old="row != std::end(submapperRows) && row->mapper == mapper && row->submapper == submapper;",
         new="row != std::end(submapperRows) && row->mapper == mapper;"),
    dict(id="b10-vs-ppu-0002-0003-swapped",
         fault="Vs. PPU types $3 and $4 show each other's names (RP2C04-0002 and RP2C04-0003 "
               "swapped)",
         file="cart/nesNames.cpp",
         old='{0x3, "RP2C04-0002", false},\n    {0x4, "RP2C04-0003", false},',
         new='{0x3, "RP2C04-0003", false},\n    {0x4, "RP2C04-0002", false},'),
    dict(id="b10-expansion-6-not-reserved",
         fault="expansion device $06 is no longer marked reserved: no warning for it, and it is "
               "offered by name on the command line",
         file="cart/nesNames.cpp",
         old='{0x06, "Reserved", true},',
         new='{0x06, "Reserved", false},'),
    # ------------------------------------------------------------ check/
    dict(id="b10-title-unprintable-dot",
         fault="an appended title's unprintable characters are shown as '.' instead of '?'",
         file="check/imageCheck.cpp",
         old="title += printable(c) ? c : '?';",
         new="title += printable(c) ? c : '.';"),
    dict(id="b10-junk-text-last-byte-lost",
         fault="the text an old tool left in bytes 7-15 is read without byte 15: \"DiskDude!\" "
               "reads \"DiskDude\", is no longer known as a signature and the message changes",
         file="check/imageCheck.cpp",
         old="for (int at = from; at < 16 && bytes[at] >= 0x20",
         new="for (int at = from; at < 15 && bytes[at] >= 0x20"),
    dict(id="b10-byte9-one-listed-as-garbage",
         fault="when bytes 8-15 are garbage, a byte 9 of 1 (PAL) is wrongly named among the "
               "reasons (\"byte 9 bits 1-7\")",
         file="check/imageCheck.cpp",
         old='{9, 1, "byte 9 bits 1-7"},',
         new='{9, 0, "byte 9 bits 1-7"},'),
    dict(id="b10-byte14-bit2-not-unused",
         fault="bit 2 of byte 14 set in an NES 2.0 header is not reported as an unused bit, and "
               "the fix leaves it set",
         file="check/imageCheck.cpp",
         old='{14, 0xFC, "byte 14 bits 2-7"},',
         new='{14, 0xF8, "byte 14 bits 2-7"},'),
    dict(id="b10-submapper-0-called-junk",
         fault="every NES 2.0 image whose mapper has no submapper table gets a \"submapper 0 ... "
               "probably junk\" warning, even with submapper 0",
         file="check/imageCheck.cpp",
         old="if (header.submapper() == 0 || hasSubmapperTable(header.mapper())) {",
         new="if (hasSubmapperTable(header.mapper())) {"),
    dict(id="b10-chr-huge-checks-prg",
         fault="the chr-huge error looks at PRG-ROM: a huge PRG-ROM exponent gives both prg-huge "
               "and chr-huge, a huge CHR-ROM exponent gives nothing",
         file="check/imageCheck.cpp",
         old='{"chr-huge", Severity::error, nes2, hugeExponent<chrRom>},',
         new='{"chr-huge", Severity::error, nes2, hugeExponent<prgRom>},'),
    dict(id="b10-ines-padding-on-ines07",
         fault="an iNES 0.7 or archaic header also gets the ines-padding warning (\"bytes 8-15 are "
               "garbage, not iNES 1.0 extension data\") besides its own finding",
         file="check/imageCheck.cpp",
         old='{"ines-padding", Severity::warning, ines1, ines1PaddingSet},',
         new='{"ines-padding", Severity::warning, always, ines1PaddingSet},'),
    dict(id="b10-empty-part-crc-zeros",
         fault="a part that is empty (no CHR-ROM, no trainer) shows CRC-32 00000000 instead of "
               "none, in the window, the text output and the JSON",
         file="check/imageCheck.cpp",
         old="return length == 0 ? std::string() : upperHex(bytes, sizeof bytes);",
         new="return upperHex(bytes, sizeof bytes);"),
    dict(id="b10-db-duplicates-plural-swapped",
         fault="the header database remark says \"1 dumps have more than one entry\" and "
               "\"3 dump has ...\"",
         file="check/headerDatabase.cpp",
         old='(one ? " dump has" : " dumps have")',
         new='(one ? " dumps have" : " dump has")'),
    # ------------------------------------------------------------ document/
    dict(id="b10-clean-writes-unsaved-edits",
         fault="cleaning bytes 8-15 writes the window's unsaved edits to the file too, instead of "
               "only the file's own header with bytes 8-15 cleared",
         file="document/imageDocument.cpp",
         old="const NesHeader cleaned = base().cleaned();",
         new="const NesHeader cleaned = work.cleaned();"),
    dict(id="b10-probable-mapper-ines07-silent",
         fault="for an iNES 0.7 header whose byte 7 is junk, clean no longer says which mapper "
               "byte 6 alone gives",
         file="document/imageDocument.cpp",
         old="if ((format != HeaderFormat::archaic && format != HeaderFormat::ines07) ||",
         new="if (format != HeaderFormat::archaic ||"),
    dict(id="b10-tail-read-after-header",
         fault="the last 128 bytes are read from just after the header instead of the file's "
               "end: an appended title or padding is missed when only the header was read",
         file="document/imageDocument.cpp",
         old="off_t(size - tailSize)) != off_t(tailSize)) {",
         new="off_t(headerBytes)) != off_t(tailSize)) {"),
    dict(id="b10-database-finding-id-label",
         fault="a database difference's finding id uses the field's label (\"database-PRG-ROM "
               "size\") instead of its key (\"database-prgRomBytes\")",
         file="document/imageDocument.cpp",
         old='std::string("database-") + difference.field->key,',
         new='std::string("database-") + difference.field->label,'),
    dict(id="b10-summary-unchanged-hidden",
         fault="the repair summary no longer always says how many were unchanged, and always says "
               "\"0 not fixable in that form\" instead",
         file="document/repair.cpp",
         old="words.outcome == RepairOutcome::unchanged ||",
         new="words.outcome == RepairOutcome::notFixable ||"),
    dict(id="b10-not-fixable-counted-not-written",
         fault="an image whose database header iNES 1.0 cannot hold is counted \"not written\" "
               "(a failure, exit 1) instead of \"not fixable in that form\"",
         file="document/repair.cpp",
         old="{RepairKind::notExpressible, RepairOutcome::notFixable},",
         new="{RepairKind::notExpressible, RepairOutcome::notWritten},"),
    dict(id="b10-undo-dry-run-says-restored",
         fault="undo --dry-run says \"restored\" for each file instead of \"would be restored\"",
         file="document/repair.cpp",
         old='{UndoResult::restored, "restored", "would be restored", false},',
         new='{UndoResult::restored, "restored", "restored", false},'),
    # ------------------------------------------------------------ cli/
    dict(id="b10-assignment-lowercase-only",
         fault="set prgRomBytes=32K FILE is refused (\"no FIELD=VALUE given\"): a field name with "
               "capitals is taken for a file name",
         file="cli/commands.cpp",
         old="[](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });",
         new="[](char c) { return c >= 'a' && c <= 'z'; });"),
    dict(id="b10-set-help-fields-misaligned",
         fault="the field list of set --help is one column to the left of the format line",
         file="cli/commands.cpp",
         old="std::string(17 - std::min<std::size_t>(key.size(), 16), ' ')",
         new="std::string(16 - std::min<std::size_t>(key.size(), 16), ' ')"),
    dict(id="b10-check-summary-file-plural",
         fault="check's summary says \"1 files:\" and \"3 file:\"",
         file="cli/commands.cpp",
         old='count(*files, *files == 1 ? "file: " : "files: ")',
         new='count(*files, *files == 1 ? "files: " : "file: ")'),
    dict(id="b10-fix-dry-run-summary-unmarked",
         fault="fix --dry-run's summary line no longer ends with \"(dry run)\"",
         file="cli/commands.cpp",
         old='<< summary << (options.dryRun ? " (dry run)\\n" : "\\n");',
         new='<< summary << "\\n";'),
    dict(id="b10-undo-summary-dry-words-swapped",
         fault="undo's summary says \"would be restored\" after a real undo and \"restored\" "
               "after a dry run",
         file="cli/commands.cpp",
         old='(options.dryRun ? " would be restored, " : " restored, ")',
         new='(options.dryRun ? " restored, " : " would be restored, ")'),
    dict(id="b10-json-fix-key",
         fault="info --json names a finding's fix \"fixLabel\" instead of \"fix\"",
         file="cli/imageFile.cpp",
         old='json.Key("fix");',
         new='json.Key("fixLabel");'),
    dict(id="b10-json-header-with-blanks",
         fault="info --json gives \"header\" with blanks between the bytes (\"4E 45 53 ...\") "
               "instead of 32 hex digits",
         file="cli/imageFile.cpp",
         old="jsonString(json, hexOf(header.bytes(), false));",
         new="jsonString(json, hexOf(header.bytes(), true));"),
    dict(id="b10-json-ram-zero-for-ines",
         fault="for an iNES 1.0 header, info --json gives the NES 2.0 RAM sizes as 0 instead of "
               "null",
         file="cli/imageFile.cpp",
         old="if (field.kind == FieldKind::size && holdsField(header, field)) {",
         new="if (field.kind == FieldKind::size) {"),
    # ------------------------------------------------------------ app/
    dict(id="b10-app-bad-option-on-stdout",
         fault="tallowick --bogus prints its error and the \"Try 'tallowick --help'\" hint on "
               "standard output instead of standard error",
         file="app/main.cpp",
         old="std::fprintf(stderr, \"tallowick: %s\\nTry 'tallowick --help'.\\n\",",
         new="std::fprintf(stdout, \"tallowick: %s\\nTry 'tallowick --help'.\\n\","),
    # ------------------------------------------------------------ gui/
    dict(id="b10-prg-pages-box-shows-chr",
         fault="the main window's PRG-ROM pages box shows the CHR-ROM page count",
         file="gui/Gui.cpp",
         old="show(ui->txtPrgPages, pages(shown.prgRomPages()));",
         new="show(ui->txtPrgPages, pages(shown.chrRomPages()));"),
    dict(id="b10-battery-box-shows-trainer",
         fault="the battery-backed SRAM box is ticked by the trainer bit instead of the battery "
               "bit",
         file="gui/Gui.cpp",
         old="tick(ui->chkSRAM, shown.battery());",
         new="tick(ui->chkSRAM, shown.trainer());"),
    dict(id="b10-save-question-when-unchanged",
         fault="loading another file asks \"Changes have been made.  save them?\" even when "
               "nothing was changed",
         file="gui/Gui.cpp",
         old="if (document == nullptr || !HeaderChanged() || !document->writable()) {",
         new="if (document == nullptr || !document->writable()) {"),
    dict(id="b10-grid-second-row-label",
         fault="the header grid's second row is labelled 0x0010 instead of 0x0008",
         file="gui/Gui.cpp",
         old='ShowCell(0, 1, QStringLiteral("0x0008"));',
         new='ShowCell(0, 1, QStringLiteral("0x0010"));'),
    dict(id="b10-copy-header-shortcut-lost",
         fault="Ctrl+C in the header grid no longer copies the header bytes (Copy Header Bytes "
               "has no shortcut)",
         file="gui/Gui.cpp",
         old="    copy->setShortcut(QKeySequence::Copy);\n",
         new=""),
    dict(id="b10-recent-menu-full-path",
         fault="the Recent Files menu shows each file's whole path instead of its name",
         file="gui/Gui.cpp",
         old=".arg(++number).arg(name.section('/', -1))",
         new=".arg(++number).arg(name)"),
    dict(id="b10-free-leaves-mirroring-shown",
         fault="after Free Rom the (disabled) mirroring list still shows \"Horizontal\" instead "
               "of nothing",
         file="gui/Gui.cpp",
         old="ui->cmbMirroring->setCurrentIndex(-1);",
         new="ui->cmbMirroring->setCurrentIndex(0);"),
    dict(id="b10-mirroring-list-items-swapped",
         fault="the mirroring list reads Vertical, Horizontal: a horizontal image shows "
               "\"Vertical\", and choosing \"Vertical\" sets horizontal mirroring",
         file="gui/Gui.ui",
         old="<string>Horizontal</string>\n                              </property>\n"
             "                            </item>\n                            <item>\n"
             "                              <property name=\"text\">\n"
             "                                <string>Vertical</string>",
         new="<string>Vertical</string>\n                              </property>\n"
             "                            </item>\n                            <item>\n"
             "                              <property name=\"text\">\n"
             "                                <string>Horizontal</string>"),
    dict(id="b10-collection-battery-words-swapped",
         fault="the collection's Battery column says \"no\" for images with a battery and "
               "\"yes\" for those without",
         file="gui/Collection.cpp",
         old='summary.battery ? QStringLiteral("yes") : QStringLiteral("no")',
         new='summary.battery ? QStringLiteral("no") : QStringLiteral("yes")'),
    dict(id="b10-collection-notes-as-errors",
         fault="in the collection an image with only notes is shown in the error colour and "
               "listed by the \"With errors\" filter",
         file="gui/Collection.cpp",
         old="row.level = !worst || *worst == Severity::info ? 2 : *worst == Severity::warning ? 1 : 0;",
         new="row.level = !worst ? 2 : *worst == Severity::warning ? 1 : 0;"),
    dict(id="b10-collection-count-plural",
         fault="the collection says \"1 images\" and \"3 image\" when it has read the folder",
         file="gui/Collection.cpp",
         old='count + (total == 1 ? " image" : " images")',
         new='count + (total == 1 ? " images" : " image")'),
    dict(id="b10-collection-convert-never-enabled",
         fault="the collection's Convert to NES 2.0 button stays disabled when images are "
               "selected",
         file="gui/Collection.cpp",
         old="{ui->btnFix, ui->btnClean, ui->btnConvert}",
         new="{ui->btnFix, ui->btnClean}"),
    dict(id="b10-take-fields-step-plural",
         fault="the undo step for taking database fields reads \"Take 1 fields\" and \"Take 2 "
               "field\"",
         file="gui/CheckArea.cpp",
         old='.arg(chosen.size() == 1 ? "" : "s");',
         new='.arg(chosen.size() == 1 ? "s" : "");'),
    dict(id="b10-findings-list-verdict-inverted",
         fault="an image with no findings shows an empty findings list, and one with findings "
               "gets an extra row repeating the verdict",
         file="gui/CheckArea.cpp",
         old="if (findings.empty()) {\n        new QTreeWidgetItem(ui->lstFindings, {QString(), verdict});",
         new="if (!findings.empty()) {\n        new QTreeWidgetItem(ui->lstFindings, {QString(), verdict});"),
    dict(id="b10-format-highlight-byte8",
         fault="clicking the NES 2.0 area's format box or Convert button highlights byte 8 "
               "instead of byte 7 in the grid",
         file="gui/Nes2Area.cpp",
         old="constexpr std::uint16_t markByte = 1u << 7;",
         new="constexpr std::uint16_t markByte = 1u << 8;"),
    dict(id="b10-rom-form-page-plural",
         fault="the ROM form box says \"1 pages of 16 KiB\" and \"2 page of 16 KiB\"",
         file="gui/Nes2Area.cpp",
         old='.arg(pages == 1 ? "" : "s")',
         new='.arg(pages == 1 ? "s" : "")'),
    dict(id="b10-sentence-start-ines-capital",
         fault="a message that starts with \"iNES\" is shown starting with \"INES\" (the first "
               "letter is raised even before a capital)",
         file="gui/Platform.cpp",
         old="if (!text.isEmpty() && !(text.size() > 1 && text[1].isUpper())) {",
         new="if (!text.isEmpty()) {"),
    dict(id="b10-preview-html-as-text",
         fault="the repair preview shows its list as raw HTML (<p><b>...) instead of formatted "
               "text with the changed bytes marked",
         file="gui/RepairPreview.cpp",
         old="ui->txtPreview->setHtml(list);",
         new="ui->txtPreview->setPlainText(list);"),
]
