// The command line in-process, on copies of the samples and on bad files.
#include "TestFiles.h"
#include "commandLine.h"
#include "inOrder.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testfiles;

namespace {

struct Result {
    int code;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    TempDir tmp;

    void stage() {
        for (const char* name : {"clean-nrom.nes", "dirty-bytes.nes", "nes2.nes", "trainer.nes"}) {
            copyFile(samplesDir() + "/" + name, tmp.file(name));
        }
        const Bytes dirty = readFile(tmp.file("dirty-bytes.nes"));
        writeFile(tmp.file("short.NES"), Bytes(dirty.begin(), dirty.end() - 1));
        writeFile(tmp.file("tiny.nes"), {'N', 'E', 'S'});
        writeFile(tmp.file("text.nes"), Bytes(40, 'x'));
        writeFile(tmp.file("skipped.txt"), dirty);
        ::mkdir(tmp.file("sub").c_str(), 0700);
        writeFile(tmp.file("sub/long.nes"), image(header(1, 0, 0, 0), 16385));
        ::symlink(tmp.file("sub").c_str(), tmp.file("link").c_str()); // not followed
        ::mkdir(tmp.file("folder.nes").c_str(), 0700);
        // Slow to read: the files after it are done first, but must be printed after it.
        writeSparse(tmp.file("big.nes"), header(1, 1, 0, 0), 64 << 20);
    }
    // "@" stands for the temporary folder.
    Result run(std::vector<std::string> args) {
        for (std::string& arg : args) {
            if (arg.find('@') != std::string::npos) {
                arg.replace(arg.find('@'), 1, tmp.path());
            }
        }
        std::ostringstream out, err;
        const int code = runCommandLine(args, out, err);
        return {code, out.str(), err.str()};
    }
};

TEST_F(Cli, CommandsReportBadFilesAndGoOn) {
    const std::string cleanNrom = "4E45531A010101000000000000000000";
    const std::string database = samplesDir() + "/nes20db-samples.xml";
    // JSON text is UTF-8: a name that is not comes with its bytes in Base64 too.
    const std::string base64 =
        QByteArray::fromStdString(tmp.file("\xff.nes")).toBase64().toStdString();
    struct Row {
        std::vector<std::string> args;
        int code;
        // Parts of stdout, each after the one before (none: nothing on stdout), and of stderr.
        std::vector<std::string> out, err;
        std::string file = {}, headerAfter = {}; // the file's 16 bytes after the command
    } rows[] = {
        // clang-format off
        {{"info", "@"}, 1, {"big.nes", "clean-nrom.nes\n  Format            iNES 1.0",
          "Submapper         -\n  PRG-ROM size      16 KiB\n  CHR-ROM size      8 KiB\n  Mirroring         vertical",
          "Mapper            1: S*ROM", "nes2.nes\n  Format            NES 2.0", "short.NES", "sub/long.nes",
          "trainer.nes", "Trainer           yes"},
         {"text.nes: not an iNES image", "tiny.nes: too short"}},
        {{"info", "--json", "--no-hashes", "@/\xff.nes", "@/clean-nrom.nes", "@/nes2.nes"}, 1,
         {"\"pathBase64\":\"" + base64 + "\",\"error\":\"cannot open", "\"mirroring\":\"vertical\",\"fourScreen\"",
          "\"prgRamBytes\":null", "\"submapper\":5,\"prgRomBytes\":32768", "\"battery\":false",
          "\"timingName\":\"RP2C07 (Licensed PAL NES)\"", "\"expectedSize\":40976"}, {}},
        {{"check", "@"}, 1, {"big.nes: 1 warning: ", "dirty-bytes.nes: 1 warning: bytes 8-15 spell \"GARBAGE!\"",
          "short.NES: 1 error, 1 warning: the file is 1 byte shorter", "long.nes: 1 warning",
          "9 files: 1 with errors, 3 with warnings, 3 fine, 2 could not be read\n"}, {"tiny.nes"}},
        {{"check", "--db", "@/nothing.xml", "@"}, 1, {}, {"nothing.xml"}},
        {{"check", "--verbose", "--db", database, "@/nes2.nes", "@/trainer.nes"}, 0,
         {"nes2.nes: warning database-mirroring: ", "trainer.nes: fine"}, {}},
        {{"set", "--dry-run", "mapper=4", "mirroring=h", "@/clean-nrom.nes"}, 0,
         {"old 4E 45 53 1A 01 01 01 00", "new 4E 45 53 1A 01 01 40 00"}, {}, "clean-nrom.nes", cleanNrom},
        {{"set", "mapper=0x12C", "battery=yes", "my-game=1.nes", "@/clean-nrom.nes", "@/missing.nes",
          "@/folder.nes", "@/tiny.nes", "@/nes2.nes"}, 1, {"nes2.nes: written"},
         {"my-game=1.nes: cannot open", "clean-nrom.nes: mapper=0x12C: ", "missing.nes: cannot open",
          "tiny.nes: too short"}, "nes2.nes", "4E45531A0201C2285100070001000000"},
        {{"set", "format=nes2", "mapper=300", "submapper=2", "prgRomBytes=32K", "mirroring=horizontal", "battery=1",
          "prgNvramBytes=8K", "timing=1", "@/clean-nrom.nes"}, 0, {"written"}, {}, "clean-nrom.nes",
         "4E45531A0201C2282100770001000000"},
        {{"set", "mapper=4", "mapper=bad", "@/clean-nrom.nes"}, 2, {}, {"mapper=bad"}, "clean-nrom.nes", cleanNrom},
        // The fields first: iNES 1.0 still cannot hold the timing.
        {{"set", "submapper=0", "format=ines1", "@/nes2.nes"}, 1, {}, {"iNES 1.0 cannot hold timing\n"}},
        {{"set", "mirroring=vertical", "@/clean-nrom.nes"}, 0, {"clean-nrom.nes: unchanged"}, {}},
        {{"clean", "@/nes2.nes", "@/dirty-bytes.nes"}, 0, {"nes2.nes: NES 2.0", "dirty-bytes.nes: written"}, {},
         "dirty-bytes.nes", "4E45531A020112000000000000000000"},
        {{"--help"}, 0, {"Commands:", "info", "check", "set", "clean"}, {}},
        {{"set", "--help"}, 0, {"prgRomBytes", "expansion"}, {}},
        {{"frob", "@"}, 2, {}, {"unknown command 'frob'"}},
        {{"set", "nothing=1", "@/nes2.nes"}, 2, {}, {"no field nothing"}},
        {{"set", "@/nes2.nes"}, 2, {}, {"no FIELD=VALUE"}},
        // clang-format on
    };
    for (const Row& row : rows) {
        stage();
        const Result result = run(row.args);
        const std::string what =
            ::testing::PrintToString(row.args) + "\n" + result.out + result.err;
        EXPECT_EQ(result.code, row.code) << what;
        EXPECT_TRUE(!row.out.empty() || result.out.empty()) << what;
        std::size_t at = 0;
        for (const std::string& part : row.out) {
            at = result.out.find(part, at);
            EXPECT_NE(at, std::string::npos) << part << " in " << what;
        }
        for (const std::string& part : row.err) {
            EXPECT_NE(result.err.find(part), std::string::npos) << part << " in " << what;
        }
        if (!row.file.empty()) {
            Bytes now = readFile(tmp.file(row.file));
            now.resize(16);
            EXPECT_EQ(now, fromHex(row.headerAfter)) << what;
        }
    }
}

// With no descriptor to spare, the file cannot be read to its end: an error,
// not a fine file. The first check, with descriptors to spare, also lets
// UndefinedBehaviorSanitizer check the thread code while it can still open
// the pipe it tests memory with.
TEST_F(Cli, AFileThatCannotBeReadIsAnError) {
    stage();
    EXPECT_EQ(run({"check", "@/clean-nrom.nes"}).code, 0); // fine with descriptors to spare
    const int lowest = ::dup(0);
    ::close(lowest);
    const std::uint64_t saved = setSoftLimit(RLIMIT_NOFILE, lowest + 1); // the file's own only
    const Result result = run({"check", "@/clean-nrom.nes"});
    setSoftLimit(RLIMIT_NOFILE, saved);
    EXPECT_NE(result.out.find("clean-nrom.nes: 1 error: cannot read the file"), std::string::npos)
        << result.out;
}

// What goes wrong in one file's work (memory running out) fails that file only.
TEST(InOrder, AThrowFailsOnlyItsFile) {
    std::string seen;
    const auto work = [](std::size_t i) {
        return i == 1 ? throw std::bad_alloc() : Outcome{std::to_string(i), {}, Verdict::fine};
    };
    runInOrder(3, 2, work, [&](const Outcome& o) { seen += o.out + o.err; });
    EXPECT_EQ(seen, "0tallowick-cli: std::bad_alloc\n2");
}

} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
