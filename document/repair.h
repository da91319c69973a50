// Repairing images from the header database, for both faces: what a fix
// would write (the plan), writing it through the checked write, the journal
// that records every header before it is written, and its undo. Plain C++.
#pragma once

#include "imageDocument.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The form a fixed header takes: NES 2.0, iNES 1.0 where that loses nothing,
// or each header's own (NES 2.0 stays NES 2.0, any older form becomes iNES
// 1.0 under the same rule, a damaged header becomes NES 2.0).
enum class FixFormat { nes2, ines1, keep };
std::optional<FixFormat> fixFormatNamed(std::string_view name); // "nes2", "ines1", "keep"

// What a fix makes of one image.
enum class RepairKind {
    fix,            // a new header to write
    unchanged,      // the header already is the database's
    notFound,       // the data is in no entry
    notExpressible, // the entry's header has no iNES 1.0 form
    unreadable,     // the file could not be opened or read
    addHeader       // a headerless file matched: a new file gets header and data
};

struct RepairPlan {
    RepairKind kind = RepairKind::unreadable;
    CartridgeHeader old{};   // the header as read (the first 16 bytes)
    CartridgeHeader fresh{}; // the header to write
    const DatabaseEntry* entry = nullptr;
    bool damaged = false; // the first 16 bytes are no iNES header, the data after them matched
    std::string why;      // for notExpressible and unreadable
};

// Reads and looks up the open document. An image is found by the hashes of
// its data after the header and trainer, else after the 16 header bytes
// alone (a trainer flag set by mistake), whatever those 16 bytes hold. With
// `headerless`, a file without an iNES header is also looked up by the
// hashes of the whole file. The fixed header keeps the trainer flag exactly
// when the match skipped a trainer, so it always fits its file.
RepairPlan planRepair(ImageDocument& document, const HeaderDatabase& database, FixFormat format,
                      bool headerless);

// Writes plan.fresh over the document's header through the checked write
// (a dry run checks it); a damaged header may be written over when it is
// still the one read.
WriteResult applyRepair(ImageDocument& document, const RepairPlan& plan, bool dryRun);
// For tests only: runs in applyRepair just before the checked write, with
// the file's path, so that a test can change the file there as another
// program might between the reading and the writing. Empty in the program.
extern std::function<void(const std::string&)> beforeRepairWriteHook;

// For an addHeader plan: creates `folder`/<the file's name, ".nes" for its
// extension> holding plan.fresh and then the whole file, never over an
// existing file; the original is only read. The new file's path, or nothing
// with `error` set. A dry run only tells the path and whether it is free.
std::optional<std::string> writeWithHeader(ImageDocument& document, const RepairPlan& plan,
                                           const std::string& folder, bool dryRun,
                                           std::string& error);

// The plans of a batch that does not use the database: bytes 8-15 cleared
// where they hold garbage (as `clean` does), or the header converted to NES
// 2.0 (as `set format=nes2` does). An image with nothing to change is
// `unchanged`, with the reason in `why`.
enum class BatchEdit { clean, toNes2 };
RepairPlan planEdit(const ImageDocument& document, BatchEdit edit);
// Why `clean` leaves a header without garbage alone ("clean already", "NES
// 2.0 header, bytes 8-15 hold data: left alone", ...).
std::string whyLeftClean(const NesHeader& header);

// What became of one image of a batch, and how each face says it.
enum class RepairOutcome { fixed, unchanged, notFound, notFixable, notWritten, unreadable, added };
constexpr int repairOutcomes = 7;
struct RepairWords {
    RepairOutcome outcome;
    const char* line;    // after "PATH: "; nullptr: the reason is the line
    const char* dryLine; // the same in a dry run
    const char* json;
    const char* counted;    // in the summary, for a count other than 1 (for 1: `line`, if any)
    const char* dryCounted; // the same in a dry run (for 1: `dryLine`)
    bool failed;            // the image could not be read or written
};
const RepairWords& wordsFor(RepairOutcome outcome);
RepairOutcome outcomeOf(RepairKind kind);
// "12 images: 3 fixed, 8 unchanged, 1 not in the database": fixed and
// unchanged always, not found when the database was asked, the others when
// they happened.
std::string repairSummary(const std::vector<RepairOutcome>& outcomes, bool dryRun, bool database);
// "not written: <the write's words> (<the system's reason>)".
std::string whyNotWritten(WriteResult result, const std::string& error);

// ---------------------------------------------------------------- the journal
//
// One file of JSON lines. The first names the format:
//   {"format":"tallowick-journal","version":1}
// then one line per header about to be written, flushed to the disk before
// the write:
//   {"path":"a.nes","pathHex":"612E6E6573","device":2049,"inode":1234,
//    "old":"4E45531A...","new":"4E45531A..."}
// `path` is for reading (escaped like printable()); `pathHex` holds the
// exact bytes of the name.

struct JournalEntry {
    std::string path;
    std::uint64_t device = 0, inode = 0;
    CartridgeHeader old{}, fresh{};
};

class Journal {
public:
    // Creates the journal at `path` (never over an existing file) and writes
    // its first line; nothing with `error` set.
    static std::unique_ptr<Journal> create(const std::string& path, std::string& error);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;
    const std::string& path() const { return name; }
    // Appends `entry` and flushes it to the disk; false with `error` set.
    bool record(const JournalEntry& entry, std::string& error);

private:
    Journal(std::string path, int fd) : name(std::move(path)), fd(fd) {}
    std::string name;
    int fd;
};

// A new journal's path in the user's state folder ($XDG_STATE_HOME, else
// ~/.local/state, then tallowick/), creating the folders; empty with `error`
// set when there is none.
std::string newJournalPath(std::string& error);

// The journal's entries in the order written; nothing with `error` set
// (the line and what is wrong). A last line cut short by a crash is left out.
std::optional<std::vector<JournalEntry>> readJournal(const std::string& path, std::string& error);

// The identity of the document's file as the journal keeps it.
std::optional<JournalEntry> journalEntryFor(const ImageDocument& document,
                                            const CartridgeHeader& fresh);

// What undoing one entry came to.
enum class UndoResult {
    restored,   // the old header is back (in a dry run: would be)
    alreadyOld, // the file holds the old header: it was never written
    changed,    // the file holds neither header: left alone
    otherFile,  // the path names another file now: left alone
    unreadable, // it could not be opened
    notWritten  // the checked write refused (see `result`)
};
struct Undo {
    UndoResult kind;
    WriteResult result = WriteResult::written;
    std::string why; // for unreadable and notWritten
};
// Puts entry.old back where the file still holds entry.fresh.
Undo undoEntry(const JournalEntry& entry, bool dryRun);
// Undoes a journal's entries newest first, so that a file written twice
// ends with the header it had before the first write; `each` gets every
// entry with what became of it.
void undoAll(const std::vector<JournalEntry>& entries, bool dryRun,
             const std::function<void(const JournalEntry&, const Undo&)>& each);

// How each outcome of an undo reads; `failed` ones make the exit code 1.
struct UndoWords {
    UndoResult result;
    const char* line;    // nullptr: the reason is the line
    const char* dryLine; // the same in a dry run
    bool failed;
};
const UndoWords& wordsFor(UndoResult result);
// What became of one entry, in words ("restored", "not written: ...").
std::string undoText(const Undo& undo, bool dryRun);

// ---------------------------------------------------------------- a batch

// Writes the headers of a batch in order, each recorded in the journal and
// flushed before it is written. The journal is made before the first write;
// once it cannot be made or written, nothing more is written.
class RepairWriter {
public:
    // `journalPath` empty: a new journal in the user's state folder.
    explicit RepairWriter(std::string journalPath = {});
    struct Written {
        RepairOutcome outcome;
        std::string why;     // for notWritten
        std::string problem; // what went wrong with the journal, once
    };
    // Writes a `fix` plan (a dry run records and writes nothing), unless the
    // file no longer holds the header the plan was made from.
    Written write(ImageDocument& document, const RepairPlan& plan, bool dryRun);
    // The journal, once the first write made it.
    const Journal* journal() const { return journal_.get(); }

private:
    std::string wanted;
    std::unique_ptr<Journal> journal_;
    std::string failure; // the journal could not be made or written
};

// ---------------------------------------------------------------- value words

// The words `set` takes for a coded field's values ("timing=pal"): a word of
// the code's name in the names tables, lower-cased, that names one code
// only; the first word of a name wins over a word further in. Empty for a
// field without a names table.
struct ValueWord {
    std::string word;
    int code;
};
std::vector<ValueWord> valueWords(const HeaderField& field);
std::optional<std::uint64_t> valueOfWord(const HeaderField& field, std::string_view word);
