"""Boundary faults: each number in the product code that decides a word or a
limit moved by one, or its comparison made strict or loose (a plural at 1 and
2, a cut at 40 or 60 characters, a limit at 4096 characters, 64 KiB, 64 MiB
or 1 TiB, a table's last entry). Written beside the tests, by hand, to find the
limits no test tried at and beside; not a blind list. Run with
``python3 tests/mutants/run.py --blind boundaries.py``; results in
boundaries-results.md."""

def m(id, file, old, new, fault=""):
    return dict(id="bd-" + id, fault=fault or id, file=file, old=old, new=new)

BLIND = [
    m("ext-byte9-le0", "cart/nesHeader.cpp", "raw[9] <= 1 &&", "raw[9] < 1 &&"),
    m("ext-byte8-le15", "cart/nesHeader.cpp", "raw[8] <= 16 &&", "raw[8] < 16 &&"),
    m("ext-byte8-le17", "cart/nesHeader.cpp", "raw[8] <= 16 &&", "raw[8] <= 17 &&"),
    m("flag-2-accepted", "cart/nesHeader.cpp", "if (v > 1) {", "if (v > 2) {"),
    m("sizetext-1024-not-unit", "cart/nesHeader.cpp", "value % 1024 == 0 && value >= 1024", "value % 1024 == 0 && value > 1024"),
    m("catalogue-255-extended", "cart/nesNames.cpp", "if (mapper <= 255) {", "if (mapper < 255) {"),
    m("db-one-letter-2", "check/headerDatabase.cpp", 'value.size() == 1 ? "" : "is not one letter"', 'value.size() <= 2 ? "" : "is not one letter"'),
    m("db-game-at-line-plural", "check/headerDatabase.cpp", 'lines.size() == 1 ? "the game at line " : "the games at lines "', 'lines.size() <= 2 ? "the game at line " : "the games at lines "'),
    m("db-shown-4", "check/headerDatabase.cpp", "constexpr std::size_t shown = 5;", "constexpr std::size_t shown = 4;"),
    m("db-shown-6", "check/headerDatabase.cpp", "constexpr std::size_t shown = 5;", "constexpr std::size_t shown = 6;"),
    m("sizewords-1-bytes", "check/imageCheck.cpp", 'return bytes == 1 ? "1 byte" : sizeText(bytes);', 'return sizeText(bytes);'),
    m("pages-1-plural", "check/imageCheck.cpp", 'return number(count) + (count == 1 ? " page" : " pages");', 'return number(count) + (count <= 1 ? " page" : " pages");'),
    m("missing-plural-2", "check/imageCheck.cpp", 'missing.size() == 1 ? " is missing" : " are missing"', 'missing.size() <= 2 ? " is missing" : " are missing"'),
    m("title-61", "check/imageCheck.cpp", "if (title.size() > 60) {", "if (title.size() > 61) {"),
    m("title-59", "check/imageCheck.cpp", "if (title.size() > 60) {", "if (title.size() >= 60) {"),
    m("title-cut-58", "check/imageCheck.cpp", "title = title.substr(0, 57) + \"...\";", "title = title.substr(0, 58) + \"...\";"),
    m("misc-plural", "check/imageCheck.cpp", '(header.miscRoms() == 1 ? " misc ROM" : " misc ROMs")', '(header.miscRoms() <= 2 ? " misc ROM" : " misc ROMs")'),
    m("junk-from-14", "check/imageCheck.cpp", "while (from < 15 && bytes[from] == 0) {", "while (from < 14 && bytes[from] == 0) {"),
    m("byte13-console3-mask", "check/imageCheck.cpp", "console == 3 ? 0xF0 : console == 1 ? 0x00 : 0xFF", "console == 3 ? 0xE0 : console == 1 ? 0x00 : 0xFF"),
    m("extended-console-gt3", "check/imageCheck.cpp", "header.consoleType() != 3 || extended > 2", "header.consoleType() != 3 || extended > 3"),
    m("extended-console-gt1", "check/imageCheck.cpp", "header.consoleType() != 3 || extended > 2", "header.consoleType() != 3 || extended > 1"),
    m("too-short-1-bytes", "check/imageCheck.cpp", '(fileSize == 1 ? " byte" : " bytes")', '(fileSize <= 1 ? " bytes" : " bytes")'),
    m("title-bytes-minus-1", "check/imageCheck.cpp", "(extra == titleBytes || extra == titleBytes - 1) &&", "(extra == titleBytes) &&"),
    m("utf8-c2-c1", "document/imageDocument.cpp", "(lead >= 0x80 && lead < 0xC2)", "(lead >= 0x80 && lead < 0xC0)"),
    m("utf8-f4-f5", "document/imageDocument.cpp", "lead > 0xF4 ||", "lead > 0xF5 ||"),
    m("summary-count-1", "document/imageDocument.cpp", "(count == 1 ? word.one : word.many)", "(count <= 2 ? word.one : word.many)"),
    m("differs-1-field", "document/imageDocument.cpp", ': differing == 1 ? "differs in 1 field"', ': differing == 2 ? "differs in 1 field"'),
    m("repair-1-image", "document/repair.cpp", '(outcomes.size() == 1 ? " image" : " images")', '(outcomes.size() <= 2 ? " image" : " images")'),
    m("journal-number-2", "document/repair.cpp", 'base + (number == 1 ? std::string() : "-" + std::to_string(number)) + ".jsonl"', 'base + (number == 1 ? std::string() : "-" + std::to_string(number + 1)) + ".jsonl"'),
    m("hex-0x-2", "cli/commands.cpp", "text.size() > 2 && text[0] == '0'", "text.size() > 3 && text[0] == '0'"),
    m("key-equals-0", "cli/commands.cpp", "equals != std::string::npos && equals > 0 &&", "equals != std::string::npos &&"),
    m("wrap-79", "cli/commands.cpp", "if (line.size() + item.size() > 78) {", "if (line.size() + item.size() > 79) {"),
    m("wrap-empty-21", "cli/commands.cpp", "text += line.size() > 21 ? line + \"\\n\" : std::string();", "text += line.size() > 22 ? line + \"\\n\" : std::string();"),
    m("files-1", "cli/commands.cpp", '*files == 1 ? "file: " : "files: "', '*files <= 2 ? "file: " : "files: "'),
    m("entries-1", "cli/commands.cpp", '(entries->size() == 1 ? " entry: " : " entries: ")', '(entries->size() <= 2 ? " entry: " : " entries: ")'),
    m("label-18-17", "cli/imageFile.cpp", "label.size() < 18 ? 18 - label.size() : 1", "label.size() < 17 ? 18 - label.size() : 1"),
    m("area-plural-2", "gui/CheckArea.cpp", '.arg(n == 1 ? "" : "s");', '.arg(n <= 2 ? "" : "s");'),
    m("take-fields-2", "gui/CheckArea.cpp", '.arg(chosen.size() == 1 ? "" : "s");', '.arg(chosen.size() <= 2 ? "" : "s");'),
    m("collection-1-image", "gui/Collection.cpp", '(total == 1 ? " image" : " images")', '(total <= 2 ? " image" : " images")'),
    m("refused-19", "gui/Collection.cpp", 'refused.mid(0, 20).join', 'refused.mid(0, 19).join'),
    m("refused-more-21", "gui/Collection.cpp", '(refused.size() > 20 ? QString("\\n(and %1 more)").arg(refused.size() - 20)', '(refused.size() > 21 ? QString("\\n(and %1 more)").arg(refused.size() - 20)'),
    m("sizetext-k-decimals", "gui/Gui.cpp", "QString::number(double(size) / 1024.0, 'f', 3)", "QString::number(double(size) / 1024.0, 'f', 2)"),
    m("grid-column-k4", "gui/Gui.cpp", "k < 4 ? k + 1 : k + 2", "k <= 4 ? k + 1 : k + 2"),
    m("ramitem-1023", "gui/Nes2Area.cpp", "if (bytes < 1024) {", "if (bytes <= 1024) {"),
    m("romform-page-plural", "gui/Nes2Area.cpp", '.arg(pages == 1 ? "" : "s")', '.arg(pages <= 2 ? "" : "s")'),
    m("collection-progress-total0", "gui/Collection.cpp", "total == 0 ? 0 : int(done * 1000 / total)", "total == 0 ? 0 : int(done * 100 / total)"),
]

BLIND += [
    m("db-depth-15", "check/headerDatabase.cpp", "constexpr int maxDepth = 16;", "constexpr int maxDepth = 15;"),
    m("db-depth-ge", "check/headerDatabase.cpp", "if (depth > maxDepth) {", "if (depth >= maxDepth + 2) {"),
    m("db-value-4095", "check/headerDatabase.cpp", "if (std::strlen(pair[1]) > maxValueBytes) {", "if (std::strlen(pair[1]) >= maxValueBytes) {"),
    m("db-text-4097", "check/headerDatabase.cpp", "if (std::strlen(text) > maxValueBytes) {", "if (std::strlen(text) > maxValueBytes + 1) {"),
    m("db-quote-39", "check/headerDatabase.cpp", "std::string(value.substr(0, 40))", "std::string(value.substr(0, 39))"),
    m("db-token-ge", "check/headerDatabase.cpp", "if (length + (next - at) > HeaderDatabase::maxTokenBytes) {", "if (length + (next - at) >= HeaderDatabase::maxTokenBytes) {"),
    m("huge-rom-lt", "check/imageCheck.cpp", "romBytes<part>(header) <= hugeRom ||", "romBytes<part>(header) < hugeRom ||"),
    m("read-margin-32", "check/imageCheck.cpp", "constexpr std::uint64_t readMargin = std::uint64_t(64) << 20;", "constexpr std::uint64_t readMargin = std::uint64_t(32) << 20;"),
    m("nes2-pages-eff-1", "cart/nesHeader.h", "static constexpr int maxNes2Pages = 0xEFF;", "static constexpr int maxNes2Pages = 0xEFE;"),
    m("ines-pages-254", "cart/nesHeader.h", "int maxPages() const { return isNes2() ? maxNes2Pages : 255; }", "int maxPages() const { return isNes2() ? maxNes2Pages : 254; }"),
    m("ines-mapper-254", "cart/nesHeader.h", "int maxMapper() const { return isNes2() ? 4095 : 255; }", "int maxMapper() const { return isNes2() ? 4095 : 254; }"),
    m("nes2-mapper-4094", "cart/nesHeader.h", "int maxMapper() const { return isNes2() ? 4095 : 255; }", "int maxMapper() const { return isNes2() ? 4094 : 255; }"),
    m("unit-mb-decimal", "cart/nesHeader.cpp", '{"MB", 1048576}', '{"MB", 1000000}'),
    m("unit-kb-missing", "cart/nesHeader.cpp", '{"K", 1024},     {"KB", 1024},', '{"K", 1024},     {"KB", 1000},'),
    m("headerless-dot-0", "document/repair.cpp", "dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name", "dot != std::string::npos ? name.substr(0, dot) : name"),
    m("journal-cut-line1", "document/repair.cpp", "if (end == std::string::npos && number > 1) {", "if (end == std::string::npos && number >= 1) {"),
    m("db-words-single-letters", "document/repair.cpp", "if (word.size() > 1 && !linkingWord &&", "if (word.size() > 0 && !linkingWord &&"),
    m("preview-first-blank", "gui/Collection.cpp", 'html += (i == 0 ? "" : " ") +', 'html += " " +'),
    m("trailing-run-whole-block", "check/imageCheck.cpp", "if (at > 0 || byte != last) {", "if (at > 0) {"),
    m("prg-unit-choice", "check/imageCheck.cpp", "header.chrRomBytes() == 0 && extra % NesHeader::prgUnit == 0 ? prgRom : chrRom;", "extra % NesHeader::prgUnit == 0 ? prgRom : chrRom;"),
    m("ram-shift-0", "cart/nesHeader.h", "return shift == 0 ? 0 : std::uint64_t(64) << shift;", "return std::uint64_t(64) << shift;"),
]
