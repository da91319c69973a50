// The command line in-process, on copies of the samples and on bad files.
#include "TestFiles.h"
#include "commandLine.h"
#include "inOrder.h"

#include "inesStrm.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
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
        copyFile(samplesDir() + "/clean-nrom.nes", tmp.file(".nes")); // all extension
        ::mkfifo(tmp.file("pipe.nes").c_str(), 0600);                 // never waited for
        ::mkdir(tmp.file("sub").c_str(), 0700);
        writeFile(tmp.file("sub/long.nes"), image(header(1, 0, 0, 0), 16385));
        ::symlink(tmp.file("sub").c_str(), tmp.file("link").c_str()); // not followed
        ::mkdir(tmp.file("folder.nes").c_str(), 0700);
        ::mkdir(tmp.file("sub/locked").c_str(), 0); // cannot be read: said, never skipped
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
        {{"info", "@"}, 1, {"big.nes", "clean-nrom.nes", "nes2.nes", "short.NES", "sub/long.nes", "trainer.nes"},
         {"text.nes: not an iNES image", "tiny.nes: too short"}},
        {{"info", "--json", "--no-hashes", "@/\xff.nes", "@/nes2.nes"}, 1,
         {"\"pathBase64\":\"" + base64 + "\",\"error\":\"cannot open", "\"prgRamBytes\":8192,"}, {}},
        {{"check", "@"}, 1, {"big.nes: 1 warning: ", "dirty-bytes.nes: 1 warning: bytes 8-15 spell \"GARBAGE!\"",
          "short.NES: 1 error, 1 warning: the file is 1 byte shorter", "long.nes: 1 warning",
          "12 files: 1 with errors, 3 with warnings, 4 fine, 4 could not be read\n"},
         {"tiny.nes", "sub/locked: ", "pipe.nes: not a regular file (a folder, FIFO, device or socket)"}},
        {{"clean"}, 2, {}, {"no FILE given"}},
        {{}, 2, {}, {"tallowick-cli: no COMMAND given\nTry 'tallowick-cli --help'.\n"}},
        {{"set", "battery=yes", "@/sub"}, 1, {"long.nes: written"}, {"sub/locked: "}}, // a folder unread fails
        {{"fix", "--dry-run", "--db", samplesDir() + "/nes20db-samples.xml", "@/sub"}, 1,
         {"sub/locked: cannot read the folder: Permission denied\n", "sub/long.nes: not in the database\n",
          "2 images: 0 would be fixed, 0 unchanged, 1 not in the database, 1 could not be read"}, {}},
        // A line separator in a name would cut a JSON line in two for some readers.
        {{"info", "--json", "@/a\u2028b.nes"}, 1, {"a\\u2028b.nes\",\"error\":\"cannot open"}, {}},
        {{"check", "@/short.NES"}, 1, {"short.NES: 1 error, 1 warning"}, {}}, // errors alone fail
        {{"set", "mapper=0x12C", "battery=yes", "my-game=1.nes", "@/clean-nrom.nes", "@/missing.nes",
          "@/folder.nes", "@/tiny.nes", "@/nes2.nes"}, 1, {"nes2.nes: written"},
         {"my-game=1.nes: cannot open", "clean-nrom.nes: mapper=0x12C: ", "missing.nes: cannot open",
          "tiny.nes: too short"}, "nes2.nes", "4E45531A0201C2285100070001000000"},
        {{"set", "mapper=4", "mapper=bad", "@/clean-nrom.nes"}, 2, {}, {"mapper=bad"}, "clean-nrom.nes", cleanNrom},
        // The fields first: iNES 1.0 still cannot hold the timing.
        {{"set", "submapper=0", "format=ines1", "@/nes2.nes"}, 1, {}, {"iNES 1.0 cannot hold timing\n"}},
        {{"clean", "@/nes2.nes", "@/dirty-bytes.nes"}, 0, {"nes2.nes: NES 2.0", "dirty-bytes.nes: written"}, {},
         "dirty-bytes.nes", "4E45531A020112000000000000000000"},
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

// Every command of the golden files (their "$" lines) on every sample and on
// the made-up images of images.txt, all in one folder ("@"; "@/*": each file
// in it). The output must match the file, which was checked once as
// CHECKED.md says. With TALLOWICK_GOLDEN_WRITE=FOLDER the outputs also go to
// FOLDER, to be reviewed line by line before any expected file is replaced.
TEST_F(Cli, OutputsMatchTheCheckedGoldenFiles) {
    writeGoldenImages(tmp.path());
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.path())) {
        files.insert("@/" + entry.path().filename().string());
    }
    for (const char* name : {"info.txt", "info-json.txt", "check-verbose.txt", "check-db.txt",
                             "set-dry-run.txt", "usage.txt", "repair.txt"}) {
        std::string actual;
        for (const std::string& command : linesOf(goldenText(name))) {
            std::istringstream words(command.rfind("$ ", 0) == 0 ? command.substr(2) : "");
            std::vector<std::string> args;
            for (std::string word; words >> word;) {
                word == "@/*"
                    ? void(args.insert(args.end(), files.begin(), files.end()))
                    : args.push_back(word.rfind("samples/", 0) == 0 ? samplesDir() + word.substr(7)
                                     : word.rfind("golden/", 0) == 0
                                         ? TALLOWICK_GOLDEN_DIR + word.substr(6)
                                         : word);
            }
            if (!args.empty()) {
                const Result result = run(args);
                actual += command + "\nexit " + std::to_string(result.code) + "\n" + result.out +
                          "--- stderr\n" + result.err;
            }
        }
        const std::string diff = goldenDiff(name, actual, tmp.path());
        EXPECT_TRUE(diff.empty()) << diff;
    }
}

// How many descriptors of this process name `path`.
int opened(const std::string& path) {
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return int(std::count_if(begin(fds), end(fds), [&](const auto& fd) {
        std::error_code error;
        return std::filesystem::read_symlink(fd.path(), error) == path;
    }));
}

// Each refusal of set and clean: exit code 1, its words, and the files' bytes
// as the other program left them. `act` runs before the command, or while
// another program holds the lock (once the command has read the file), or
// inside the locked write.
TEST_F(Cli, RefusedWritesLeaveTheFileAsItWas) {
    enum When { before, locked, inGap };
    using Act = std::function<void(const std::string&)>;
    std::optional<WritesFail> full;
    // clang-format off
    const struct { const char* what; When when; Act act; bool clean; const char* words; } rows[] = {
        {"read-only", before, makeReadOnly, false, "the file is read-only"},
        {"moved, a copy in its place", inGap, [](const std::string& p) { std::rename(p.c_str(), (p + "~").c_str()), copyFile(p + "~", p); }, false, "the file was moved, replaced or deleted meanwhile"},
        {"replaced", inGap, [](const std::string& p) { writeFile(p + "~", Bytes(20, 'x')), std::rename((p + "~").c_str(), p.c_str()); },
         true, "the file was moved, replaced or deleted meanwhile"},
        {"changed on disk", locked, [](const std::string& p) { writeFile(p, image(header(3, 1, 0, 0), 100)); }, false,
         "another program changed the header meanwhile"},
        {"truncated", locked, [](const std::string& p) { ::truncate(p.c_str(), 15); }, true, "the file is shorter than 16 bytes now"},
        {"no longer iNES", locked, [](const std::string& p) { writeFile(p, image(fromHex("504B0304"), 30)); }, false,
         "the file is no longer an iNES image"},
        {"disk full", inGap, [&](const std::string&) { full.emplace(); }, false, "the system refused the write (File too large)"},
        {"locked too long", locked, [](const std::string&) { std::this_thread::sleep_for(std::chrono::milliseconds(2500)); }, false,
         "another program is writing the file"}};
    // clang-format on
    const std::string path = tmp.file("dirty-bytes.nes");
    const auto files = [&] {
        return std::pair(readFile(path), exists(path + "~") ? readFile(path + "~") : Bytes());
    };
    for (const auto& row : rows) {
        std::filesystem::remove(path), std::filesystem::remove(path + "~");
        copyFile(samplesDir() + "/dirty-bytes.nes", path);
        auto left = files();
        const auto act = [&] { row.act(path), left = files(); };
        if (row.when == before) {
            act();
        }
        inesStrm::beforeWriteHook = [&] { row.when == inGap ? act() : void(); };
        const int them = row.when == locked ? ::open(path.c_str(), O_RDONLY) : -1;
        ::flock(them, LOCK_EX); // before the command starts
        std::thread other([&] {
            for (int i = 0; them >= 0 && i < 400 && opened(path) < 2; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            them >= 0 ? (std::this_thread::sleep_for(std::chrono::milliseconds(100)), act(),
                         void(::close(them)))
                      : void();
        });
        const Result result =
            run({row.clean ? "clean" : "set", row.clean ? "--" : "mapper=2", path});
        other.join(), full.reset(), inesStrm::beforeWriteHook = nullptr;
        EXPECT_EQ(std::to_string(result.code) + result.out + result.err,
                  "1tallowick-cli: " + path + ": not written: " + row.words + "\n")
            << row.what;
        EXPECT_EQ(files(), left) << row.what;
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
