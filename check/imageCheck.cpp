#include "imageCheck.h"

#include "nesNames.h"

#include <gcrypt.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <future>
#include <iterator>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint64_t headerBytes = 16;
constexpr std::uint64_t titleBytes = 128;
// Beyond this no real file can hold a ROM part, and sums risk overflowing.
constexpr std::uint64_t hugeRom = std::uint64_t(1) << 40;
// Why a file of at least 16 bytes that is not an iNES image is not one.
constexpr const char* noMagic = "it does not start with \"NES\" and $1A";
// See readLimit.
constexpr std::uint64_t mostCountedParts = std::uint64_t(1) << 30;
constexpr std::uint64_t readMargin = std::uint64_t(64) << 20;

std::uint64_t plus(std::uint64_t a, std::uint64_t b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

std::string number(std::uint64_t value) {
    return std::to_string(value);
}

std::string hexByte(int value) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("$") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

// The header model's size words ("8 KiB", "768 bytes"), one byte in the singular.
std::string sizeWords(std::uint64_t bytes) {
    return bytes == 1 ? "1 byte" : sizeText(bytes);
}

std::string pages(std::uint64_t count) {
    return number(count) + (count == 1 ? " page" : " pages");
}

// A fix's label: "Use 2 CHR-ROM pages", "Use 1 PRG-ROM page".
std::string usePages(std::uint64_t count, const std::string& part) {
    return "Use " + number(count) + " " + part + (count == 1 ? " page" : " pages");
}

// ---------------------------------------------------------------- layout

// The parts of an image in file order, as the header places them.
struct Part {
    const char* name;
    std::uint64_t begin, end;
};

enum PartIndex { headerPart, trainerPart, prgPart, chrPart, partCount };

std::array<Part, partCount> layoutOf(const NesHeader& header) {
    const std::uint64_t trainerEnd = headerBytes + (header.trainer() ? NesHeader::trainerBytes : 0);
    const std::uint64_t prgEnd = plus(trainerEnd, header.prgRomBytes());
    return {{{"the header", 0, headerBytes},
             {"the trainer", headerBytes, trainerEnd},
             {"PRG-ROM", trainerEnd, prgEnd},
             {"CHR-ROM", prgEnd, plus(prgEnd, header.chrRomBytes())}}};
}

// Which parts a file of `fileSize` bytes lacks: "PRG-ROM is cut short (12 KiB
// of 16 KiB) and CHR-ROM is missing".
std::string whatIsCut(const NesHeader& header, std::uint64_t fileSize) {
    std::string cut;
    std::vector<std::string> missing;
    for (const Part& part : layoutOf(header)) {
        if (part.end == part.begin || fileSize >= part.end) {
            continue;
        }
        if (fileSize <= part.begin) {
            missing.push_back(part.name);
        } else {
            cut = std::string(part.name) + " is cut short (" + sizeText(fileSize - part.begin) +
                  " of " + sizeText(part.end - part.begin) + ")";
        }
    }
    std::string gone;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        gone += (i == 0 ? "" : " and ") + missing[i];
    }
    if (!gone.empty()) {
        gone += missing.size() == 1 ? " is missing" : " are missing";
    }
    return cut.empty() ? gone : gone.empty() ? cut : cut + " and " + gone;
}

// ---------------------------------------------------------------- findings

Finding finding(Severity severity, const char* id, std::string message) {
    return {severity, id, std::move(message), std::nullopt, std::string()};
}

Finding withFix(Finding found, const NesHeader& fix, std::string label) {
    found.fix = fix.bytes();
    found.fixLabel = std::move(label);
    return found;
}

// A header with some bits of some bytes cleared.
NesHeader cleared(const NesHeader& header,
                  std::initializer_list<std::pair<int, std::uint8_t>> bits) {
    CartridgeHeader bytes = header.bytes();
    for (const auto& [index, mask] : bits) {
        bytes[index] = static_cast<std::uint8_t>(bytes[index] & ~mask);
    }
    return NesHeader(bytes);
}

// The most ROM the boards of a few common mappers hold (0: no limit known).
// NROM has 32 KiB of PRG-ROM and 8 KiB of CHR-ROM; UxROM and AxROM bank no
// CHR, so the PPU sees 8 KiB of it at most.
struct BoardLimit {
    int mapper;
    std::uint64_t prgRom, chrRom;
};
constexpr BoardLimit boardLimits[] = {{0, 32768, 8192}, {2, 0, 8192}, {7, 0, 8192}};

// The ROM parts whose page counts the data can suggest.
struct RomPart {
    const char* name;
    std::uint64_t unit;
    int (NesHeader::*pages)() const;
    Refusal (NesHeader::*setPages)(int);
    std::uint64_t BoardLimit::*limit;
};

constexpr RomPart prgRom{"PRG-ROM", NesHeader::prgUnit, &NesHeader::prgRomPages,
                         &NesHeader::setPrgRomPages, &BoardLimit::prgRom};
constexpr RomPart chrRom{"CHR-ROM", NesHeader::chrUnit, &NesHeader::chrRomPages,
                         &NesHeader::setChrRomPages, &BoardLimit::chrRom};

// The most of `part` that the boards of `mapper` hold, or 0 when not known.
std::uint64_t boardLimit(int mapper, const RomPart& part) {
    const auto* row =
        std::find_if(std::begin(boardLimits), std::end(boardLimits),
                     [mapper](const BoardLimit& limit) { return limit.mapper == mapper; });
    return row != std::end(boardLimits) ? row->*part.limit : 0;
}

// Mostly printable text, padding aside: what an old tool writes as a title.
bool looksLikeTitle(const std::string& bytes, std::string& title) {
    std::string text = bytes;
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ' || text.back() == '\xFF')) {
        text.pop_back();
    }
    const auto printable = [](char c) { return c >= 0x20 && c <= 0x7E; };
    const auto shown = std::count_if(text.begin(), text.end(), printable);
    if (text.empty() || shown * 4 < static_cast<long>(text.size()) * 3) {
        return false;
    }
    title.clear();
    for (char c : text) {
        title += printable(c) ? c : '?';
    }
    if (title.size() > 60) {
        title = title.substr(0, 57) + "...";
    }
    return true;
}

// Data after the last part that the header does not account for.
Finding leftover(const NesHeader& header, std::uint64_t extra, const FileContent& content) {
    const bool nes2 = header.isNes2();
    const std::string& tail = content.tail;
    const std::string undeclared = nes2 ? ", and byte 14 declares no misc ROM" : "";
    std::string title;
    if ((extra == titleBytes || extra == titleBytes - 1) && tail.size() >= extra &&
        looksLikeTitle(tail.substr(tail.size() - extra), title)) {
        return finding(nes2 ? Severity::warning : Severity::info, "trailing-title",
                       "the file ends with a " + number(extra) +
                           "-byte title that an old tool appended: \"" + title + "\"" +
                           (nes2 ? ", which byte 14 does not declare" : ""));
    }
    if (content.runFrom <= expectedSize(header) &&
        (content.runByte == 0x00 || content.runByte == 0xFF)) {
        return finding(Severity::warning, "file-padding",
                       "the file ends with " + sizeWords(extra) + " of padding (" +
                           hexByte(content.runByte) + ") after the last part" + undeclared);
    }
    if (extra == NesHeader::trainerBytes && !header.trainer()) {
        NesHeader fix = header;
        fix.setTrainer(true);
        return withFix(finding(Severity::warning, "trainer-unflagged",
                               "the file holds 512 bytes more than the header says, as much as a "
                               "trainer: probably a trainer the header does not flag"),
                       fix, "Set the trainer flag");
    }
    const RomPart& part =
        header.chrRomBytes() == 0 && extra % NesHeader::prgUnit == 0 ? prgRom : chrRom;
    const int now = (header.*part.pages)();
    const std::uint64_t more = extra / part.unit;
    Finding found =
        finding(Severity::warning, "file-long",
                "the file holds " + sizeWords(extra) + " more than the header says" + undeclared);
    if (extra % part.unit == 0 && now >= 0 &&
        more <= static_cast<std::uint64_t>(header.maxPages() - now)) {
        const int suggested = now + static_cast<int>(more);
        const std::uint64_t most = boardLimit(header.mapper(), part);
        if (most != 0 && static_cast<std::uint64_t>(suggested) * part.unit > most) {
            found.message += "; mapper " + number(header.mapper()) + " boards hold at most " +
                             sizeText(most) + " of " + part.name;
            return found;
        }
        NesHeader fix = header;
        if (!(fix.*part.setPages)(suggested)) {
            found.message = "the file holds " + sizeText(extra) +
                            " more than the header says: " + part.name + " is probably " +
                            pages(suggested) + ", not " + number(now);
            return withFix(found, fix, usePages(suggested, part.name));
        }
    }
    return found;
}

void checkSize(const NesHeader& header, std::uint64_t fileSize, const FileContent& content,
               std::vector<Finding>& findings) {
    const std::uint64_t expected = expectedSize(header);
    if (expected == UINT64_MAX) {
        findings.push_back(finding(Severity::error, "size-saturated",
                                   "the header claims more than 16 EiB of ROM, more than 64 bits "
                                   "can count: no file can hold it"));
        return;
    }
    if (fileSize < expected) {
        const std::uint64_t missing = expected - fileSize;
        if (header.trainer() && missing == NesHeader::trainerBytes) {
            NesHeader fix = header;
            fix.setTrainer(false);
            findings.push_back(withFix(
                finding(Severity::error, "trainer-missing",
                        "the file is 512 bytes shorter than the header says, as long as the "
                        "trainer it flags: the trainer is probably not there"),
                fix, "Clear the trainer flag"));
        } else if (header.isNes2()) {
            findings.push_back(
                finding(Severity::error, "nes2-sizes",
                        "the NES 2.0 sizes claim " + sizeWords(missing) +
                            " more than the file holds: " + whatIsCut(header, fileSize)));
        } else {
            findings.push_back(
                finding(Severity::error, "file-short",
                        "the file is " + sizeWords(missing) +
                            " shorter than the header says: " + whatIsCut(header, fileSize)));
        }
        return;
    }
    if (fileSize > expected && fileSize > readLimit(header)) {
        findings.push_back(
            finding(Severity::warning, "file-far-larger",
                    "the file is far larger than its header: " + sizeWords(fileSize) +
                        ", where the header places " + sizeWords(expected)));
        return;
    }
    const bool miscDeclared = header.miscRoms() > 0;
    if (fileSize > expected && !miscDeclared) {
        findings.push_back(leftover(header, fileSize - expected, content));
    } else if (fileSize == expected && miscDeclared) {
        findings.push_back(
            withFix(finding(Severity::error, "misc-missing",
                            "byte 14 declares " + number(header.miscRoms()) +
                                (header.miscRoms() == 1 ? " misc ROM" : " misc ROMs") +
                                ", but the file ends right after CHR-ROM"),
                    cleared(header, {{14, 0x03}}), "Declare no misc ROM"));
    }
}

// Texts that old tools are known to have written from byte 7 on.
constexpr const char* knownSignatures[] = {"DiskDude!"};

// The text an old tool left in bytes 7-15, when it is text, and where it starts.
std::string junkText(const CartridgeHeader& bytes, int& from) {
    from = 7;
    while (from < 15 && bytes[from] == 0) {
        ++from;
    }
    std::string text;
    for (int at = from; at < 16 && bytes[at] >= 0x20 && bytes[at] <= 0x7E; ++at) {
        text += static_cast<char>(bytes[at]);
    }
    return text;
}

void checkFormat(const NesHeader& header, std::vector<Finding>& findings) {
    const CartridgeHeader& bytes = header.bytes();
    const bool junk = !header.isNes2() &&
                      std::any_of(bytes.begin() + 12, bytes.end(), [](int b) { return b != 0; });
    const FormatVerdict verdict = header.format();
    // Only byte 6 holds the mapper then: bytes 7-15 are another tool's.
    CartridgeHeader mapperFromByte6 = bytes;
    std::fill(mapperFromByte6.begin() + 7, mapperFromByte6.end(), 0);
    const NesHeader byteSixOnly(mapperFromByte6);
    const std::string useMapper = "Use mapper " + number(byteSixOnly.mapper());
    if (junk) {
        int from = 7;
        const std::string text = junkText(bytes, from);
        const bool signature =
            std::any_of(std::begin(knownSignatures), std::end(knownSignatures),
                        [&text](const char* known) { return text.rfind(known, 0) == 0; });
        const std::string spelt =
            (from == 15 ? std::string("byte 15 spells") : "bytes " + number(from) + "-15 spell") +
            " \"" + text + "\"";
        std::string message = text.empty()
                                  ? "bytes 12-15 are not zero: an old tool left junk in bytes 7-15"
                              : signature ? spelt + ", an old tool's signature, not header data"
                                          : spelt + ": text where the header's bytes belong";
        if (header.mapper() != byteSixOnly.mapper()) {
            message += "; the mapper's high nibble comes from it too, so mapper " +
                       number(header.mapper()) + " is probably " + number(byteSixOnly.mapper());
        }
        findings.push_back(
            withFix(finding(Severity::warning, "diskdude", message), byteSixOnly, useMapper));
    } else if (verdict.format == HeaderFormat::archaic) {
        findings.push_back(withFix(finding(Severity::warning, "archaic",
                                           "archaic iNES header: " + std::string(verdict.reason) +
                                               "; only byte 6 gives the mapper"),
                                   byteSixOnly, useMapper));
    } else if (verdict.format == HeaderFormat::ines07) {
        findings.push_back(finding(Severity::warning, "ines07",
                                   "iNES 0.7 header: " + std::string(verdict.reason)));
    }
}

// ---------------------------------------------------------------- validator rules

// What a rule found: its message, a mending header when one is plain, and a
// severity when it differs from the rule's.
struct Outcome {
    std::string message;
    std::optional<NesHeader> fix;
    std::string fixLabel;
    std::optional<Severity> severity;
};
using Verdict = std::optional<Outcome>;

Outcome fixed(std::string message, const NesHeader& fix, std::string label) {
    return {std::move(message), fix, std::move(label), std::nullopt};
}

Outcome plain(std::string message) {
    return {std::move(message), std::nullopt, std::string(), std::nullopt};
}

template <const RomPart& part> std::uint64_t romBytes(const NesHeader& header) {
    return &part == &prgRom ? header.prgRomBytes() : header.chrRomBytes();
}
template <const RomPart& part> bool exponentForm(const NesHeader& header) {
    return &part == &prgRom ? header.prgRomExponentForm() : header.chrRomExponentForm();
}

Verdict noPrgRom(const NesHeader& header) {
    if (header.prgRomBytes() != 0) {
        return std::nullopt;
    }
    return plain("PRG-ROM is empty: there is no program to run");
}

template <const RomPart& part> Verdict needlessExponent(const NesHeader& header) {
    const std::uint64_t bytes = romBytes<part>(header);
    if (!exponentForm<part>(header) || bytes % part.unit != 0 ||
        bytes / part.unit > static_cast<std::uint64_t>(NesHeader::maxNes2Pages)) {
        return std::nullopt;
    }
    NesHeader fix = header;
    (fix.*part.setPages)(static_cast<int>(bytes / part.unit));
    return fixed(std::string(part.name) + " uses the exponent form for " + sizeText(bytes) +
                     ", which a page count holds",
                 fix, usePages(bytes / part.unit, part.name));
}

// A size that saturated is the size-saturated finding's.
template <const RomPart& part> Verdict hugeExponent(const NesHeader& header) {
    if (!exponentForm<part>(header) || romBytes<part>(header) <= hugeRom ||
        romBytes<part>(header) == UINT64_MAX) {
        return std::nullopt;
    }
    return plain(std::string(part.name) + " claims " + sizeText(romBytes<part>(header)) +
                 ", more than 1 TiB: no real file is that large");
}

Verdict byte13Unused(const NesHeader& header) {
    const int console = header.consoleType();
    const std::uint8_t byte13 = header.bytes()[13];
    const std::uint8_t unused = console == 3 ? 0xF0 : console == 1 ? 0x00 : 0xFF;
    if ((byte13 & unused) == 0) {
        return std::nullopt;
    }
    return fixed("byte 13 is " + hexByte(byte13) + ", but console type " + number(console) +
                     (console == 3 ? " uses only its low nibble" : " does not use it"),
                 cleared(header, {{13, unused}}), "Clear the unused bits of byte 13");
}

Verdict needlessExtendedConsole(const NesHeader& header) {
    const int extended = header.extendedConsole();
    if (header.consoleType() != 3 || extended > 2) {
        return std::nullopt;
    }
    NesHeader fix = header;
    fix.setExtendedConsole(0);
    fix.setConsoleType(extended);
    return fixed("extended console type " + number(extended) + " says what console type " +
                     number(extended) + " in byte 7 says directly",
                 fix, "Use console type " + number(extended));
}

Verdict noChrMemory(const NesHeader& header) {
    if (header.chrRomBytes() != 0 || header.chrRamBytes() != 0 || header.chrNvramBytes() != 0) {
        return std::nullopt;
    }
    NesHeader fix = header;
    fix.setChrRamBytes(8192);
    return fixed("there is neither CHR-ROM nor CHR-RAM: NES 2.0 does not assume 8 KiB of "
                 "CHR-RAM, the header must state it",
                 fix, "Set 8 KiB of CHR-RAM");
}

Verdict nvramWithoutBattery(const NesHeader& header) {
    if (header.battery() || (header.prgNvramBytes() == 0 && header.chrNvramBytes() == 0)) {
        return std::nullopt;
    }
    NesHeader fix = header;
    fix.setBattery(true);
    return fixed("non-volatile RAM is sized, but the battery flag is clear", fix,
                 "Set the battery flag");
}

Verdict batteryWithoutNvram(const NesHeader& header) {
    if (!header.battery() || header.prgNvramBytes() != 0 || header.chrNvramBytes() != 0) {
        return std::nullopt;
    }
    if (header.mapper() == 19) {
        return Outcome{"the battery flag is set with no NVRAM sized: right when it keeps the "
                       "Namco 163's internal 128 bytes",
                       std::nullopt, std::string(), Severity::info};
    }
    if (header.mapper() == 30) {
        return Outcome{"the battery flag is set with no NVRAM sized: right on UNROM 512, where "
                       "it means the game saves to the board's flash",
                       std::nullopt, std::string(), Severity::info};
    }
    return plain("the battery flag is set, but no PRG-NVRAM or CHR-NVRAM is sized");
}

// Bits that NES 2.0 leaves unused.
struct UnusedBits {
    int index;
    std::uint8_t mask;
    const char* where;
};
constexpr UnusedBits nes2UnusedBits[] = {
    {12, 0xFC, "byte 12 bits 2-7"},
    {14, 0xFC, "byte 14 bits 2-7"},
    {15, 0x80, "byte 15 bit 7"},
};

template <std::size_t N>
Verdict bitsSet(const NesHeader& header, const UnusedBits (&rows)[N], const char* what,
                const char* label) {
    std::string where;
    CartridgeHeader bytes = header.bytes();
    for (const UnusedBits& row : rows) {
        if ((bytes[row.index] & row.mask) != 0) {
            where += (where.empty() ? "" : ", ") + std::string(row.where);
            bytes[row.index] = static_cast<std::uint8_t>(bytes[row.index] & ~row.mask);
        }
    }
    if (where.empty()) {
        return std::nullopt;
    }
    return fixed(std::string(what) + where, NesHeader(bytes), label);
}

Verdict unusedBits(const NesHeader& header) {
    return bitsSet(header, nes2UnusedBits, "unused bits are set: ", "Clear the unused bits");
}

// What keeps iNES 1.0 bytes 8-15 from being extension data (bytes 12-15 are
// zero in iNES 1.0).
struct NotExtension {
    int index;
    std::uint8_t most; // the largest value the byte may hold
    const char* what;
};
constexpr NotExtension notExtension[] = {
    {8, 16, "byte 8 above 16"},
    {9, 1, "byte 9 bits 1-7"},
    {11, 0, "byte 11"},
};

// Garbage as the load and clean see it: bytes 8-15 are cleaned alike.
Verdict ines1PaddingSet(const NesHeader& header) {
    if (!header.hasGarbage()) {
        return std::nullopt;
    }
    std::string where;
    for (const NotExtension& row : notExtension) {
        if (header.bytes()[row.index] > row.most) {
            where += (where.empty() ? "" : ", ") + std::string(row.what);
        }
    }
    return fixed("bytes 8-15 are garbage, not iNES 1.0 extension data: " + where, header.cleaned(),
                 "Clear bytes 8-15");
}

// Words for byte 10 of iNES 1.0 (an unofficial extension).
struct FlagWords {
    std::uint8_t mask, value;
    const char* words;
};
constexpr FlagWords byte10Words[] = {
    {0x03, 0x01, "byte 10 TV system dual"}, {0x03, 0x02, "byte 10 TV system PAL"},
    {0x03, 0x03, "byte 10 TV system dual"}, {0x10, 0x10, "byte 10 no PRG-RAM"},
    {0x20, 0x20, "byte 10 bus conflicts"},
};
constexpr std::uint8_t byte10Unused = 0xCC;

// The values of iNES 1.0 bytes 8-10, which the header keeps.
Verdict ines1Extension(const NesHeader& header) {
    if (!header.holdsInes1Extension()) {
        return std::nullopt;
    }
    const CartridgeHeader& bytes = header.bytes();
    std::string values;
    const auto add = [&values](const std::string& words) {
        values += (values.empty() ? "" : ", ") + words;
    };
    if (bytes[8] != 0) {
        add("PRG-RAM " + sizeText(bytes[8] * std::uint64_t(8192))); // in 8 KiB units
    }
    if (bytes[9] != 0) {
        add("TV system PAL");
    }
    for (const FlagWords& flag : byte10Words) {
        if ((bytes[10] & flag.mask) == flag.value) {
            add(flag.words);
        }
    }
    if ((bytes[10] & byte10Unused) != 0) {
        add("byte 10 unused bits " + hexByte(bytes[10] & byte10Unused));
    }
    return plain("iNES 1.0 extension: " + values);
}

// A code the format reserves or withdrew, or one it does not have.
bool reservedCode(const CodeTable& table, int code) {
    const CodeName* row = table.find(code);
    return row == nullptr || row->reserved;
}

Verdict reservedVsPpu(const NesHeader& header) {
    const int code = header.vsPpu();
    if (header.consoleType() != 1 || !reservedCode(vsPpuTypes, code)) {
        return std::nullopt;
    }
    const std::string message =
        "Vs. PPU " + hexByte(code) + " is reserved: " + codeText(vsPpuTypes, code);
    // These three were variants of the 2C03 that $0 now stands for.
    if (code != 0x1 && code != 0x6 && code != 0x7) {
        return plain(message);
    }
    NesHeader fix = header;
    fix.setVsPpu(0);
    return fixed(message, fix, "Use Vs. PPU $00");
}

Verdict reservedVsHardware(const NesHeader& header) {
    const int code = header.vsHardware();
    if (header.consoleType() != 1 || !reservedCode(vsHardwareTypes, code)) {
        return std::nullopt;
    }
    return plain("Vs. hardware type " + hexByte(code) + " is reserved");
}

Verdict reservedExtendedConsole(const NesHeader& header) {
    const int code = header.extendedConsole();
    if (header.consoleType() != 3 || !reservedCode(extendedConsoleTypes, code)) {
        return std::nullopt;
    }
    return plain("extended console type " + hexByte(code) + " is reserved");
}

Verdict unknownExpansion(const NesHeader& header) {
    const int code = header.expansion();
    if (!reservedCode(expansionDevices, code)) {
        return std::nullopt;
    }
    return plain("expansion device " + hexByte(code) +
                 (expansionDevices.find(code) ? " is reserved" : " is not one the tool knows"));
}

Verdict unknownSubmapper(const NesHeader& header) {
    if (header.submapper() == 0 || hasSubmapperTable(header.mapper())) {
        return std::nullopt;
    }
    NesHeader fix = header;
    fix.setSubmapper(0);
    return fixed("submapper " + number(header.submapper()) + " of mapper " +
                     number(header.mapper()) +
                     ", which has no submappers the tool knows: probably junk",
                 fix, "Use submapper 0");
}

Verdict deprecatedSubmapper(const NesHeader& header) {
    const char* advice = deprecatedSubmapperAdvice(header.mapper(), header.submapper());
    if (advice == nullptr) {
        return std::nullopt;
    }
    return plain("submapper " + number(header.submapper()) + " of mapper " +
                 number(header.mapper()) + " is deprecated: " + advice);
}

Verdict trainerWithoutRam(const NesHeader& header) {
    if (!header.trainer() || header.prgRamBytes() != 0 || header.prgNvramBytes() != 0) {
        return std::nullopt;
    }
    NesHeader fix = header;
    header.battery() ? fix.setPrgNvramBytes(8192) : fix.setPrgRamBytes(8192);
    return fixed("the trainer is loaded at $7000-$71FF, but no PRG-RAM is sized there", fix,
                 header.battery() ? "Set 8 KiB of PRG-NVRAM" : "Set 8 KiB of PRG-RAM");
}

Verdict oddMirroring(const NesHeader& header) {
    const int mapper = header.mapper();
    // Mappers 30 and 218 give these two bits meanings of their own.
    if (!header.fourScreen() || !header.verticalMirroring() || mapper == 30 || mapper == 218) {
        return std::nullopt;
    }
    NesHeader fix = header;
    fix.setVerticalMirroring(false);
    return fixed("byte 6 sets both the four-screen and the vertical mirroring bits: four-screen "
                 "is written with bit 0 clear",
                 fix, "Use four-screen");
}

bool always(const NesHeader&) {
    return true;
}
bool nes2(const NesHeader& header) {
    return header.isNes2();
}
bool ines1(const NesHeader& header) {
    return header.format().format == HeaderFormat::ines1;
}

struct Rule {
    const char* id;
    Severity severity;
    bool (*applies)(const NesHeader&);
    Verdict (*check)(const NesHeader&);
};

constexpr Rule rules[] = {
    {"prg-none", Severity::error, always, noPrgRom},
    {"prg-exponent", Severity::warning, nes2, needlessExponent<prgRom>},
    {"chr-exponent", Severity::warning, nes2, needlessExponent<chrRom>},
    {"prg-huge", Severity::error, nes2, hugeExponent<prgRom>},
    {"chr-huge", Severity::error, nes2, hugeExponent<chrRom>},
    {"byte13-unused", Severity::warning, nes2, byte13Unused},
    {"console-extended", Severity::warning, nes2, needlessExtendedConsole},
    {"chr-none", Severity::warning, nes2, noChrMemory},
    {"nvram-no-battery", Severity::warning, nes2, nvramWithoutBattery},
    {"battery-no-nvram", Severity::warning, nes2, batteryWithoutNvram},
    {"unused-bits", Severity::warning, nes2, unusedBits},
    {"vs-ppu-reserved", Severity::warning, nes2, reservedVsPpu},
    {"vs-hardware-reserved", Severity::warning, nes2, reservedVsHardware},
    {"console-reserved", Severity::warning, nes2, reservedExtendedConsole},
    {"expansion-unknown", Severity::warning, nes2, unknownExpansion},
    {"submapper-unknown", Severity::warning, nes2, unknownSubmapper},
    {"submapper-deprecated", Severity::warning, nes2, deprecatedSubmapper},
    {"trainer-no-ram", Severity::warning, nes2, trainerWithoutRam},
    {"mirroring-odd", Severity::warning, always, oddMirroring},
    {"ines-padding", Severity::warning, ines1, ines1PaddingSet},
    {"ines1-extension", Severity::info, ines1, ines1Extension},
};

// ---------------------------------------------------------------- hashing

} // namespace

std::string upperHex(const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

namespace {

// libgcrypt wants its version checked once before anything else is used;
// the hashes need no secure memory.
bool gcryptReady() {
    static const bool ready = [] {
        if (gcry_check_version(GCRYPT_VERSION) == nullptr) {
            return false;
        }
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    return ready;
}

gcry_md_hd_t openSha1() {
    gcry_md_hd_t handle = nullptr;
    if (!gcryptReady() || gcry_md_open(&handle, GCRY_MD_SHA1, 0) != 0) {
        return nullptr;
    }
    return handle;
}

class Sha1 {
public:
    bool ok() const { return context != nullptr; }
    void add(const std::uint8_t* bytes, std::size_t size) {
        if (context) {
            gcry_md_write(context.get(), bytes, size);
        }
    }
    std::string hex() {
        const unsigned char* digest = context ? gcry_md_read(context.get(), GCRY_MD_SHA1) : nullptr;
        return digest != nullptr ? upperHex(digest, gcry_md_get_algo_dlen(GCRY_MD_SHA1))
                                 : std::string();
    }

private:
    std::unique_ptr<gcry_md_handle, decltype(&gcry_md_close)> context{openSha1(), &gcry_md_close};
};

struct Crc {
    uLong value = crc32(0L, Z_NULL, 0);
    std::uint64_t length = 0;

    void add(const std::uint8_t* bytes, std::size_t size) {
        value = crc32(value, bytes, static_cast<uInt>(size));
        length += size;
    }
    Crc then(const Crc& next) const {
        return {crc32_combine(value, next.value, static_cast<z_off_t>(next.length)),
                length + next.length};
    }
    std::string hex() const {
        const unsigned char bytes[] = {
            static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
            static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
        return length == 0 ? std::string() : upperHex(bytes, sizeof bytes);
    }
};

// A range of the file: the bytes of one block that fall into it.
struct Range {
    std::uint64_t begin, end;

    bool empty() const { return begin >= end; }
    template <typename Sink>
    void feed(Sink& sink, std::uint64_t offset, const std::uint8_t* block, std::size_t size) const {
        const std::uint64_t from = std::max(begin, offset);
        const std::uint64_t to = std::min(end, offset + size);
        if (from < to) {
            sink.add(block + (from - offset), static_cast<std::size_t>(to - from));
        }
    }
};

// Every hash of one pass. The work is split in two halves of about the same
// cost, run side by side on each block: the CRCs of the parts and the SHA-1
// of everything after the header on one side, the SHA-1s of PRG-ROM, CHR-ROM
// and (with a trainer) the body on the other.
class Hasher {
public:
    // Only the first `readEnd` bytes of the file are fed.
    Hasher(const NesHeader& header, std::uint64_t fileSize, std::uint64_t readEnd)
        : readEnd(readEnd), toEnd(readEnd == fileSize) {
        const auto layout = layoutOf(header);
        const auto clip = [fileSize](std::uint64_t at) { return std::min(at, fileSize); };
        for (int i = 0; i < partCount; ++i) {
            segments[i] = {clip(layout[i].begin), clip(layout[i].end)};
        }
        segments[partCount] = {clip(layout[chrPart].end), fileSize};
        rom = {clip(headerBytes), fileSize};
        body = {clip(layout[prgPart].begin), fileSize};
        separateBody = header.trainer();
    }

    bool ok() { return romSha.ok() && prgSha.ok() && chrSha.ok() && bodySha.ok(); }

    void crcsAndRom(std::uint64_t offset, const std::uint8_t* block, std::size_t size) {
        for (int i = 0; i <= partCount; ++i) {
            segments[i].feed(crcs[i], offset, block, size);
        }
        rom.feed(romSha, offset, block, size);
    }
    void parts(std::uint64_t offset, const std::uint8_t* block, std::size_t size) {
        segments[prgPart].feed(prgSha, offset, block, size);
        segments[chrPart].feed(chrSha, offset, block, size);
        if (separateBody) {
            body.feed(bodySha, offset, block, size);
        }
    }

    // False when a SHA-1 failed.
    bool result(Hashes& hashes) {
        hashes = Hashes();
        if (!toEnd) {
            hashes.toEnd = false;
            completePart(hashes.prgCrc32, hashes.prgSha1, prgPart, prgSha);
            completePart(hashes.chrCrc32, hashes.chrSha1, chrPart, chrSha);
            return ok();
        }
        const Crc bodyCrc = crcs[prgPart].then(crcs[chrPart]).then(crcs[partCount]);
        const Crc romCrc = crcs[trainerPart].then(bodyCrc);
        hashes.fileCrc32 = crcs[headerPart].then(romCrc).hex();
        const std::string romHash = rom.empty() ? std::string() : romSha.hex();
        hashes.romCrc32 = romCrc.hex();
        hashes.romSha1 = romHash;
        hashes.prgCrc32 = crcs[prgPart].hex();
        hashes.prgSha1 = segments[prgPart].empty() ? std::string() : prgSha.hex();
        hashes.chrCrc32 = crcs[chrPart].hex();
        hashes.chrSha1 = segments[chrPart].empty() ? std::string() : chrSha.hex();
        hashes.bodyCrc32 = bodyCrc.hex();
        hashes.bodySha1 = body.empty() ? std::string() : separateBody ? bodySha.hex() : romHash;
        return ok();
    }

private:
    // A part's hashes when it lies within what was read.
    void completePart(std::string& crc, std::string& sha1, int part, Sha1& sha) {
        if (!segments[part].empty() && segments[part].end <= readEnd) {
            crc = crcs[part].hex();
            sha1 = sha.hex();
        }
    }

    std::uint64_t readEnd;
    bool toEnd;
    // The header, trainer, PRG-ROM, CHR-ROM and whatever follows.
    Range segments[partCount + 1];
    Crc crcs[partCount + 1];
    Range rom, body;
    bool separateBody;
    Sha1 romSha, prgSha, chrSha, bodySha;
};

// Bytes of the file, fed in order.
struct Text {
    std::string& text;
    void add(const std::uint8_t* bytes, std::size_t size) {
        text.append(reinterpret_cast<const char*>(bytes), size);
    }
};

// The run of one byte value that the blocks fed so far end with.
struct TrailingRun {
    std::uint64_t from = 0;
    int byte = -1;

    void add(std::uint64_t offset, const std::uint8_t* block, std::size_t size) {
        if (size == 0) {
            return;
        }
        const std::uint8_t last = block[size - 1];
        std::size_t at = size;
        while (at > 0 && block[at - 1] == last) {
            --at;
        }
        if (at > 0 || byte != last) {
            from = offset + at;
        }
        byte = last;
    }
};

constexpr std::size_t blockBytes = std::size_t(1) << 20;
constexpr std::uint64_t progressEvery = std::uint64_t(4) << 20;
// Below this a second thread costs more than it saves.
constexpr std::uint64_t twoThreadsFrom = std::uint64_t(2) << 20;

// Reads `size` bytes at `offset` in full; answers false with `error` set when
// the system fails or the file ends early.
bool readBlock(int descriptor, std::uint8_t* into, std::size_t size, std::uint64_t offset,
               std::string& error) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got =
            pread(descriptor, into + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "reading the file failed: " + std::generic_category().message(errno);
            return false;
        }
        if (got == 0) {
            error = "the file became shorter while it was read (it ended at byte " +
                    number(offset + done) + ")";
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

const char* severityName(Severity severity) {
    static constexpr const char* names[] = {"error", "warning", "info"};
    return names[static_cast<int>(severity)];
}

std::uint64_t expectedSize(const NesHeader& header) {
    return layoutOf(header)[chrPart].end;
}

std::uint64_t readLimit(const NesHeader& header) {
    return std::min(expectedSize(header), mostCountedParts) + readMargin;
}

FileContent FileContent::ofTail(const std::string& tail, std::uint64_t fileSize) {
    FileContent content;
    content.tail = tail;
    if (tail.empty() || tail.size() > fileSize) {
        return content;
    }
    const std::uint64_t start = fileSize - tail.size();
    if (start <= headerBytes && tail.size() > headerBytes - start) {
        content.afterHeader = tail.substr(static_cast<std::size_t>(headerBytes - start), 16);
    }
    std::size_t at = tail.size();
    while (at > 0 && tail[at - 1] == tail.back()) {
        --at;
    }
    content.runFrom = start + at;
    content.runByte = static_cast<std::uint8_t>(tail.back());
    return content;
}

std::optional<std::string> explainNotInes(const CartridgeHeader& first16, std::uint64_t fileSize) {
    if (fileSize < headerBytes) {
        return "too short for an iNES header: " + number(fileSize) +
               (fileSize == 1 ? " byte" : " bytes");
    }
    if (NesHeader(first16).hasMagic()) {
        return std::nullopt;
    }
    CartridgeHeader mended = first16;
    mended[3] = 0x1A;
    if (NesHeader(mended).hasMagic() && expectedSize(NesHeader(mended)) == fileSize) {
        return "byte 3 is " + hexByte(first16[3]) + ", not $1A; the rest fits the file";
    }
    return std::string(noMagic);
}

std::vector<Finding> checkHeader(const NesHeader& header, std::uint64_t fileSize,
                                 const std::string& tail) {
    return checkHeader(header, fileSize, FileContent::ofTail(tail, fileSize));
}

std::vector<Finding> checkHeader(const NesHeader& header, std::uint64_t fileSize,
                                 const FileContent& content) {
    std::vector<Finding> findings;
    if (const std::optional<std::string> why = explainNotInes(header.bytes(), fileSize)) {
        Finding found = finding(Severity::error, "not-ines",
                                *why == noMagic ? "the file does not start with \"NES\" and $1A: "
                                                  "it is not an iNES image"
                                                : *why);
        // Only byte 3 is wrong when the file is long enough and starts with "NES".
        CartridgeHeader mended = header.bytes();
        mended[3] = 0x1A;
        const bool byte3 = fileSize >= headerBytes && *why != noMagic;
        findings.push_back(byte3 ? withFix(found, NesHeader(mended), "Use $1A in byte 3") : found);
        return findings;
    }
    // A second header makes every part start 16 bytes late: the sizes are
    // checked as if it were not there.
    FileContent shown = content;
    std::uint64_t size = fileSize;
    if (content.afterHeader.compare(0, 4, std::string("NES\x1A", 4)) == 0) {
        findings.push_back(finding(Severity::error, "two-headers",
                                   "the image has two headers: the program starts 16 bytes late"));
        size -= headerBytes;
        shown.runFrom = content.runFrom >= headerBytes ? content.runFrom - headerBytes : 0;
    }
    checkSize(header, size, shown, findings);
    checkFormat(header, findings);
    for (const Rule& rule : rules) {
        if (!rule.applies(header)) {
            continue;
        }
        if (Verdict verdict = rule.check(header)) {
            Finding found{verdict->severity.value_or(rule.severity), rule.id,
                          std::move(verdict->message), std::nullopt, verdict->fixLabel};
            if (verdict->fix) {
                found.fix = verdict->fix->bytes();
            }
            findings.push_back(std::move(found));
        }
    }
    return findings;
}

ImageReport scanImage(int descriptor, const NesHeader& header, const Progress& progress,
                      const std::atomic<bool>* cancel) {
    ImageReport report;
    report.expectedSize = expectedSize(header);
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        report.readError = "the file cannot be examined: " + std::generic_category().message(errno);
        return report;
    }
    if (!S_ISREG(status.st_mode)) {
        report.readError = "not a regular file";
        return report;
    }
    const std::uint64_t fileSize =
        status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    report.fileSize = fileSize;
    // How much is read: a file far larger than its header only as far as its parts.
    const std::uint64_t limit = readLimit(header);
    const std::uint64_t size = fileSize > limit ? std::min(report.expectedSize, limit) : fileSize;

    Hasher hasher(header, fileSize, size);
    if (!hasher.ok()) {
        report.readError = "SHA-1 is not available from the system's crypto library";
        report.findings = checkHeader(header, fileSize);
        return report;
    }
    FileContent content;
    TrailingRun run;
    const Range tailRange =
        size < fileSize ? Range{0, 0} : Range{size > titleBytes ? size - titleBytes : 0, size};
    const Range afterHeader{headerBytes, 2 * headerBytes};
    Text tail{content.tail}, second{content.afterHeader};
    const std::size_t blockSize =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, blockBytes));
    std::vector<std::uint8_t> blocks[2] = {std::vector<std::uint8_t>(blockSize),
                                           std::vector<std::uint8_t>(blockSize)};
    const bool twoThreads = size >= twoThreadsFrom;
    const auto lengthAt = [&](std::uint64_t offset) {
        return static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, size - offset));
    };

    bool readOk =
        size == 0 || readBlock(descriptor, blocks[0].data(), lengthAt(0), 0, report.readError);
    std::uint64_t offset = 0;
    std::uint64_t reported = 0;
    int current = 0;
    while (readOk && offset < size) {
        if (cancel != nullptr && cancel->load()) {
            break;
        }
        const std::uint8_t* block = blocks[current].data();
        const std::size_t length = lengthAt(offset);
        std::future<void> half;
        if (twoThreads) {
            try {
                half = std::async(std::launch::async, [&hasher, offset, block, length] {
                    hasher.crcsAndRom(offset, block, length);
                });
            } catch (const std::system_error&) {
                // No second thread to be had: this one does both halves.
            }
        }
        if (!half.valid()) {
            hasher.crcsAndRom(offset, block, length);
        }
        hasher.parts(offset, block, length);
        tailRange.feed(tail, offset, block, length);
        afterHeader.feed(second, offset, block, length);
        run.add(offset, block, length);
        const std::uint64_t next = offset + length;
        if (next < size) {
            readOk = readBlock(descriptor, blocks[1 - current].data(), lengthAt(next), next,
                               report.readError);
        }
        if (half.valid()) {
            half.get();
        }
        offset = next;
        current = 1 - current;
        if (progress && (offset - reported >= progressEvery || offset == size)) {
            progress(offset, size);
            reported = offset;
        }
    }
    report.complete = readOk && offset == size;
    if (report.complete && !hasher.result(report.hashes)) {
        report.complete = false;
        report.hashes = Hashes();
        report.readError = "computing a SHA-1 of the file failed";
    }
    if (report.complete && size == fileSize) {
        content.runFrom = run.byte < 0 ? UINT64_MAX : run.from;
        content.runByte = run.byte;
    }
    report.findings = checkHeader(header, fileSize, report.complete ? content : FileContent());
    report.content = std::move(content);
    return report;
}

std::optional<WholeFileHashes> hashWholeFile(int descriptor) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0));
    Sha1 sha;
    Crc crc;
    std::vector<std::uint8_t> block(
        static_cast<std::size_t>(std::min<std::uint64_t>(size, blockBytes)));
    std::string error;
    for (std::uint64_t offset = 0; offset < size; offset += block.size()) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - offset));
        if (!readBlock(descriptor, block.data(), length, offset, error)) {
            return std::nullopt;
        }
        sha.add(block.data(), length);
        crc.add(block.data(), length);
    }
    const std::string sha1 = sha.hex();
    return sha.ok() ? std::optional<WholeFileHashes>({crc.hex(), sha1}) : std::nullopt;
}
