#include "repair.h"

#include "descriptor.h"

#include "nesNames.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint64_t headerBytes = 16;
const char* const journalFormat = "tallowick-journal";
constexpr int journalVersion = 1;

std::string systemError(int error) {
    return std::generic_category().message(error);
}

std::optional<std::string> bytesOfHex(std::string_view hex) {
    const auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = digit(hex[i]), low = digit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += char(high * 16 + low);
    }
    return hex.size() % 2 == 0 ? std::optional<std::string>(bytes) : std::nullopt;
}

// Writes all of `text`; the system's error number, 0 when done.
int writeAll(int fd, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, text, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return done < 0 ? errno : EIO;
        }
        text += done;
        size -= std::size_t(done);
    }
    return 0;
}

const DatabaseEntry* findBy(const HeaderDatabase& database, const std::string& crc,
                            const std::string& sha) {
    return crc.empty() || sha.empty() ? nullptr : database.find(crc, sha);
}

} // namespace

std::optional<FixFormat> fixFormatNamed(std::string_view name) {
    static const std::pair<const char*, FixFormat> names[] = {
        {"nes2", FixFormat::nes2}, {"ines1", FixFormat::ines1}, {"keep", FixFormat::keep}};
    for (const auto& [text, format] : names) {
        if (name == text) {
            return format;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- the plan

RepairPlan planRepair(ImageDocument& document, const HeaderDatabase& database, FixFormat format,
                      bool headerless) {
    RepairPlan plan;
    inesStrm* stream = document.stream();
    if (stream == nullptr) {
        plan.why = document.problemText();
        return plan;
    }
    plan.old = stream->base();
    const bool ines = document.usable();
    bool trainer = false;
    if (document.fileSize() >= headerBytes) {
        document.scan();
        const ImageReport& report = *document.report();
        if (!report.complete) {
            plan.why = report.readError.empty() ? std::string("the file could not be read")
                                                : "cannot read: " + report.readError;
            return plan;
        }
        const Hashes& hashes = report.hashes;
        plan.entry = findBy(database, hashes.bodyCrc32, hashes.bodySha1);
        trainer = plan.entry != nullptr && NesHeader(plan.old).trainer() &&
                  hashes.bodySha1 != hashes.romSha1;
        if (plan.entry == nullptr) {
            plan.entry = findBy(database, hashes.romCrc32, hashes.romSha1);
        }
        plan.damaged = plan.entry != nullptr && !ines;
    }
    const bool added = plan.entry == nullptr && !ines && headerless;
    if (added) {
        const Descriptor fd(stream->duplicate());
        const std::optional<WholeFileHashes> hashes =
            fd.get() >= 0 ? hashWholeFile(fd.get()) : std::nullopt;
        if (!hashes) {
            plan.why = "the file could not be read";
            return plan;
        }
        plan.entry = findBy(database, hashes->crc32, hashes->sha1);
    }
    if (plan.entry == nullptr) {
        plan.kind = RepairKind::notFound;
        return plan;
    }
    NesHeader wanted = plan.entry->header;
    wanted.setTrainer(trainer);
    const bool keepsNes2 = !ines || NesHeader(plan.old).isNes2();
    if (format == FixFormat::ines1 || (format == FixFormat::keep && !keepsNes2)) {
        if (!wanted.convertsToInes1WithoutLoss()) {
            plan.kind = RepairKind::notExpressible;
            plan.why = "not fixable in iNES 1.0 form: " + lostInInes1Text(wanted);
            return plan;
        }
        wanted = wanted.toInes1();
    }
    plan.fresh = wanted.bytes();
    plan.kind = added                    ? RepairKind::addHeader
                : plan.fresh == plan.old ? RepairKind::unchanged
                                         : RepairKind::fix;
    return plan;
}

RepairPlan planEdit(const ImageDocument& document, BatchEdit edit) {
    RepairPlan plan;
    if (!document.usable()) {
        plan.why = document.problemText();
        return plan;
    }
    const NesHeader old = document.base();
    plan.old = old.bytes();
    NesHeader fresh = old;
    if (edit == BatchEdit::clean && old.hasGarbage()) {
        fresh = old.cleaned();
    } else if (edit == BatchEdit::clean) {
        plan.why = whyLeftClean(old);
    } else if (old.isNes2()) {
        plan.why = "NES 2.0 already";
    } else {
        fresh = old.toNes2();
    }
    plan.fresh = fresh.bytes();
    plan.kind = plan.fresh == plan.old ? RepairKind::unchanged : RepairKind::fix;
    return plan;
}

std::string whyLeftClean(const NesHeader& header) {
    return header.isNes2() ? "NES 2.0 header, bytes 8-15 hold data: left alone"
           : header.holdsInes1Extension()
               ? "iNES 1.0 header, bytes 8-10 hold its extension data (PRG-RAM, TV system): "
                 "left alone"
               : "clean already";
}

namespace {

const RepairWords repairWords[repairOutcomes] = {
    {RepairOutcome::fixed, "fixed", "would be fixed", "fixed", "fixed", "would be fixed", false},
    {RepairOutcome::unchanged, "unchanged", "unchanged", "unchanged", "unchanged", "unchanged",
     false},
    {RepairOutcome::notFound, "not in the database", "not in the database", "notInDatabase",
     "not in the database", "not in the database", false},
    {RepairOutcome::notFixable, nullptr, nullptr, "notFixable", "not fixable in that form",
     "not fixable in that form", false},
    {RepairOutcome::notWritten, nullptr, nullptr, "notWritten", "not written", "not written", true},
    {RepairOutcome::unreadable, nullptr, nullptr, "unreadable", "could not be read",
     "could not be read", true},
    {RepairOutcome::added, "header added", "header would be added", "headerAdded", "headers added",
     "headers would be added", false},
};

} // namespace

const RepairWords& wordsFor(RepairOutcome outcome) {
    return repairWords[static_cast<int>(outcome)];
}

RepairOutcome outcomeOf(RepairKind kind) {
    static const std::pair<RepairKind, RepairOutcome> kinds[] = {
        {RepairKind::fix, RepairOutcome::fixed},
        {RepairKind::unchanged, RepairOutcome::unchanged},
        {RepairKind::notFound, RepairOutcome::notFound},
        {RepairKind::notExpressible, RepairOutcome::notFixable},
        {RepairKind::unreadable, RepairOutcome::unreadable},
        {RepairKind::addHeader, RepairOutcome::added}};
    return std::find_if(std::begin(kinds), std::end(kinds),
                        [kind](const auto& row) { return row.first == kind; })
        ->second;
}

std::string repairSummary(const std::vector<RepairOutcome>& outcomes, bool dryRun, bool database) {
    std::size_t counts[repairOutcomes] = {};
    for (const RepairOutcome outcome : outcomes) {
        ++counts[static_cast<int>(outcome)];
    }
    std::string summary =
        std::to_string(outcomes.size()) + (outcomes.size() == 1 ? " image" : " images");
    const char* separator = ": ";
    for (const RepairWords& words : repairWords) {
        const int kind = static_cast<int>(words.outcome);
        const bool always = words.outcome == RepairOutcome::fixed ||
                            words.outcome == RepairOutcome::unchanged ||
                            (database && words.outcome == RepairOutcome::notFound);
        if (always || counts[kind] > 0) {
            const char* one = dryRun ? words.dryLine : words.line;
            const char* many = dryRun ? words.dryCounted : words.counted;
            summary += separator + std::to_string(counts[kind]) + " " +
                       (counts[kind] == 1 && one != nullptr ? one : many);
            separator = ", ";
        }
    }
    return summary;
}

std::string whyNotWritten(WriteResult result, const std::string& error) {
    return std::string("not written: ") + wordsFor(result).brief +
           (error.empty() ? std::string() : " (" + error + ")");
}

std::function<void(const std::string&)> beforeRepairWriteHook;

WriteResult applyRepair(ImageDocument& document, const RepairPlan& plan, bool dryRun) {
    if (beforeRepairWriteHook) {
        beforeRepairWriteHook(document.path());
    }
    if (plan.damaged && document.stream() != nullptr) {
        document.stream()->acceptDamagedHeader(true);
    }
    document.replace(NesHeader(plan.fresh));
    return document.save(false, dryRun);
}

std::optional<std::string> writeWithHeader(ImageDocument& document, const RepairPlan& plan,
                                           const std::string& folder, bool dryRun,
                                           std::string& error) {
    const std::string& path = document.path();
    std::string name = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    name = (dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name) + ".nes";
    const std::string target = folder + "/" + name;
    struct stat seen {};
    if (dryRun) {
        // A name taken already is refused as the write's exclusive open would.
        const int found = ::lstat(target.c_str(), &seen) == 0 ? EEXIST : errno;
        if (found != ENOENT) {
            error = target + ": " + systemError(found);
            return std::nullopt;
        }
        return target;
    }
    const Descriptor in(document.stream() != nullptr ? document.stream()->duplicate() : -1);
    const Descriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (in.get() < 0 || out.get() < 0) {
        error = target + ": " + systemError(errno);
        return std::nullopt;
    }
    int failure =
        writeAll(out.get(), reinterpret_cast<const char*>(plan.fresh.data()), plan.fresh.size());
    std::vector<char> buffer(1 << 20);
    for (off_t at = 0; failure == 0;) {
        const ssize_t got = ::pread(in.get(), buffer.data(), buffer.size(), at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            failure = got < 0 ? errno : 0;
            break;
        }
        failure = writeAll(out.get(), buffer.data(), std::size_t(got));
        at += got;
    }
    if (failure == 0 && ::fsync(out.get()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(target.c_str());
        error = target + ": " + systemError(failure);
        return std::nullopt;
    }
    return target;
}

// ---------------------------------------------------------------- the journal

std::unique_ptr<Journal> Journal::create(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create the journal " + printable(path) + ": " + systemError(errno);
        return nullptr;
    }
    std::unique_ptr<Journal> journal(new Journal(path, fd));
    const std::string first = std::string("{\"format\":\"") + journalFormat +
                              "\",\"version\":" + std::to_string(journalVersion) + "}\n";
    if (const int failure = writeAll(fd, first.data(), first.size());
        failure != 0 || ::fsync(fd) != 0) {
        error = "cannot write the journal " + printable(path) + ": " +
                systemError(failure != 0 ? failure : errno);
        return nullptr;
    }
    // The journal's name in its folder reaches the disk too.
    const std::size_t slash = path.find_last_of('/');
    const Descriptor folder(
        ::open(slash == std::string::npos ? "." : path.substr(0, slash + 1).c_str(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
    return journal;
}

Journal::~Journal() {
    ::close(fd);
}

bool Journal::record(const JournalEntry& entry, std::string& error) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
    const std::string shown = printable(entry.path);
    const std::string hexPath =
        upperHex(reinterpret_cast<const std::uint8_t*>(entry.path.data()), entry.path.size());
    const std::string old = upperHex(entry.old.data(), entry.old.size());
    const std::string fresh = upperHex(entry.fresh.data(), entry.fresh.size());
    json.StartObject();
    json.Key("path");
    json.String(shown.c_str());
    json.Key("pathHex");
    json.String(hexPath.c_str());
    json.Key("device");
    json.Uint64(entry.device);
    json.Key("inode");
    json.Uint64(entry.inode);
    json.Key("old");
    json.String(old.c_str());
    json.Key("new");
    json.String(fresh.c_str());
    json.EndObject();
    const std::string line = std::string(buffer.GetString(), buffer.GetSize()) + "\n";
    const int failure = writeAll(fd, line.data(), line.size());
    if (failure != 0 || ::fdatasync(fd) != 0) {
        error = "cannot write the journal " + printable(name) + ": " +
                systemError(failure != 0 ? failure : errno);
        return false;
    }
    return true;
}

std::string newJournalPath(std::string& error) {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string folder;
    if (state != nullptr && state[0] == '/') {
        folder = state;
    } else if (home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.local/state";
    } else {
        error = "no state folder: neither XDG_STATE_HOME nor HOME is set (use --journal FILE)";
        return {};
    }
    folder += "/tallowick";
    for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = "cannot make " + printable(part) + ": " + systemError(errno);
            return {};
        }
        if (at == std::string::npos) {
            break;
        }
    }
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    // Two batches of one program within a second get names of their own.
    const std::string base = folder + "/fix-" + stamp + "-" + std::to_string(::getpid());
    struct stat seen {};
    for (int number = 1; number < 1000; ++number) {
        const std::string name =
            base + (number == 1 ? std::string() : "-" + std::to_string(number)) + ".jsonl";
        if (::lstat(name.c_str(), &seen) != 0 && errno == ENOENT) {
            return name;
        }
    }
    error = "no free journal name in " + printable(folder);
    return {};
}

std::optional<std::vector<JournalEntry>> readJournal(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open: " + systemError(errno);
        return std::nullopt;
    }
    std::stringstream whole;
    whole << file.rdbuf();
    const std::string text = whole.str();
    std::vector<JournalEntry> entries;
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        ++number;
        const auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(number) + ": " + what;
            return std::nullopt;
        };
        rapidjson::Document json;
        json.Parse(line.c_str(), line.size());
        if (json.HasParseError() || !json.IsObject()) {
            if (end == std::string::npos && number > 1) {
                break; // cut short while it was written
            }
            return fail("not a line of a journal");
        }
        if (number == 1) {
            const bool named = json.HasMember("format") && json["format"].IsString() &&
                               json["format"].GetString() == std::string(journalFormat);
            if (!named || !json.HasMember("version") || !json["version"].IsInt() ||
                json["version"].GetInt() != journalVersion) {
                return fail("not a Tallowick journal of version 1");
            }
            continue;
        }
        JournalEntry entry;
        const auto text = [&](const char* key) -> std::optional<std::string> {
            return json.HasMember(key) && json[key].IsString() ? bytesOfHex(json[key].GetString())
                                                               : std::nullopt;
        };
        const auto number64 = [&](const char* key) {
            return json.HasMember(key) && json[key].IsUint64();
        };
        const std::optional<std::string> name = text("pathHex"), old = text("old"),
                                         fresh = text("new");
        if (!name || name->empty() || !old || old->size() != 16 || !fresh || fresh->size() != 16 ||
            !number64("device") || !number64("inode")) {
            return fail("an entry needs pathHex, device, inode, old and new");
        }
        entry.path = *name;
        entry.device = json["device"].GetUint64();
        entry.inode = json["inode"].GetUint64();
        std::copy(old->begin(), old->end(), entry.old.begin());
        std::copy(fresh->begin(), fresh->end(), entry.fresh.begin());
        entries.push_back(entry);
    }
    if (number == 0) {
        error = "empty: not a Tallowick journal";
        return std::nullopt;
    }
    return entries;
}

std::optional<JournalEntry> journalEntryFor(const ImageDocument& document,
                                            const CartridgeHeader& fresh) {
    const Descriptor fd(document.stream() != nullptr ? document.stream()->duplicate() : -1);
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0) {
        return std::nullopt;
    }
    // A relative name would mean another file to an undo run elsewhere.
    std::string path = document.path();
    if (path.empty() || path.front() != '/') {
        char* here = ::getcwd(nullptr, 0);
        path = here != nullptr ? std::string(here) + "/" + path : path;
        std::free(here);
    }
    return JournalEntry{path, std::uint64_t(status.st_dev), std::uint64_t(status.st_ino),
                        document.stream()->base(), fresh};
}

Undo undoEntry(const JournalEntry& entry, bool dryRun) {
    ImageDocument document(entry.path, Access::update);
    const std::optional<JournalEntry> now = journalEntryFor(document, entry.fresh);
    if (!now) {
        return {UndoResult::unreadable, WriteResult::written,
                document.problemText().empty() ? "cannot open" : document.problemText()};
    }
    if (now->device != entry.device || now->inode != entry.inode) {
        return {UndoResult::otherFile, WriteResult::written, {}};
    }
    if (now->old == entry.old) {
        return {UndoResult::alreadyOld, WriteResult::written, {}};
    }
    if (now->old != entry.fresh) {
        return {UndoResult::changed, WriteResult::written, {}};
    }
    document.replace(NesHeader(entry.old));
    const WriteResult result = document.save(false, dryRun);
    if (result != WriteResult::written) {
        return {UndoResult::notWritten, result, document.writeError()};
    }
    return {UndoResult::restored, result, {}};
}

const UndoWords& wordsFor(UndoResult result) {
    static const UndoWords undoWords[] = {
        {UndoResult::restored, "restored", "would be restored", false},
        {UndoResult::alreadyOld, "holds the old header already", "holds the old header already",
         false},
        {UndoResult::changed, "changed since the fix: left alone",
         "changed since the fix: left alone", true},
        {UndoResult::otherFile, "another file has this name now: left alone",
         "another file has this name now: left alone", true},
        {UndoResult::unreadable, nullptr, nullptr, true},
        {UndoResult::notWritten, nullptr, nullptr, true},
    };
    return *std::find_if(std::begin(undoWords), std::end(undoWords),
                         [&](const UndoWords& w) { return w.result == result; });
}

// ---------------------------------------------------------------- a batch

namespace {
const char* const noJournal = "not written: the journal could not be written";
} // namespace

RepairWriter::RepairWriter(std::string journalPath) : wanted(std::move(journalPath)) {}

RepairWriter::Written RepairWriter::write(ImageDocument& document, const RepairPlan& plan,
                                          bool dryRun) {
    // A plan made from another reading of the file (the window's preview)
    // holds only while the file still has the header it was made from.
    if (document.stream() == nullptr || document.stream()->base() != plan.old) {
        return {RepairOutcome::notWritten, whyNotWritten(WriteResult::changedOnDisk, {}), {}};
    }
    if (!dryRun) {
        if (!failure.empty()) {
            return {RepairOutcome::notWritten, noJournal, {}};
        }
        if (!journal_) {
            const std::string path = wanted.empty() ? newJournalPath(failure) : wanted;
            journal_ = path.empty() ? nullptr : Journal::create(path, failure);
        }
        const std::optional<JournalEntry> entry = journalEntryFor(document, plan.fresh);
        if (!journal_ || !entry || !journal_->record(*entry, failure)) {
            failure = failure.empty() ? "cannot tell the file's identity" : failure;
            return {RepairOutcome::notWritten, noJournal, failure};
        }
    }
    const WriteResult result = applyRepair(document, plan, dryRun);
    if (result != WriteResult::written) {
        return {RepairOutcome::notWritten, whyNotWritten(result, document.writeError()), {}};
    }
    return {RepairOutcome::fixed, {}, {}};
}

std::string undoText(const Undo& undo, bool dryRun) {
    const UndoWords& words = wordsFor(undo.kind);
    const char* word = dryRun ? words.dryLine : words.line;
    return word != nullptr                       ? std::string(word)
           : undo.kind == UndoResult::notWritten ? whyNotWritten(undo.result, undo.why)
                                                 : undo.why;
}

void undoAll(const std::vector<JournalEntry>& entries, bool dryRun,
             const std::function<void(const JournalEntry&, const Undo&)>& each) {
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        each(*entry, undoEntry(*entry, dryRun));
    }
}

// ---------------------------------------------------------------- value words

namespace {

struct FieldTable {
    const char* key;
    const CodeTable* table;
};
const FieldTable fieldTables[] = {
    {"consoleType", &consoleTypes},
    {"timing", &timings},
    {"vsPpu", &vsPpuTypes},
    {"vsHardware", &vsHardwareTypes},
    {"extendedConsole", &extendedConsoleTypes},
    {"expansion", &expansionDevices},
};

// The name's words, lower-cased: runs of letters and digits, numbers left out
// (a number is read as the code itself), and so are single letters and
// linking words.
std::vector<std::string> wordsOf(const char* name) {
    std::vector<std::string> words;
    std::string word;
    for (const char* c = name;; ++c) {
        const char lower = *c >= 'A' && *c <= 'Z' ? char(*c - 'A' + 'a') : *c;
        if ((lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9')) {
            word += lower;
            continue;
        }
        // Linking words and single letters name nothing.
        static const char* const linking[] = {"and", "or", "on", "of", "the", "via", "with"};
        const bool linkingWord =
            std::find(std::begin(linking), std::end(linking), word) != std::end(linking);
        if (word.size() > 1 && !linkingWord &&
            word.find_first_not_of("0123456789") != std::string::npos) {
            words.push_back(word);
        }
        word.clear();
        if (*c == '\0') {
            return words;
        }
    }
}

} // namespace

std::vector<ValueWord> valueWords(const HeaderField& field) {
    const auto found =
        std::find_if(std::begin(fieldTables), std::end(fieldTables),
                     [&](const FieldTable& t) { return field.key == std::string_view(t.key); });
    std::vector<ValueWord> words;
    if (found == std::end(fieldTables)) {
        return words;
    }
    const CodeTable& table = *found->table;
    // For each word: the codes whose names start with it, and all codes that hold it.
    std::map<std::string, std::vector<int>> first, any;
    for (int i = 0; i < table.size; ++i) {
        const CodeName& row = table.rows[i];
        if (row.reserved) {
            continue;
        }
        std::vector<std::string> named = wordsOf(row.name);
        if (!named.empty()) {
            first[named.front()].push_back(row.code);
        }
        std::sort(named.begin(), named.end());
        named.erase(std::unique(named.begin(), named.end()), named.end());
        for (const std::string& word : named) {
            any[word].push_back(row.code);
        }
    }
    for (const auto& [word, codes] : any) {
        const auto starts = first.find(word);
        if (starts != first.end() ? starts->second.size() == 1 : codes.size() == 1) {
            words.push_back({word, starts != first.end() ? starts->second.front() : codes.front()});
        }
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const ValueWord& a, const ValueWord& b) { return a.code < b.code; });
    return words;
}

std::optional<std::uint64_t> valueOfWord(const HeaderField& field, std::string_view word) {
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    for (const ValueWord& known : valueWords(field)) {
        if (known.word == lower) {
            return std::uint64_t(known.code);
        }
    }
    return std::nullopt;
}
