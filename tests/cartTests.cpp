// The cartridge layer on real files: opening, reading, the checked write, the
// header model's fields and encodings, and the names of values.
#include "TestFiles.h"
#include "inesStrm.h"
#include "mapperCatalogue.h"
#include "nesHeader.h"
#include "nesNames.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace testfiles;
using namespace std::chrono_literals;

namespace {

CartridgeHeader headerOf(const std::string& hex) {
    const Bytes bytes = fromHex(hex);
    CartridgeHeader header{};
    std::copy(bytes.begin(), bytes.end(), header.begin());
    return header;
}

// A file without any write permission bit: {open and writable when opened
// for update, the dry run and the write of a stream that opened it before it
// lost them, whether the file is unchanged}. As root when the tests start as root
// (as CI does): main() runs it before it becomes an ordinary user.
std::array<int, 5> noWriteBit() {
    TempDir tmp;
    const std::string path = tmp.file("rom.nes");
    writeFile(path, image(header(1, 1, 0, 0), 100));
    inesStrm before(path.c_str());
    ::chmod(path.c_str(), 0444);
    // Any header will do: the base, never read, is all zeros.
    return {inesStrm(path.c_str()).isOpen(), inesStrm(path.c_str()).isWritable(),
            int(before.checkWrite(before.base(), true)),
            int(before.writeHeader(before.base(), true)),
            readFile(path) == image(header(1, 1, 0, 0), 100)};
}
std::optional<std::array<int, 5>> asRoot;

TEST(Stream, OpensOnlyRegularFilesAndFilesWithoutWriteBitsReadOnly) {
    TempDir tmp;
    const std::string file = tmp.file("rom.nes"), fifo = tmp.file("fifo.nes");
    writeFile(file, image(header(1, 1, 0, 0), 100));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    // A program waiting to write into the FIFO: any open of it for reading releases it.
    auto writer = std::async(std::launch::async, [&] { ::close(::open(fifo.c_str(), O_WRONLY)); });
    std::this_thread::sleep_for(100ms);
    // clang-format off
    const struct { std::string path; Access access; int open, writable; OpenFailure failure; } cases[] = {
        {file, Access::update, 1, 1, OpenFailure::none},
        {file, Access::readOnly, 1, 0, OpenFailure::none},
        {tmp.file("missing.nes"), Access::update, 0, 0, OpenFailure::cannotOpen},
        {tmp.path(), Access::update, 0, 0, OpenFailure::notRegularFile},
        {fifo, Access::update, 0, 0, OpenFailure::notRegularFile}, // and does not block
        {fifo, Access::readOnly, 0, 0, OpenFailure::notRegularFile},
        {"/dev/null", Access::readOnly, 0, 0, OpenFailure::notRegularFile}};
    // clang-format on
    for (const auto& c : cases) {
        inesStrm rom(c.path.c_str(), c.access);
        EXPECT_EQ(rom.isOpen(), c.open) << c.path;
        EXPECT_EQ(rom.isWritable(), c.writable) << c.path << " (running as a user who may write?)";
        EXPECT_EQ(rom.openFailure(), c.failure) << c.path;
    }
    EXPECT_EQ(writer.wait_for(100ms), std::future_status::timeout) << "the FIFO was opened";
    ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK)); // lets the writer go
    const std::array<int, 5> readOnly{1, 0, int(WriteResult::readOnly), int(WriteResult::readOnly),
                                      1};
    EXPECT_EQ(asRoot ? *asRoot : noWriteBit(), readOnly) << (asRoot ? "as root" : "as a user");
}

// Every query on files of 0-16 bytes, rewritten under one open stream: each
// answer reads the file afresh, and a byte the file lacks reads as -1.
TEST(Stream, QueriesReadTheFileAfresh) {
    TempDir tmp;
    const std::string path = tmp.file("rom.nes");
    writeFile(path, {});
    inesStrm rom(path.c_str());
    const std::function<std::int32_t(inesStrm&)> queries[] = {
        &inesStrm::isValid,     &inesStrm::isHeaderClean, &inesStrm::isNes2,
        &inesStrm::getByte3,    &inesStrm::getPrgPages,   &inesStrm::getPrgSize,
        &inesStrm::getChrPages, &inesStrm::getChrSize,    &inesStrm::getMirroring,
        &inesStrm::getSRAM,     &inesStrm::getTrainer,    &inesStrm::getFourScreen,
        &inesStrm::getMapper};
    // clang-format off
    const struct { const char* hex; const char* label; std::int32_t values[13]; const char* mapper; } cases[] = {
        {"", "", {0, 1, 0, -1, -1, -16384, -1, -8192, 1, 1, 1, 1, 255}, "Unknown"},
        {"4E4500", "NE", {0, 1, 0, -1, -1, -16384, -1, -8192, 1, 1, 1, 1, 255}, "Unknown"},
        {"4E45531AFF02", "NES", {0, 1, 0, 26, 255, 4177920, 2, 16384, 1, 1, 1, 1, 255}, "Unknown"},
        {"4E45531A00000F", "NES", {0, 1, 0, 26, 0, 0, 0, 0, 1, 1, 1, 1, 240}, "Unknown"},
        {"4E45531B0201F0FF0000000000000000", "NES", {0, 1, 0, 27, 2, 32768, 1, 8192, 0, 0, 0, 0, 255}, "Unknown"},
        {"4E45531A0201F00800000000000000", "NES", {0, 1, 1, 26, 2, 32768, 1, 8192, 0, 0, 0, 0, 15}, "100-in-1 Contra Function 16"},
        {"4E45531A102005080100000000000000", "NES", {1, 0, 1, 26, 16, 262144, 32, 262144, 1, 0, 1, 0, 0}, "NROM"},
        {"4E45531A01014A0C0000000000000001", "NES", {1, 0, 0, 26, 1, 16384, 1, 8192, 0, 1, 0, 1, 4}, "T*ROM, HKROM (MMC3)"},
        {"4E45001A0101F0000000000000000000", "NE", {0, 1, 0, 26, 1, 16384, 1, 8192, 0, 0, 0, 0, 15}, "100-in-1 Contra Function 16"}};
    // clang-format on
    for (const auto& c : cases) {
        const Bytes bytes = fromHex(c.hex);
        writeFile(path, bytes);
        EXPECT_EQ(rom.getLabel(), c.label) << c.hex;
        for (std::size_t q = 0; q < std::size(queries); ++q) {
            EXPECT_EQ(queries[q](rom), c.values[q]) << c.hex << ", query " << q;
        }
        EXPECT_STREQ(rom.getMapperName(), c.mapper) << c.hex;
        CartridgeHeader read, expected;
        read.fill(0xEE), expected.fill(0xEE); // what the file lacks is left as it was
        std::copy_n(bytes.begin(), std::min<std::size_t>(16, bytes.size()), expected.begin());
        rom.readHeader(&read);
        EXPECT_EQ(read, expected) << c.hex;
    }
}

// What another program or another Tallowick does to the file after the load,
// or in the locked gap just before the header goes out, and what the dry run
// and the write must answer. Nothing may reach the open file or the file the
// path names unless it is written.
TEST(Stream, TheLockedWriteRechecksTheFile) {
    const Bytes original = image(header(2, 1, 0x10, 0), 40000);
    const CartridgeHeader edited = headerOf("4E45531A080447100000000000000000"),
                          theirs = headerOf("4E45531A010147100000000000000000");
    struct Scene {
        std::string path;
        inesStrm& them;
        std::shared_ptr<void> keep; // what the act needs until the write is over
    };
    using Act = std::function<void(Scene&)>;
    const Act none = [](Scene&) {};
    using R = WriteResult;
    // The dry run cannot foresee the gap or a full disk.
    // clang-format off
    const struct { const char* what; Act meanwhile, inGap; bool overwrite; R result, dryRun; const char* why; } cases[] = {
        {"deleted", [](Scene& s) { std::remove(s.path.c_str()); }, none, false, R::moved, R::moved, "No such file or directory"},
        {"truncated", [](Scene& s) { ::truncate(s.path.c_str(), 15); }, none, false, R::truncated, R::truncated, ""},
        {"no longer iNES", [](Scene& s) { writeFile(s.path, image(fromHex("504B0304"), 30)); }, none, false, R::notInes, R::notInes, ""},
        {"header changed in byte 15", [](Scene& s) { writeFile(s.path, image(fromHex("4E45531A020110000000000000000001"), 40000)); }, none, false, R::changedOnDisk, R::changedOnDisk, ""},
        {"header changed, overwrite", [](Scene& s) { writeFile(s.path, image(header(3, 1, 0x10, 0), 40000)); }, none, true, R::written, R::written, ""},
        {"writable by the group only", [](Scene& s) { ::chmod(s.path.c_str(), 0464); }, none, false, R::readOnly, R::readOnly, ""},
        {"disk full", [](Scene& s) { s.keep = std::make_shared<WritesFail>(); }, none, false, R::failed, R::written, "File too large"},
        {"another Tallowick wrote first", [&](Scene& s) { EXPECT_EQ(s.them.writeHeader(theirs), R::written); }, none, false, R::changedOnDisk, R::changedOnDisk, ""},
        {"another Tallowick writes meanwhile, waits for the lock", none, [&](Scene& s) { s.keep = std::make_shared<std::future<void>>(std::async(std::launch::async, [&] {
             EXPECT_EQ(s.them.writeHeader(theirs), R::changedOnDisk); })), std::this_thread::sleep_for(200ms); }, false, R::written, R::written, ""},
        {"another program holds the lock", [](Scene& s) { const int them = s.them.duplicate(); ::flock(them, LOCK_EX), ::close(them); }, none, false, R::locked, R::locked, ""},
        {"moved in the gap, a copy in its place", none, [&](Scene& s) { std::rename(s.path.c_str(), (s.path + "~").c_str()), writeFile(s.path, original); },
         false, R::moved, R::written, ""},
        {"replaced in the gap", none, [](Scene& s) { writeFile(s.path + "~", fromHex("48656C6C6F0A")), std::rename((s.path + "~").c_str(), s.path.c_str()); },
         false, R::moved, R::written, ""}};
    // clang-format on
    for (const auto& c : cases) {
        TempDir tmp;
        const std::string path = tmp.file("rom.nes");
        writeFile(path, original);
        inesStrm rom(path.c_str()), them(path.c_str());
        CartridgeHeader loaded{};
        rom.readHeader(&loaded), them.readHeader(&loaded);
        Scene scene{path, them, {}};
        c.meanwhile(scene);
        // The open file, wherever it is now, and the file the path names.
        const int held = rom.duplicate();
        const auto files = [&, open = "/proc/self/fd/" + std::to_string(held)] {
            return std::pair(readFile(open), exists(path) ? readFile(path) : Bytes());
        };
        auto expected = files();
        EXPECT_EQ(rom.checkWrite(edited, c.overwrite), c.dryRun) << c.what;
        std::once_flag gap; // the other writer must not run it again
        inesStrm::beforeWriteHook = [&] {
            std::call_once(gap, [&] { c.inGap(scene), expected = files(); });
        };
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(rom.writeHeader(edited, c.overwrite), c.result) << c.what;
        EXPECT_EQ(std::chrono::steady_clock::now() - start > 1s, c.result == R::locked) << c.what;
        scene.keep.reset();
        inesStrm::beforeWriteHook = nullptr;
        EXPECT_EQ(rom.lastWriteError(), c.why) << c.what;
        if (c.result == R::written) {
            std::copy(edited.begin(), edited.end(), expected.first.begin());
            std::copy(edited.begin(), edited.end(), expected.second.begin());
            EXPECT_EQ(rom.base(), edited) << c.what << ": the written header is the new base";
        }
        EXPECT_EQ(files(), expected) << c.what;
        ::close(held);
    }
}

// ---------------------------------------------------------------- the model

// What every form decodes to, setting each field within and beyond its
// limits and the conversions: oracleTests.cpp.

TEST(Model, NamesAndWords) {
    // Every mapper and submapper name, with the advice for a deprecated
    // submapper: names.txt, which check-golden.py checks against the format.
    std::string names;
    for (int mapper = 0; mapper < 4096; ++mapper) {
        const std::string name = catalogueMapperName(mapper), other = mapperNameOf(mapper);
        names += name == "NES 2.0 mapper " + std::to_string(mapper)
                     ? ""
                     : std::to_string(mapper) + ": " + name + (other != name ? " | " + other : "") +
                           "\n";
        for (int sub = 0; sub < 16; ++sub) {
            const char* advice = deprecatedSubmapperAdvice(mapper, sub);
            names += submapperName(mapper, sub) == nullptr
                         ? ""
                         : "  " + std::to_string(sub) + ": " + submapperName(mapper, sub) +
                               (advice ? std::string(" -> ") + advice : "") + "\n";
        }
    }
    const std::string diff = goldenDiff("names.txt", names, "\n\n");
    EXPECT_TRUE(diff.empty()) << diff;
    // The codes the format reserves or withdrew.
    EXPECT_TRUE(expansionDevices.find(0x06)->reserved && vsPpuTypes.find(0xC)->reserved &&
                !vsPpuTypes.find(0xB)->reserved);
    EXPECT_TRUE(hasSubmapperTable(268) && !hasSubmapperTable(0));
    // A value as a user reads it (the samples' values: the golden outputs of cliTests;
    // the names of mappers 255 and 4000: checkTests' Names).
    EXPECT_EQ(valueText(*findField("submapper"), NesHeader(headerOf("4E45531A020190B810"))),
              "1"); // mapper 185 has no table of submappers
    const std::pair<const char*, std::optional<std::uint64_t>> sizes[] = {
        {" 24K ", 24576}, {"2 MiB", 2 << 20}, {"8kb", 8192},
        {"0", 0},         {"2MB", 2 << 20},   {"", {}},
        {"-1", {}},       {"3 GB", {}},       {"99999999999999999999", {}}};
    for (const auto& [text, bytes] : sizes) {
        EXPECT_EQ(parseSize(text), bytes) << text;
    }
}

} // namespace

int main(int argc, char** argv) {
    asRoot = ::geteuid() == 0 ? std::optional(noWriteBit()) : std::nullopt;
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
