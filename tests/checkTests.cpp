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
    // Each part over the bytes the format places it in (the samples' and the
    // made-up images' hashes: the golden files, checked with Python's own).
    const std::uint64_t size = big.size(), prg = 16 + 512;
    const auto hashes = [&](std::uint64_t begin, std::uint64_t end) -> std::string {
        writeFile(tmp.file("part"), Bytes(big.begin() + begin, big.begin() + std::min(end, size)));
        return run("rhash --printf='%C %H' " + tmp.file("part"));
    };
    const Hashes got = scanFile(tmp.file("big.nes")).hashes;
    EXPECT_EQ(got.fileCrc32, hashes(0, size).substr(0, 8));
    EXPECT_EQ(got.romCrc32 + " " + got.romSha1, hashes(16, size));
    EXPECT_EQ(got.bodyCrc32 + " " + got.bodySha1, hashes(prg, size));
    EXPECT_EQ(got.prgCrc32 + " " + got.prgSha1, hashes(prg, chr));
    EXPECT_EQ(got.chrCrc32 + " " + got.chrSha1, hashes(chr, chr + 200 * 8192));
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
    // clang-format off
    const struct { const char* name; std::string header; Bytes extra; const char* findings, *says; } rows[] = {
        {"zero-padding", "5=00", Bytes(16384, 0), "file-padding:W", "16 KiB of padding ($00)"},
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
