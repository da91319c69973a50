// The command line in-process, on copies of the samples and on bad files.
#include "TestFiles.h"
#include "commandLine.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

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
        const Bytes trainer = readFile(tmp.file("trainer.nes"));
        writeFile(tmp.file("short.NES"), Bytes(trainer.begin(), trainer.end() - 1));
        writeFile(tmp.file("tiny.nes"), {'N', 'E', 'S'});
        writeFile(tmp.file("text.nes"), Bytes(40, 'x'));
        writeFile(tmp.file("skipped.txt"), trainer);
        ::mkdir(tmp.file("sub").c_str(), 0700);
        writeFile(tmp.file("sub/long.nes"), image(header(1, 0, 0, 0), 16385));
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
    std::string headerHex(const std::string& name) {
        const Bytes bytes = readFile(tmp.file(name));
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), 16).toHex().toUpper().data();
    }
};

TEST_F(Cli, CommandsReportBadFilesAndGoOn) {
    const std::string cleanNrom = "4E45531A010101000000000000000000";
    struct Row {
        std::vector<std::string> args;
        int code;
        std::vector<std::string> out; // each after the one before; none: nothing on stdout
        std::vector<std::string> err;
        std::string file = {}, headerAfter = {}; // the file's 16 bytes after the command
    } rows[] = {
        // clang-format off
        {{"info", "@"}, 1, {"big.nes", "clean-nrom.nes\n  Format            iNES 1.0",
          "Submapper         -\n", "Mapper            1: S*ROM", "nes2.nes\n  Format            NES 2.0",
          "short.NES", "sub/long.nes", "trainer.nes", "Trainer           yes"},
         {"text.nes: not an iNES image", "tiny.nes: too short"}},
        {{"info", "--json", "--no-hashes", "@/missing.nes", "@/nes2.nes"}, 1,
         {"\"error\":\"cannot open", "\"submapper\":5"}, {}},
        {{"check", "@"}, 1, {"big.nes: 1 warning: ", "dirty-bytes.nes: 1 warning: bytes 8-15 spell \"GARBAGE!\"",
          "short.NES: 1 error: ", "long.nes: 1 warning", "9 files: 1 with errors, 3 with warnings, 3 fine, 2 could not be read\n"},
         {"tiny.nes"}},
        {{"check", "--verbose", "@/sub"}, 0, {"long.nes: warning file-long: ", "1 file: "}, {}},
        {{"check", "--db", "@/nothing.xml", "@"}, 1, {}, {"nothing.xml"}},
        {{"set", "--dry-run", "mapper=4", "mirroring=h", "@/clean-nrom.nes"}, 0,
         {"old 4E 45 53 1A 01 01 01 00", "new 4E 45 53 1A 01 01 40 00"}, {}, "clean-nrom.nes",
         cleanNrom},
        {{"set", "mapper=0x12C", "battery=yes", "@/clean-nrom.nes", "@/missing.nes", "@/folder.nes",
          "@/tiny.nes", "@/nes2.nes"}, 1, {"nes2.nes: written"},
         {"clean-nrom.nes: mapper=0x12C: ", "missing.nes: cannot open", "folder.nes: not a regular",
          "tiny.nes: too short"}, "nes2.nes", "4E45531A0201C2285100070001000000"},
        {{"set", "mapper=4", "mapper=bad", "@/clean-nrom.nes"}, 2, {}, {"mapper=bad"},
         "clean-nrom.nes", cleanNrom},
        {{"set", "format=ines1", "@/nes2.nes"}, 1, {}, {"cannot hold"}},
        {{"set", "mirroring=vertical", "@/clean-nrom.nes"}, 0, {"clean-nrom.nes: unchanged"}, {}},
        {{"clean", "--dry-run", "@/dirty-bytes.nes"}, 0, {"would be written"}, {},
         "dirty-bytes.nes", "4E45531A020112004741524241474521"},
        {{"clean", "@/nes2.nes", "@/dirty-bytes.nes"}, 0,
         {"nes2.nes: NES 2.0", "dirty-bytes.nes: written"}, {}, "dirty-bytes.nes",
         "4E45531A020112000000000000000000"},
        {{"--help"}, 0, {"Commands:", "info", "check", "set", "clean"}, {}},
        {{"set", "--help"}, 0, {"prgRomBytes", "expansion"}, {}},
        {{"--version"}, 0, {"tallowick-cli 1."}, {}},
        {{}, 2, {}, {"no COMMAND"}},
        {{"frob", "@"}, 2, {}, {"unknown command 'frob'"}},
        {{"info", "--frob", "@"}, 2, {}, {"frob"}},
        {{"info"}, 2, {}, {"no PATH"}},
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
            EXPECT_EQ(headerHex(row.file), row.headerAfter) << what;
        }
    }
}

TEST_F(Cli, SetThenInfoJsonRoundTrip) {
    stage();
    const std::string name = "bad\xff\xfe name.nes";
    copyFile(tmp.file("clean-nrom.nes"), tmp.file(name));
    EXPECT_EQ(
        run({"set", "format=nes2", "mapper=300", "submapper=2", "prgRomBytes=32K",
             "mirroring=horizontal", "battery=1", "prgNvramBytes=8K", "timing=1", "@/" + name})
            .code,
        0);
    const Result info = run({"info", "--json", "--no-hashes", "@/" + name});
    EXPECT_EQ(info.code, 1); // the header now wants 16 KiB more PRG-ROM than the file holds
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object();
    EXPECT_EQ(QByteArray::fromBase64(json["pathBase64"].toString().toLatin1()).toStdString(),
              tmp.file(name));
    const std::pair<const char*, QJsonValue> expected[] = {
        // clang-format off
        {"format", "NES 2.0"}, {"header", "4E45531A0201C2282100770001000000"}, {"mapper", 300},
        {"submapper", 2}, {"prgRomBytes", 32768}, {"mirroring", "horizontal"}, {"battery", true},
        {"prgRamBytes", 8192}, {"prgNvramBytes", 8192}, {"timing", 1}, {"expectedSize", 40976},
        {"fileSize", 24592}, {"romCrc32", QJsonValue()}};
    // clang-format on
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(json[key], value) << key;
    }
    EXPECT_EQ(json["problems"][0]["id"], "nes2-sizes");
}

} // namespace

int main(int argc, char** argv) {
    becomeOrdinaryUser();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
