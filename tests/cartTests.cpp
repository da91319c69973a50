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



TEST_F(Cart, LabelIsReturnedAsReadUpToANul) {
    Bytes bytes = image(header(1, 1, 0, 0), 0);
    bytes[2] = 0;
    EXPECT_EQ(inesStrm(make(bytes).c_str()).getLabel(), "NE");
    bytes[0] = 'X';
    bytes[2] = 'Z';
    EXPECT_EQ(inesStrm(make(bytes).c_str()).getLabel(), "XEZ");
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


} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
