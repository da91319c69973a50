#include "commands.h"

#include "commandLine.h"
#include "fileList.h"
#include "imageFile.h"
#include "inOrder.h"
#include "repair.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <sys/stat.h>

namespace {

const char* const program = "tallowick-cli";

std::string problemLine(const std::string& path, const std::string& message) {
    return std::string(program) + ": " + printable(path) + ": " + printable(message) + "\n";
}

Verdict verdictOf(const std::vector<Finding>& findings) {
    const std::optional<Severity> worst = worstOf(findings);
    return !worst || *worst == Severity::info ? Verdict::fine
           : *worst == Severity::error        ? Verdict::errors
                                              : Verdict::warnings;
}

int exitFor(Verdict worst) {
    return worst >= Verdict::errors ? exitFailed : exitFine;
}

// Prints outcomes in order (stdout first, so that a message on stderr
// follows the results before it) and keeps the worst verdict.
struct Printer {
    std::ostream& out;
    std::ostream& err;
    Verdict worst = Verdict::fine;

    void operator()(const Outcome& outcome) {
        out << outcome.out;
        if (!outcome.err.empty()) {
            out.flush();
            err << outcome.err;
        }
        worst = std::max(worst, outcome.verdict);
    }
};

// Loads --db before any file is looked at; false after a message.
bool loadDatabase(const Options& options, std::optional<HeaderDatabase>& database,
                  std::ostream& err) {
    if (!options.database) {
        return true;
    }
    std::string error;
    database = HeaderDatabase::load(*options.database, error);
    if (!database) {
        err << program << ": cannot use the header database " << printable(*options.database)
            << ": " << printable(error) << "\n";
    }
    for (const std::string& note : database ? database->notes() : std::vector<std::string>()) {
        err << program << ": header database " << printable(*options.database) << ": "
            << printable(note) << "\n";
    }
    return database.has_value();
}

// ---------------------------------------------------------------- edits

struct Word {
    const char* text;
    std::uint64_t value;
};
const Word flagWords[] = {{"0", 0}, {"1", 1}, {"false", 0}, {"true", 1}, {"no", 0}, {"yes", 1}};
const Word mirroringWords[] = {{"horizontal", 0}, {"h", 0}, {"vertical", 1}, {"v", 1}};
const Word formatWords[] = {{"ines1", 0}, {"nes2", 1}};

template <std::size_t n>
std::optional<std::uint64_t> wordValue(const Word (&words)[n], std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    for (const Word& word : words) {
        if (lower == word.text) {
            return word.value;
        }
    }
    return std::nullopt;
}

// Decimal, or hexadecimal after 0x.
std::optional<std::uint64_t> numberValue(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// How a value of each kind of field is typed.
struct KindParser {
    FieldKind kind;
    std::optional<std::uint64_t> (*parse)(std::string_view);
    const char* expected;
};
const KindParser kindParsers[] = {
    {FieldKind::number, numberValue, "a decimal or 0x hex number"},
    {FieldKind::flag, [](std::string_view t) { return wordValue(flagWords, t); },
     "0, 1, true, false, yes or no"},
    {FieldKind::mirroring, [](std::string_view t) { return wordValue(mirroringWords, t); },
     "horizontal, vertical, h or v"},
    {FieldKind::size, parseSize, "a size such as 24576, 32K or 2M"},
};

const KindParser& parserOf(FieldKind kind) {
    return *std::find_if(std::begin(kindParsers), std::end(kindParsers),
                         [kind](const KindParser& p) { return p.kind == kind; });
}

struct Edit {
    const HeaderField* field;
    std::uint64_t value;
    std::string text; // as typed, for messages
};

struct EditPlan {
    std::optional<bool> toNes2; // format=nes2 / format=ines1
    std::vector<Edit> edits;
    std::vector<std::string> files;
};

bool looksLikeAssignment(const std::string& arg) {
    const std::size_t equals = arg.find('=');
    return equals != std::string::npos && equals > 0 &&
           std::all_of(arg.begin(), arg.begin() + long(equals),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// FIELD=VALUE... then FILE...; the error for the first bad assignment.
std::optional<EditPlan> planEdits(const std::vector<std::string>& args, std::string& error) {
    EditPlan plan;
    auto arg = args.begin();
    for (; arg != args.end() && looksLikeAssignment(*arg); ++arg) {
        const std::size_t equals = arg->find('=');
        const std::string key = arg->substr(0, equals);
        const std::string_view value = std::string_view(*arg).substr(equals + 1);
        if (key == "format") {
            const std::optional<std::uint64_t> nes2 = wordValue(formatWords, value);
            if (!nes2) {
                error = *arg + ": the format is nes2 or ines1";
                return std::nullopt;
            }
            plan.toNes2 = *nes2 != 0;
            continue;
        }
        const HeaderField* field = findField(key == "console" ? "consoleType" : key);
        if (field == nullptr) {
            error = *arg + ": there is no field " + key;
            return std::nullopt;
        }
        const KindParser& parser = parserOf(field->kind);
        std::optional<std::uint64_t> parsed = parser.parse(value);
        if (!parsed) {
            parsed = valueOfWord(*field, value);
        }
        if (!parsed) {
            error = *arg + ": " + key + " takes " + parser.expected +
                    (valueWords(*field).empty() ? "" : " or a name (see --help)");
            return std::nullopt;
        }
        plan.edits.push_back({field, *parsed, *arg});
    }
    plan.files.assign(arg, args.end());
    if (!plan.toNes2 && plan.edits.empty()) {
        error = "no FIELD=VALUE given";
        return std::nullopt;
    }
    if (plan.files.empty()) {
        error = "no FILE given";
        return std::nullopt;
    }
    return plan;
}

// To NES 2.0 before the fields (which may need it), to iNES 1.0 after them
// (which may clear what iNES 1.0 cannot hold).
Refusal applyPlan(ImageDocument& document, const EditPlan& plan) {
    if (plan.toNes2 == true) {
        document.convert(true);
    }
    for (const Edit& edit : plan.edits) {
        if (Refusal refusal = document.set(*edit.field, edit.value)) {
            return edit.text + ": " + *refusal;
        }
    }
    if (plan.toNes2 == false) {
        if (Refusal refusal = document.convert(false)) {
            return "format=ines1: " + *refusal;
        }
    }
    return std::nullopt;
}

// What became of writing the document's working copy over `old`.
Outcome writeOutcome(const ImageDocument& document, const NesHeader& old, WriteResult result,
                     bool dryRun, const std::string& note) {
    const std::string& path = document.path();
    if (result != WriteResult::written) {
        return {{},
                problemLine(path, std::string("not written: ") + wordsFor(result).brief +
                                      (document.writeError().empty()
                                           ? std::string()
                                           : " (" + document.writeError() + ")")),
                Verdict::failed};
    }
    return {printable(path) + (dryRun ? ": would be written (dry run)\n" : ": written\n") +
                "  old " + hexOf(old.bytes(), true) + "\n  new " +
                hexOf(document.working().bytes(), true) + "\n" + note,
            {},
            Verdict::fine};
}

// Writes the document's working copy over the image's header (or only
// checks that it could with --dry-run); `note` follows the result line.
Outcome writeChange(ImageDocument& document, bool dryRun, const std::string& note = {}) {
    const NesHeader old = document.base();
    if (document.working() == old) {
        return {printable(document.path()) + ": unchanged\n" + note, {}, Verdict::fine};
    }
    const WriteResult result = document.save(false, dryRun);
    return writeOutcome(document, old, result, dryRun, note);
}

// One file at a time: the same file named twice must see its first edit.
// Folders are walked as `info` walks them.
int editFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& err,
              const std::function<Outcome(ImageDocument&)>& edit) {
    Printer printer{out, err};
    const std::vector<Target> targets = expandPaths(files);
    runInOrder(
        targets.size(), 1,
        [&](std::size_t index) {
            const Target& target = targets[index];
            if (!target.error.empty()) {
                return Outcome{{}, problemLine(target.path, target.error), Verdict::failed};
            }
            ImageDocument document(target.path, Access::update);
            if (!document.usable()) {
                return Outcome{
                    {}, problemLine(target.path, document.problemText()), Verdict::failed};
            }
            return edit(document);
        },
        std::ref(printer));
    return exitFor(printer.worst);
}

// Reads every image named (folders walked) on worker threads: `read` makes
// each one's outcome, `take` gets them in the order named. The number of
// images read, or nothing when the header database cannot be read.
std::optional<std::size_t>
readImages(const Options& options, std::ostream& err,
           const std::function<Outcome(const std::string&, const std::string&, ImageDocument&,
                                       const HeaderDatabase*)>& read,
           const std::function<void(const Outcome&)>& take) {
    std::optional<HeaderDatabase> database;
    if (!loadDatabase(options, database, err)) {
        return std::nullopt;
    }
    const std::vector<Target> targets = expandPaths(options.arguments);
    runInOrder(
        targets.size(), defaultJobs(targets.size()),
        [&](std::size_t index) {
            const Target& target = targets[index];
            // A folder the walk could not read is not opened at all.
            ImageDocument document(target.error.empty() ? target.path : std::string(),
                                   Access::readOnly);
            return read(target.path, target.error.empty() ? document.problemText() : target.error,
                        document, database ? &*database : nullptr);
        },
        take);
    return targets.size();
}

} // namespace

std::string setFieldsHelp() {
    std::string text = "\nFields:\n  format           nes2 or ines1 (ines1 only without loss)\n";
    for (int i = 0; i < headerFieldCount; ++i) {
        const HeaderField& field = headerFields[i];
        const std::string key = field.key;
        text += "  " + key + std::string(17 - std::min<std::size_t>(key.size(), 16), ' ') +
                parserOf(field.kind).expected + (field.nes2Only ? " (NES 2.0 only)" : "") + "\n";
        std::string line = "                   or";
        for (const ValueWord& word : valueWords(field)) {
            const std::string item = " " + word.word + " (" + std::to_string(word.code) + ")";
            if (line.size() + item.size() > 78) {
                text += line + "\n";
                line = "                     ";
            }
            line += item;
        }
        text += line.size() > 21 ? line + "\n" : std::string();
    }
    return text + "  console          the same as consoleType\n" +
           "Name a file that holds '=' with a '/', e.g. ./a=b.nes.\n";
}

int usageError(std::ostream& err, const std::string& command, const std::string& message) {
    err << program << " " << command << ": " << printable(message) << "\nTry '" << program << " "
        << command << " --help'.\n";
    return exitUsage;
}

int runInfo(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.empty()) {
        return usageError(err, "info", "no PATH given");
    }
    if (options.noHashes && options.database) {
        return usageError(err, "info", "--db looks images up by their hashes: drop --no-hashes");
    }
    if (options.json && options.brief) {
        return usageError(err, "info", "--brief and --json exclude each other");
    }
    Printer printer{out, err};
    const auto read = [&](const std::string& path, const std::string& problem,
                          ImageDocument& document, const HeaderDatabase* database) {
        if (!problem.empty()) {
            return options.json ? Outcome{errorJson(path, problem), {}, Verdict::failed}
                                : Outcome{{}, problemLine(path, problem), Verdict::failed};
        }
        if (!options.noHashes) {
            document.scan();
            document.lookUp(database);
        }
        const std::vector<Finding> findings = reportedFindings(document);
        return Outcome{options.json    ? imageJson(document, findings, database != nullptr)
                       : options.brief ? briefLine(document, findings, database)
                                       : imageText(document, findings, database != nullptr),
                       {},
                       verdictOf(findings)};
    };
    return readImages(options, err, read, std::ref(printer)) ? exitFor(printer.worst) : exitFailed;
}

int runCheck(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.empty()) {
        return usageError(err, "check", "no PATH given");
    }
    std::size_t counts[4] = {};
    Printer printer{out, err};
    const auto read = [&](const std::string& path, const std::string& problem,
                          ImageDocument& document, const HeaderDatabase* database) {
        if (!problem.empty()) {
            return Outcome{{}, problemLine(path, problem), Verdict::failed};
        }
        document.scan();
        document.lookUp(database);
        const std::vector<Finding> findings = reportedFindings(document);
        Outcome outcome{{}, {}, verdictOf(findings)};
        if (options.verbose) {
            for (const Finding& finding : findings) {
                outcome.out += printable(path) + ": " + severityName(finding.severity) + " " +
                               finding.id + ": " + printable(finding.message) + "\n";
            }
            if (findings.empty()) {
                outcome.out = printable(path) + ": fine\n";
            }
        } else if (outcome.verdict != Verdict::fine) {
            const Finding& worst = *std::min_element(
                findings.begin(), findings.end(),
                [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
            outcome.out =
                printable(path) + ": " + tally(findings) + ": " + printable(worst.message) + "\n";
        }
        return outcome;
    };
    const std::optional<std::size_t> files = readImages(options, err, read, [&](const Outcome& o) {
        printer(o);
        ++counts[static_cast<int>(o.verdict)];
    });
    if (!files) {
        return exitFailed;
    }
    auto count = [](std::size_t n, const char* what) { return std::to_string(n) + " " + what; };
    out << count(*files, *files == 1 ? "file: " : "files: ")
        << count(counts[int(Verdict::errors)], "with errors, ")
        << count(counts[int(Verdict::warnings)], "with warnings, ")
        << count(counts[int(Verdict::fine)], "fine")
        << (counts[int(Verdict::failed)] > 0
                ? ", " + count(counts[int(Verdict::failed)], "could not be read")
                : std::string())
        << "\n";
    return exitFor(printer.worst);
}

int runSet(const Options& options, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::optional<EditPlan> plan = planEdits(options.arguments, error);
    if (!plan) {
        return usageError(err, "set", error);
    }
    return editFiles(plan->files, out, err, [&](ImageDocument& document) {
        if (Refusal refusal = applyPlan(document, *plan)) {
            return Outcome{{}, problemLine(document.path(), *refusal), Verdict::failed};
        }
        return writeChange(document, options.dryRun);
    });
}

int runClean(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.empty()) {
        return usageError(err, "clean", "no FILE given");
    }
    return editFiles(options.arguments, out, err, [&](ImageDocument& document) {
        const std::string& path = document.path();
        // An old tool's junk in byte 7 stays: cleaning only clears bytes 8-15.
        const std::optional<int> mapper = document.probableMapper();
        const std::string note =
            mapper ? "  byte 7 looks like an old tool's junk: the mapper is probably " +
                         std::to_string(*mapper) + " (byte 6 alone), not " +
                         std::to_string(document.working().mapper()) + "\n"
                   : std::string();
        const NesHeader old = document.base();
        const std::optional<WriteResult> cleaned = document.clean(options.dryRun);
        if (!cleaned) {
            return Outcome{
                printable(path) + ": " + whyLeftClean(old) + "\n" + note, {}, Verdict::fine};
        }
        return writeOutcome(document, old, *cleaned, options.dryRun, note);
    });
}

// ---------------------------------------------------------------- fix and undo

int runFix(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.empty()) {
        return usageError(err, "fix", "no PATH given");
    }
    if (!options.database) {
        return usageError(err, "fix", "--db FILE is needed: images are fixed from the database");
    }
    const std::optional<FixFormat> format = fixFormatNamed(options.format.value_or("nes2"));
    if (!format) {
        return usageError(err, "fix", "--format takes nes2, ines1 or keep");
    }
    struct stat folder {};
    if (options.headerlessOut &&
        (::stat(options.headerlessOut->c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))) {
        return usageError(err, "fix", "--headerless-out needs a folder: " + *options.headerlessOut);
    }
    std::optional<HeaderDatabase> database;
    if (!loadDatabase(options, database, err)) {
        return exitFailed;
    }
    const std::vector<Target> targets = expandPaths(options.arguments);
    std::vector<RepairOutcome> results(targets.size(), RepairOutcome::unreadable);
    RepairWriter writer(options.journal.value_or(""));
    // Writes happen on one thread, in order, each recorded in the journal
    // first; a dry run writes nothing and reads on every core.
    const unsigned jobs = options.dryRun ? defaultJobs(targets.size()) : 1;
    const auto work = [&](std::size_t index) {
        const std::string& path = targets[index].path;
        RepairLine line;
        line.path = path;
        line.dryRun = options.dryRun;
        std::string detail, message;
        RepairOutcome& result = results[index];
        RepairPlan plan;
        ImageDocument document(targets[index].error.empty() ? path : std::string(), Access::update);
        if (!targets[index].error.empty()) {
            plan.why = targets[index].error;
        } else {
            plan = planRepair(document, *database, *format, options.headerlessOut.has_value());
        }
        result = outcomeOf(plan.kind);
        line.why = plan.why;
        line.entry = plan.entry;
        line.old = document.stream() != nullptr ? &plan.old : nullptr;
        line.fresh = plan.kind == RepairKind::fix || plan.kind == RepairKind::addHeader ||
                             plan.kind == RepairKind::unchanged
                         ? &plan.fresh
                         : nullptr;
        if (plan.kind == RepairKind::addHeader) {
            const std::optional<std::string> written =
                writeWithHeader(document, plan, *options.headerlessOut, options.dryRun, line.why);
            result = written ? RepairOutcome::added : RepairOutcome::notWritten;
            line.written = written.value_or("");
        } else if (plan.kind == RepairKind::fix) {
            const bool hadJournal = writer.journal() != nullptr;
            RepairWriter::Written written = writer.write(document, plan, options.dryRun);
            if (!hadJournal && writer.journal() != nullptr) {
                message += std::string(program) +
                           ": journal: " + printable(writer.journal()->path()) + "\n";
            }
            if (!written.problem.empty()) {
                message += problemLine(path, written.problem);
            }
            result = written.outcome;
            line.why = result == RepairOutcome::notWritten ? written.why : line.why;
        }
        const RepairWords& words = wordsFor(result);
        line.result = words.json;
        const Verdict verdict = words.failed ? Verdict::failed : Verdict::fine;
        if (options.json) {
            return Outcome{repairJson(line), message, verdict};
        }
        const char* word = options.dryRun ? words.dryLine : words.line;
        std::string text = printable(path) + ": " + (word != nullptr ? word : printable(line.why));
        if (result == RepairOutcome::added) {
            text += " in " + printable(line.written);
        }
        text += "\n";
        if (result == RepairOutcome::fixed || result == RepairOutcome::added) {
            text += (result == RepairOutcome::fixed ? "  old " + hexOf(plan.old, true) + "\n"
                                                    : std::string()) +
                    "  new " + hexOf(plan.fresh, true) + "\n";
        }
        return Outcome{text, message, verdict};
    };
    Printer printer{out, err};
    runInOrder(targets.size(), jobs, work, std::ref(printer));
    const std::string summary = repairSummary(results, options.dryRun, true);
    out.flush();
    (options.json ? err : out) << summary << (options.dryRun ? " (dry run)\n" : "\n");
    return exitFor(printer.worst);
}

int runUndo(const Options& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() != 1) {
        return usageError(err, "undo", "give one JOURNAL");
    }
    std::string error;
    const std::optional<std::vector<JournalEntry>> entries =
        readJournal(options.arguments.front(), error);
    if (!entries) {
        err << problemLine(options.arguments.front(), error);
        return exitFailed;
    }
    std::size_t restored = 0, already = 0, left = 0;
    bool failed = false;
    undoAll(*entries, options.dryRun, [&](const JournalEntry& entry, const Undo& undo) {
        out << printable(entry.path) << ": " << printable(undoText(undo, options.dryRun)) << "\n";
        if (undo.kind == UndoResult::restored) {
            out << "  old " << hexOf(entry.fresh, true) << "\n  new " << hexOf(entry.old, true)
                << "\n";
        }
        failed = failed || wordsFor(undo.kind).failed;
        ++(undo.kind == UndoResult::restored     ? restored
           : undo.kind == UndoResult::alreadyOld ? already
                                                 : left);
    });
    out << entries->size() << (entries->size() == 1 ? " entry: " : " entries: ") << restored
        << (options.dryRun ? " would be restored, " : " restored, ") << already
        << " held the old header, " << left << " left alone\n";
    return failed ? exitFailed : exitFine;
}
