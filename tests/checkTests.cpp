// The image check on the samples and on made-up headers, its hashes against
// rhash's, and the header database on good and hostile files.
#include "TestFiles.h"
#include "headerDatabase.h"
#include "imageCheck.h"
#include "nesNames.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sstream>
#include <unistd.h>

using namespace testfiles;

namespace {

// `bytes` with the changes "BYTE=HEX ..." made to it.
CartridgeHeader changed(CartridgeHeader bytes, const std::string& changes) {
    std::istringstream words(changes);
    for (std::string word; words >> word;) {
        const std::size_t at = word.find('=');
        bytes[std::stoul(word)] = static_cast<std::uint8_t>(std::stoul(word.substr(at + 1), 0, 16));
    }
    return bytes;
}
// A right iNES 1.0 header: mapper 0, one PRG-ROM and one CHR-ROM page.
const CartridgeHeader nrom = changed({'N', 'E', 'S', 0x1A}, "4=01 5=01");

CartridgeHeader headerOf(const std::string& path) {
    const Bytes bytes = readFile(path);
    CartridgeHeader header{};
    std::copy_n(bytes.begin(), header.size(), header.begin());
    return header;
}

ImageReport scanFile(const std::string& path, const Progress& progress = {},
                     const std::atomic<bool>* cancel = nullptr) {
    const int fd = open(path.c_str(), O_RDONLY);
    ImageReport report = scanImage(fd, NesHeader(headerOf(path)), progress, cancel);
    close(fd);
    return report;
}

// The first line a command prints.
std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    for (int c; pipe && (c = std::fgetc(pipe)) != EOF && c != '\n';) {
        out += static_cast<char>(c);
    }
    return pipe && pclose(pipe) == 0 ? out : "(" + command + " failed)";
}

// "id:E" for each finding, with ":BYTE=HEX,..." for what its fix changes,
// and the messages.
std::pair<std::string, std::string> describe(const std::vector<Finding>& findings,
                                             const CartridgeHeader& header) {
    std::string ids, messages;
    for (const Finding& found : findings) {
        ids += (ids.empty() ? "" : " ") + found.id + ":" +
               static_cast<char>(std::toupper(severityName(found.severity)[0]));
        char separator = ':', change[16];
        for (std::size_t i = 0; found.fix && i < header.size(); ++i) {
            if ((*found.fix)[i] != header[i]) {
                std::snprintf(change, sizeof change, "%c%zu=%02x", separator, i, (*found.fix)[i]);
                ids += change;
                separator = ',';
            }
        }
        messages +=
            (found.fixLabel.empty() ? "" : "[" + found.fixLabel + "] ") + found.message + " | ";
    }
    return {ids, messages};
}

// What the check finds in made-up headers (in the samples: the golden
// outputs of cliTests).
TEST(ImageCheck, FindingsOfMadeUpHeaders) {
    const std::string nes2 = "7=08 15=01 "; // with standard controllers
    // Changes to the NROM header with `extra` bytes after the data it announces.
    // clang-format off
    const struct { std::string source; long extra; const char* findings, *says; } cases[] = {
        {"7=0c", 0, "ines07:W", "byte 7 bits 2-3 read 11"},
        {"3=1b", 0, "not-ines:E:3=1a", "byte 3 is $1B, not $1A; the rest fits the file"},
        {"4=00 6=09 9=02", 512, "trainer-unflagged:W:6=0d prg-none:E mirroring-odd:W:6=08 ines-padding:W:9=00", ""},
        {"5=00", 16384, "file-long:W:4=02", "PRG-ROM is probably 2 pages, not 1"},
        {nes2 + "4=02", -8292, "nes2-sizes:E", "cut short (32668 bytes of 32 KiB) and CHR-ROM is missing"},
        {nes2 + "4=38 9=0f 8=10 10=70 12=04 15=81", 100, "file-long:W prg-exponent:W:4=01,9=00 nvram-no-battery:W:6=02 "
         "unused-bits:W:12=00,15=01 submapper-unknown:W:8=00", "byte 12 bits 2-7, byte 15 bit 7"},
        {nes2 + "5=00 13=05 14=01", 0, "misc-missing:E:14=00 byte13-unused:W:13=00 chr-none:W:11=07", ""},
        {nes2 + "7=0b 13=02", 0, "console-extended:W:7=0a,13=00", ""},
        {nes2 + "7=0b 13=0d 5=a8 9=f0", 0, "chr-huge:E console-reserved:W", ""},
        {nes2 + "7=09 13=71", 0, "vs-ppu-reserved:W:13=70 vs-hardware-reserved:W", ""},
        {nes2 + "6=12 8=30 15=06", 0, "battery-no-nvram:W expansion-unknown:W submapper-deprecated:W", "use mapper 155"},
        {nes2 + "6=32 7=18", 0, "battery-no-nvram:I", ""},
        {nes2 + "6=04", 0, "trainer-no-ram:W:10=07", ""},
        {nes2 + "7=0a 13=05", 0, "byte13-unused:W:13=00", "console type 2 does not use it"},
        {nes2 + "11=70", 0, "nvram-no-battery:W:6=02", ""}, // CHR-NVRAM too
        {nes2 + "6=e9 7=18", 0, "", ""}, // mappers 30 and 218 use both bits
        {"6=04", -1000, "file-short:E", "CHR-ROM is cut short (7192 bytes of 8 KiB)"}, // a trainer flag, and more than the trainer missing
        {nes2 + "7=0b 13=03", 0, "", ""}, // extended console type 3 needs byte 13
        {nes2 + "6=02 11=07", 0, "battery-no-nvram:W", "no PRG-NVRAM or CHR-NVRAM"}, // a battery with CHR-RAM but no NVRAM
        {"7=08 15=42", 0, "", ""}, // expansion $42 uses bit 6
        {"10=01", 0, "ines1-extension:I", "byte 10 TV system dual"},
        {"10=02", 0, "ines1-extension:I", "byte 10 TV system PAL"}}; // iNES 1.0 byte 10 TV systems
    // clang-format on
    for (const auto& c : cases) {
        const NesHeader header(changed(nrom, c.source));
        const auto [ids, messages] =
            describe(checkHeader(header, expectedSize(header) + c.extra), header.bytes());
        EXPECT_EQ(ids, c.findings) << c.source;
        EXPECT_NE(messages.find(c.says), std::string::npos) << messages;
    }
}

// The hashes against rhash's; progress and cancelling.
TEST(ImageCheck, ScanAgreesWithRhash) {
    TempDir tmp;
    // Several blocks, so that both threads and every block edge take part:
    // a trainer, 200 PRG-ROM and 200 CHR-ROM pages, then 1000 bytes more.
    const CartridgeHeader head = changed(nrom, "4=c8 5=c8 6=04");
    Bytes big(head.begin(), head.end());
    std::mt19937 random(7);
    const std::uint64_t chr = 16 + 512 + 200 * 16384;
    big.resize(chr + 200 * 8192 + 1000);
    std::generate(big.begin() + 16, big.end(), [&] { return static_cast<std::uint8_t>(random()); });
    writeFile(tmp.file("big.nes"), big);
    std::uint64_t done = 0;
    const auto note = [&](std::uint64_t now, std::uint64_t) { done = now; };
    scanFile(tmp.file("big.nes"), note);
    EXPECT_EQ(done, big.size()) << "the last block is reported too";
    // Each part of it and of every sample (trainers, no CHR-ROM, misc ROM, too
    // short, too long) over the bytes the format places it in, clipped to the
    // file.
    std::vector<std::string> files = {tmp.file("big.nes")};
    for (const auto& entry : std::filesystem::directory_iterator(samplesDir())) {
        entry.path().extension() == ".nes" ? files.push_back(entry.path()) : void();
    }
    for (const std::string& path : files) {
        const Bytes bytes = readFile(path);
        const NesHeader head(headerOf(path));
        const std::uint64_t size = bytes.size(), prg = 16 + (head.trainer() ? 512 : 0),
                            chr = prg + head.prgRomBytes();
        const auto hashes = [&](std::uint64_t begin, std::uint64_t end) -> std::string {
            end = std::min(end, size); // an empty part has no hashes
            writeFile(tmp.file("part"),
                      Bytes(bytes.begin() + begin, bytes.begin() + std::max(begin, end)));
            return begin >= end ? " " : run("rhash --printf='%C %H' " + tmp.file("part"));
        };
        const Hashes got = scanFile(path).hashes;
        EXPECT_EQ(got.fileCrc32, hashes(0, size).substr(0, 8)) << path;
        EXPECT_EQ(got.romCrc32 + " " + got.romSha1, hashes(16, size)) << path;
        EXPECT_EQ(got.bodyCrc32 + " " + got.bodySha1, hashes(prg, size)) << path;
        EXPECT_EQ(got.prgCrc32 + " " + got.prgSha1, hashes(prg, chr)) << path;
        EXPECT_EQ(got.chrCrc32 + " " + got.chrSha1, hashes(chr, chr + head.chrRomBytes())) << path;
    }
    std::atomic<bool> cancel{false};
    const auto stop = [&](std::uint64_t, std::uint64_t) { cancel = true; };
    // Cancelled at the first progress report (4 MiB): the last block is not read.
    EXPECT_FALSE(scanFile(tmp.file("big.nes"), stop, &cancel).complete);
}

// Findings that were wrong on real images, on whole files: the scan reads
// what they depend on (padding; a second header: the golden outputs).
TEST(ImageCheck, FindingsOnWholeFiles) {
    TempDir tmp;
    Bytes title(127, ' '); // text, then blanks, as old tools appended it
    const std::string text = "Super Tallowick Bros.";
    std::copy(text.begin(), text.end(), title.begin());
    const std::string nes2 = "7=08 15=01 ";
    // clang-format off
    const struct { const char* name; std::string header; Bytes extra; const char* findings, *says; } rows[] = {
        {"ines1-garbage", "8=20 9=01 11=41", {}, "ines-padding:W:8=00,9=00,11=00", "extension data: byte 8 above 16, byte 11 |"},
        {"unrom512-battery", nes2 + "6=e2 7=18", {}, "battery-no-nvram:I", "UNROM 512"},
        {"zero-padding", "5=00", Bytes(16384, 0), "file-padding:W", "16 KiB of padding ($00)"},
        {"cnrom-more-chr", "6=30", image({}, 8192), "file-long:W:5=02", "CHR-ROM is probably 2 pages, not 1"},
        {"saturated", nes2 + "4=ff 9=0f", {}, "size-saturated:E", "more than 16 EiB"},
        {"8-eib-twice", nes2 + "4=fc 5=fc 9=ff", {}, "size-saturated:E prg-huge:E chr-huge:E", "PRG-ROM claims 8 EiB"},
        {"prg-one-page-more", "4=02 5=00 6=20", image({}, 16384), "file-long:W:4=03", "[Use 3 PRG-ROM pages] the file holds 16 KiB more than the header says: PRG-ROM is probably 3 pages, not 2"},
        {"title-127", "", title, "trailing-title:I", "a 127-byte title"}}; // 128 bytes: title.nes
    // clang-format on
    for (const auto& row : rows) {
        const NesHeader header(changed(nrom, row.header));
        Bytes file = image(Bytes(header.bytes().begin(), header.bytes().end()),
                           std::min<std::uint64_t>(expectedSize(header), 65536) - 16);
        file.insert(file.end(), row.extra.begin(), row.extra.end());
        writeFile(tmp.file("image.nes"), file);
        const auto [ids, messages] =
            describe(scanFile(tmp.file("image.nes")).findings, header.bytes());
        EXPECT_EQ(ids, row.findings) << row.name;
        EXPECT_NE(messages.find(row.says), std::string::npos) << row.name << ": " << messages;
        EXPECT_EQ(messages.find("16 EiB"), messages.rfind("16 EiB")) << row.name << ": worded once";
    }
}

// Why a file is refused, from its first 16 bytes and its length.
TEST(ImageCheck, ExplainsWhatIsNotAnInesImage) {
    // 16 + 16 KiB of PRG-ROM + 8 KiB of CHR-ROM: the size it fits. (Too short, and
    // an iNES image: guiTests' loading and the golden outputs.)
    EXPECT_EQ(explainNotInes(changed(nrom, "3=1b"), 24593),
              std::optional<std::string>("it does not start with \"NES\" and $1A"));
    // A header alone is an image (with its parts missing); one byte less is not.
    EXPECT_EQ(explainNotInes(nrom, 16), std::nullopt);
    EXPECT_EQ(explainNotInes(nrom, 15),
              std::optional<std::string>("too short for an iNES header: 15 bytes"));
}

// A descriptor that cannot be read is an error, never a 0-byte file.
TEST(ImageCheck, FailedReadsAreNoFindings) {
    TempDir tmp;
    writeFile(tmp.file("a.nes"), image(Bytes(nrom.begin(), nrom.end()), 24576));
    const int folder = open(tmp.path().c_str(), O_RDONLY);
    const int closed = open(tmp.file("a.nes").c_str(), O_RDONLY); // a number no file has now
    close(closed);
    for (const int descriptor : {-1, closed, folder}) {
        const ImageReport report = scanImage(descriptor, NesHeader(nrom));
        EXPECT_FALSE(report.complete) << descriptor;
        EXPECT_NE(report.readError, "") << descriptor;
        EXPECT_TRUE(report.findings.empty()) << descriptor << ": " << report.findings[0].message;
    }
    close(folder);
}

// A 1 TiB sparse image is read only as far as its header's parts.
TEST(ImageCheck, FarLargerThanItsHeaderEndsFast) {
    TempDir tmp;
    writeSparse(tmp.file("huge.nes"), Bytes(nrom.begin(), nrom.end()), std::uint64_t(1) << 40);
    const auto start = std::chrono::steady_clock::now();
    const int descriptor = open(tmp.file("huge.nes").c_str(), O_RDONLY);
    const ImageReport report = scanImage(descriptor, NesHeader(nrom));
    close(descriptor);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    const auto [ids, messages] = describe(report.findings, nrom);
    EXPECT_EQ(ids, "file-far-larger:W");
    EXPECT_EQ(messages, "the file is far larger than its header: 1 TiB, where the header places "
                        "24592 bytes | ");
    EXPECT_TRUE(report.complete && !report.hashes.toEnd && report.hashes.fileCrc32.empty() &&
                report.hashes.bodySha1.empty());
    // 16 KiB of zeros.
    EXPECT_EQ(report.hashes.prgSha1, "897256B6709E1A4DA9DABA92B6BDE39CCFCCD8C1");
}

// Where the mapper catalogue has no name, the common boards' names; the
// window's name box keeps the catalogue's "Unknown".
TEST(Names, MappersTheCatalogueLeavesUnnamed) {
    // clang-format off
    const struct { int mapper; const char* name, *box; } rows[] = {
        {28, "Action 53", "Unknown"}, {30, "UNROM 512", "Unknown"}, {31, "NSF (INL)", "Unknown"},
        {111, "GTROM (Cheapocabra)", "Unknown"}, {218, "Magic Floor (single-chip)", "Unknown"},
        {255, "110-in-1 multicart", "Unknown"}, {12, "Unknown", "Unknown"}, {0, "NROM", "NROM"},
        {4000, "NES 2.0 mapper 4000", "NES 2.0 mapper 4000"}};
    // clang-format on
    for (const auto& row : rows) {
        EXPECT_EQ(mapperNameOf(row.mapper), row.name) << row.mapper;
        EXPECT_EQ(catalogueMapperName(row.mapper), row.box) << row.mapper;
    }
}

} // namespace
