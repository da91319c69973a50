// One cartridge image as both faces see it: the window and the command line
// open, clean, edit, check, compare and save an image only through this
// class, so that they never give different answers about the same file.
// Plain C++: no Qt.
//
// The document holds the open stream, the header as last loaded or written
// (the base) and the working copy that edits change. Every field edit goes
// through the header model; nothing here codes header bits by hand.
#pragma once

#include "headerDatabase.h"
#include "imageCheck.h"
#include "inesStrm.h"
#include "nesHeader.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Why an image cannot be used.
enum class OpenProblem {
    none,
    missing,        // no file of that name
    cannotOpen,     // it exists but cannot be opened
    notRegularFile, // a folder, a FIFO, a device or a socket
    tooShort,       // shorter than the 16-byte header
    notInes         // does not start with "NES" and $1A
};

// One field in which a header and the header database's entry differ.
struct FieldDifference {
    const HeaderField* field;
    std::string ours, theirs; // the values as a user reads them
};

// The fields in which `header` differs from the database's `entry`. A header
// that is not NES 2.0 is compared only in the fields it can hold.
std::vector<FieldDifference> databaseDifferences(const NesHeader& header, const NesHeader& entry);
// The same as findings: one warning per field ("database-mapper").
std::vector<Finding> differenceFindings(const std::vector<FieldDifference>& differences);

// `text` safe to print on one line of a terminal or a label: control
// characters (C0, DEL, C1, U+2028, U+2029) and bytes that are not UTF-8 are
// shown escaped ("\n", "\x1B", "\u0085"); everything else is kept.
std::string printable(std::string_view text);

// The worst severity among the findings.
std::optional<Severity> worstOf(const std::vector<Finding>& findings);
// "2 errors, 1 warning", "none".
std::string tally(const std::vector<Finding>& findings);

// What became of a write, in words: `brief` for a line of the command line,
// `message` for the window's box.
struct WriteWords {
    WriteResult result;
    const char* brief;
    const char* message;
};
const WriteWords& wordsFor(WriteResult result);

class ImageDocument {
public:
    // Opens `path` (bytes, as the system names the file) without blocking;
    // only a regular file that holds an iNES header can be used.
    explicit ImageDocument(std::string path, Access access = Access::update);
    ~ImageDocument();
    ImageDocument(const ImageDocument&) = delete;
    ImageDocument& operator=(const ImageDocument&) = delete;

    const std::string& path() const { return name; }
    bool usable() const { return problem_ == OpenProblem::none; }
    OpenProblem problem() const { return problem_; }
    // Why it cannot be used, as one line ("too short for an iNES header: 4 bytes").
    const std::string& problemText() const { return problemText_; }
    // The open stream; nullptr when the file could not be opened.
    inesStrm* stream() const { return strm.get(); }
    bool writable() const { return strm != nullptr && strm->isWritable() != 0; }
    std::uint64_t fileSize() const { return size; }

    // ------------------------------------------------------------ the header

    // As last loaded or written, and as the user has changed it.
    NesHeader base() const;
    const NesHeader& working() const { return work; }
    const CartridgeHeader& workingBytes() const { return work.bytes(); }
    bool modified() const { return usable() && work != base(); }

    // The field edit: only the field's bits change (setting the mapper keeps
    // byte 7's console-type bits in every format). Nothing changes on a refusal.
    Refusal set(const HeaderField& field, std::uint64_t value);
    // A ROM page count (16 KiB PRG, 8 KiB CHR), always in the plain form.
    Refusal setPages(bool prg, int pages);
    // A whole header at once: a finding's fix, a conversion, an undo.
    void replace(const NesHeader& header) { work = header; }
    // Throws the edits away.
    void revert() { work = base(); }

    // To NES 2.0 (an archaic or iNES 0.7 header takes its mapper from byte 6
    // alone), or to iNES 1.0 where that loses nothing; a refusal says what
    // would be lost.
    Refusal convert(bool toNes2);

    // ------------------------------------------------------------ garbage

    // Bytes 8-15 hold garbage: not NES 2.0 data, not iNES 1.0 extension data.
    bool hasGarbage() const { return base().hasGarbage(); }
    // When they do: writes the header with bytes 8-15 zero through the
    // checked write (a dry run only checks) and, unless it was refused, makes
    // it the working copy. Nothing when there is no garbage.
    std::optional<WriteResult> clean(bool dryRun = false);
    // For an archaic or iNES 0.7 header whose byte 7 changes the mapper, the
    // mapper byte 6 alone gives: the one probably meant when byte 7 is an old
    // tool's junk.
    std::optional<int> probableMapper() const;

    // ------------------------------------------------------------ the check

    // What is wrong with the working copy against the file.
    std::vector<Finding> findings() const;

    // Reads and hashes the whole file. The job holds its own descriptor and
    // the header, shares nothing with the document and may run on another
    // thread; give its result to takeReport.
    using ScanJob = std::function<ImageReport(const Progress&, const std::atomic<bool>*)>;
    ScanJob scanJob() const;
    void takeReport(ImageReport report);
    // scanJob and takeReport at once.
    void scan();
    const std::optional<ImageReport>& report() const { return report_; }

    // ------------------------------------------------------------ the header database

    // Finds the image's entry by the hashes of its data (needs a report).
    void lookUp(const HeaderDatabase* database);
    const DatabaseEntry* entry() const { return entry_; }
    std::vector<FieldDifference> differences() const;
    // Takes the entry's values of `fields` (all differing fields when empty)
    // into the working copy, converting it to NES 2.0 first.
    Refusal take(const std::vector<const HeaderField*>& fields = {});

    // ------------------------------------------------------------ saving

    // The checked write of the working copy; it becomes the base. A dry run
    // makes every check and writes nothing.
    WriteResult save(bool overwriteChanges = false, bool dryRun = false);
    // The system's reason for the last refused write, when it gave one
    // ("No space left on device").
    std::string writeError() const;
    // Loads the file again, dropping the edits; false when it can no longer
    // be used (see problem()).
    bool reload();

private:
    void open(Access access);
    // Reads the file's last bytes, where an old tool's title may sit, so that
    // the findings can name it before the whole file is read.
    void readTail();
    WriteResult write(const NesHeader& header, bool overwriteChanges, bool dryRun);

    std::string name;
    std::unique_ptr<inesStrm> strm;
    OpenProblem problem_ = OpenProblem::none;
    std::string problemText_;
    std::uint64_t size = 0;
    NesHeader work;
    std::string tail;
    std::optional<ImageReport> report_;
    const DatabaseEntry* entry_ = nullptr;
};

// Every finding the faces report: the check's, a read that failed, and one
// per field in which the database differs.
std::vector<Finding> reportedFindings(const ImageDocument& document);

// One image at a glance, in the words `info` prints the fields in.
struct ImageSummary {
    std::string format, mapper, prg, chr, mirroring; // mirroring: "four-screen" when set
    bool battery;
    std::string verdict; // "fine", or the tally of the findings
};
ImageSummary summarize(const ImageDocument& document, const std::vector<Finding>& findings);
// The image against the database (after lookUp): "matched", "differs in 2
// fields", "not found", or "no database" when none is loaded.
std::string databaseState(const ImageDocument& document, const HeaderDatabase* database);
