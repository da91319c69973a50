#include "nesHeader.h"

#include "mapperCatalogue.h"
#include "nesNames.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr std::uint8_t nes2Mark = 0x08;
constexpr std::uint8_t markBits = 0x0C;

int lowestBit(std::uint8_t mask) {
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    return shift;
}

std::string number(std::uint64_t value) {
    return std::to_string(value);
}

} // namespace

bool NesHeader::hasMagic() const {
    return raw[0] == 'N' && raw[1] == 'E' && raw[2] == 'S' && raw[3] == 0x1A;
}

FormatVerdict NesHeader::format() const {
    const int mark = raw[7] & markBits;
    if (mark == nes2Mark) {
        return {HeaderFormat::nes2, "NES 2.0", "byte 7 bits 2-3 read 10, the NES 2.0 mark"};
    }
    if (mark == 0x04) {
        return {HeaderFormat::archaic, "archaic iNES",
                "byte 7 bits 2-3 read 01, which no iNES version writes: an old tool's text "
                "probably starts at byte 7"};
    }
    if (mark == markBits) {
        return {HeaderFormat::ines07, "iNES 0.7",
                "byte 7 bits 2-3 read 11, which no iNES version writes"};
    }
    if (std::any_of(raw.begin() + 12, raw.end(), [](std::uint8_t byte) { return byte != 0; })) {
        return {HeaderFormat::ines07, "iNES 0.7",
                "bytes 12-15 are not zero, so bytes 7-15 may hold an old tool's text"};
    }
    return {HeaderFormat::ines1, "iNES 1.0", "byte 7 bits 2-3 read 00 and bytes 12-15 are zero"};
}

void NesHeader::setBits(int index, std::uint8_t mask, int value) {
    const int shift = lowestBit(mask);
    raw[index] = static_cast<std::uint8_t>((raw[index] & ~mask) | ((value << shift) & mask));
}

int NesHeader::nes2Bits(int index, std::uint8_t mask) const {
    return isNes2() ? (raw[index] & mask) >> lowestBit(mask) : 0;
}

Refusal NesHeader::setCode(int index, std::uint8_t mask, int value, const char* what,
                           bool nes2Only) {
    if (nes2Only && !isNes2()) {
        return std::string("only an NES 2.0 header holds the ") + what +
               ": convert the header first";
    }
    const int highest = mask >> lowestBit(mask);
    if (value < 0 || value > highest) {
        return std::string("the ") + what + " is a number from 0 to " + number(highest);
    }
    setBits(index, mask, value);
    return std::nullopt;
}

// ---------------------------------------------------------------- mapper

int NesHeader::mapper() const {
    const int low8 = (raw[7] & 0xF0) | (raw[6] >> 4);
    return isNes2() ? ((raw[8] & 0x0F) << 8) | low8 : low8;
}

Refusal NesHeader::setMapper(int value) {
    if (value < 0 || value > maxMapper()) {
        return "the mapper is a number from 0 to " + number(maxMapper()) +
               (isNes2() ? "" : " in iNES 1.0 (NES 2.0 holds up to 4095)");
    }
    setBits(6, 0xF0, value & 0x0F);
    setBits(7, 0xF0, (value >> 4) & 0x0F);
    if (isNes2()) {
        setBits(8, 0x0F, value >> 8);
    }
    return std::nullopt;
}

int NesHeader::submapper() const {
    return nes2Bits(8, 0xF0);
}

Refusal NesHeader::setSubmapper(int value) {
    return setCode(8, 0xF0, value, "submapper", true);
}

// ---------------------------------------------------------------- ROM sizes

std::uint64_t NesHeader::romBytes(int lsb, std::uint8_t nibbleMask, std::uint64_t unit) const {
    if (!isNes2()) {
        return raw[lsb] * unit;
    }
    const int nibble = (raw[9] & nibbleMask) >> lowestBit(nibbleMask);
    if (nibble != 0x0F) {
        return static_cast<std::uint64_t>((nibble << 8) | raw[lsb]) * unit;
    }
    const int exponent = raw[lsb] >> 2;
    const std::uint64_t multiplier = 2 * (raw[lsb] & 0x03) + 1;
    const std::uint64_t power = std::uint64_t(1) << exponent;
    return power > UINT64_MAX / multiplier ? UINT64_MAX : power * multiplier;
}

int NesHeader::romPages(int lsb, std::uint8_t nibbleMask) const {
    if (!isNes2()) {
        return raw[lsb];
    }
    const int nibble = (raw[9] & nibbleMask) >> lowestBit(nibbleMask);
    return nibble == 0x0F ? -1 : (nibble << 8) | raw[lsb];
}

Refusal NesHeader::setRomBytes(int lsb, std::uint8_t nibbleMask, std::uint64_t unit,
                               std::uint64_t bytes, const char* what, bool keepForm) {
    // A size the header already holds keeps its form, so that writing back
    // what was read changes nothing.
    if (keepForm && romBytes(lsb, nibbleMask, unit) == bytes) {
        return std::nullopt;
    }
    const std::uint64_t pages = bytes / unit;
    const std::string kib = number(unit / 1024) + " KiB";
    if (bytes % unit == 0 && pages <= static_cast<std::uint64_t>(maxPages())) {
        raw[lsb] = static_cast<std::uint8_t>(pages & 0xFF);
        if (isNes2()) {
            setBits(9, nibbleMask, static_cast<int>(pages >> 8));
        }
        return std::nullopt;
    }
    if (!isNes2()) {
        return std::string(what) + " of " + number(bytes) +
               " bytes needs an NES 2.0 header: " + "iNES 1.0 holds whole " + kib +
               " pages, at most 255";
    }
    // The exponent form: 2^E times 1, 3, 5 or 7.
    int exponent = 0;
    std::uint64_t odd = bytes;
    while (odd != 0 && odd % 2 == 0) {
        odd /= 2;
        ++exponent;
    }
    if (odd == 1 || odd == 3 || odd == 5 || odd == 7) {
        raw[lsb] = static_cast<std::uint8_t>((exponent << 2) | ((odd - 1) / 2));
        setBits(9, nibbleMask, 0x0F);
        return std::nullopt;
    }
    return std::string(what) + " of " + number(bytes) + " bytes cannot be stored: NES 2.0 " +
           "holds whole " + kib + " pages (at most 3839) or 2^E times 1, 3, 5 or 7 bytes";
}

std::uint64_t NesHeader::prgRomBytes() const {
    return romBytes(4, 0x0F, prgUnit);
}
std::uint64_t NesHeader::chrRomBytes() const {
    return romBytes(5, 0xF0, chrUnit);
}
Refusal NesHeader::setPrgRomBytes(std::uint64_t bytes) {
    return setRomBytes(4, 0x0F, prgUnit, bytes, "PRG-ROM", true);
}
Refusal NesHeader::setChrRomBytes(std::uint64_t bytes) {
    return setRomBytes(5, 0xF0, chrUnit, bytes, "CHR-ROM", true);
}
int NesHeader::prgRomPages() const {
    return romPages(4, 0x0F);
}
int NesHeader::chrRomPages() const {
    return romPages(5, 0xF0);
}

Refusal NesHeader::setPrgRomPages(int pages) {
    if (pages < 0 || pages > maxPages()) {
        return "PRG-ROM pages are a number from 0 to " + number(maxPages());
    }
    return setRomBytes(4, 0x0F, prgUnit, pages * prgUnit, "PRG-ROM", false);
}

Refusal NesHeader::setChrRomPages(int pages) {
    if (pages < 0 || pages > maxPages()) {
        return "CHR-ROM pages are a number from 0 to " + number(maxPages());
    }
    return setRomBytes(5, 0xF0, chrUnit, pages * chrUnit, "CHR-ROM", false);
}

// ---------------------------------------------------------------- RAM sizes

Refusal NesHeader::setRam(int index, std::uint8_t mask, std::uint64_t bytes, const char* what) {
    if (!isNes2()) {
        return std::string("only an NES 2.0 header holds the ") + what +
               " size: convert the header first";
    }
    for (int shift = 0; shift <= 15; ++shift) {
        if (ramBytes(shift) == bytes) {
            setBits(index, mask, shift);
            return std::nullopt;
        }
    }
    return std::string(what) + " of " + number(bytes) +
           " bytes cannot be stored: NES 2.0 holds none or a power of two from 128 bytes to 2 MiB";
}

// ---------------------------------------------------------------- conversion

bool NesHeader::holdsInes1Extension() const {
    return format().format == HeaderFormat::ines1 &&
           std::all_of(raw.begin() + 11, raw.end(), [](auto b) { return b == 0; }) && raw[9] <= 1 &&
           raw[8] <= 16 && (raw[8] | raw[9] | raw[10]) != 0;
}

bool NesHeader::hasGarbage() const {
    return !isNes2() && !holdsInes1Extension() &&
           std::any_of(raw.begin() + 8, raw.end(), [](std::uint8_t b) { return b != 0; });
}

NesHeader NesHeader::cleaned() const {
    NesHeader clean = *this;
    std::fill(clean.raw.begin() + 8, clean.raw.end(), 0);
    return clean;
}

NesHeader NesHeader::toNes2() const {
    NesHeader converted = *this;
    CartridgeHeader& bytes = converted.raw;
    const HeaderFormat was = format().format;
    const bool junkInByte7 = was == HeaderFormat::archaic || was == HeaderFormat::ines07;
    bytes[7] =
        junkInByte7 ? nes2Mark : static_cast<std::uint8_t>((bytes[7] & ~markBits) | nes2Mark);
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    // iNES 1.0 implies 8 KiB of work RAM, kept by the battery when it is set,
    // and 8 KiB of CHR-RAM when there is no CHR-ROM.
    constexpr std::uint8_t eightKiB = 7;
    bytes[10] = battery() ? eightKiB << 4 : eightKiB;
    bytes[11] = bytes[5] == 0 ? eightKiB : 0;
    return converted;
}

NesHeader NesHeader::toInes1() const {
    NesHeader converted = *this;
    converted.raw[7] = static_cast<std::uint8_t>(converted.raw[7] & ~markBits);
    std::fill(converted.raw.begin() + 8, converted.raw.end(), 0);
    return converted;
}

bool NesHeader::convertsToInes1WithoutLoss() const {
    return isNes2() && toInes1().toNes2() == *this;
}

// ---------------------------------------------------------------- fields by name

namespace {

template <typename Get> std::uint64_t wide(Get value) {
    return static_cast<std::uint64_t>(value);
}

// A code setter given a value that may not fit an int.
template <Refusal (NesHeader::*set)(int)> Refusal setNumber(NesHeader& header, std::uint64_t v) {
    return (header.*set)(v > 0xFFFF ? -1 : static_cast<int>(v));
}

template <void (NesHeader::*set)(bool)> Refusal setFlag(NesHeader& header, std::uint64_t v) {
    if (v > 1) {
        return std::string("a flag is 0 or 1");
    }
    (header.*set)(v != 0);
    return std::nullopt;
}

constexpr std::uint16_t bytesOf(std::initializer_list<int> indexes) {
    std::uint16_t mask = 0;
    for (int index : indexes) {
        mask = static_cast<std::uint16_t>(mask | (1u << index));
    }
    return mask;
}

} // namespace

const HeaderField headerFields[] = {
    {"mapper", "Mapper", FieldKind::number, false, bytesOf({6, 7, 8}),
     [](const NesHeader& h) { return wide(h.mapper()); }, setNumber<&NesHeader::setMapper>},
    {"submapper", "Submapper", FieldKind::number, true, bytesOf({8}),
     [](const NesHeader& h) { return wide(h.submapper()); }, setNumber<&NesHeader::setSubmapper>},
    {"prgRomBytes", "PRG-ROM size", FieldKind::size, false, bytesOf({4, 9}),
     [](const NesHeader& h) { return h.prgRomBytes(); },
     [](NesHeader& h, std::uint64_t v) { return h.setPrgRomBytes(v); }},
    {"chrRomBytes", "CHR-ROM size", FieldKind::size, false, bytesOf({5, 9}),
     [](const NesHeader& h) { return h.chrRomBytes(); },
     [](NesHeader& h, std::uint64_t v) { return h.setChrRomBytes(v); }},
    {"mirroring", "Mirroring", FieldKind::mirroring, false, bytesOf({6}),
     [](const NesHeader& h) { return wide(h.verticalMirroring()); },
     setFlag<&NesHeader::setVerticalMirroring>},
    {"fourScreen", "Four-screen", FieldKind::flag, false, bytesOf({6}),
     [](const NesHeader& h) { return wide(h.fourScreen()); }, setFlag<&NesHeader::setFourScreen>},
    {"battery", "Battery", FieldKind::flag, false, bytesOf({6}),
     [](const NesHeader& h) { return wide(h.battery()); }, setFlag<&NesHeader::setBattery>},
    {"trainer", "Trainer", FieldKind::flag, false, bytesOf({6}),
     [](const NesHeader& h) { return wide(h.trainer()); }, setFlag<&NesHeader::setTrainer>},
    {"consoleType", "Console type", FieldKind::number, false, bytesOf({7}),
     [](const NesHeader& h) { return wide(h.consoleType()); },
     setNumber<&NesHeader::setConsoleType>},
    {"prgRamBytes", "PRG-RAM", FieldKind::size, true, bytesOf({10}),
     [](const NesHeader& h) { return h.prgRamBytes(); },
     [](NesHeader& h, std::uint64_t v) { return h.setPrgRamBytes(v); }},
    {"prgNvramBytes", "PRG-NVRAM", FieldKind::size, true, bytesOf({10}),
     [](const NesHeader& h) { return h.prgNvramBytes(); },
     [](NesHeader& h, std::uint64_t v) { return h.setPrgNvramBytes(v); }},
    {"chrRamBytes", "CHR-RAM", FieldKind::size, true, bytesOf({11}),
     [](const NesHeader& h) { return h.chrRamBytes(); },
     [](NesHeader& h, std::uint64_t v) { return h.setChrRamBytes(v); }},
    {"chrNvramBytes", "CHR-NVRAM", FieldKind::size, true, bytesOf({11}),
     [](const NesHeader& h) { return h.chrNvramBytes(); },
     [](NesHeader& h, std::uint64_t v) { return h.setChrNvramBytes(v); }},
    {"timing", "Timing", FieldKind::number, true, bytesOf({12}),
     [](const NesHeader& h) { return wide(h.timing()); }, setNumber<&NesHeader::setTiming>},
    {"vsPpu", "Vs. PPU", FieldKind::number, true, bytesOf({13}),
     [](const NesHeader& h) { return wide(h.vsPpu()); }, setNumber<&NesHeader::setVsPpu>},
    {"vsHardware", "Vs. hardware", FieldKind::number, true, bytesOf({13}),
     [](const NesHeader& h) { return wide(h.vsHardware()); }, setNumber<&NesHeader::setVsHardware>},
    {"extendedConsole", "Extended console", FieldKind::number, true, bytesOf({13}),
     [](const NesHeader& h) { return wide(h.extendedConsole()); },
     setNumber<&NesHeader::setExtendedConsole>},
    {"miscRoms", "Misc ROMs", FieldKind::number, true, bytesOf({14}),
     [](const NesHeader& h) { return wide(h.miscRoms()); }, setNumber<&NesHeader::setMiscRoms>},
    {"expansion", "Expansion device", FieldKind::number, true, bytesOf({15}),
     [](const NesHeader& h) { return wide(h.expansion()); }, setNumber<&NesHeader::setExpansion>},
};

const int headerFieldCount = static_cast<int>(std::size(headerFields));

const HeaderField* findField(std::string_view key) {
    for (const HeaderField& field : headerFields) {
        if (key == field.key) {
            return &field;
        }
    }
    return nullptr;
}

std::vector<const HeaderField*> lostInInes1(const NesHeader& header) {
    std::vector<const HeaderField*> lost;
    if (!header.isNes2()) {
        return lost;
    }
    const NesHeader kept = header.toInes1().toNes2();
    for (const HeaderField& field : headerFields) {
        if (field.get(kept) != field.get(header)) {
            lost.push_back(&field);
        }
    }
    return lost;
}

std::string lostInInes1Text(const NesHeader& header) {
    std::string text;
    for (const HeaderField* field : lostInInes1(header)) {
        text += (text.empty() ? "" : ", ") + std::string(field->key);
    }
    return text.empty() ? "bytes 8-15" : text;
}

// ---------------------------------------------------------------- words for values

namespace {

using Name = std::optional<std::string>;

// The names behind the fields that have them; a code of byte 13 means
// something for one console type only.
struct FieldNames {
    const char* key;
    Name (*name)(const NesHeader&);
    int onlyForConsoleType;
};

const FieldNames fieldNames[] = {
    {"mapper", [](const NesHeader& h) -> Name { return mapperNameOf(h.mapper()); }, -1},
    {"submapper",
     [](const NesHeader& h) -> Name {
         const char* name = submapperName(h.mapper(), h.submapper());
         return name != nullptr ? Name(name) : std::nullopt;
     },
     -1},
    {"consoleType",
     [](const NesHeader& h) -> Name { return codeText(consoleTypes, h.consoleType()); }, -1},
    {"timing", [](const NesHeader& h) -> Name { return codeText(timings, h.timing()); }, -1},
    {"vsPpu", [](const NesHeader& h) -> Name { return codeText(vsPpuTypes, h.vsPpu()); }, 1},
    {"vsHardware",
     [](const NesHeader& h) -> Name { return codeText(vsHardwareTypes, h.vsHardware()); }, 1},
    {"extendedConsole",
     [](const NesHeader& h) -> Name { return codeText(extendedConsoleTypes, h.extendedConsole()); },
     3},
    {"expansion",
     [](const NesHeader& h) -> Name { return codeText(expansionDevices, h.expansion()); }, -1},
};

} // namespace

std::optional<std::string> valueName(const HeaderField& field, const NesHeader& header) {
    for (const FieldNames& names : fieldNames) {
        if (field.key == std::string_view(names.key)) {
            const bool applies =
                names.onlyForConsoleType < 0 || names.onlyForConsoleType == header.consoleType();
            return applies && holdsField(header, field) ? names.name(header) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::string valueText(const HeaderField& field, const NesHeader& header) {
    if (!holdsField(header, field)) {
        return "-";
    }
    const std::uint64_t value = field.get(header);
    struct KindText {
        FieldKind kind;
        std::string (*text)(std::uint64_t);
    };
    static const KindText kinds[] = {
        {FieldKind::number, [](std::uint64_t v) { return number(v); }},
        {FieldKind::flag, [](std::uint64_t v) { return std::string(v != 0 ? "yes" : "no"); }},
        {FieldKind::mirroring,
         [](std::uint64_t v) { return std::string(v != 0 ? "vertical" : "horizontal"); }},
        {FieldKind::size, sizeText},
    };
    const KindText* kind = std::find_if(std::begin(kinds), std::end(kinds),
                                        [&](const KindText& k) { return k.kind == field.kind; });
    std::string text = kind->text(value);
    if (const Name name = valueName(field, header)) {
        text += ": " + *name;
    }
    return text;
}

std::string mapperNameOf(int mapper) {
    const char* common = commonMapperName(mapper);
    return common != nullptr ? common : catalogueMapperName(mapper);
}

std::string codeText(const CodeTable& table, int code) {
    if (const CodeName* row = table.find(code)) {
        return row->name;
    }
    static const char digits[] = "0123456789ABCDEF";
    return std::string("Unknown ($") + digits[(code >> 4) & 0xF] + digits[code & 0xF] + ")";
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes == 0) {
        return "none";
    }
    if (bytes == UINT64_MAX) {
        return "more than 16 EiB";
    }
    const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    int unit = 0;
    std::uint64_t value = bytes;
    while (value % 1024 == 0 && value >= 1024) {
        value /= 1024;
        ++unit;
    }
    return number(value) + " " + units[unit];
}

std::optional<std::uint64_t> parseSize(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    std::uint64_t value = 0;
    std::size_t at = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const std::uint64_t digit = static_cast<std::uint64_t>(text[at] - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    if (at == 0) {
        return std::nullopt;
    }
    std::string unit;
    for (char c : text.substr(at)) {
        if (!blank(c)) {
            unit += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
    }
    struct Unit {
        const char* name;
        std::uint64_t bytes;
    };
    static const Unit units[] = {
        {"", 1},       {"B", 1},           {"K", 1024},     {"KB", 1024},
        {"KIB", 1024}, {"M", 1024 * 1024}, {"MB", 1048576}, {"MIB", 1024 * 1024}};
    for (const Unit& known : units) {
        if (unit == known.name) {
            if (value > UINT64_MAX / known.bytes) {
                return std::nullopt;
            }
            return value * known.bytes;
        }
    }
    return std::nullopt;
}
