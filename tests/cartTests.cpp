// The cartridge header stream and the mapper catalogue, on real files.
#include "TestFiles.h"
#include "inesStrm.h"
#include "mapperCatalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <set>
#include <string>
#include <unistd.h>

using namespace testfiles;

namespace {

class Cart : public ::testing::Test {
protected:
    TempDir tmp;

    std::string make(const Bytes& bytes, const std::string& name = "rom.nes") {
        std::string path = tmp.file(name);
        writeFile(path, bytes);
        return path;
    }
    std::string makeHeader(std::uint8_t prg, std::uint8_t chr, std::uint8_t b6, std::uint8_t b7) {
        return make(image(header(prg, chr, b6, b7), 64));
    }
};

TEST_F(Cart, FallsBackToReadOnlyAndNeverWritesThere) {
    Bytes bytes = image(header(1, 1, 0, 0), 100);
    std::string path = make(bytes);
    makeReadOnly(path);
    inesStrm rom(path.c_str());
    EXPECT_EQ(rom.isOpen(), 1);
    EXPECT_EQ(rom.isWritable(), 0) << "running as a user who may write read-only files?";
    CartridgeHeader changed{};
    EXPECT_EQ(rom.writeHeader(&changed), 0);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(rom.getPrgPages(), 1);
}

TEST_F(Cart, MissingPathIsNotOpenAndNothingIsCreated) {
    std::string path = tmp.file("missing.nes");
    inesStrm rom(path.c_str());
    EXPECT_EQ(rom.isOpen(), 0);
    EXPECT_EQ(rom.isWritable(), 0);
    EXPECT_FALSE(exists(path));
}

TEST_F(Cart, ValidityNeedsLabelByte3AndSixteenBytes) {
    struct Case {
        Bytes bytes;
        int valid;
    } cases[] = {
        {image(header(1, 1, 0, 0), 0), 1},
        {image({'n', 'e', 's', 0x1A, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0), 0},
        {image({'N', 'E', 'S', 0x1B, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0), 0},
        {image({'N', 'E', 0, 0x1A, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0), 0},
        {{'N', 'E', 'S'}, 0},
        {{'N', 'E', 'S', 0x1A}, 0},
        {{'N', 'E', 'S', 0x1A, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0}, // 15 bytes
        {{}, 0},
    };
    for (const Case& c : cases) {
        std::string path = make(c.bytes);
        inesStrm rom(path.c_str());
        EXPECT_EQ(rom.isValid(), c.valid) << "file of " << c.bytes.size() << " bytes";
    }
}

TEST_F(Cart, HeaderIsCleanOnlyWhenEachOfBytes8To15IsZero) {
    Bytes bytes = image(header(1, 1, 0, 0), 32);
    EXPECT_EQ(inesStrm(make(bytes).c_str()).isHeaderClean(), 1);
    for (int offset = 8; offset < 16; ++offset) {
        Bytes dirty = bytes;
        dirty[offset] = 0x01;
        EXPECT_EQ(inesStrm(make(dirty).c_str()).isHeaderClean(), 0) << "byte " << offset;
    }
    // The bytes behind the header never count.
    Bytes tail = image(header(1, 1, 0, 0), 0);
    tail.push_back(0xFF);
    EXPECT_EQ(inesStrm(make(tail).c_str()).isHeaderClean(), 1);
}

TEST_F(Cart, Nes2MarkIsBits2And3OfByte7) {
    struct Case {
        std::uint8_t byte7;
        int nes2;
    } cases[] = {{0x08, 1}, {0xF8, 1}, {0x09, 1}, {0x00, 0}, {0x04, 0}, {0x0C, 0}, {0xF0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(inesStrm(makeHeader(1, 1, 0, c.byte7).c_str()).isNes2(), c.nes2)
            << "byte 7 = " << int(c.byte7);
    }
}

TEST_F(Cart, DecodesEveryFieldAtItsBoundaries) {
    inesStrm full(makeHeader(255, 0, 0x0F, 0x00).c_str());
    EXPECT_EQ(full.getPrgPages(), 255);
    EXPECT_EQ(full.getPrgSize(), 4177920);
    EXPECT_EQ(full.getChrPages(), 0);
    EXPECT_EQ(full.getChrSize(), 0);
    EXPECT_EQ(full.getMirroring(), 1);
    EXPECT_EQ(full.getSRAM(), 1);
    EXPECT_EQ(full.getTrainer(), 1);
    EXPECT_EQ(full.getFourScreen(), 1);
    EXPECT_EQ(full.getMapper(), 0);
    EXPECT_EQ(full.getByte3(), 0x1A);
    EXPECT_EQ(full.getLabel(), "NES");

    inesStrm other(makeHeader(2, 255, 0xF0, 0xFF).c_str());
    EXPECT_EQ(other.getPrgSize(), 32768);
    EXPECT_EQ(other.getChrSize(), 2088960);
    EXPECT_EQ(other.getMirroring(), 0);
    EXPECT_EQ(other.getSRAM(), 0);
    EXPECT_EQ(other.getTrainer(), 0);
    EXPECT_EQ(other.getFourScreen(), 0);
    EXPECT_EQ(other.getMapper(), 255);
}

TEST_F(Cart, MapperTakesHighNibblesOfBytes6And7) {
    struct Case {
        std::uint8_t byte6, byte7;
        int mapper;
    } cases[] = {
        {0x41, 0x10, 20}, {0xF0, 0x0F, 15}, {0x40, 0x00, 4}, {0xA0, 0xF0, 250}, {0x0F, 0x0F, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(inesStrm(makeHeader(1, 1, c.byte6, c.byte7).c_str()).getMapper(), c.mapper);
    }
    EXPECT_STREQ(inesStrm(makeHeader(1, 1, 0xA0, 0xF0).c_str()).getMapperName(),
                 "Time Driver Avenger (MMC3 Variant)");
    EXPECT_STREQ(inesStrm(makeHeader(1, 1, 0xB0, 0xF0).c_str()).getMapperName(), "Unknown");
}

TEST_F(Cart, LabelIsReturnedAsReadUpToANul) {
    Bytes bytes = image(header(1, 1, 0, 0), 0);
    bytes[2] = 0;
    EXPECT_EQ(inesStrm(make(bytes).c_str()).getLabel(), "NE");
    bytes[0] = 'X';
    bytes[2] = 'Z';
    EXPECT_EQ(inesStrm(make(bytes).c_str()).getLabel(), "XEZ");
}

TEST_F(Cart, MissingBytesReadAsEndOfFile) {
    inesStrm rom(make({'N', 'E', 'S', 0x1A}).c_str());
    EXPECT_EQ(rom.getPrgPages(), -1);
    EXPECT_EQ(rom.getPrgSize(), -16384);
    EXPECT_EQ(rom.getChrPages(), -1);
    EXPECT_EQ(rom.getChrSize(), -8192);
    EXPECT_EQ(rom.getMirroring(), 1);
    EXPECT_EQ(rom.getTrainer(), 1);
    EXPECT_EQ(rom.getMapper(), 255);
    EXPECT_EQ(rom.isNes2(), 0);
    EXPECT_EQ(rom.isHeaderClean(), 1);
    CartridgeHeader buffer;
    buffer.fill(0xEE);
    rom.readHeader(&buffer);
    EXPECT_EQ(buffer[3], 0x1A);
    EXPECT_EQ(buffer[4], 0xEE) << "bytes the file lacks stay as they were";
    EXPECT_EQ(fileSize(tmp.file("rom.nes")), 4u);
}

TEST_F(Cart, WriteReplacesOnlyTheHeaderAndIsInTheFileAtOnce) {
    Bytes bytes = image({'N', 'E', 'S', 0x1A, 1, 1, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}, 40000);
    std::string path = make(bytes);
    inesStrm rom(path.c_str());
    CartridgeHeader written = {'N', 'E', 'S', 0x1A, 8, 4, 0x47, 0x10, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(rom.writeHeader(&written), 1);

    // Seen by another reader while the stream is still open.
    Bytes now = readFile(path);
    ASSERT_EQ(now.size(), bytes.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), now.begin()));
    EXPECT_TRUE(std::equal(bytes.begin() + 16, bytes.end(), now.begin() + 16));

    CartridgeHeader back{};
    rom.readHeader(&back);
    EXPECT_EQ(back, written);
    EXPECT_EQ(rom.getPrgPages(), 8);
    EXPECT_EQ(rom.getChrPages(), 4);
    EXPECT_EQ(rom.getMapper(), 0x14);
    EXPECT_EQ(rom.getTrainer(), 1);
    EXPECT_EQ(rom.isHeaderClean(), 1);

    // Writing again after reading keeps the length, also of a bare header.
    ASSERT_EQ(rom.writeHeader(&written), 1);
    EXPECT_EQ(fileSize(path), bytes.size());
    std::string bare = make(header(1, 1, 0, 0), "bare.nes");
    EXPECT_EQ(inesStrm(bare.c_str()).writeHeader(&written), 1);
    EXPECT_EQ(fileSize(bare), 16u);
}

TEST_F(Cart, FailedWriteIsReported) {
    inesStrm full("/dev/full");
    ASSERT_EQ(full.isOpen(), 1);
    ASSERT_EQ(full.isWritable(), 1);
    CartridgeHeader bytes{};
    EXPECT_EQ(full.writeHeader(&bytes), 0);
    EXPECT_EQ(full.writeHeader(&bytes), 0) << "a second failure is reported too";
}

TEST_F(Cart, StreamReadsTheFileAfreshEveryTime) {
    std::string path = makeHeader(1, 1, 0, 0);
    inesStrm rom(path.c_str());
    EXPECT_EQ(rom.getPrgPages(), 1);
    int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    std::uint8_t five = 5;
    ASSERT_EQ(::pwrite(fd, &five, 1, 4), 1);
    ::close(fd);
    EXPECT_EQ(rom.getPrgPages(), 5);
}

TEST(Catalogue, SpotChecksIncludingQuotesAndGaps) {
    EXPECT_STREQ(mapperName(0), "NROM");
    EXPECT_STREQ(mapperName(4), "T*ROM, HKROM (MMC3)");
    EXPECT_STREQ(mapperName(12), "Unknown");
    EXPECT_STREQ(mapperName(61), "20-in-1");
    EXPECT_STREQ(mapperName(231), "20-in-1");
    EXPECT_STREQ(mapperName(40), "SMB2j aka \"The Lost Levels\" Pirate");
    EXPECT_STREQ(mapperName(42), "\"Mario Baby\" Pirate");
    EXPECT_STREQ(mapperName(52), "\"Mario Party\" 7-in-1 (MMC3)");
    EXPECT_STREQ(mapperName(243), "Sachen '74LS374N'");
    EXPECT_EQ(std::strlen(mapperName(40)), 34u);
    EXPECT_EQ(std::strlen(mapperName(42)), 19u);
    EXPECT_EQ(std::strlen(mapperName(52)), 27u);
    EXPECT_EQ(std::strlen(mapperName(243)), 17u);
    EXPECT_STREQ(mapperName(250), "Time Driver Avenger (MMC3 Variant)");
    EXPECT_STREQ(mapperName(251), "Unknown");
    EXPECT_STREQ(mapperName(255), "Unknown");
}

TEST(Catalogue, GapsAreExactlyTheUnnamedNumbers) {
    const int gaps[][2] = {{12, 12},   {14, 14},   {27, 31},   {35, 39},   {48, 48},   {53, 55},
                           {57, 57},   {72, 72},   {74, 74},   {77, 77},   {81, 82},   {84, 84},
                           {86, 86},   {88, 89},   {92, 92},   {96, 96},   {98, 98},   {100, 104},
                           {106, 111}, {114, 117}, {120, 139}, {145, 150}, {152, 179}, {181, 181},
                           {183, 183}, {186, 224}, {230, 230}, {233, 233}, {236, 242}, {244, 245},
                           {247, 249}};
    std::set<int> unnamed;
    for (const auto& gap : gaps) {
        for (int n = gap[0]; n <= gap[1]; ++n) {
            unnamed.insert(n);
        }
    }
    EXPECT_EQ(unnamed.size(), 153u);
    EXPECT_EQ(mapperCatalogueSize + 153, 251);
    for (int n = -1; n <= 256; ++n) {
        const bool named = n >= 0 && n <= 250 && unnamed.count(n) == 0;
        EXPECT_EQ(std::strcmp(mapperName(n), "Unknown") != 0, named) << n;
    }
}

TEST(Samples, EachSampleDecodesAsDescribed) {
    TempDir tmp;
    struct Case {
        const char* name;
        int clean, nes2, mapper, trainer;
    } cases[] = {{"clean-nrom.nes", 1, 0, 0, 0},
                 {"dirty-bytes.nes", 0, 0, 1, 0},
                 {"trainer.nes", 1, 0, 4, 1},
                 {"nes2.nes", 0, 1, 1, 0}};
    for (const Case& c : cases) {
        std::string path = tmp.file(c.name);
        copyFile(samplesDir() + "/" + c.name, path);
        inesStrm rom(path.c_str());
        EXPECT_EQ(rom.isValid(), 1) << c.name;
        EXPECT_EQ(rom.isHeaderClean(), c.clean) << c.name;
        EXPECT_EQ(rom.isNes2(), c.nes2) << c.name;
        EXPECT_EQ(rom.getMapper(), c.mapper) << c.name;
        EXPECT_EQ(rom.getTrainer(), c.trainer) << c.name;
    }
}

} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
