// fix, undo and the journal, on images and a header database made here: the
// database's hashes are computed with zlib and Qt directly, and the
// headers expected after a fix are written out byte by byte.
#include "TestFiles.h"
#include "commandLine.h"
#include "inesStrm.h"
#include "repair.h"

#include <QCryptographicHash>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testfiles;

namespace {

struct Result {
    int code;
    std::string out, err;
};

Result run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runCommandLine(args, out, err);
    return {code, out.str(), err.str()};
}

// 24 KiB of data (one PRG and one CHR page) that differs for every `seed`.
Bytes data(int seed) {
    Bytes bytes = image({}, 24576);
    bytes[0] = std::uint8_t(seed);
    return bytes;
}

Bytes join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string hex(const void* bytes, std::size_t size) {
    const QByteArray raw(static_cast<const char*>(bytes), qsizetype(size));
    return raw.toHex().toUpper().toStdString();
}

// A <game> for `body`, with one PRG and one CHR page; without an expansion
// device it has the 8 KiB PRG-RAM an iNES 1.0 header implies.
std::string game(const Bytes& body, int mapper, int submapper, char mirroring, int expansion) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08lX",
                  crc32(crc32(0, nullptr, 0), body.data(), uInt(body.size())));
    QCryptographicHash sha(QCryptographicHash::Sha1);
    sha.addData(QByteArrayView(body.data(), qsizetype(body.size())));
    const std::string zeros = "crc32=\"00000000\" sha1=\"" + std::string(40, '0') + "\"";
    return "<game><!-- Homebrew\\Test " + std::to_string(mapper) + " -->\n<prgrom size=\"16384\" " +
           zeros + "/><chrrom size=\"8192\" " + zeros + "/>\n<rom size=\"24576\" crc32=\"" + crc +
           "\" sha1=\"" + hex(sha.result().data(), 20) + "\"/>\n" +
           (expansion == 0 ? "<prgram size=\"8192\"/>" : "") + "<pcb mapper=\"" +
           std::to_string(mapper) + "\" submapper=\"" + std::to_string(submapper) +
           "\" mirroring=\"" + mirroring + "\" battery=\"0\"/><console type=\"0\" region=\"0\"/>" +
           "<expansion type=\"" + std::to_string(expansion) + "\"/></game>\n";
}

const Bytes nrom = header(1, 1, 0x00, 0x00); // iNES 1.0, mapper 0, horizontal
const std::string nes2Vertical = "4E45531A010101080000000000000001";

// One image of a fix: its contents and entry, the line printed for it and
// its header afterwards ("" for unchanged).
struct Case {
    const char* name;
    const char* format;
    Bytes head; // the first bytes, before the data
    int mapper; // the entry's; -1: no entry
    int submapper, expansion;
    const char* line;  // after "PATH: "
    std::string after; // the header after the run, hex; "" for as before
};

const Case cases[] = {
    {"fixed", "nes2", nrom, 0, 0, 1, "fixed", nes2Vertical},
    {"unchanged", "nes2", fromHex(nes2Vertical), 0, 0, 1, "unchanged", ""},
    {"unknown", "nes2", nrom, -1, 0, 1, "not in the database", ""},
    {"damaged", "nes2", fromHex("4E45531B0101FF7F4469736B44756465"), 4, 0, 1, "fixed",
     "4E45531A010141080000000000000001"},
    // The data matches after its trainer: the flag stays though the entry has none.
    {"trainer", "nes2", join(header(1, 1, 0x04, 0), Bytes(512, 0xEE)), 0, 0, 1, "fixed",
     "4E45531A010105080000000000000001"},
    {"readonly", "nes2", nrom, 0, 0, 1, "not written: the file is read-only", ""},
    {"changed", "nes2", nrom, 0, 0, 1, "not written: another program changed the header meanwhile",
     "4E45531A020200000000000000000000"},
    {"mapper268", "ines1", nrom, 268, 1, 0, "not fixable in iNES 1.0 form: mapper, submapper", ""},
    {"toines1", "ines1", nrom, 0, 0, 0, "fixed", "4E45531A010101000000000000000000"},
    {"keepines1", "keep", nrom, 2, 0, 0, "fixed", "4E45531A010121000000000000000000"},
    {"keepnes2", "keep", fromHex("4E45531A010100080000000000000000"), 2, 0, 0, "fixed",
     "4E45531A010121080000070000000000"},
};

class Repair : public ::testing::Test {
protected:
    TempDir tmp;
    std::string folder = tmp.file("in"), db = tmp.file("db.xml"), journal = tmp.file("j.jsonl");
    std::map<std::string, Bytes> before;

    // Stages every case of `format` in tmp/in and a database of them all.
    void stage(const std::string& format) {
        ::mkdir(folder.c_str(), 0700);
        std::string xml = "<?xml version=\"1.0\"?>\n<nes20db>\n";
        int seed = 0;
        for (const Case& c : cases) {
            const Bytes body = data(++seed);
            if (c.mapper >= 0) {
                xml += game(body, c.mapper, c.submapper, 'V', c.expansion);
            }
            if (c.format == format) {
                const std::string path = folder + "/" + c.name + ".nes";
                writeFile(path, before[path] = join(c.head, body));
            }
        }
        xml += "</nes20db>\n";
        writeFile(db, Bytes(xml.begin(), xml.end()));
        if (format == "nes2") {
            makeReadOnly(folder + "/readonly.nes");
        }
    }
    // Every file holds what it held, except for the header of the `changed`.
    void expectAsBefore(const std::map<std::string, std::string>& headers = {}) {
        for (const auto& [path, bytes] : before) {
            const auto header = headers.find(path);
            Bytes expected = bytes;
            if (header != headers.end() && !header->second.empty()) {
                const Bytes fresh = fromHex(header->second);
                std::copy(fresh.begin(), fresh.end(), expected.begin());
            }
            EXPECT_EQ(readFile(path), expected) << path;
        }
    }
};

TEST_F(Repair, EachFormatFixesWhatTheDatabaseKnowsAndNothingBehindTheHeaders) {
    for (const char* format : {"nes2", "ines1", "keep"}) {
        SCOPED_TRACE(format);
        before.clear();
        stage(format);
        const std::string changed = folder + "/changed.nes";
        const std::string other = "4E45531A020200000000000000000000";
        beforeRepairWriteHook = [&](const std::string& path) {
            if (path == changed) { // the same file, another header
                const int fd = ::open(changed.c_str(), O_WRONLY);
                EXPECT_EQ(::pwrite(fd, fromHex(other).data(), 16, 0), 16);
                ::close(fd);
            }
        };
        const Result fixed =
            run({"fix", "--db", db, "--format", format, "--journal", journal, folder});
        beforeRepairWriteHook = nullptr;
        std::map<std::string, std::string> headers;
        for (const Case& c : cases) {
            if (c.format != std::string(format)) {
                continue;
            }
            const std::string path = folder + "/" + c.name + ".nes";
            EXPECT_NE(fixed.out.find(path + ": " + c.line + "\n"), std::string::npos) << fixed.out;
            headers[path] = c.after;
        }
        EXPECT_EQ(fixed.code, std::string(format) == "nes2" ? 1 : 0) << fixed.err;
        expectAsBefore(headers);
        // Undo puts back every header the fix wrote (a dry run none); one changed since is
        // left alone.
        EXPECT_NE(run({"undo", "--dry-run", journal}).out.find(": would be restored\n"),
                  std::string::npos);
        expectAsBefore(headers);
        const Result undone = run({"undo", journal});
        EXPECT_EQ(undone.code, std::string(format) == "nes2" ? 1 : 0) << undone.out;
        if (std::string(format) == "nes2") {
            EXPECT_NE(undone.out.find(changed + ": changed since the fix: left alone"),
                      std::string::npos);
            EXPECT_NE(fixed.out.find("  old 4E 45 53 1A 01 01 00 00 00 00 00 00 00 00 00 00\n"
                                     "  new 4E 45 53 1A 01 01 01 08 00 00 00 00 00 00 00 01\n"),
                      std::string::npos);
            EXPECT_NE(fixed.out.find("7 images: 3 fixed, 1 unchanged, 1 not in the database, "
                                     "2 not written\n"),
                      std::string::npos);
            before[changed] = join(fromHex(other), data(7));
        }
        expectAsBefore();
        EXPECT_EQ(run({"undo", journal}).out.find("restored\n"), std::string::npos);
        std::filesystem::remove(journal), std::filesystem::remove_all(folder);
    }
}

TEST_F(Repair, DryRunAndJsonWriteNothing) {
    stage("nes2");
    const Result dry = run({"fix", "--db", db, "--dry-run", "--json", folder});
    EXPECT_NE(dry.out.find("\"result\":\"fixed\",\"old\":\"4E45531A010100000000000000000000\","
                           "\"new\":\"" +
                           nes2Vertical + "\",\"name\":\"Homebrew\\\\Test 0\",\"dryRun\":true}"),
              std::string::npos)
        << dry.out;
    EXPECT_NE(dry.out.find("\"result\":\"notWritten\""), std::string::npos); // read-only
    EXPECT_FALSE(exists(journal));
    expectAsBefore();
}

TEST_F(Repair, HeaderlessImagesGetANewFileNeverOverwritten) {
    ::mkdir(folder.c_str(), 0700);
    const std::string out = tmp.file("out");
    ::mkdir(out.c_str(), 0700);
    const Bytes body = data(1);
    const std::string raw = folder + "/raw.bin", other = folder + "/other.bin";
    writeFile(raw, body);
    writeFile(other, data(2));
    const std::string xml =
        "<nes20db>" + game(body, 0, 0, 'V', 1) + game(data(2), 0, 0, 'V', 1) + "</nes20db>";
    writeFile(db, Bytes(xml.begin(), xml.end()));
    EXPECT_EQ(run({"fix", "--db", db, raw}).out, raw + ": not in the database\n1 image: 0 fixed, "
                                                       "0 unchanged, 1 not in the database\n");
    {
        const WritesFail full; // a copy that could not be written is not left behind
        EXPECT_EQ(run({"fix", "--db", db, "--headerless-out", out, raw}).code, 1);
    }
    EXPECT_FALSE(exists(out + "/raw.nes"));
    const Result json =
        run({"fix", "--dry-run", "--json", "--db", db, "--headerless-out", out, raw});
    EXPECT_EQ(json.err, "1 image: 0 would be fixed, 0 unchanged, 0 not in the database, 1 header "
                        "would be added (dry run)\n");
    for (const std::string& part : {std::string("\"result\":\"headerAdded\""),
                                    "\"written\":\"" + out + "/raw.nes\",\"dryRun\":true}"}) {
        EXPECT_NE(json.out.find(part), std::string::npos) << json.out;
    }
    const Result added = run({"fix", "--db", db, "--headerless-out", out, raw, other});
    EXPECT_EQ(added.code, 0) << added.out << added.err;
    const std::string fresh = "  new 4E 45 53 1A 01 01 01 08 00 00 00 00 00 00 00 01\n";
    EXPECT_EQ(added.out, raw + ": header added in " + out + "/raw.nes\n" + fresh + other +
                             ": header added in " + out + "/other.nes\n" + fresh +
                             "2 images: 0 fixed, 0 unchanged, 0 not in the database, 2 headers "
                             "added\n");
    EXPECT_EQ(readFile(out + "/raw.nes"), join(fromHex(nes2Vertical), body));
    EXPECT_EQ(readFile(raw), body);
    for (const char* dryOrNot : {"--dry-run", "--format=nes2"}) { // the default form
        const Result again = run({"fix", dryOrNot, "--db", db, "--headerless-out", out, raw});
        EXPECT_EQ(again.code, 1);
        EXPECT_NE(again.out.find("raw.nes: File exists"), std::string::npos) << again.out;
    }
    EXPECT_EQ(readFile(out + "/raw.nes"), join(fromHex(nes2Vertical), body));
}

// Two journals of one program within a second: the second is numbered -2.
TEST_F(Repair, JournalsOfOneSecondGetNamesOfTheirOwn) {
    ::setenv("XDG_STATE_HOME", tmp.path().c_str(), 1);
    std::string error, first, second;
    const auto stampOf = [](const std::string& path) { // fix-YYYYMMDD-HHMMSS
        return path.substr(path.rfind('/') + 1, 19);
    };
    for (int tries = 0; tries < 5 && (tries == 0 || stampOf(first) != stampOf(second)); ++tries) {
        first = newJournalPath(error); // again when a second ended between the two
        writeFile(first, {});
        second = newJournalPath(error);
    }
    EXPECT_EQ(second, first.substr(0, first.size() - 6) + "-2.jsonl") << error;
    // Named by the UTC date, year first, so that names sort by time; the
    // folder made for them is the user's alone.
    const std::time_t now = std::time(nullptr);
    char today[16];
    std::strftime(today, sizeof today, "fix-%Y%m%d-", std::gmtime(&now));
    EXPECT_EQ(stampOf(first).substr(0, 13), today);
    struct stat folder {};
    EXPECT_EQ(::stat(tmp.file("tallowick").c_str(), &folder) == 0 ? folder.st_mode & 0777 : 0,
              0700u);
}

TEST_F(Repair, ARunKilledBetweenTwoFilesIsUndoneCompletely) {
    stage("nes2");
    ::unlink((folder + "/readonly.nes").c_str());
    ::unlink((folder + "/changed.nes").c_str());
    before.erase(folder + "/readonly.nes");
    before.erase(folder + "/changed.nes");
    const pid_t child = ::fork();
    if (child == 0) {
        int writes = 0;
        inesStrm::beforeWriteHook = [&writes] {
            if (++writes == 2) {
                ::_exit(9); // killed after the first header, the second recorded
            }
        };
        ::setenv("XDG_STATE_HOME", tmp.path().c_str(), 1);
        run({"fix", "--db", db, folder});
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
    // The one file in the state folder.
    const std::string name =
        std::filesystem::directory_iterator(tmp.file("tallowick"))->path().string();
    std::string error;
    const auto entries = readJournal(name, error);
    ASSERT_TRUE(entries) << error;
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ(entries->front().path, folder + "/damaged.nes");
    EXPECT_EQ(readFile(folder + "/damaged.nes")[3], 0x1A);
    const Result undone = run({"undo", name});
    EXPECT_EQ(undone.code, 0) << undone.out;
    EXPECT_NE(undone.out.find("2 entries: 1 restored, 1 held the old header, 0 left alone"),
              std::string::npos)
        << undone.out;
    expectAsBefore();
    // A file replaced since the fix is another file: left alone.
    ASSERT_EQ(run({"fix", "--db", db, "--journal", journal, folder}).code, 0);
    const std::string fixedFile = folder + "/fixed.nes";
    writeFile(tmp.file("copy"), before[fixedFile]);
    ::rename(tmp.file("copy").c_str(), fixedFile.c_str());
    const Result replaced = run({"undo", journal});
    EXPECT_EQ(replaced.code, 1);
    EXPECT_NE(replaced.out.find(fixedFile + ": another file has this name now: left alone"),
              std::string::npos)
        << replaced.out;
    EXPECT_EQ(readFile(fixedFile), before[fixedFile]);
}

// The window's batches without the database: bytes 8-15 cleared only where
// they are garbage, and the conversion to NES 2.0; expected bytes by hand.
TEST(BatchEdit, CleanAndConvertPlanWhatSetAndCleanWould) {
    struct Row {
        const char* name;
        BatchEdit edit;
        const char* header;
        RepairKind kind;
        const char* fresh; // the header to write, for `fix`
        const char* why;
    } rows[] = {
        {"garbage cleared", BatchEdit::clean, "4E45531A020110004469736B44756465", RepairKind::fix,
         "4E45531A020110000000000000000000", ""},
        {"iNES 1.0 extension kept", BatchEdit::clean, "4E45531A020110000201000000000000",
         RepairKind::unchanged, "",
         "iNES 1.0 header, bytes 8-10 hold its extension data (PRG-RAM, TV system): left alone"},
        {"NES 2.0 data kept", BatchEdit::clean, "4E45531A02011008000000070000000A",
         RepairKind::unchanged, "", "NES 2.0 header, bytes 8-15 hold data: left alone"},
        {"clean already", BatchEdit::clean, "4E45531A020141000000000000000000",
         RepairKind::unchanged, "", "clean already"},
        {"iNES 1.0 to NES 2.0", BatchEdit::toNes2, "4E45531A020143400000000000000000",
         RepairKind::fix, "4E45531A020143480000700000000000", ""}, // battery: 8 KiB PRG-NVRAM
        {"NES 2.0 stays", BatchEdit::toNes2, "4E45531A02011008000000070000000A",
         RepairKind::unchanged, "", "NES 2.0 already"},
    };
    TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir.file("a.nes");
        const Bytes before = join(fromHex(row.header), data(1));
        writeFile(path, before);
        ImageDocument document(path, Access::readOnly);
        const RepairPlan plan = planEdit(document, row.edit);
        EXPECT_EQ(plan.kind, row.kind);
        EXPECT_EQ(plan.why, row.why);
        EXPECT_EQ(hex(plan.old.data(), 16), row.header);
        if (row.kind == RepairKind::fix) {
            EXPECT_EQ(hex(plan.fresh.data(), 16), row.fresh);
        }
        EXPECT_EQ(readFile(path), before); // planning writes nothing
    }
    // The summary names what a database run did not find, and only then.
    EXPECT_EQ(repairSummary({RepairOutcome::fixed}, false, true),
              "1 image: 1 fixed, 0 unchanged, 0 not in the database");
    EXPECT_EQ(repairSummary({RepairOutcome::unchanged, RepairOutcome::notWritten}, true, false),
              "2 images: 0 would be fixed, 1 unchanged, 1 not written");
}

// A file written twice in one journal ends with the header it had first:
// the entries are undone newest first.
TEST(Journal, AFileWrittenTwiceGetsItsFirstHeaderBack) {
    TempDir dir;
    const std::string path = dir.file("a.nes");
    const Bytes first = join(nrom, data(1));
    writeFile(path, first);
    std::string error;
    const std::unique_ptr<Journal> journal = Journal::create(dir.file("j.jsonl"), error);
    ASSERT_TRUE(journal) << error;
    ASSERT_EQ(::chdir(dir.path().c_str()), 0); // opened by a relative name, undone elsewhere
    ImageDocument document("a.nes", Access::update);
    for (const std::uint8_t mapperLow : {0x10, 0x20}) { // byte 6: mapper 1, then 2
        CartridgeHeader next = document.workingBytes();
        next[6] = mapperLow;
        const std::optional<JournalEntry> entry = journalEntryFor(document, next);
        ASSERT_TRUE(entry && journal->record(*entry, error)) << error;
        document.replace(NesHeader(next));
        ASSERT_EQ(document.save(), WriteResult::written);
    }
    const std::optional<std::vector<JournalEntry>> entries =
        readJournal(dir.file("j.jsonl"), error);
    ASSERT_TRUE(entries && ::chdir("/") == 0) << error;
    std::string seen;
    undoAll(*entries, false, [&](const JournalEntry& entry, const Undo& undo) {
        seen += hex(entry.old.data(), 16).substr(12, 2) + ":" + undoText(undo, false) + " ";
    });
    EXPECT_EQ(seen, "10:restored 00:restored ");
    EXPECT_EQ(readFile(path), first);
}

TEST(Journal, ACutLastLineIsDroppedAndAnythingElseRefused) {
    TempDir tmp;
    const std::string line = "{\"path\":\"a\",\"pathHex\":\"61\",\"device\":1,\"inode\":2,\"old\":"
                             "\"4E45531A010100000000000000000000\",\"new\":\"" +
                             nes2Vertical + "\"}\n";
    const std::string first = "{\"format\":\"tallowick-journal\",\"version\":1}\n";
    const struct {
        std::string text;
        int entries; // -1: refused with `error`
        const char* error;
    } rows[] = {{first + line + line, 2, ""},
                {first + line + line.substr(0, 30), 1, ""},
                {first + line.substr(0, 30) + "\n" + line, -1, "line 2: not a line of a journal"},
                {line, -1, "line 1: not a Tallowick journal of version 1"},
                {"{\"format\":\"tallowick-journal\",\"version\":2}\n", -1,
                 "line 1: not a Tallowick journal of version 1"},
                {first + "{\"path\":\"a\"}\n", -1,
                 "line 2: an entry needs pathHex, device, inode, old and new"},
                {"", -1, "empty: not a Tallowick journal"}};
    for (const auto& row : rows) {
        writeFile(tmp.file("j"), Bytes(row.text.begin(), row.text.end()));
        std::string error;
        const auto entries = readJournal(tmp.file("j"), error);
        EXPECT_EQ(entries ? int(entries->size()) : -1, row.entries) << row.text;
        EXPECT_EQ(error, row.error) << row.text;
    }
}

TEST(SetWords, NamesFromTheTablesStandForTheirCodes) {
    const struct {
        const char* key;
        const char* word;
        int code; // -1: not a word of the field
    } rows[] = {{"timing", "pal", 1},       {"timing", "NTSC", 0},    {"timing", "dendy", 3},
                {"timing", "nes", -1},      {"consoleType", "vs", 1}, {"consoleType", "system", -1},
                {"expansion", "zapper", 8}, {"mapper", "nrom", -1},   {"timing", "2", -1}};
    for (const auto& row : rows) {
        const auto value = valueOfWord(*findField(row.key), row.word);
        EXPECT_EQ(value ? int(*value) : -1, row.code) << row.key << "=" << row.word;
    }
    // Set with words: usage.txt.
}

} // namespace
