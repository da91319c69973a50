// The cartridge layer on real files: opening, reading, the checked write, the
// header model's fields and encodings, and the names of values.
#include "TestFiles.h"
#include "inesStrm.h"
#include "mapperCatalogue.h"
#include "nesHeader.h"
#include "nesNames.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace testfiles;

namespace {

CartridgeHeader headerOf(const std::string& hex) {
    const Bytes bytes = fromHex(hex);
    CartridgeHeader header{};
    std::copy(bytes.begin(), bytes.end(), header.begin());
    return header;
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
    // A file read-only from the start is never written.
    EXPECT_EQ(inesStrm(locked.c_str()).writeHeader({'N', 'E', 'S', 0x1A}, true),
              WriteResult::readOnly);
}

TEST(Stream, ReadsValidityCleanlinessAndMark) {
    TempDir tmp;
    // clang-format off
    const struct { const char* hex; std::size_t payload; int valid, clean, nes2; } cases[] = {
        {"4E45531A010100000000000000000000", 0, 1, 1, 0},
        {"4E45531A010100080000000000000000", 8, 1, 1, 1},
        {"4E45531A0101000C0000000000000000", 8, 1, 1, 0},
        {"4E45531A010100000000000000000001", 0, 1, 0, 0},
        {"4E45531A010100000100000000000000", 0, 1, 0, 0},
        {"4E45531B010100000000000000000000", 0, 0, 1, 0},
        {"4E45001A010100000000000000000000", 0, 0, 1, 0},
        {"4E45531A0101000800000000000000", 0, 0, 1, 1}}; // 15 bytes
    // clang-format on
    for (const auto& c : cases) {
        const Bytes bytes = image(fromHex(c.hex), c.payload);
        writeFile(tmp.file("rom.nes"), bytes);
        inesStrm rom(tmp.file("rom.nes").c_str());
        EXPECT_EQ(rom.isValid(), c.valid) << c.hex;
        EXPECT_EQ(rom.isHeaderClean(), c.clean) << c.hex;
        EXPECT_EQ(rom.isNes2(), c.nes2) << c.hex;
        CartridgeHeader read;
        read.fill(0xEE); // what the file lacks is left as it was
        rom.readHeader(&read);
        const std::size_t got = std::min<std::size_t>(16, bytes.size());
        EXPECT_TRUE(std::equal(read.begin(), read.begin() + got, bytes.begin()) &&
                    std::count(read.begin() + got, read.end(), 0xEE) == std::ptrdiff_t(16 - got));
    }
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
        {"nothing", [](auto) {}, false, WriteResult::written},
        {"moved away, another in its place",
         [&](auto p) { std::rename(p.c_str(), (p + "~").c_str()), writeFile(p, original); }, false, WriteResult::moved},
        {"deleted", [](auto p) { std::remove(p.c_str()); }, false, WriteResult::moved},
        {"truncated", [](auto p) { ::truncate(p.c_str(), 15); }, false, WriteResult::truncated},
        {"no longer iNES", [](auto p) { writeFile(p, image(fromHex("504B0304"), 30)); }, false, WriteResult::notInes},
        {"header changed", [&](auto p) { writeFile(p, other); }, false, WriteResult::changedOnDisk},
        {"header changed, overwrite", [&](auto p) { writeFile(p, other); }, true, WriteResult::written},
        {"made read-only", [](auto p) { makeReadOnly(p); }, false, WriteResult::readOnly},
        {"disk full", [](auto) {}, false, WriteResult::failed}};
    // clang-format on
    for (const auto& c : cases) {
        TempDir tmp;
        const std::string path = tmp.file("rom.nes");
        writeFile(path, original);
        inesStrm rom(path.c_str());
        CartridgeHeader loaded{};
        rom.readHeader(&loaded);
        c.meanwhile(path);
        Bytes expected = exists(path) ? readFile(path) : Bytes();
        {
            std::unique_ptr<WritesFail> full(c.result == WriteResult::failed ? new WritesFail
                                                                             : nullptr);
            EXPECT_EQ(int(rom.writeHeader(edited, c.overwrite)), int(c.result)) << c.what;
        }
        if (c.result == WriteResult::written) {
            std::copy(edited.begin(), edited.end(), expected.begin());
            EXPECT_EQ(rom.base(), edited) << c.what << ": the written header is the new base";
        }
        EXPECT_EQ(exists(path) ? readFile(path) : Bytes(), expected) << c.what;
    }
}

// ---------------------------------------------------------------- the model

// Every field of every applicable header keeps its value when set to it, and
// setting it to another value changes only that field.
TEST(Model, SettingOneFieldChangesOnlyThatField) {
    std::mt19937 rng(20261207);
    // Numbers and sizes in and out of every field's range.
    // clang-format off
    const std::uint64_t values[] = {0, 1, 2, 3, 7, 15, 16, 19, 100, 127, 255, 256, 4095, 4096, 128, 768,
                                    8192, 16384, 24576, 1u << 20, 2u << 20, 3u << 20, 16384ull * 3839,
                                    16384ull * 3840, 1ull << 40, 6000};
    // clang-format on
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
            const std::uint64_t value = values[rng() % std::size(values)];
            NesHeader after = before;
            if (field.set(after, value)) {
                EXPECT_EQ(after, before) << field.key << " refused " << value << " but changed";
                continue;
            }
            EXPECT_EQ(field.get(after), value) << field.key;
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

// Every form a header comes in, the conversions between them and the limits
// of a form.
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
        }
    }
    NesHeader nes2 = NesHeader(headerOf(cases[0].header)).toNes2();
    EXPECT_FALSE(nes2.setMapper(4095).has_value());
    EXPECT_EQ(nes2.bytes()[8] & 0x0F, 0x0F);
    EXPECT_TRUE(nes2.setMapper(4096).has_value() && nes2.setMiscRoms(-1).has_value());
    EXPECT_EQ(nes2.bytes()[14], 0);
    // The smallest exponent form, and one too large for 64 bits, which saturates.
    EXPECT_EQ(NesHeader(headerOf("4E45531A0000000800F0000000000000")).chrRomBytes(), 1u);
    EXPECT_EQ(NesHeader(headerOf("4E45531AFF000008000F000000000000")).prgRomBytes(), UINT64_MAX);
}

TEST(Model, NamesAndWords) {
    // The catalogue as a whole, to the letter: a fingerprint (FNV-1a) of every name.
    std::uint32_t fingerprint = 2166136261u;
    for (int n = 0; n < 256; ++n) {
        for (const char* c = mapperName(n); *c != '\0'; ++c) {
            fingerprint = (fingerprint ^ std::uint8_t(*c)) * 16777619u;
        }
    }
    EXPECT_EQ(fingerprint, 3735313464u);
    // The codes the format reserves or withdrew.
    EXPECT_TRUE(expansionDevices.find(0x06)->reserved && vsPpuTypes.find(0xC)->reserved &&
                !vsPpuTypes.find(0xB)->reserved);
    EXPECT_TRUE(hasSubmapperTable(268) && !hasSubmapperTable(0));
    // A value as a user reads it: a name only where the header gives it one.
    // clang-format off
    const struct { const char* field; const char* header; const char* text; } values[] = {
        {"mapper", "4E45531A020130690000000000120004", "99: VS Unisystem"},
        {"mapper", "4E45531A0101F0F00000000000000000", "255: 110-in-1 multicart"},
        {"mapper", "4E45531A0101C0080100000000000000", "268: AA6023 MMC3 multicarts (COOLBOY, MINDKIDS)"},
        {"mapper", "4E45531A010100A80F00000000000000", "4000: NES 2.0 mapper 4000"},
        {"vsHardware", "4E45531A020130690000000000120004", "1: Vs. Unisystem, RBI Baseball protection"},
        {"prgRamBytes", "4E45531A020130690000000000120004", "none"},
        {"submapper", "4E45531A000000000000000000000000", "-"},
        {"vsPpu", "4E45531A020110080000000000020000", "2"}, // not a Vs. System
        {"submapper", "4E45531A020190B81000000000000000", "1"}}; // mapper 185 has none such
    // clang-format on
    for (const auto& v : values) {
        EXPECT_EQ(valueText(*findField(v.field), NesHeader(headerOf(v.header))), v.text) << v.field;
    }
    const std::pair<const char*, std::optional<std::uint64_t>> sizes[] = {
        {" 24K ", 24576}, {"2 MiB", 2 << 20}, {"8kb", 8192}, {"0", 0},
        {"", {}},         {"-1", {}},         {"3 GB", {}},  {"99999999999999999999", {}}};
    for (const auto& [text, bytes] : sizes) {
        EXPECT_EQ(parseSize(text), bytes) << text;
    }
}

} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
