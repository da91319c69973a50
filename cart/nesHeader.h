// The header model: every field of an iNES 1.0 or NES 2.0 header, decoded
// from the 16 bytes and encoded back into them. The model holds the bytes
// themselves, so bytes it does not interpret are always kept, and setting
// one field changes only that field's bits.
//
// NES 2.0 layout (byte 7 bits 2-3 = 10):
//   4, 9.0-3   PRG-ROM: 12-bit count of 16 KiB, or 2^E * (2M+1) bytes when
//              the nibble in byte 9 is $F (byte 4 = EEEEEEMM)
//   5, 9.4-7   CHR-ROM: the same with 8 KiB units and byte 5
//   6          mirroring, battery, trainer, four-screen, mapper bits 0-3
//   7          console type (bits 0-1), mark, mapper bits 4-7
//   8          mapper bits 8-11 (bits 0-3), submapper (bits 4-7)
//   10         PRG-RAM (bits 0-3), PRG-NVRAM (bits 4-7): 64 << n bytes
//   11         CHR-RAM (bits 0-3), CHR-NVRAM (bits 4-7): 64 << n bytes
//   12         CPU/PPU timing (bits 0-1)
//   13         Vs. PPU (bits 0-3) and hardware (bits 4-7) for console type 1,
//              extended console type (bits 0-3) for console type 3
//   14         miscellaneous ROMs (bits 0-1)
//   15         default expansion device (bits 0-6)
#pragma once

#include "cartridgeHeader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class HeaderFormat { ines1, nes2, archaic, ines07 };

// Which iNES variant a header is, and why, in words.
struct FormatVerdict {
    HeaderFormat format;
    const char* name; // "iNES 1.0", "NES 2.0", "archaic iNES", "iNES 0.7"
    const char* reason;
};

// The answer of an edit: nothing when it was done, else why the header
// cannot hold the value.
using Refusal = std::optional<std::string>;

class NesHeader {
public:
    static constexpr std::uint64_t prgUnit = 16384;
    static constexpr std::uint64_t chrUnit = 8192;
    static constexpr std::uint64_t trainerBytes = 512;
    // The largest plain page count of NES 2.0 ($EFF: $F marks the exponent form).
    static constexpr int maxNes2Pages = 0xEFF;

    NesHeader() = default;
    explicit NesHeader(const CartridgeHeader& bytes) : raw(bytes) {}
    const CartridgeHeader& bytes() const { return raw; }
    bool operator==(const NesHeader& other) const { return raw == other.raw; }
    bool operator!=(const NesHeader& other) const { return raw != other.raw; }

    // "NES" and $1A in bytes 0-3.
    bool hasMagic() const;
    // Byte 7 bits 2-3 read 10; every NES 2.0 field is decoded then.
    bool isNes2() const { return (raw[7] & 0x0C) == 0x08; }
    FormatVerdict format() const;

    // 0-4095 in NES 2.0, 0-255 otherwise.
    int mapper() const;
    int maxMapper() const { return isNes2() ? 4095 : 255; }
    Refusal setMapper(int mapper);
    int submapper() const;
    Refusal setSubmapper(int submapper);

    // ROM sizes in bytes; an exponent too large for 64 bits saturates.
    std::uint64_t prgRomBytes() const;
    std::uint64_t chrRomBytes() const;
    // Chooses the plain form when it can hold the size, else the exponent
    // form; a size the header holds already keeps its form.
    Refusal setPrgRomBytes(std::uint64_t bytes);
    Refusal setChrRomBytes(std::uint64_t bytes);
    // The plain page count (16 KiB / 8 KiB), or -1 in the exponent form.
    int prgRomPages() const;
    int chrRomPages() const;
    int maxPages() const { return isNes2() ? maxNes2Pages : 255; }
    // Always in the plain form.
    Refusal setPrgRomPages(int pages);
    Refusal setChrRomPages(int pages);
    bool prgRomExponentForm() const { return isNes2() && (raw[9] & 0x0F) == 0x0F; }
    bool chrRomExponentForm() const { return isNes2() && (raw[9] & 0xF0) == 0xF0; }

    // Byte 6 bits 0-3.
    bool verticalMirroring() const { return (raw[6] & 0x01) != 0; }
    bool battery() const { return (raw[6] & 0x02) != 0; }
    bool trainer() const { return (raw[6] & 0x04) != 0; }
    bool fourScreen() const { return (raw[6] & 0x08) != 0; }
    void setVerticalMirroring(bool on) { setBits(6, 0x01, on ? 1 : 0); }
    void setBattery(bool on) { setBits(6, 0x02, on ? 1 : 0); }
    void setTrainer(bool on) { setBits(6, 0x04, on ? 1 : 0); }
    void setFourScreen(bool on) { setBits(6, 0x08, on ? 1 : 0); }

    // RAM sizes of NES 2.0 in bytes: none, or 64 << n for n = 1-15; none in
    // other headers.
    std::uint64_t prgRamBytes() const { return ramBytes(nes2Bits(10, 0x0F)); }
    std::uint64_t prgNvramBytes() const { return ramBytes(nes2Bits(10, 0xF0)); }
    std::uint64_t chrRamBytes() const { return ramBytes(nes2Bits(11, 0x0F)); }
    std::uint64_t chrNvramBytes() const { return ramBytes(nes2Bits(11, 0xF0)); }
    Refusal setPrgRamBytes(std::uint64_t bytes) { return setRam(10, 0x0F, bytes, "PRG-RAM"); }
    Refusal setPrgNvramBytes(std::uint64_t bytes) { return setRam(10, 0xF0, bytes, "PRG-NVRAM"); }
    Refusal setChrRamBytes(std::uint64_t bytes) { return setRam(11, 0x0F, bytes, "CHR-RAM"); }
    Refusal setChrNvramBytes(std::uint64_t bytes) { return setRam(11, 0xF0, bytes, "CHR-NVRAM"); }
    static std::uint64_t ramBytes(int shift) { return shift == 0 ? 0 : std::uint64_t(64) << shift; }

    // Byte 7 bits 0-1: in iNES 1.0 the Vs. System and PlayChoice-10 bits.
    int consoleType() const { return raw[7] & 0x03; }
    Refusal setConsoleType(int type) { return setCode(7, 0x03, type, "console type", false); }
    // The NES 2.0 codes; 0 in other headers.
    int timing() const { return nes2Bits(12, 0x03); }
    int vsPpu() const { return nes2Bits(13, 0x0F); }
    int vsHardware() const { return nes2Bits(13, 0xF0); }
    int extendedConsole() const { return nes2Bits(13, 0x0F); }
    int miscRoms() const { return nes2Bits(14, 0x03); }
    int expansion() const { return nes2Bits(15, 0x7F); }
    Refusal setTiming(int timing) { return setCode(12, 0x03, timing, "timing", true); }
    Refusal setVsPpu(int code) { return setCode(13, 0x0F, code, "Vs. PPU type", true); }
    Refusal setVsHardware(int code) { return setCode(13, 0xF0, code, "Vs. hardware type", true); }
    Refusal setExtendedConsole(int code) {
        return setCode(13, 0x0F, code, "extended console type", true);
    }
    Refusal setMiscRoms(int count) { return setCode(14, 0x03, count, "misc ROM count", true); }
    Refusal setExpansion(int code) { return setCode(15, 0x7F, code, "expansion device", true); }

    // Bytes 8-15 of a header that is not NES 2.0 hold garbage unless they are
    // zero or iNES 1.0 extension data: bytes 11-15 zero, byte 9 (TV system)
    // 0 or 1, byte 8 (PRG-RAM in 8 KiB units) at most 16, byte 10 any flags.
    bool hasGarbage() const;
    bool holdsInes1Extension() const;
    // The header with bytes 8-15 zero.
    NesHeader cleaned() const;

    // The NES 2.0 header that an iNES 1.0 header implies: the mark set,
    // mapper bits 8-11, submapper and size nibbles 0, 8 KiB PRG-NVRAM with
    // the battery bit (else 8 KiB PRG-RAM), 8 KiB CHR-RAM without CHR-ROM,
    // NTSC timing, no misc ROMs, expansion device unspecified. An archaic or
    // iNES 0.7 header's byte 7 is an old tool's junk: the mapper comes from
    // byte 6 alone and byte 7 keeps only the mark.
    NesHeader toNes2() const;
    // The iNES 1.0 header of an NES 2.0 one, losing whatever bytes 8-15 held.
    NesHeader toInes1() const;
    // True for an NES 2.0 header that iNES 1.0 holds without loss.
    bool convertsToInes1WithoutLoss() const;

private:
    int nes2Bits(int index, std::uint8_t mask) const;
    void setBits(int index, std::uint8_t mask, int value);
    Refusal setCode(int index, std::uint8_t mask, int value, const char* what, bool nes2Only);
    Refusal setRam(int index, std::uint8_t mask, std::uint64_t bytes, const char* what);
    Refusal setRomBytes(int lsb, std::uint8_t nibbleMask, std::uint64_t unit, std::uint64_t bytes,
                        const char* what, bool keepForm);
    std::uint64_t romBytes(int lsb, std::uint8_t nibbleMask, std::uint64_t unit) const;
    int romPages(int lsb, std::uint8_t nibbleMask) const;

    CartridgeHeader raw{};
};

// ---------------------------------------------------------------- fields by name

enum class FieldKind { number, flag, mirroring, size };

// One field of the header, reached by its stable name: the command line's
// FIELD=VALUE, the keys of its JSON, and the header database comparison.
struct HeaderField {
    const char* key;   // "mapper", "prgRomBytes", ...
    const char* label; // "Mapper", "PRG-ROM size", ...
    FieldKind kind;
    bool nes2Only;
    std::uint16_t bytes; // the header bytes it lives in: bit i for byte i
    std::uint64_t (*get)(const NesHeader&);
    Refusal (*set)(NesHeader&, std::uint64_t);
};

// Every field, in the order a user reads them.
extern const HeaderField headerFields[];
extern const int headerFieldCount;
// The field named `key`, or nullptr.
const HeaderField* findField(std::string_view key);
// The fields an NES 2.0 header would lose in iNES 1.0 (none for another
// header), and the same as a list of keys for a message ("timing,
// prgRamBytes"; "bytes 8-15" when only bits no field reads would go).
std::vector<const HeaderField*> lostInInes1(const NesHeader& header);
std::string lostInInes1Text(const NesHeader& header);
// True when `header` holds `field`: NES 2.0 fields only NES 2.0 headers do.
inline bool holdsField(const NesHeader& header, const HeaderField& field) {
    return !field.nes2Only || header.isNes2();
}
// The name of the field's value where it has one: the mapper's, the
// submapper's meaning, a code's name (the Vs. types for console type 1, the
// extended console type for type 3 only). Nothing otherwise.
std::optional<std::string> valueName(const HeaderField& field, const NesHeader& header);
// The value as a user reads it: "4: T*ROM, HKROM (MMC3)", "8 KiB", "yes",
// "vertical"; "-" for a field the header does not hold.
std::string valueText(const HeaderField& field, const NesHeader& header);

// ---------------------------------------------------------------- words for values

// The name of any mapper number: the catalogue for 0-255 ("Unknown" for a
// gap), the NES 2.0 list above that, else "NES 2.0 mapper N".
std::string mapperNameOf(int mapper);
// The name of a code from one of the NES 2.0 tables, or "Unknown ($xx)".
struct CodeTable;
std::string codeText(const CodeTable& table, int code);
// "8 KiB", "768 bytes", "2 MiB", "none".
std::string sizeText(std::uint64_t bytes);
// A size typed by a user: a number of bytes, or of KiB or MiB with K, KiB, M
// or MiB after it (any case, blanks allowed): "24576", "24K", "2 MiB".
std::optional<std::uint64_t> parseSize(std::string_view text);
