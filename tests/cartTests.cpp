// The cartridge layer on real files: opening, reading, the checked write, the
// header model's fields and encodings, and the mapper catalogue.
#include "TestFiles.h"
#include "inesStrm.h"
#include "mapperCatalogue.h"
#include "nesHeader.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
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

Bytes asBytes(const CartridgeHeader& header, std::size_t payload) {
    return image(Bytes(header.begin(), header.end()), payload);
}

TEST(Stream, OpensOnlyRegularFilesAndNeverCreatesOne) {
    TempDir tmp;
    const std::string file = tmp.file("rom.nes"), locked = tmp.file("locked.nes"),
                      fifo = tmp.file("fifo.nes"), missing = tmp.file("missing.nes");
    writeFile(file, image(header(1, 1, 0, 0), 100));
    writeFile(locked, image(header(1, 1, 0, 0), 100));
    makeReadOnly(locked);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0444), 0);
    struct Case {
        std::string path;
        int open, writable;
        OpenFailure failure;
    } const cases[] = {{file, 1, 1, OpenFailure::none},
                       {locked, 1, 0, OpenFailure::none},
                       {missing, 0, 0, OpenFailure::cannotOpen},
                       {tmp.path(), 0, 0, OpenFailure::notRegularFile},
                       {fifo, 0, 0, OpenFailure::notRegularFile}, // must not block either
                       {"/dev/null", 0, 0, OpenFailure::notRegularFile}};
    for (const Case& c : cases) {
        inesStrm rom(c.path.c_str());
        EXPECT_EQ(rom.isOpen(), c.open) << c.path;
        EXPECT_EQ(rom.isWritable(), c.writable) << c.path << " (running as a user who may write?)";
        EXPECT_EQ(rom.openFailure(), c.failure) << c.path;
    }
    EXPECT_FALSE(exists(missing));
}

TEST(Stream, ReadsValidityCleanlinessAndMarkFromTheFileEveryTime) {
    TempDir tmp;
    struct Case {
        Bytes bytes;
        int valid, clean, nes2;
        std::string label;
    } const cases[] = {
        {image(header(1, 1, 0, 0), 0), 1, 1, 0, "NES"},
        {image(header(1, 1, 0, 0x08), 8), 1, 1, 1, "NES"},
        {image(header(1, 1, 0, 0x0C), 8), 1, 1, 0, "NES"},
        {asBytes(headerOf("4E45531A010100000000000000000001"), 0), 1, 0, 0, "NES"},
        {asBytes(headerOf("4E45531A010100000100000000000000"), 0), 1, 0, 0, "NES"},
        {asBytes(headerOf("6E65731A010100000000000000000000"), 0), 0, 1, 0, "nes"},
        {asBytes(headerOf("4E45531B010100000000000000000000"), 0), 0, 1, 0, "NES"},
        {asBytes(headerOf("4E45001A010100000000000000000000"), 0), 0, 1, 0, "NE"},
        {{'N', 'E', 'S', 0x1A, 1, 1, 0, 8, 0, 0, 0, 0, 0, 0, 0}, 0, 1, 1, "NES"}, // 15 bytes
        {{'N', 'E'}, 0, 1, 0, "NE"},
        {{}, 0, 1, 0, ""},
    };
    for (const Case& c : cases) {
        const std::string path = tmp.file("rom.nes");
        writeFile(path, c.bytes);
        inesStrm rom(path.c_str());
        EXPECT_EQ(rom.isValid(), c.valid) << c.bytes.size() << " bytes";
        EXPECT_EQ(rom.isHeaderClean(), c.clean) << c.bytes.size() << " bytes";
        EXPECT_EQ(rom.isNes2(), c.nes2) << c.bytes.size() << " bytes";
        EXPECT_EQ(rom.getLabel(), c.label);
        EXPECT_EQ(rom.sizeAtOpen(), c.bytes.size());
    }
    // Another program changes byte 7: the next query sees it.
    const std::string path = tmp.file("live.nes");
    writeFile(path, image(header(1, 1, 0, 0), 100));
    inesStrm rom(path.c_str());
    EXPECT_EQ(rom.isNes2(), 0);
    writeFile(path, image(header(1, 1, 0, 0x08), 100));
    EXPECT_EQ(rom.isNes2(), 1);
}

// While one lives, every write of this process fails as on a full disk.
class WritesFail {
public:
    WritesFail() {
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~WritesFail() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved{};
};

// What another program does to the file between the load and the write, and
// what the write must answer. Nothing may reach the file unless `written`.
TEST(Stream, WriteRechecksTheFileFirst) {
    const Bytes original = image(header(2, 1, 0x10, 0), 40000);
    const CartridgeHeader edited = headerOf("4E45531A080447100000000000000000");
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> meanwhile;
        bool overwriteChanges;
        WriteResult result;
    } const cases[] = {
        {"nothing", [](const std::string&) {}, false, WriteResult::written},
        {"replaced",
         [&](const std::string& path) {
             writeFile(path + ".new", original);
             std::rename((path + ".new").c_str(), path.c_str());
         },
         false, WriteResult::moved},
        {"deleted", [](const std::string& path) { std::remove(path.c_str()); }, false,
         WriteResult::moved},
        {"truncated", [](const std::string& path) { ::truncate(path.c_str(), 15); }, false,
         WriteResult::truncated},
        {"no longer iNES",
         [](const std::string& path) {
             writeFile(path, image({'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 40000));
         },
         false, WriteResult::notInes},
        {"header changed",
         [](const std::string& path) { writeFile(path, image(header(3, 1, 0x10, 0), 40000)); },
         false, WriteResult::changedOnDisk},
        {"header changed, overwrite",
         [](const std::string& path) { writeFile(path, image(header(3, 1, 0x10, 0), 40000)); },
         true, WriteResult::written},
        {"made read-only", [](const std::string& path) { makeReadOnly(path); }, false,
         WriteResult::readOnly},
        {"disk full", [](const std::string&) {}, false, WriteResult::failed},
    };
    for (const Case& c : cases) {
        TempDir tmp;
        const std::string path = tmp.file("rom.nes");
        writeFile(path, original);
        inesStrm rom(path.c_str());
        CartridgeHeader loaded{};
        rom.readHeader(&loaded);
        c.meanwhile(path);
        const Bytes before = exists(path) ? readFile(path) : Bytes();
        WriteResult result;
        if (c.result == WriteResult::failed) {
            WritesFail full;
            result = rom.writeHeader(edited, c.overwriteChanges);
        } else {
            result = rom.writeHeader(edited, c.overwriteChanges);
        }
        EXPECT_EQ(int(result), int(c.result)) << c.what;
        if (!exists(path)) {
            continue;
        }
        Bytes expected = before;
        if (c.result == WriteResult::written) {
            std::copy(edited.begin(), edited.end(), expected.begin());
            EXPECT_EQ(rom.base(), edited) << c.what << ": the written header is the new base";
            EXPECT_EQ(rom.writeHeader(edited), WriteResult::written) << c.what;
        }
        EXPECT_EQ(readFile(path), expected) << c.what;
    }
}

TEST(Stream, ReadOnlyFileIsNeverWritten) {
    TempDir tmp;
    const std::string path = tmp.file("rom.nes");
    const Bytes bytes = image(header(1, 1, 0, 0), 100);
    writeFile(path, bytes);
    makeReadOnly(path);
    inesStrm rom(path.c_str());
    CartridgeHeader loaded{};
    rom.readHeader(&loaded);
    EXPECT_EQ(rom.writeHeader(CartridgeHeader{}), WriteResult::readOnly);
    EXPECT_EQ(readFile(path), bytes);
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
                                   1u << 20,
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
            if (field.nes2Only && !before.isNes2()) {
                NesHeader copy = before;
                EXPECT_TRUE(field.set(copy, field.get(copy)).has_value()) << field.key;
                EXPECT_EQ(copy, before) << field.key;
                continue;
            }
            NesHeader same = before;
            EXPECT_FALSE(field.set(same, field.get(before)).has_value()) << field.key;
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
                if (!((field.bytes >> i) & 1)) {
                    EXPECT_EQ(after.bytes()[i], before.bytes()[i]) << field.key << " byte " << i;
                }
            }
            for (int g = 0; g < headerFieldCount; ++g) {
                const HeaderField& other = headerFields[g];
                // Byte 13's low nibble is the Vs. PPU or the extended console type.
                const bool aliased = std::set<std::string>{field.key, other.key} ==
                                     std::set<std::string>{"vsPpu", "extendedConsole"};
                if (g != f && !aliased) {
                    EXPECT_EQ(other.get(after), other.get(before))
                        << field.key << " moved " << other.key;
                }
            }
        }
    }
}

// Bytes 4, 5 and 9 for a size: the plain count where it fits, else 2^E * M.
TEST(Model, RomSizesEncodeInTheirFormOrAreRefused) {
    struct Case {
        bool nes2, prg;
        std::uint64_t bytes;
        int lsb, nibble; // -1: refused
    } const cases[] = {
        {false, true, 255 * 16384ull, 0xFF, 0},
        {false, true, 256 * 16384ull, -1, -1},
        {false, true, 8192, -1, -1},
        {false, false, 255 * 8192ull, 0xFF, 0},
        {true, true, 0, 0x00, 0x0},
        {true, true, 3839 * 16384ull, 0xFF, 0xE},
        {true, true, 3840 * 16384ull, -1, -1},
        {true, true, 4096 * 16384ull, 0x68, 0xF},
        {true, true, 768, 0x21, 0xF},
        {true, true, 6000, -1, -1},
        {true, false, 0x123 * 8192ull, 0x23, 0x1},
        {true, false, 6000, -1, -1},
        {true, false, 7ull << 60, 0xF3, 0xF},
        {true, false, 1, 0x00, 0xF},
    };
    for (const Case& c : cases) {
        NesHeader h(headerOf(c.nes2 ? "4E45531A000000080000000000000000"
                                    : "4E45531A000000000000000000000000"));
        const Refusal refusal = c.prg ? h.setPrgRomBytes(c.bytes) : h.setChrRomBytes(c.bytes);
        ASSERT_EQ(refusal.has_value(), c.lsb < 0) << c.bytes;
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
    struct Ram {
        const char* header;
        std::uint64_t prg, prgNv, chr, chrNv;
    } const rams[] = {{"4E45531A00000008000071F000000000", 128, 8192, 0, 2u << 20},
                      {"4E45531A000000080000001F00000000", 0, 0, 2u << 20, 128},
                      {"4E45531A000000000000777700000000", 0, 0, 0, 0}}; // not NES 2.0
    for (const Ram& r : rams) {
        const NesHeader h(headerOf(r.header));
        EXPECT_EQ(h.prgRamBytes(), r.prg) << r.header;
        EXPECT_EQ(h.prgNvramBytes(), r.prgNv) << r.header;
        EXPECT_EQ(h.chrRamBytes(), r.chr) << r.header;
        EXPECT_EQ(h.chrNvramBytes(), r.chrNv) << r.header;
    }
    NesHeader ram(headerOf(rams[0].header));
    for (std::uint64_t refused : {64ull, 6144ull, 4ull << 20}) {
        EXPECT_TRUE(ram.setChrRamBytes(refused).has_value()) << refused;
    }
}

TEST(Model, FormatsAndConversions) {
    struct Case {
        const char* header;
        HeaderFormat format;
        int mapper;
        const char* asNes2; // toNes2 of it, or ""
        bool backWithoutLoss;
    } const cases[] = {
        {"4E45531A020112000000000000000000", HeaderFormat::ines1, 1,
         "4E45531A020112080000700000000000", false},
        {"4E45531A020013010000000000000000", HeaderFormat::ines1, 1,
         "4E45531A020013090000700700000000", false},
        {"4E45531A020110085000070001000000", HeaderFormat::nes2, 1, "", false},
        {"4E45531A020112080000700000000000", HeaderFormat::nes2, 1, "", true},
        {"4E45531A0201004469736B4475646521", HeaderFormat::archaic, 0x40, "", false},
        {"4E45531A0201000C0000000000000000", HeaderFormat::ines07, 0, "", false},
        {"4E45531A020100000000000000004142", HeaderFormat::ines07, 0, "", false},
    };
    for (const Case& c : cases) {
        const NesHeader h(headerOf(c.header));
        EXPECT_EQ(int(h.format().format), int(c.format)) << c.header;
        EXPECT_NE(*h.format().reason, 0);
        EXPECT_EQ(h.mapper(), c.mapper) << c.header;
        EXPECT_EQ(h.convertsToInes1WithoutLoss(), c.backWithoutLoss) << c.header;
        if (*c.asNes2 != '\0') {
            EXPECT_EQ(h.toNes2(), NesHeader(headerOf(c.asNes2))) << c.header;
            EXPECT_EQ(h.toNes2().toInes1(), h) << c.header;
        }
    }
    NesHeader ines(headerOf("4E45531A020112000000000000000000"));
    EXPECT_TRUE(ines.setMapper(256).has_value());
    EXPECT_TRUE(ines.setSubmapper(1).has_value());
    NesHeader nes2 = ines.toNes2();
    EXPECT_FALSE(nes2.setMapper(4095).has_value());
    EXPECT_EQ(nes2.bytes()[8] & 0x0F, 0x0F);
    EXPECT_TRUE(nes2.setMapper(4096).has_value());
}

TEST(Model, NamesAndWords) {
    struct Name {
        int mapper;
        const char* name;
    } const names[] = {{0, "NROM"},
                       {12, "Unknown"},
                       {40, "SMB2j aka \"The Lost Levels\" Pirate"},
                       {42, "\"Mario Baby\" Pirate"},
                       {52, "\"Mario Party\" 7-in-1 (MMC3)"},
                       {61, "20-in-1"},
                       {231, "20-in-1"},
                       {243, "Sachen '74LS374N'"},
                       {250, "Time Driver Avenger (MMC3 Variant)"},
                       {251, "Unknown"},
                       {4000, "NES 2.0 mapper 4000"}};
    for (const Name& n : names) {
        EXPECT_EQ(mapperNameOf(n.mapper), n.name);
    }
    int named = 0;
    for (int n = 0; n < 256; ++n) {
        named += std::strcmp(mapperName(n), "Unknown") != 0;
    }
    EXPECT_EQ(named, mapperCatalogueSize);
    EXPECT_EQ(sizeText(0), "none");
    EXPECT_EQ(sizeText(768), "768 bytes");
    EXPECT_EQ(sizeText(24576), "24 KiB");
    EXPECT_EQ(sizeText(3u << 20), "3 MiB");
    struct Size {
        const char* text;
        std::uint64_t bytes; // 0 with `refused`
        bool refused;
    } const sizes[] = {{"24576", 24576, false},
                       {" 24K ", 24576, false},
                       {"2 MiB", 2 << 20, false},
                       {"8kb", 8192, false},
                       {"0", 0, false},
                       {"", 0, true},
                       {"K", 0, true},
                       {"-1", 0, true},
                       {"3 GB", 0, true},
                       {"99999999999999999999", 0, true}};
    for (const Size& s : sizes) {
        EXPECT_EQ(parseSize(s.text), s.refused ? std::nullopt : std::optional(s.bytes)) << s.text;
    }
}

} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
