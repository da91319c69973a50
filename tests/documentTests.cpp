// The image document: one meaning for every edit, conversion, cleaning and
// comparison with the header database, whichever face asks. Each row runs
// against the document, and the rows the command line can express run
// through `tallowick-cli set`/`clean` too: both must leave the same bytes.
#include "TestFiles.h"
#include "commandLine.h"
#include "imageDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

using namespace testfiles;

// "4E45531A..." for the 16 bytes at the start of a file.
std::string hexOf(const Bytes& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < 16 && i < bytes.size(); ++i) {
        hex += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
    }
    return hex;
}

struct EditRow {
    const char* name;
    const char* before; // the file's header
    const char* edit;   // FIELD=VALUE, format=nes2|ines1, or clean
    const char* after;  // the header written, or "refused: <part of the reason>"
};

// clang-format off
const EditRow editRows[] = {
    {"MapperKeepsVsBitsInInes1", "4E45531A020100010000000000000000", "mapper=0x35", "4E45531A020150310000000000000000"},
    {"MapperKeepsConsoleTypeInNes2", "4E45531A020100090000000000000000", "mapper=0x123", "4E45531A020130290100000000000000"},
    {"MapperPastIne1Refused", "4E45531A020100000000000000000000", "mapper=256", "refused: 0 to 255"},
    {"FlagChangesOneBit", "4E45531A0201F0000000000000000000", "battery=1", "4E45531A0201F2000000000000000000"},
    {"SizeTakesExponentForm", "4E45531A020100080000000000000000", "prgRomBytes=768", "4E45531A21010008000F000000000000"},
    {"SizeSevenTimesPowerOfTwo", "4E45531A020100080000000000000000", "prgRomBytes=7K", "4E45531A2B010008000F000000000000"},
    {"SizeInMebibytes", "4E45531A020100080000000000000000", "prgRomBytes=2M", "4E45531A800100080000000000000000"},
    {"ToNes2ImpliesRam", "4E45531A020002000000000000000000", "format=nes2", "4E45531A020002080000700700000000"},
    {"ArchaicToNes2TakesByte6Alone", "4E45531A020110446973", "format=nes2", "4E45531A020110080000070000000000"},
    {"LossyToIne1Refused", "4E45531A020100080000070001000000", "format=ines1", "refused: timing"},
    {"LosslessToIne1", "4E45531A020100080000070000000000", "format=ines1", "4E45531A020100000000000000000000"},
    {"CleanKeepsIne1Extension", "4E45531A020100001001000000000000", "clean", "4E45531A020100001001000000000000"},
    {"CleanClearsPastIne1Extension", "4E45531A020100001101000000000000", "clean", "4E45531A020100000000000000000000"},
    {"CleanClearsGarbage", "4E45531A020100000000004142434400", "clean", "4E45531A020100000000000000000000"},
    {"CleanLeavesNes2Data", "4E45531A020100080000070001000000", "clean", "4E45531A020100080000070001000000"},
};
// clang-format on

class Edits : public ::testing::TestWithParam<EditRow> {};

// The document's answer, then the command line's on a copy of the same file.
TEST_P(Edits, DocumentAndCommandLineAgree) {
    const EditRow& row = GetParam();
    TempDir tmp;
    const std::string path = tmp.file("game.nes");
    Bytes header = fromHex(row.before);
    header.resize(16, 0);
    const Bytes file = image(header, 16384 * header[4] + 8192 * header[5]);
    writeFile(path, file);
    const std::string edit = row.edit;
    Refusal refusal;
    {
        ImageDocument document(path);
        ASSERT_TRUE(document.usable()) << document.problemText();
        const std::size_t equals = edit.find('=');
        if (edit == "clean") {
            document.clean();
        } else if (edit.rfind("format=", 0) == 0) {
            refusal = document.convert(edit == "format=nes2");
        } else {
            const HeaderField& field = *findField(edit.substr(0, equals));
            const std::string value = edit.substr(equals + 1);
            refusal = document.set(field, field.kind == FieldKind::size
                                              ? parseSize(value).value_or(UINT64_MAX)
                                              : std::stoull(value, nullptr, 0));
        }
        if (!refusal && edit != "clean") {
            EXPECT_EQ(document.save(), WriteResult::written);
        }
    }
    const std::string expected = row.after;
    if (expected.rfind("refused: ", 0) == 0) {
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find(expected.substr(9)), std::string::npos) << *refusal;
    }
    const std::string kept = expected.rfind("refused: ", 0) == 0 ? hexOf(file) : expected;
    Bytes now = readFile(path);
    EXPECT_EQ(hexOf(now), kept);
    EXPECT_TRUE(std::equal(now.begin() + 16, now.end(), file.begin() + 16, file.end()));

    writeFile(path, file);
    std::ostringstream out, err;
    const std::vector<std::string> args = edit == "clean"
                                              ? std::vector<std::string>{"clean", path}
                                              : std::vector<std::string>{"set", edit, path};
    const int code = runCommandLine(args, out, err);
    EXPECT_EQ(code, kept == expected ? 0 : 1) << err.str();
    now = readFile(path);
    EXPECT_EQ(hexOf(now), kept) << out.str() << err.str();
    EXPECT_TRUE(std::equal(now.begin() + 16, now.end(), file.begin() + 16, file.end()));
}

INSTANTIATE_TEST_SUITE_P(Document, Edits, ::testing::ValuesIn(editRows),
                         [](const auto& info) { return std::string(info.param.name); });

struct DifferenceRow {
    const char* name;
    const char* header;
    const char* entry;
    const char* differs; // the fields' keys
};

// clang-format off
const DifferenceRow differenceRows[] = {
    {"Ines1AgreesInWhatItHolds", "4E45531A020101000000000000000000", "4E45531A020101080000070001000001", ""},
    {"Ines1MapperDiffers", "4E45531A020111000000000000000000", "4E45531A020101080000070000000001", "mapper"},
    {"Ines1ConsoleBitsDiffer", "4E45531A020101010000000000000000", "4E45531A020101080000070000000001", "consoleType"},
    {"Nes2EveryField", "4E45531A020101080000070000000001", "4E45531A030002081000700101000002",
     "submapper prgRomBytes chrRomBytes mirroring battery prgRamBytes prgNvramBytes chrRamBytes timing "
     "expansion"},
};
// clang-format on

class Differences : public ::testing::TestWithParam<DifferenceRow> {};

TEST_P(Differences, OnlyFieldsTheHeaderHolds) {
    const DifferenceRow& row = GetParam();
    auto headerOf = [](const char* hex) {
        CartridgeHeader bytes{};
        const Bytes parsed = fromHex(hex);
        std::copy(parsed.begin(), parsed.end(), bytes.begin());
        return NesHeader(bytes);
    };
    std::string keys;
    for (const FieldDifference& difference :
         databaseDifferences(headerOf(row.header), headerOf(row.entry))) {
        keys += (keys.empty() ? "" : " ") + std::string(difference.field->key);
    }
    EXPECT_EQ(keys, row.differs);
}

INSTANTIATE_TEST_SUITE_P(Document, Differences, ::testing::ValuesIn(differenceRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Taking the database's fields: an iNES 1.0 working copy becomes the
// entry's NES 2.0 header, and check --db then finds no difference.
TEST(Document, TakeAllMakesTheEntrysHeader) {
    TempDir tmp;
    const std::string path = tmp.file("game.nes");
    writeFile(path, image(fromHex("4E45531A020111000000000000000000"), 40960));
    ImageDocument document(path);
    document.scan();
    const Hashes& hashes = document.report()->hashes;
    const std::string text =
        "<nes20db><game><!-- x --><prgrom size='32768'/><chrrom size='8192'/><rom size='40960' "
        "crc32='" +
        hashes.bodyCrc32 + "' sha1='" + hashes.bodySha1 +
        "'/><prgnvram size='8192'/><pcb mapper='1' submapper='0' mirroring='V' battery='1'/>"
        "<console type='0' region='1'/><expansion type='1'/></game></nes20db>";
    std::string error;
    const auto database = HeaderDatabase::parse(text, error);
    ASSERT_TRUE(database) << error;
    document.lookUp(&*database);
    ASSERT_NE(document.entry(), nullptr);
    ASSERT_EQ(document.differences().size(), 1u); // the battery: all iNES 1.0 holds
    EXPECT_FALSE(document.take());
    EXPECT_EQ(document.working(), document.entry()->header);
    EXPECT_EQ(document.save(), WriteResult::written);
    const std::string db = tmp.file("db.xml");
    writeFile(db, Bytes(text.begin(), text.end()));
    std::ostringstream out, err;
    EXPECT_EQ(runCommandLine({"check", "--verbose", "--db", db, path}, out, err), 0);
    EXPECT_NE(out.str().find(": fine"), std::string::npos) << out.str();
}

// Cleaning is the checked write: a header another program changed since the
// load is neither cleaned over nor reported as cleaned, and it writes the
// file's own header cleaned, whatever the working copy holds.
TEST(Document, CleaningIsTheCheckedWrite) {
    TempDir tmp;
    const std::string path = tmp.file("game.nes");
    writeFile(path, image(fromHex("4E45531A020100000000004142434400"), 40960));
    ImageDocument document(path);
    const Bytes theirs = image(fromHex("4E45531A020100000000004142434401"), 40960);
    writeFile(path, theirs);
    EXPECT_EQ(document.clean(), WriteResult::changedOnDisk);
    EXPECT_EQ(readFile(path), theirs);
    // Edits not applied stay out of the file: only its own header is cleaned.
    ImageDocument edited(path);
    ASSERT_FALSE(edited.setPages(true, 4));
    EXPECT_EQ(edited.clean(), WriteResult::written);
    EXPECT_EQ(readFile(path), image(fromHex("4E45531A020100000000000000000000"), 40960));
}

// Text from files (names, database comments, titles) printed on one line:
// controls, line separators and bytes that are not UTF-8 escaped.
TEST(Document, PrintableTextCannotForgeLines) {
    const std::pair<std::string, std::string> rows[] = {
        {"Zelda \xE2\x80\x93 \xC3\x84rger.nes", "Zelda \xE2\x80\x93 \xC3\x84rger.nes"},
        {"\xF0\x9F\x8E\xAE \xF4\x8F\xBF\xBF.nes", "\xF0\x9F\x8E\xAE \xF4\x8F\xBF\xBF.nes"},
        {"a\nb: fine\r\t", "a\\nb: fine\\r\\t"},
        {"\x1B[31mred\x7F", "\\x1B[31mred\\x7F"},
        {"\xE2\x80\xA8\xE2\x80\xA9\xC2\x85", "\\u2028\\u2029\\u0085"},
        {"caf\xE9\xC0\x80\xED\xA0\x80.nes", "caf\\xE9\\xC0\\x80\\xED\\xA0\\x80.nes"}};
    for (const auto& [raw, shown] : rows) {
        EXPECT_EQ(printable(raw), shown);
    }
    // A name with a newline and a comment with one stay one line each.
    TempDir tmp;
    const std::string path = tmp.file("x\n/tmp/y: fine.nes");
    std::filesystem::create_directories(tmp.file("x\n/tmp"));
    writeFile(path, image(fromHex("4E45531A020100000000000000000000"), 32768));
    ImageDocument document(path);
    document.scan();
    const Hashes& hashes = document.report()->hashes;
    const std::string db = tmp.file("db.xml");
    const std::string text = "<nes20db><game><!-- All well\nx: fine --><prgrom size='32768'/><rom "
                             "size='32768' crc32='" +
                             hashes.bodyCrc32 + "' sha1='" + hashes.bodySha1 +
                             "'/><pcb mapper='0'/></game></nes20db>";
    writeFile(db, Bytes(text.begin(), text.end()));
    std::ostringstream out, err;
    runCommandLine({"info", "--db", db, tmp.path()}, out, err);
    EXPECT_NE(out.str().find("x\\n/tmp/y: fine.nes\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("  Database          All well\\nx: fine\n"), std::string::npos);
}

} // namespace
