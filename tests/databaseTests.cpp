// The header database reader: every field read into its place, each hostile
// shape refused with its line, duplicates noted, huge files ended fast.
#include "TestFiles.h"
#include "headerDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>

using namespace testfiles;

namespace {

using Clock = std::chrono::steady_clock;

// A game with the data whose hashes are 8 and 40 times `digit`.
std::string game(const std::string& inside, char digit = '0') {
    return "<game><rom size='1' crc32='" + std::string(8, digit) + "' sha1='" +
           std::string(40, digit) + "'/>" + inside + "</game>\n";
}
const std::string enough = "<prgrom size='16384'/><pcb mapper='0'/>";

// Each field has its own value; the bytes are worked out by hand from the
// layout of bytes 4-15 (see the comment on each). Then dumps with entries
// that differ (data 1 and 2) or not (data 3): a note, and the first is used.
TEST(HeaderDatabase, ReadsEachFieldIntoItsPlaceAndUsesTheFirstOfDuplicates) {
    const auto pcb = [](char mapper) { return enough + "<pcb mapper='" + mapper + "'/>"; };
    std::string error;
    const auto database = HeaderDatabase::parse(
        "<?xml version='1.0'?>\n<nes20db date='2000-01-01'>\n<game>\n<!-- Homebrew\\Every Field.nes"
        " -->\n<prgrom size='4767744'/><chrrom size='4759552'/><trainer size='512'/><miscrom "
        "size='1' number='3'/><rom size='9531392' crc32='0badf00d' sha1='fedcba9876543210fedcba98"
        "76543210fedcba98'/><prgram size='1024'/><prgnvram size='16384'/><chrram size='4096'/>"
        "<chrnvram size='512'/><pcb mapper='1443' submapper='9' mirroring='V' battery='1'/><console"
        " type='1' region='2'/><vs hardware='5' ppu='12'/><expansion type='42'/></game>\n"
        // In any order, among unknown elements and attributes, the first comment.
        "<news/><game><pcb mirroring='1' mapper='30' battery='1' x='y'/><unknown size='zz'/>"
        "<prgrom size='49152'/><!-- A --><rom size='1' crc32='ABCDEF01' sha1='" +
            std::string(40, 'E') +
            "'/><console region='3' type='3'/><miscrom size='1'/><!-- B --></game>\n" +
            game(pcb('7'), '2') + game(pcb('1'), '1') + game(pcb('2'), '1') + game(pcb('1'), '2') +
            game(pcb('3'), '3') + game(pcb('3'), '3') + "</nes20db>",
        error);
    ASSERT_TRUE(database) << error;
    const DatabaseEntry* entry =
        database->find("0BADF00D", "FEDCBA9876543210FEDCBA9876543210FEDCBA98");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "Homebrew\\Every Field.nes");
    EXPECT_EQ(entry->romSize, 9531392u);
    EXPECT_EQ(entry->line, 3u);
    // PRG 0x123 and CHR 0x245 pages (bytes 4, 5, 9); byte 6: mapper bits 0-3,
    // trainer, battery, V; 7: mapper bits 4-7, NES 2.0, Vs.; 8: submapper,
    // mapper bits 8-11; 10: PRG-NVRAM 64 << 8, PRG-RAM 64 << 4; 11: 64 << 3,
    // 64 << 6; 12: timing; 13: Vs. hardware, Vs. PPU; 14: misc ROMs; 15.
    const CartridgeHeader every{'N',  'E',  'S',  0x1A, 0x23, 0x45, 0x37, 0xA9,
                                0x95, 0x21, 0x84, 0x36, 0x02, 0x5C, 0x03, 0x2A};
    EXPECT_EQ(entry->header.bytes(), every);
    entry = database->find("abcdef01", std::string(40, 'e'));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "A");
    // Mapper 30 (bytes 6, 7), its letter 1: four-screen without V; battery; 3 pages;
    // a misc ROM without its count is one.
    const CartridgeHeader mapper30{'N', 'E', 'S', 0x1A, 3, 0, 0xEA, 0x1B, 0, 0, 0, 0, 3, 0, 1};
    EXPECT_EQ(entry->header.bytes(), mapper30);
    EXPECT_EQ(database->find("ABCDEF01", std::string(40, '0')), nullptr);
    ASSERT_EQ(database->notes().size(), 1u);
    EXPECT_EQ(database->notes()[0],
              "2 dumps have more than one entry, with different headers; the "
              "first in the file is used for each: the games at lines 7 and 8");
    EXPECT_EQ(database->find("11111111", std::string(40, '1'))->header.mapper(), 1);
    EXPECT_EQ(database->find("22222222", std::string(40, '2'))->line, 7u);
}

// Each mirroring letter as byte 6 bits 3 and 0, from the reference's table.
TEST(HeaderDatabase, MirroringLettersOfEachMapper) {
    const struct {
        const char* mapper;
        const char* letter; // none: horizontal
        int bits;           // bit 3, bit 0
    } rows[] = {{"0", "H", 0b00},   {"0", "V", 0b01},   {"0", "4", 0b10},   {"30", "H", 0b00},
                {"30", "V", 0b01},  {"30", "1", 0b10},  {"30", "4", 0b11},  {"218", "H", 0b00},
                {"218", "V", 0b01}, {"218", "0", 0b10}, {"218", "1", 0b11}, {"4", "", 0b00}};
    for (const auto& row : rows) {
        std::string error;
        const std::string letter = *row.letter ? "' mirroring='" + std::string(row.letter) : "";
        const auto database =
            HeaderDatabase::parse("<nes20db>" +
                                      game("<prgrom size='16384'/><pcb mapper='" +
                                           std::string(row.mapper) + letter + "'/>") +
                                      "</nes20db>",
                                  error);
        ASSERT_TRUE(database) << row.mapper << row.letter << ": " << error;
        const int byte6 = database->find("00000000", std::string(40, '0'))->header.bytes()[6];
        EXPECT_EQ((byte6 >> 2 & 2) | (byte6 & 1), row.bits) << row.mapper << row.letter;
    }
}

TEST(HeaderDatabase, RefusesEachHostileShapeWithItsLine) {
    const std::string head = "<nes20db>\n", huge(HeaderDatabase::maxTokenBytes, '>');
    // clang-format off
    const struct { const char* name; std::string text; const char* says; } cases[] = {
        {"Unfinished", head + "<game>\n<pcb mapper='1'/>", "line 3: no element found"},
        {"Entities", "<!DOCTYPE nes20db [<!ENTITY a 'aaaaaaaa'>]>\n<nes20db>&a;</nes20db>", "line 1: the DOCTYPE declares things of its own"},
        {"AttributeDefaults", "<?xml version='1.0'?>\n<!DOCTYPE nes20db [\n<!ATTLIST pcb mapper CDATA '4'>]>" + head, "line 2: the DOCTYPE declares"},
        {"OtherRoot", "<html/>", "line 1: the root element is <html>, not <nes20db>"},
        {"TooDeep", head + "<a><a><a><a><a><a><a><a><a><a><a><a><a><a><a>\n<a>", "line 3: elements nest deeper than 16"},
        {"GameInGame", head + "<game>\n" + game(enough), "line 3: this <game> is not a child"},
        {"NoPcb", head + game("<prgrom size='16384'/>"), "line 2: the game has no pcb element with a mapper"},
        {"NeitherPart", head + game(""), "line 2: the game has no prgrom element with a size and no pcb element with a mapper"},
        {"NoHashes", head + "<game><rom size='1' crc32='00000000'/>" + enough + "</game>", "line 2: the game has no rom element with size, crc32"},
        {"NotANumber", head + game("\n<pcb mapper='x'/>"), "line 3: pcb mapper=\"x\" is not a number"},
        {"MapperTooLarge", head + game("<prgrom size='16384'/>\n<pcb mapper='4096'/>"), "line 3: pcb mapper=\"4096\": the mapper is a number from 0 to 4095"},
        {"BeyondSixtyFourBits", head + game("<pcb submapper='18446744073709551617'/>"), "line 2: pcb submapper=\"18446744073709551617\" is out of range"},
        {"BatteryTwo", head + game(enough + "\n<pcb mapper='1' battery='2'/>"), "line 3: pcb battery=\"2\": a flag is 0 or 1"},
        {"PrgRomNotStorable", head + game("<pcb mapper='1'/>\n<prgrom size='1000'/>"), "line 3: prgrom size=\"1000\": PRG-ROM of 1000 bytes cannot be stored"},
        {"MirroringLetter", head + game("<prgrom size='16384'/>\n<pcb mapper='0' mirroring='1'/>"), "line 3: mirroring \"1\" is not one mapper 0 has"},
        {"LongValue", "<nes20db date='" + std::string(5000, '1') + "'/>", "line 1: the value of date is longer than 4096"},
        {"HugeComment", head + "\r\n<!--" + huge, "line 3: the comment that starts here is longer than 64 KiB"},
        {"HugeAttribute", head + "\n<x a='" + huge, "line 3: the tag that starts here is longer than 64 KiB"},
        {"HugeName", head + "\n<" + std::string(HeaderDatabase::maxTokenBytes, 'x'), "line 3: the tag that starts"},
        {"HugeText", head + std::string(HeaderDatabase::maxTokenBytes, 'x'), "line 1: the text that starts"},
        {"HugeCdata", head + "\r<![CDATA[" + huge, "line 3: the CDATA section that starts"},
        {"HugeInstruction", head + "\n<?x " + huge, "line 3: the processing instruction that starts"},
        {"FirstFaultFirst", head + game("<pcb mapper='1'/>") + "<!--" + huge, "line 2: the game has no prgrom"},
        {"Nul", head + '\0', "line 2: the file holds a NUL byte"}};
    // clang-format on
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(HeaderDatabase::parse(c.text, error)) << c.name;
        EXPECT_EQ(error.find(c.says), 0u) << c.name << ": " << error;
    }
}

// A file past the size limit is not read; one huge token is refused as soon
// as it passes its limit (it used to cost time squared); a cancel is seen.
TEST(HeaderDatabase, EndsHugeFilesFastAndCancels) {
    TempDir tmp;
    std::string error;
    writeSparse(tmp.file("big.xml"), {'<'}, HeaderDatabase::maxFileBytes + 1);
    EXPECT_FALSE(HeaderDatabase::load(tmp.file("big.xml"), error));
    EXPECT_EQ(error, tmp.file("big.xml") + " is larger than 64 MiB: not a header database");
    // A FIFO is refused without being opened: a program waiting to write into
    // it is not released.
    const std::string fifo = tmp.file("fifo.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    auto writer = std::async(std::launch::async, [&] { ::close(::open(fifo.c_str(), O_WRONLY)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the writer waits
    EXPECT_FALSE(HeaderDatabase::load(fifo, error));
    EXPECT_EQ(error, fifo + " is not a regular file");
    EXPECT_EQ(writer.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK)); // lets the writer go
    Bytes text(60 << 20, 'x');
    const Clock::time_point start = Clock::now();
    for (const std::string prefix : {"<nes20db><!--", "<nes20db a='", "<nes20db><", "<nes20db>"}) {
        std::fill_n(text.begin(), 16, 'x');
        std::copy(prefix.begin(), prefix.end(), text.begin());
        writeFile(tmp.file("token.xml"), text);
        EXPECT_FALSE(HeaderDatabase::load(tmp.file("token.xml"), error));
        EXPECT_NE(error.find("longer than 64 KiB"), std::string::npos) << error;
    }
    // Writing the files is counted too: 240 MB in 4 s is slow for any disk.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    for (std::size_t at = 0; at + 9 <= text.size(); at += 9) {
        std::copy_n("<!-- -->\n", 9, text.begin() + at);
    }
    std::copy_n("<nes20db>", 9, text.begin());
    writeFile(tmp.file("long.xml"), text);
    std::atomic<bool> cancel{false};
    std::thread reader([&] { HeaderDatabase::load(tmp.file("long.xml"), error, &cancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const Clock::time_point asked = Clock::now();
    cancel = true;
    reader.join();
    EXPECT_EQ(error, "cancelled");
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(500));
}

} // namespace
