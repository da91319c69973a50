"""Blind planted faults for run.py: written from the product code, the header
reference and issue 19's list of kinds only, by someone who has not read the
tests. Same entry format as mutants.py: id, fault (what a user would see),
file, old (occurs exactly once in that file) and new.

Each group names the kind of fault it plants. At most a dozen faults are in
the window's code, in lines that are unlikely to move (texts, tables,
Platform.cpp, the Check area's hash lines and database table).
"""

BLIND = [
    # ------------------------------------------------------------ the checked write
    # A write check that lets another program's change be written over.
    dict(id="blind-write-check-first-half",
         fault="the write compares only bytes 0-7 with the header as loaded: another program's "
               "change to bytes 8-15 is written over; set says written, the window never asks "
               "Overwrite or Reload",
         file="cart/inesStrm.cpp",
         old="    if (now != lastSeen && !overwriteChanges) {",
         new="    if (!std::equal(now.begin(), now.begin() + 8, lastSeen.begin()) && "
             "!overwriteChanges) {"),
    dict(id="blind-write-same-file-no-inode",
         fault="a file moved away and replaced by another of the same name (mv a.nes a.bak, "
               "new a.nes) is still written: the header goes into a.bak, the user is told "
               "written and a.nes keeps its header",
         file="cart/inesStrm.cpp",
         old="    return atPath.st_dev == device && atPath.st_ino == inode && opened.st_nlink > 0",
         new="    return atPath.st_dev == device && opened.st_nlink > 0"),
    dict(id="blind-write-magic-of-base",
         fault="a file another program turned into something else (no \"NES\" and $1A any "
               "more) is reported as a changed header, not as no longer an iNES image, and "
               "Overwrite writes a header over it",
         file="cart/inesStrm.cpp",
         old="    if (!damagedAccepted && !startsLikeInes(now.data())) {",
         new="    if (!damagedAccepted && !startsLikeInes(lastSeen.data())) {"),
    dict(id="blind-write-base-kept",
         fault="after a write the stream still holds the header as first loaded: the window "
               "stays modified after Apply, and a second Apply says another program changed "
               "the header",
         file="cart/inesStrm.cpp",
         old="    lastSeen = header;\n    return WriteResult::written;",
         new="    return WriteResult::written;"),

    # set/clean reporting "written" when nothing was written.
    dict(id="blind-cli-refusal-written",
         fault="set and clean print \"written\" and exit 0 when the checked write refused "
               "(read-only, changed meanwhile, moved, locked); only a failed system write is "
               "reported",
         file="cli/commands.cpp",
         old="    if (result != WriteResult::written) {\n        return {{},",
         new="    if (result == WriteResult::failed) {\n        return {{},"),
    dict(id="blind-cli-dry-run-writes",
         fault="set --dry-run and clean --dry-run write the header and still say \"would be "
               "written (dry run)\"",
         file="cli/commands.cpp",
         old="    const WriteResult result = document.save(false, dryRun);",
         new="    const WriteResult result = document.save(false, false);"),
    dict(id="blind-doc-clean-refusal-cleaned",
         fault="cleaning that the checked write refused (header changed meanwhile, file moved, "
               "lock held) is reported as done: the window says the garbage was removed and "
               "shows a header the file does not hold",
         file="document/imageDocument.cpp",
         # Follows the code: clean() now answers the write's result itself.
         old="    if (result == WriteResult::written) {\n        work = cleaned;\n    }\n    return result;",
         new="    work = cleaned;\n    return result == WriteResult::failed ? result : WriteResult::written;"),

    # clean changing a byte it must keep.
    dict(id="blind-clean-zeros-byte7",
         fault="clean zeroes byte 7 too: the mapper loses bits 4-7 (mapper 66 becomes 2) and "
               "a Vs. System or PlayChoice-10 image its console bits",
         file="cart/nesHeader.cpp",
         old="    std::fill(clean.raw.begin() + 8, clean.raw.end(), 0);",
         new="    std::fill(clean.raw.begin() + 7, clean.raw.end(), 0);"),
    dict(id="blind-extension-byte8-16",
         fault="iNES 1.0 extension data with 128 KiB of PRG-RAM (byte 8 = 16) is taken for "
               "garbage: loading the image in the window and clean zero bytes 8-10",
         file="cart/nesHeader.cpp",
         old="raw[8] <= 16 && (raw[8] | raw[9] | raw[10]) != 0;",
         new="raw[8] < 16 && (raw[8] | raw[9] | raw[10]) != 0;"),

    # ------------------------------------------------------------ hashes
    # A hash over the wrong range.
    dict(id="blind-hash-body-with-trainer",
         fault="the body hashes (the header database's key) include the trainer: an image "
               "with a trainer is never found in the database and its body SHA-1 is the ROM's",
         file="check/imageCheck.cpp",
         old="        body = {clip(layout[prgPart].begin), fileSize};",
         new="        body = {clip(layout[trainerPart].begin), fileSize};"),
    dict(id="blind-hash-rom-with-header",
         fault="ROM SHA-1 (and the body SHA-1 without a trainer) covers the 16-byte header "
               "too: it matches no dump catalogue and the database finds nothing",
         file="check/imageCheck.cpp",
         old="        rom = {clip(headerBytes), fileSize};",
         new="        rom = {clip(0), fileSize};"),
    dict(id="blind-hash-file-crc-no-header",
         fault="the whole-file CRC-32 leaves the header out: it equals the ROM CRC-32",
         file="check/imageCheck.cpp",
         old="        hashes.fileCrc32 = crcs[headerPart].then(romCrc).hex();",
         new="        hashes.fileCrc32 = romCrc.hex();"),
    # One part's hash under another part's key.
    dict(id="blind-hash-prg-crc-is-chr",
         fault="PRG-ROM CRC-32 shows CHR-ROM's CRC-32 (info, JSON prgCrc32, the window)",
         file="check/imageCheck.cpp",
         old="        hashes.prgCrc32 = crcs[prgPart].hex();",
         new="        hashes.prgCrc32 = crcs[chrPart].hex();"),
    dict(id="blind-json-chr-sha1-is-prg",
         fault="info's chrSha1 (JSON) and \"CHR-ROM SHA-1\" line (text) show PRG-ROM's SHA-1",
         file="cli/imageFile.cpp",
         old="    {\"chrSha1\", \"CHR-ROM SHA-1\", &Hashes::chrSha1},",
         new="    {\"chrSha1\", \"CHR-ROM SHA-1\", &Hashes::prgSha1},"),

    # ------------------------------------------------------------ the header database
    # A database field read into the wrong field.
    dict(id="blind-db-vs-hardware-as-ppu",
         fault="a database entry's vs hardware value is read as its Vs. PPU: Vs. System games "
               "show the wrong PPU and hardware type and differ from the database everywhere",
         file="check/headerDatabase.cpp",
         old="    {\"vs\", \"hardware\", Kind::number, vsHardware, 0},",
         new="    {\"vs\", \"hardware\", Kind::number, vsPpu, 0},"),
    dict(id="blind-db-prgnvram-as-ram",
         fault="a database entry's prgnvram size is read as plain PRG-RAM: battery games "
               "differ from the database in PRG-RAM and PRG-NVRAM, and taking the fields loses "
               "the save RAM",
         file="check/headerDatabase.cpp",
         old="    {\"prgnvram\", \"size\", Kind::number, prgNvram, 0},",
         new="    {\"prgnvram\", \"size\", Kind::number, prgRam, 0},"),
    dict(id="blind-db-mapper30-letters-swapped",
         fault="mapper 30's mirroring letters 1 and 4 give each other's bits: UNROM 512 "
               "entries get the wrong byte 6 and the database differs in mirroring/four-screen",
         file="check/headerDatabase.cpp",
         old="{30, '1', true, false},\n    {30, '4', true, true},",
         new="{30, '1', true, true},\n    {30, '4', true, false},"),
    # A comparison with the database using the wrong rule.
    dict(id="blind-doc-compare-unheld-fields",
         fault="an iNES 1.0 header is compared with the database in NES 2.0-only fields too: "
               "it differs in PRG-RAM, CHR-RAM, timing... which it cannot hold",
         file="document/imageDocument.cpp",
         old="        if (holdsField(header, field) && field.get(header) != field.get(entry)) {",
         new="        if (field.get(header) != field.get(entry)) {"),
    dict(id="blind-doc-lookup-by-rom",
         fault="the database is searched with the ROM hashes, trainer included: an image with "
               "a trainer is never found",
         file="document/imageDocument.cpp",
         old="                 ? database->find(report_->hashes.bodyCrc32, "
             "report_->hashes.bodySha1)",
         new="                 ? database->find(report_->hashes.romCrc32, "
             "report_->hashes.romSha1)"),
    dict(id="blind-doc-database-notes",
         fault="a header that differs from the database is only noted (info), not warned "
               "about: check counts it as fine",
         file="document/imageDocument.cpp",
         old="        findings.push_back({Severity::warning,\n"
             "                            std::string(\"database-\")",
         new="        findings.push_back({Severity::info,\n"
             "                            std::string(\"database-\")"),
    dict(id="blind-doc-take-without-convert",
         fault="taking fields from the database into an iNES 1.0 header no longer converts it "
               "to NES 2.0 first: Take All / Take Selected refuse (only an NES 2.0 header holds "
               "the PRG-RAM size...)",
         file="document/imageDocument.cpp",
         old="    NesHeader edited = work.isNes2() ? work : work.toNes2();",
         new="    NesHeader edited = work;"),

    # ------------------------------------------------------------ conversions and encodings
    # A conversion that carries bytes it must reset.
    dict(id="blind-to-nes2-keeps-bytes-8-9",
         fault="converting to NES 2.0 keeps bytes 8-9: iNES 1.0 extension data (PRG-RAM "
               "units, TV system) turn into mapper bits 8-11, a submapper and ROM size nibbles",
         file="cart/nesHeader.cpp",
         old="    std::fill(bytes.begin() + 8, bytes.end(), 0);\n    // iNES 1.0 implies",
         new="    std::fill(bytes.begin() + 10, bytes.end(), 0);\n    // iNES 1.0 implies"),
    dict(id="blind-to-nes2-ines07-junk",
         fault="converting an iNES 0.7 header (byte 7 bits 2-3 = 11, e.g. DiskDude!) to NES 2.0 "
               "keeps byte 7's junk nibble: the converted header has the wrong mapper",
         file="cart/nesHeader.cpp",
         old="    const bool junkInByte7 = was == HeaderFormat::archaic || was == "
             "HeaderFormat::ines07;",
         new="    const bool junkInByte7 = was == HeaderFormat::archaic;"),
    dict(id="blind-to-nes2-battery-ignored",
         fault="converting a battery-backed iNES 1.0 header to NES 2.0 gives 8 KiB of PRG-RAM, "
               "not PRG-NVRAM: the save RAM is lost and a battery warning appears",
         file="cart/nesHeader.cpp",
         old="    bytes[10] = battery() ? eightKiB << 4 : eightKiB;",
         new="    bytes[10] = eightKiB;"),
    # A size encoding that refuses sizes it can hold.
    dict(id="blind-size-largest-page-count",
         fault="the largest plain page count is refused: 255 pages in iNES 1.0 (\"needs an NES "
               "2.0 header\"), 3839 in NES 2.0",
         file="cart/nesHeader.cpp",
         old="    if (bytes % unit == 0 && pages <= static_cast<std::uint64_t>(maxPages())) {",
         new="    if (bytes % unit == 0 && pages < static_cast<std::uint64_t>(maxPages())) {"),
    dict(id="blind-size-exponent-times-7",
         fault="sizes of 7 x 2^E bytes that are not whole pages (7 KiB of PRG-ROM) are "
               "refused though the exponent form holds them; a database with one is refused",
         file="cart/nesHeader.cpp",
         old="    if (odd == 1 || odd == 3 || odd == 5 || odd == 7) {",
         new="    if (odd == 1 || odd == 3 || odd == 5) {"),
    dict(id="blind-size-ram-2mib",
         fault="2 MiB of PRG-RAM, PRG-NVRAM, CHR-RAM or CHR-NVRAM (shift 15) is refused though "
               "the refusal itself says NES 2.0 holds up to 2 MiB",
         file="cart/nesHeader.cpp",
         old="    for (int shift = 0; shift <= 15; ++shift) {\n        if (ramBytes(shift) == bytes) {",
         new="    for (int shift = 0; shift < 15; ++shift) {\n        if (ramBytes(shift) == bytes) {"),
    dict(id="blind-size-exponent-multiplier",
         fault="exponent-form ROM sizes are read with multipliers 1, 2, 3, 4 instead of 1, 3, "
               "5, 7: wrong sizes shown and wrong size findings",
         file="cart/nesHeader.cpp",
         old="    const std::uint64_t multiplier = 2 * (raw[lsb] & 0x03) + 1;",
         new="    const std::uint64_t multiplier = (raw[lsb] & 0x03) + 1;"),
    dict(id="blind-size-chr-uses-prg-nibble",
         fault="the NES 2.0 CHR-ROM size takes its high bits from PRG-ROM's nibble of byte 9",
         file="cart/nesHeader.cpp",
         old="    return romBytes(5, 0xF0, chrUnit);",
         new="    return romBytes(5, 0x0F, chrUnit);"),
    dict(id="blind-size-mega-decimal",
         fault="a size typed with M means 1,000,000 bytes: set prgRomBytes=2M and the NES 2.0 "
               "size box's 2M are refused or give the wrong size",
         file="cart/nesHeader.cpp",
         old="{\"M\", 1024 * 1024}",
         new="{\"M\", 1000 * 1000}"),

    # ------------------------------------------------------------ field edits
    # A field edit changing other bits.
    dict(id="blind-edit-mapper-clears-byte7",
         fault="setting the mapper rewrites all of byte 7: the console type and the NES 2.0 "
               "mark are cleared (an NES 2.0 header becomes iNES 1.0)",
         file="cart/nesHeader.cpp",
         old="    setBits(7, 0xF0, (value >> 4) & 0x0F);",
         new="    raw[7] = static_cast<std::uint8_t>(value & 0xF0);"),
    dict(id="blind-edit-mirroring-clears-four-screen",
         fault="choosing a mirroring (window, set mirroring=) also clears the four-screen bit",
         file="cart/nesHeader.h",
         old="void setVerticalMirroring(bool on) { setBits(6, 0x01, on ? 1 : 0); }",
         new="void setVerticalMirroring(bool on) { setBits(6, 0x09, on ? 1 : 0); }"),
    dict(id="blind-edit-submapper-low-nibble",
         fault="setting the submapper writes all of byte 8: submapper 1 becomes mapper bits "
               "8-11 (mapper 4 turns into 260) and the submapper stays 0; up to 255 is accepted",
         file="cart/nesHeader.cpp",
         old="    return setCode(8, 0xF0, value, \"submapper\", true);",
         new="    return setCode(8, 0xFF, value, \"submapper\", true);"),
    dict(id="blind-cli-fields-before-format",
         fault="set applies its fields before format=nes2: `set format=nes2 submapper=1` on an "
               "iNES 1.0 image is refused (only NES 2.0 holds the submapper)",
         file="cli/commands.cpp",
         old="    if (plan.toNes2 == true) {\n        document.convert(true);\n    }\n"
             "    for (const Edit& edit : plan.edits) {\n"
             "        if (Refusal refusal = document.set(*edit.field, edit.value)) {\n"
             "            return edit.text + \": \" + *refusal;\n        }\n    }\n",
         new="    for (const Edit& edit : plan.edits) {\n"
             "        if (Refusal refusal = document.set(*edit.field, edit.value)) {\n"
             "            return edit.text + \": \" + *refusal;\n        }\n    }\n"
             "    if (plan.toNes2 == true) {\n        document.convert(true);\n    }\n"),

    # ------------------------------------------------------------ findings
    # A finding with the wrong severity.
    dict(id="blind-finding-prg-none-warning",
         fault="an image without PRG-ROM is only warned about: check exits 0 for an image "
               "with no program",
         file="check/imageCheck.cpp",
         old="    {\"prg-none\", Severity::error, always, noPrgRom},",
         new="    {\"prg-none\", Severity::warning, always, noPrgRom},"),
    dict(id="blind-finding-rule-severity-only",
         fault="a rule's own severity replaces the finding's: the battery notes for Namco 163 "
               "and UNROM 512 become warnings",
         file="check/imageCheck.cpp",
         old="            Finding found{verdict->severity.value_or(rule.severity), rule.id,",
         new="            Finding found{rule.severity, rule.id,"),
    dict(id="blind-severity-names-swapped",
         fault="warnings are labelled \"info\" and notes \"warning\" (check --verbose, info, "
               "JSON severity)",
         file="check/imageCheck.cpp",
         old="    static constexpr const char* names[] = {\"error\", \"warning\", \"info\"};",
         new="    static constexpr const char* names[] = {\"error\", \"info\", \"warning\"};"),
    # A finding no longer reported.
    dict(id="blind-finding-ines07-gone",
         fault="an iNES 0.7 header (byte 7 bits 2-3 = 11, bytes 12-15 zero) no longer gets its "
               "ines07 finding",
         file="check/imageCheck.cpp",
         old="    } else if (verdict.format == HeaderFormat::ines07) {",
         new="    } else if (verdict.format == HeaderFormat::ines07 && junk) {"),
    dict(id="blind-finding-byte13-playchoice",
         fault="byte 13 set with console type 2 (PlayChoice-10) is no longer reported as unused",
         file="check/imageCheck.cpp",
         old="    const std::uint8_t unused = console == 3 ? 0xF0 : console == 1 ? 0x00 : 0xFF;",
         new="    const std::uint8_t unused = console == 3 ? 0xF0 : console == 0 ? 0xFF : 0x00;"),
    dict(id="blind-finding-chr-nvram-no-battery",
         fault="CHR-NVRAM sized with the battery flag clear is no longer reported",
         file="check/imageCheck.cpp",
         old="    if (header.battery() || (header.prgNvramBytes() == 0 && "
             "header.chrNvramBytes() == 0)) {",
         new="    if (header.battery() || header.prgNvramBytes() == 0) {"),
    dict(id="blind-finding-padding-at-end",
         fault="padding that starts right after the last part (the usual overdump) is no longer "
               "reported as padding: it becomes file-long with a page-count fix",
         file="check/imageCheck.cpp",
         old="    if (content.runFrom <= expectedSize(header) &&",
         new="    if (content.runFrom < expectedSize(header) &&"),
    # A wrong number in a message.
    dict(id="blind-message-file-long-count",
         fault="\"PRG-ROM is probably 2 pages, not 1\" names the extra pages instead of the "
               "header's count",
         file="check/imageCheck.cpp",
         old="pages(suggested) + \", not \" + number(now);",
         new="pages(suggested) + \", not \" + number(more);"),
    dict(id="blind-message-cut-short-amount",
         fault="\"PRG-ROM is cut short (12 KiB of 16 KiB)\" gives the missing amount instead of "
               "what the file holds",
         file="check/imageCheck.cpp",
         old="\" is cut short (\" + sizeText(fileSize - part.begin) +",
         new="\" is cut short (\" + sizeText(part.end - fileSize) +"),
    dict(id="blind-message-file-short-expected",
         fault="\"the file is N shorter than the header says\" gives the expected size, not the "
               "missing bytes",
         file="check/imageCheck.cpp",
         old="\"the file is \" + sizeWords(missing) +",
         new="\"the file is \" + sizeWords(expected) +"),
    dict(id="blind-message-probable-mapper",
         fault="clean's note \"the mapper is probably N (byte 6 alone)\" gives byte 6's flag "
               "bits, not its mapper nibble",
         file="document/imageDocument.cpp",
         old="    return work.bytes()[6] >> 4;",
         new="    return work.bytes()[6] & 0x0F;"),
    # A name table with two entries swapped.
    dict(id="blind-names-timing-swapped",
         fault="timing 1 is named \"Multiple-region\" and timing 2 \"RP2C07 (Licensed PAL NES)\"",
         file="cart/nesNames.cpp",
         old="    {1, \"RP2C07 (Licensed PAL NES)\", false},\n    {2, \"Multiple-region\", false},",
         new="    {1, \"Multiple-region\", false},\n    {2, \"RP2C07 (Licensed PAL NES)\", false},"),
    dict(id="blind-names-expansion-swapped",
         fault="expansion device $08 is named \"Two Zappers\" and $09 \"Zapper ($4017)\"",
         file="cart/nesNames.cpp",
         old="    {0x08, \"Zapper ($4017)\", false},\n    {0x09, \"Two Zappers\", false},",
         new="    {0x08, \"Two Zappers\", false},\n    {0x09, \"Zapper ($4017)\", false},"),
    dict(id="blind-names-catalogue-swapped",
         fault="mapper 2 is named CNROM and mapper 3 U*ROM (window, info, JSON mapperName)",
         file="cart/mapperCatalogue.cpp",
         old="    {2, \"U*ROM\"},\n    {3, \"CNROM\"},",
         new="    {2, \"CNROM\"},\n    {3, \"U*ROM\"},"),

    # ------------------------------------------------------------ the command line
    # A usage error that exits 0.
    dict(id="blind-cli-clean-no-file",
         fault="`tallowick-cli clean` with no FILE prints nothing and exits 0 instead of a "
               "usage error (2)",
         file="cli/commands.cpp",
         old="    if (options.arguments.empty()) {\n"
             "        return usageError(err, \"clean\", \"no FILE given\");\n    }\n",
         new=""),
    dict(id="blind-cli-info-db-without-hashes",
         fault="`info --no-hashes --db FILE` is no longer a usage error: it runs, exits 0 and "
               "says every image is not in the database",
         file="cli/commands.cpp",
         old="    if (options.noHashes && options.database) {\n"
             "        return usageError(err, \"info\", \"--db looks images up by their hashes: "
             "drop --no-hashes\");\n    }\n",
         new=""),
    dict(id="blind-cli-set-no-field",
         fault="`set FILE` without FIELD=VALUE is no longer a usage error: it prints "
               "\"unchanged\" and exits 0",
         file="cli/commands.cpp",
         old="    if (!plan.toNes2 && plan.edits.empty()) {\n"
             "        error = \"no FIELD=VALUE given\";\n        return std::nullopt;\n    }\n",
         new=""),
    dict(id="blind-cli-errors-exit-0",
         fault="a file with error findings exits 0: only a file that cannot be read or written "
               "gives 1",
         file="cli/commands.cpp",
         old="    return worst >= Verdict::errors ? exitFailed : exitFine;",
         new="    return worst > Verdict::errors ? exitFailed : exitFine;"),
    # An option missing from a command.
    dict(id="blind-cli-check-no-db",
         fault="check no longer takes --db: `check --db nes20db.xml ...` is refused as an "
               "unknown option",
         file="cli/commandLine.cpp",
         old="     {\"db\", \"verbose\"},",
         new="     {\"verbose\"},"),
    dict(id="blind-cli-info-no-no-hashes",
         fault="info no longer takes --no-hashes: `info --no-hashes FILE` is refused as an "
               "unknown option",
         file="cli/commandLine.cpp",
         old="     {\"json\", \"no-hashes\", \"db\", \"brief\"},",
         new="     {\"json\", \"db\", \"brief\"},"),
    # A folder that cannot be read skipped in silence.
    dict(id="blind-cli-folder-error-silent",
         fault="a folder (or subfolder) that cannot be read is skipped without a word: check "
               "counts nothing as unreadable and exits 0",
         file="document/fileList.cpp",
         old="        into.push_back({folder, \"cannot read the folder: \" + error.message()});\n"
             "        return;",
         new="        return;"),
    dict(id="blind-cli-subfolder-unreadable-skipped",
         fault="a subfolder that cannot be read is left out of the walk without a word (it is "
               "skipped as if empty): check neither names it nor counts it unreadable",
         file="document/fileList.cpp",
         old="        if (isFolder && !link) {",
         new="        if (isFolder && !link &&\n"
             "            fs::directory_iterator(it->path(), ignored) != fs::directory_iterator()) {"),
    dict(id="blind-cli-summary-unreadable-fine",
         fault="check's summary counts files that could not be read among the fine ones",
         file="cli/commands.cpp",
         old="        << count(counts[int(Verdict::fine)], \"fine\")",
         new="        << count(*files - counts[int(Verdict::errors)] - "
             "counts[int(Verdict::warnings)], \"fine\")"),
    # A JSON value taken from the wrong field.
    dict(id="blind-json-timing-name",
         fault="info --json's timingName gives the console type's name",
         file="cli/imageFile.cpp",
         old="                            {\"timing\", \"timingName\"},",
         new="                            {\"consoleType\", \"timingName\"},"),
    dict(id="blind-json-file-size",
         fault="info --json's fileSize is the size the header expects, not the file's",
         file="cli/imageFile.cpp",
         old="    json.Uint64(document.fileSize());",
         new="    json.Uint64(expectedSize(header));"),

    # ------------------------------------------------------------ the window (11)
    # A remembered setting forgotten at the next start.
    dict(id="blind-gui-database-forgotten",
         fault="the header database chosen is not loaded again at the next start (read under "
               "another settings key than it is saved under)",
         file="gui/CheckArea.cpp",
         old="    const QByteArray remembered = QSettings().value(databaseKey).toByteArray();",
         new="    const QByteArray remembered = "
             "QSettings().value(QStringLiteral(\"database\")).toByteArray();"),
    # A recent file with a non-UTF-8 name that cannot be reopened.
    dict(id="blind-gui-recent-non-utf8",
         fault="a recent file whose name is not UTF-8 cannot be reopened from File > Recent: "
               "its name is rebuilt from the shown text, and the file \"does not exist\"",
         file="gui/Gui.cpp",
         old="connect(open, &QAction::triggered, this, [this, path] { LoadFile(path); });",
         new="connect(open, &QAction::triggered, this, [this, name] { "
             "LoadFile(QFile::encodeName(name)); });"),
    # A list filled twice.
    dict(id="blind-gui-findings-twice",
         fault="after an edit or the whole reading the findings list holds the old findings "
               "and the new ones",
         file="gui/CheckArea.cpp",
         old="    int counts[3] = {};\n    ui->lstFindings->clear();",
         new="    int counts[3] = {};"),
    dict(id="blind-gui-nes2-lists-refilled",
         fault="the NES 2.0 area's lists (RAM sizes, console, timing, Vs., expansion) get "
               "their items again every time a header is shown",
         file="gui/Nes2Area.cpp",
         old="    filled = true;\n",
         new=""),
    # A hash line shown for the wrong images.
    dict(id="blind-gui-no-trainer-line",
         fault="the \"No trainer\" hash line is shown for images without a trainer (equal to "
               "ROM) and missing for those with one",
         file="gui/CheckArea.cpp",
         old="{\"No trainer\", h.bodyCrc32, h.bodySha1, h.bodySha1 != h.romSha1, true}",
         new="{\"No trainer\", h.bodyCrc32, h.bodySha1, h.bodySha1 == h.romSha1, true}"),
    # The database table.
    dict(id="blind-gui-database-column-ours",
         fault="the database table's database column shows the header's own values: every "
               "row seems to agree while the verdict says it differs",
         file="gui/CheckArea.cpp",
         old="    const QString theirs = valueOf(field, entry->header);",
         new="    const QString theirs = valueOf(field, working);"),
    # A long name shown from its end.
    dict(id="blind-gui-long-name-end",
         fault="a mapper or submapper name too long for its box shows its end, not its start",
         file="gui/Platform.cpp",
         old="    box->setText(text);\n    box->setCursorPosition(0);",
         new="    box->setText(text);"),
    # A wrong text in a message box.
    dict(id="blind-gui-save-question-text",
         fault="the save question's kept text is \"tidied\" to \"Changes have been made. Save "
               "them?\"",
         file="gui/Gui.cpp",
         old="\"Changes have been made.  save them?\"",
         new="\"Changes have been made. Save them?\""),
    dict(id="blind-gui-range-message-swapped",
         fault="a number typed out of range says \"enter a number from 255 to 0\"",
         file="gui/Platform.cpp",
         old=".arg(low).arg(high)",
         new=".arg(high).arg(low)"),
    dict(id="blind-gui-overwrite-reload-swapped",
         fault="in the real Header Changed box, Overwrite reloads the file (the edits are lost) "
               "and Reload writes over the other program's change",
         file="gui/Platform.cpp",
         old="        {Buttons::overwriteReload, QMessageBox::Save, \"Overwrite\", "
             "Answer::overwrite},\n"
             "        {Buttons::overwriteReload, QMessageBox::Discard, \"Reload\", "
             "Answer::reload},",
         new="        {Buttons::overwriteReload, QMessageBox::Save, \"Overwrite\", "
             "Answer::reload},\n"
             "        {Buttons::overwriteReload, QMessageBox::Discard, \"Reload\", "
             "Answer::overwrite},"),
    # An edit not marking the window modified.
    dict(id="blind-gui-edit-not-modified",
         fault="an edit does not mark the window modified (no * in the title) until something "
               "else does",
         file="gui/Gui.cpp",
         old="    Check().headerEdited();\n    setWindowModified(HeaderChanged());",
         new="    Check().headerEdited();"),
]
