// The cartridge layer on real files: opening, reading, the checked write, the
// header model's fields and encodings, and the names of values.
#include "TestFiles.h"
#include "inesStrm.h"
#include "mapperCatalogue.h"
#include "nesHeader.h"
#include "nesNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace testfiles;

namespace {

CartridgeHeader headerOf(const char* hex) {
    CartridgeHeader bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(std::stoi(std::string(hex + 2 * i, 2), nullptr, 16));
    }
    return bytes;
}

Bytes imageOf(const char* hex, std::size_t payload) {
    const CartridgeHeader bytes = headerOf(hex);
    return image(Bytes(bytes.begin(), bytes.end()), payload);
}

TEST(Stream, OpensOnlyRegularFilesAndNeverCreatesOne) {
    TempDir tmp;
    const std::string file = tmp.file("rom.nes"), locked = tmp.file("locked.nes"),
                      fifo = tmp.file("fifo.nes");
    writeFile(file, image(header(1, 1, 0, 0), 100));
    writeFile(locked, image(header(1, 1, 0, 0), 100));
    makeReadOnly(locked);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0444), 0);
    // clang-format off
    const struct { std::string path; Access access; int open, writable; OpenFailure failure; } cases[] = {
        {file, Access::update, 1, 1, OpenFailure::none},
        {file, Access::readOnly, 1, 0, OpenFailure::none},
        {locked, Access::update, 1, 0, OpenFailure::none},
        {tmp.file("missing.nes"), Access::update, 0, 0, OpenFailure::cannotOpen},
        {tmp.path(), Access::update, 0, 0, OpenFailure::notRegularFile},
        {tmp.path(), Access::readOnly, 0, 0, OpenFailure::notRegularFile},
        {fifo, Access::update, 0, 0, OpenFailure::notRegularFile}, // and does not block
        {fifo, Access::readOnly, 0, 0, OpenFailure::notRegularFile},
        {"/dev/null", Access::update, 0, 0, OpenFailure::notRegularFile}};
    // clang-format on
    for (const auto& c : cases) {
        inesStrm rom(c.path.c_str(), c.access);
        EXPECT_EQ(rom.isOpen(), c.open) << c.path;
        EXPECT_EQ(rom.isWritable(), c.writable) << c.path << " (running as a user who may write?)";
        EXPECT_EQ(rom.openFailure(), c.failure) << c.path;
    }
    EXPECT_FALSE(exists(tmp.file("missing.nes")));
}

TEST(Stream, ReadsValidityCleanlinessAndMarkFromTheFileEveryTime) {
    TempDir tmp;
    // clang-format off
    const struct { Bytes bytes; int valid, clean, nes2; } cases[] = {
        {imageOf("4E45531A010100000000000000000000", 0), 1, 1, 0},
        {imageOf("4E45531A010100080000000000000000", 8), 1, 1, 1},
        {imageOf("4E45531A0101000C0000000000000000", 8), 1, 1, 0},
        {imageOf("4E45531A010100000000000000000001", 0), 1, 0, 0},
        {imageOf("4E45531A010100000100000000000000", 0), 1, 0, 0},
        {imageOf("6E65731A010100000000000000000000", 0), 0, 1, 0},
        {imageOf("4E45531B010100000000000000000000", 0), 0, 1, 0},
        {imageOf("4E45001A010100000000000000000000", 0), 0, 1, 0},
        {{'N', 'E', 'S', 0x1A, 1, 1, 0, 8, 0, 0, 0, 0, 0, 0, 0}, 0, 1, 1}, // 15 bytes
        {{'N', 'E'}, 0, 1, 0},
        {{}, 0, 1, 0}};
    // clang-format on
    for (const auto& c : cases) {
        writeFile(tmp.file("rom.nes"), c.bytes);
        inesStrm rom(tmp.file("rom.nes").c_str());
        EXPECT_EQ(rom.isValid(), c.valid) << c.bytes.size() << " bytes";
        EXPECT_EQ(rom.isHeaderClean(), c.clean) << c.bytes.size() << " bytes";
        EXPECT_EQ(rom.isNes2(), c.nes2) << c.bytes.size() << " bytes";
        EXPECT_EQ(rom.sizeAtOpen(), c.bytes.size());
        CartridgeHeader read;
        read.fill(0xEE); // what the file lacks is left as it was
        rom.readHeader(&read);
        const std::size_t got = std::min<std::size_t>(16, c.bytes.size());
        EXPECT_TRUE(std::equal(read.begin(), read.begin() + got, c.bytes.begin()) &&
                    std::count(read.begin() + got, read.end(), 0xEE) == std::ptrdiff_t(16 - got));
    }
    // Another program changes byte 7: the next query sees it.
    inesStrm rom(tmp.file("rom.nes").c_str());
    writeFile(tmp.file("rom.nes"), image(header(1, 1, 0, 0x08), 100));
    EXPECT_EQ(rom.isNes2(), 1);
}

// What another program does to the file between the load and the write, and
// what the write must answer. Nothing may reach the file unless it is written.
TEST(Stream, WriteRechecksTheFileFirst) {
    const Bytes original = image(header(2, 1, 0x10, 0), 40000),
                other = image(header(3, 1, 0x10, 0), 40000);
    const CartridgeHeader edited = headerOf("4E45531A080447100000000000000000");
    using Meanwhile = std::function<void(const std::string&)>;
    // clang-format off
    const struct { const char* what; Meanwhile meanwhile; bool overwrite; WriteResult result; } cases[] = {
        {"nothing", [](const std::string&) {}, false, WriteResult::written},
        {"moved away, another in its place", [&](const std::string& p) { std::rename(p.c_str(), (p + "~").c_str()), writeFile(p, original); }, false, WriteResult::moved},
        {"deleted", [](const std::string& p) { std::remove(p.c_str()); }, false, WriteResult::moved},
        {"truncated", [](const std::string& p) { ::truncate(p.c_str(), 15); }, false, WriteResult::truncated},
        {"no longer iNES", [](const std::string& p) { writeFile(p, imageOf("504B0304000000000000000000000000", 9)); }, false, WriteResult::notInes},
        {"header changed", [&](const std::string& p) { writeFile(p, other); }, false, WriteResult::changedOnDisk},
        {"header changed, overwrite", [&](const std::string& p) { writeFile(p, other); }, true, WriteResult::written},
        {"made read-only", [](const std::string& p) { makeReadOnly(p); }, false, WriteResult::readOnly},
        {"disk full", [](const std::string&) {}, false, WriteResult::failed}};
    // clang-format on
    for (const auto& c : cases) {
        TempDir tmp;
        const std::string path = tmp.file("rom.nes");
        writeFile(path, original);
        inesStrm rom(path.c_str());
        CartridgeHeader loaded{};
        rom.readHeader(&loaded);
        c.meanwhile(path);
        const Bytes before = exists(path) ? readFile(path) : Bytes();
        {
            std::unique_ptr<WritesFail> full(c.result == WriteResult::failed ? new WritesFail
                                                                             : nullptr);
            EXPECT_EQ(int(rom.writeHeader(edited, c.overwrite)), int(c.result)) << c.what;
        }
        Bytes expected = before;
        if (c.result == WriteResult::written) {
            std::copy(edited.begin(), edited.end(), expected.begin());
            EXPECT_EQ(rom.base(), edited) << c.what << ": the written header is the new base";
            EXPECT_EQ(rom.writeHeader(edited), WriteResult::written) << c.what;
        }
        EXPECT_EQ(exists(path) ? readFile(path) : Bytes(), expected) << c.what;
    }
    // A file read-only from the start is never written either.
    TempDir tmp;
    writeFile(tmp.file("locked.nes"), original);
    makeReadOnly(tmp.file("locked.nes"));
    inesStrm locked(tmp.file("locked.nes").c_str());
    EXPECT_EQ(locked.writeHeader(edited, true), WriteResult::readOnly);
    EXPECT_EQ(readFile(tmp.file("locked.nes")), original);
}

// ---------------------------------------------------------------- the model

// Every field of every applicable header keeps its value when set to it, and
// setting it to another value changes only that field and only its bytes.
TEST(Model, SettingOneFieldChangesOnlyThatField) {
    std::mt19937 rng(20261207);
    const std::uint64_t sizes[] = {0,
                                   128,
                                   768,
                                   8192,
                                   16384,
                                   24576,
                                   1 << 20,
                                   3u << 20,
                                   16384ull * 3839,
                                   16384ull * 3840,
                                   1ull << 40,
                                   6000};
    for (int round = 0; round < 4000; ++round) {
        CartridgeHeader raw;
        for (std::uint8_t& byte : raw) {
            byte = static_cast<std::uint8_t>(rng());
        }
        raw[7] = static_cast<std::uint8_t>((raw[7] & ~0x0C) | (round % 2 ? 0x08 : 0x00));
        const NesHeader before(raw);
        for (int f = 0; f < headerFieldCount; ++f) {
            const HeaderField& field = headerFields[f];
            NesHeader same = before;
            EXPECT_EQ(field.set(same, field.get(before)).has_value(), !holdsField(before, field))
                << field.key;
            EXPECT_EQ(same, before) << field.key << " set to its own value";
            const std::uint64_t value = field.kind == FieldKind::size
                                            ? sizes[rng() % std::size(sizes)]
                                        : field.kind != FieldKind::number ? rng() % 3
                                        : rng() % 2                       ? rng() % 20
                                                                          : rng() % 4200;
            NesHeader after = before;
            if (field.set(after, value)) {
                EXPECT_EQ(after, before) << field.key << " refused " << value << " but changed";
                continue;
            }
            EXPECT_EQ(field.get(after), value) << field.key;
            for (int i = 0; i < 16; ++i) {
                EXPECT_TRUE((field.bytes >> i) & 1 || after.bytes()[i] == before.bytes()[i])
                    << field.key << i;
            }
            for (int g = 0; g < headerFieldCount; ++g) {
                // Byte 13's low nibble is the Vs. PPU or the extended console type.
                const std::set<std::string> pair{field.key, headerFields[g].key};
                if (g != f && pair != std::set<std::string>{"vsPpu", "extendedConsole"}) {
                    EXPECT_EQ(headerFields[g].get(after), headerFields[g].get(before))
                        << field.key << " moved " << headerFields[g].key;
                }
            }
        }
    }
}

// Bytes 4, 5 and 9 for a size: the plain count where it fits, else 2^E * M.
TEST(Model, SizesEncodeInTheirFormOrAreRefused) {
    // clang-format off
    const struct { bool nes2, prg; std::uint64_t bytes; int lsb, nibble; /* -1: refused */ } cases[] = {
        {false, true, 255 * 16384ull, 0xFF, 0}, {false, true, 256 * 16384ull, -1, -1}, {false, true, 8192, -1, -1},
        {false, false, 255 * 8192ull, 0xFF, 0}, {true, true, 0, 0x00, 0x0}, {true, true, 3839 * 16384ull, 0xFF, 0xE},
        {true, true, 3840 * 16384ull, -1, -1}, {true, true, 4096 * 16384ull, 0x68, 0xF}, {true, true, 768, 0x21, 0xF},
        {true, true, 6000, -1, -1}, {true, false, 0x123 * 8192ull, 0x23, 0x1}, {true, false, 7ull << 60, 0xF3, 0xF},
        {true, false, 1, 0x00, 0xF}};
    // clang-format on
    for (const auto& c : cases) {
        NesHeader h(headerOf(c.nes2 ? "4E45531A000000080000000000000000"
                                    : "4E45531A000000000000000000000000"));
        ASSERT_EQ((c.prg ? h.setPrgRomBytes(c.bytes) : h.setChrRomBytes(c.bytes)).has_value(),
                  c.lsb < 0)
            << c.bytes;
        if (c.lsb >= 0) {
            EXPECT_EQ(h.bytes()[c.prg ? 4 : 5], c.lsb) << c.bytes;
            EXPECT_EQ(c.prg ? h.bytes()[9] & 0x0F : h.bytes()[9] >> 4, c.nibble) << c.bytes;
            EXPECT_EQ(c.prg ? h.prgRomBytes() : h.chrRomBytes(), c.bytes);
        }
    }
    // A one-byte exponent form, and one too large for 64 bits, which saturates.
    EXPECT_EQ(NesHeader(headerOf("4E45531A0000000800F0000000000000")).chrRomBytes(), 1u);
    EXPECT_EQ(NesHeader(headerOf("4E45531AFF000008000F000000000000")).prgRomBytes(), UINT64_MAX);
    // RAM sizes are none or 64 << n, from the nibbles of bytes 10 and 11.
    // clang-format off
    const struct { const char* header; std::uint64_t prg, prgNv, chr, chrNv; } rams[] = {
        {"4E45531A00000008000071F000000000", 128, 8192, 0, 2u << 20},
        {"4E45531A000000080000001F00000000", 0, 0, 2u << 20, 128},
        {"4E45531A000000000000777700000000", 0, 0, 0, 0}}; // not NES 2.0
    // clang-format on
    for (const auto& r : rams) {
        const NesHeader h(headerOf(r.header));
        EXPECT_EQ(std::vector<std::uint64_t>(
                      {h.prgRamBytes(), h.prgNvramBytes(), h.chrRamBytes(), h.chrNvramBytes()}),
                  std::vector<std::uint64_t>({r.prg, r.prgNv, r.chr, r.chrNv}))
            << r.header;
    }
    NesHeader ram(headerOf(rams[0].header));
    for (std::uint64_t refused : {64ull, 6144ull, 4ull << 20}) {
        EXPECT_TRUE(ram.setChrRamBytes(refused).has_value()) << refused;
    }
}

TEST(Model, FormatsAndConversions) {
    // clang-format off
    const struct { const char* header; HeaderFormat format; int mapper; const char* asNes2; bool back; } cases[] = {
        {"4E45531A020112000000000000000000", HeaderFormat::ines1, 1, "4E45531A020112080000700000000000", false},
        {"4E45531A020013010000000000000000", HeaderFormat::ines1, 1, "4E45531A020013090000700700000000", false},
        {"4E45531A020110085000070001000000", HeaderFormat::nes2, 1, "", false},
        {"4E45531A020112080000700000000000", HeaderFormat::nes2, 1, "", true},
        {"4E45531A0201004469736B4475646521", HeaderFormat::archaic, 0x40, "", false},
        {"4E45531A0201000C0100000000000000", HeaderFormat::ines07, 0, "", false},
        {"4E45531A020100000000000000004142", HeaderFormat::ines07, 0, "", false}};
    // clang-format on
    for (const auto& c : cases) {
        const NesHeader h(headerOf(c.header));
        EXPECT_EQ(int(h.format().format), int(c.format)) << c.header;
        EXPECT_EQ(h.mapper(), c.mapper) << c.header;
        EXPECT_EQ(h.convertsToInes1WithoutLoss(), c.back) << c.header;
        if (*c.asNes2 != '\0') {
            EXPECT_EQ(h.toNes2(), NesHeader(headerOf(c.asNes2))) << c.header;
            EXPECT_EQ(h.toNes2().toInes1(), h) << c.header;
        }
    }
    NesHeader ines(headerOf(cases[0].header));
    EXPECT_TRUE(ines.setMapper(256).has_value() && ines.setSubmapper(1).has_value());
    NesHeader nes2 = ines.toNes2();
    EXPECT_FALSE(nes2.setMapper(4095).has_value());
    EXPECT_EQ(nes2.bytes()[8] & 0x0F, 0x0F);
    EXPECT_TRUE(nes2.setMapper(4096).has_value() && nes2.setMiscRoms(-1).has_value());
    EXPECT_EQ(nes2.bytes()[14], 0);
}

TEST(Model, NamesAndWords) {
    // clang-format off
    const std::pair<int, const char*> names[] = {{0, "NROM"}, {12, "Unknown"}, {40, "SMB2j aka \"The Lost Levels\" Pirate"},
        {42, "\"Mario Baby\" Pirate"}, {52, "\"Mario Party\" 7-in-1 (MMC3)"}, {61, "20-in-1"}, {85, "Konami VRC7"},
        {231, "20-in-1"}, {243, "Sachen '74LS374N'"}, {250, "Time Driver Avenger (MMC3 Variant)"}, {251, "Unknown"},
        {97, "Kid Niki (J)"}, {255, "Unknown"}, {268, "AA6023 MMC3 multicarts (COOLBOY, MINDKIDS)"},
        {4000, "NES 2.0 mapper 4000"}};
    // clang-format on
    for (const auto& [mapper, name] : names) {
        EXPECT_EQ(mapperNameOf(mapper), name);
    }
    // The catalogue as a whole, to the letter: a fingerprint (FNV-1a) of every name.
    int named = 0;
    std::uint32_t fingerprint = 2166136261u;
    for (int n = 0; n < 256; ++n) {
        named += std::strcmp(mapperName(n), "Unknown") != 0;
        for (const char* c = mapperName(n); *c != '\0'; ++c) {
            fingerprint = (fingerprint ^ std::uint8_t(*c)) * 16777619u;
        }
    }
    EXPECT_EQ(named, mapperCatalogueSize);
    EXPECT_EQ(fingerprint, 3735313464u);
    // Every code of a table is found, in order, with its reserved rows.
    for (const CodeTable* table : {&consoleTypes, &timings, &vsPpuTypes, &vsHardwareTypes,
                                   &extendedConsoleTypes, &expansionDevices}) {
        for (int code = 0; code < table->size; ++code) {
            EXPECT_EQ(table->find(code), table->rows + code);
        }
        EXPECT_EQ(table->find(table->size), nullptr);
    }
    EXPECT_TRUE(expansionDevices.find(0x06)->reserved && vsPpuTypes.find(0xC)->reserved &&
                !vsPpuTypes.find(0xB)->reserved);
    EXPECT_STREQ(deprecatedSubmapperAdvice(16, 2), "use mapper 157");
    EXPECT_EQ(deprecatedSubmapperAdvice(16, 4), nullptr);
    EXPECT_TRUE(hasSubmapperTable(268) && !hasSubmapperTable(0));
    // A value as a user reads it: a name only where the header gives it one.
    // clang-format off
    const struct { const char* field; const char* header; const char* text; } values[] = {
        {"mapper", "4E45531A020130690000000000120004", "99: VS Unisystem"},
        {"vsHardware", "4E45531A020130690000000000120004", "1: Vs. Unisystem, RBI Baseball protection"},
        {"prgRamBytes", "4E45531A020130690000000000120004", "none"},
        {"submapper", "4E45531A000000000000000000000000", "-"},
        {"vsPpu", "4E45531A020110080000000000020000", "2"}, // not a Vs. System
        {"submapper", "4E45531A020190B81000000000000000", "1"}}; // mapper 185 has none such
    // clang-format on
    for (const auto& v : values) {
        EXPECT_EQ(valueText(*findField(v.field), NesHeader(headerOf(v.header))), v.text) << v.field;
    }
    // clang-format off
    const struct { const char* text; std::optional<std::uint64_t> bytes; } sizes[] = {
        {"24576", 24576}, {" 24K ", 24576}, {"2 MiB", 2 << 20}, {"8kb", 8192}, {"0", 0}, {"", {}}, {"K", {}},
        {"-1", {}}, {"3 GB", {}}, {"99999999999999999999", {}}};
    // clang-format on
    for (const auto& s : sizes) {
        EXPECT_EQ(parseSize(s.text), s.bytes) << s.text;
    }
    EXPECT_EQ(sizeText(0) + sizeText(768) + sizeText(24576) + sizeText(3u << 20),
              "none768 bytes24 KiB3 MiB");
}

} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
