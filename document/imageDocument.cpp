#include "imageDocument.h"

#include "descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint64_t headerBytes = 16;
constexpr std::uint64_t titleBytes = 128;

const WriteWords writeWords[] = {
    {WriteResult::written, "written", ""},
    {WriteResult::readOnly, "the file is read-only",
     "The file cannot be written because it is read-only or\nis in use by another application."},
    {WriteResult::moved, "the file was moved, replaced or deleted meanwhile",
     "The file was moved, replaced or deleted since it was loaded.\nNothing was written."},
    {WriteResult::truncated, "the file is shorter than 16 bytes now",
     "The file is shorter than 16 bytes now: another program has cut it short.\nNothing was "
     "written."},
    {WriteResult::notInes, "the file is no longer an iNES image",
     "The file no longer starts with an iNES header (\"NES\" and $1A):\nanother program has "
     "changed it. Nothing was written."},
    {WriteResult::changedOnDisk, "another program changed the header meanwhile",
     "Another program has changed the header of this file since it was loaded.\n\nOverwrite it "
     "with the header shown here, or reload the file and lose your changes?"},
    {WriteResult::failed, "the system refused the write",
     "Writing the header to the file failed.\nThe file may be on a full disk or a faulty medium, "
     "\nand its header may not hold your changes."},
    {WriteResult::locked, "another program is writing the file",
     "Another program is writing this file and did not finish in time.\nNothing was written: "
     "try again in a moment."},
};

// The length of the UTF-8 sequence at `at` and its code point; 0 when the
// bytes there are not one.
std::size_t utf8At(std::string_view text, std::size_t at, char32_t& point) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || at + length > text.size()) {
        return 0;
    }
    point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (byte(i) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return point < least[length] || point > 0x10FFFF || surrogate ? 0 : length;
}

struct Escape {
    char32_t point;
    const char* text;
};
const Escape namedEscapes[] = {{'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}};

} // namespace

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t point = 0;
        const std::size_t length = utf8At(text, at, point);
        char escape[16];
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[at]));
            shown += escape;
            ++at;
            continue;
        }
        const bool control =
            point < 0x20 || (point >= 0x7F && point <= 0x9F) || point == 0x2028 || point == 0x2029;
        if (!control) {
            shown.append(text.substr(at, length));
        } else {
            const auto named = std::find_if(std::begin(namedEscapes), std::end(namedEscapes),
                                            [point](const Escape& e) { return e.point == point; });
            if (named != std::end(namedEscapes)) {
                shown += named->text;
            } else {
                std::snprintf(escape, sizeof escape, point < 0x80 ? "\\x%02X" : "\\u%04X",
                              static_cast<unsigned>(point));
                shown += escape;
            }
        }
        at += length;
    }
    return shown;
}

std::optional<Severity> worstOf(const std::vector<Finding>& findings) {
    std::optional<Severity> worst;
    for (const Finding& finding : findings) {
        if (!worst || finding.severity < *worst) {
            worst = finding.severity;
        }
    }
    return worst;
}

std::string tally(const std::vector<Finding>& findings) {
    struct Words {
        Severity severity;
        const char* one;
        const char* many;
    };
    static const Words words[] = {{Severity::error, "error", "errors"},
                                  {Severity::warning, "warning", "warnings"},
                                  {Severity::info, "note", "notes"}};
    std::string text;
    for (const Words& word : words) {
        const auto count = std::count_if(findings.begin(), findings.end(), [&](const Finding& f) {
            return f.severity == word.severity;
        });
        if (count > 0) {
            text += (text.empty() ? "" : ", ") + std::to_string(count) + " " +
                    (count == 1 ? word.one : word.many);
        }
    }
    return text.empty() ? "none" : text;
}

const WriteWords& wordsFor(WriteResult result) {
    return *std::find_if(std::begin(writeWords), std::end(writeWords),
                         [result](const WriteWords& words) { return words.result == result; });
}

std::vector<FieldDifference> databaseDifferences(const NesHeader& header, const NesHeader& entry) {
    std::vector<FieldDifference> differences;
    for (int i = 0; i < headerFieldCount; ++i) {
        const HeaderField& field = headerFields[i];
        if (holdsField(header, field) && field.get(header) != field.get(entry)) {
            differences.push_back({&field, valueText(field, header), valueText(field, entry)});
        }
    }
    return differences;
}

std::vector<Finding> differenceFindings(const std::vector<FieldDifference>& differences) {
    std::vector<Finding> findings;
    for (const FieldDifference& difference : differences) {
        findings.push_back({Severity::warning,
                            std::string("database-") + difference.field->key,
                            std::string(difference.field->label) + " is " + difference.ours +
                                ", the header database says " + difference.theirs,
                            std::nullopt,
                            {}});
    }
    return findings;
}

// ---------------------------------------------------------------- opening

ImageDocument::ImageDocument(std::string path, Access access) : name(std::move(path)) {
    open(access);
}

ImageDocument::~ImageDocument() = default;

void ImageDocument::open(Access access) {
    report_.reset();
    entry_ = nullptr;
    tail.clear();
    size = 0;
    work = NesHeader();
    problem_ = OpenProblem::none;
    problemText_.clear();
    strm = std::make_unique<inesStrm>(name.c_str(), access);
    const int openError = strm->openError();
    if (!strm->isOpen()) {
        const bool special = strm->openFailure() == OpenFailure::notRegularFile;
        strm.reset();
        problem_ = special               ? OpenProblem::notRegularFile
                   : openError == ENOENT ? OpenProblem::missing
                                         : OpenProblem::cannotOpen;
        problemText_ = special ? "not a regular file (a folder, FIFO, device or socket)"
                               : "cannot open: " + std::generic_category().message(openError);
        return;
    }
    CartridgeHeader bytes{};
    strm->readHeader(&bytes);
    work = NesHeader(bytes);
    size = strm->sizeAtOpen();
    if (const std::optional<std::string> why = explainNotInes(bytes, size)) {
        problem_ = size < headerBytes ? OpenProblem::tooShort : OpenProblem::notInes;
        problemText_ = size < headerBytes ? *why : "not an iNES image: " + *why;
    }
    // An old tool's title sits in the last bytes: the findings name it before
    // the whole file is read, whoever asks.
    readTail();
}

NesHeader ImageDocument::base() const {
    return strm != nullptr ? NesHeader(strm->base()) : NesHeader();
}

bool ImageDocument::reload() {
    open(strm != nullptr && !strm->isWritable() ? Access::readOnly : Access::update);
    return usable();
}

// ---------------------------------------------------------------- editing

Refusal ImageDocument::set(const HeaderField& field, std::uint64_t value) {
    NesHeader edited = work;
    if (Refusal refusal = field.set(edited, value)) {
        return refusal;
    }
    work = edited;
    return std::nullopt;
}

Refusal ImageDocument::setPages(bool prg, int pages) {
    NesHeader edited = work;
    if (Refusal refusal = prg ? edited.setPrgRomPages(pages) : edited.setChrRomPages(pages)) {
        return refusal;
    }
    work = edited;
    return std::nullopt;
}

Refusal ImageDocument::convert(bool toNes2) {
    if (toNes2) {
        if (!work.isNes2()) {
            work = work.toNes2();
        }
        return std::nullopt;
    }
    if (!work.isNes2()) {
        if (work.format().format == HeaderFormat::ines1) {
            return std::nullopt;
        }
        return std::string("only an NES 2.0 header converts to iNES 1.0, and this one is ") +
               work.format().name;
    }
    if (!work.convertsToInes1WithoutLoss()) {
        return "iNES 1.0 cannot hold " + lostInInes1Text(work);
    }
    work = work.toInes1();
    return std::nullopt;
}

// ---------------------------------------------------------------- garbage

std::optional<WriteResult> ImageDocument::clean(bool dryRun) {
    if (!hasGarbage()) {
        return std::nullopt;
    }
    const NesHeader cleaned = base().cleaned();
    const WriteResult result = write(cleaned, false, dryRun);
    if (result == WriteResult::written) {
        work = cleaned;
    }
    return result;
}

std::optional<int> ImageDocument::probableMapper() const {
    const HeaderFormat format = work.format().format;
    const int fromByte6 = work.bytes()[6] >> 4;
    if ((format != HeaderFormat::archaic && format != HeaderFormat::ines07) ||
        fromByte6 == work.mapper()) {
        return std::nullopt; // byte 7 gives nothing to the mapper: nothing to say
    }
    return fromByte6;
}

// ---------------------------------------------------------------- the check

void ImageDocument::readTail() {
    if (strm == nullptr) {
        return;
    }
    const Descriptor descriptor(strm->duplicate());
    const std::uint64_t tailSize =
        std::min<std::uint64_t>(titleBytes, size > headerBytes ? size - headerBytes : 0);
    tail.assign(tailSize, '\0');
    if (descriptor.get() < 0 || ::pread(descriptor.get(), tail.data(), tailSize,
                                        off_t(size - tailSize)) != off_t(tailSize)) {
        tail.clear();
    }
}

std::vector<Finding> ImageDocument::findings() const {
    if (!usable()) {
        return {};
    }
    // After a whole reading, what it learned (padding, a second header).
    if (report_ && report_->complete) {
        return checkHeader(work, size, report_->content);
    }
    return checkHeader(work, size, tail);
}

ImageDocument::ScanJob ImageDocument::scanJob() const {
    auto descriptor = std::make_shared<Descriptor>(strm != nullptr ? strm->duplicate() : -1);
    const int duplicateError = errno;
    return [descriptor, duplicateError, header = work](const Progress& progress,
                                                       const std::atomic<bool>* cancel) {
        if (descriptor->get() < 0) {
            ImageReport failed;
            failed.readError = std::generic_category().message(duplicateError);
            return failed;
        }
        return scanImage(descriptor->get(), header, progress, cancel);
    };
}

void ImageDocument::takeReport(ImageReport report) {
    report_ = std::move(report);
    entry_ = nullptr;
}

void ImageDocument::scan() {
    takeReport(scanJob()(Progress(), nullptr));
}

void ImageDocument::lookUp(const HeaderDatabase* database) {
    entry_ = database != nullptr && report_ && report_->complete
                 ? database->find(report_->hashes.bodyCrc32, report_->hashes.bodySha1)
                 : nullptr;
}

std::vector<FieldDifference> ImageDocument::differences() const {
    return entry_ != nullptr ? databaseDifferences(work, entry_->header)
                             : std::vector<FieldDifference>();
}

Refusal ImageDocument::take(const std::vector<const HeaderField*>& fields) {
    if (entry_ == nullptr) {
        return std::string("the image is not in the header database");
    }
    // The database is NES 2.0: an iNES 1.0 working copy is converted first.
    NesHeader edited = work.isNes2() ? work : work.toNes2();
    const std::vector<FieldDifference> all = databaseDifferences(edited, entry_->header);
    for (const FieldDifference& difference : all) {
        if (!fields.empty() &&
            std::find(fields.begin(), fields.end(), difference.field) == fields.end()) {
            continue;
        }
        const HeaderField& field = *difference.field;
        if (Refusal refusal = field.set(edited, field.get(entry_->header))) {
            return refusal;
        }
    }
    work = edited;
    return std::nullopt;
}

// ---------------------------------------------------------------- saving

WriteResult ImageDocument::write(const NesHeader& header, bool overwriteChanges, bool dryRun) {
    if (strm == nullptr) {
        return WriteResult::moved;
    }
    return dryRun ? strm->checkWrite(header.bytes(), overwriteChanges)
                  : strm->writeHeader(header.bytes(), overwriteChanges);
}

std::string ImageDocument::writeError() const {
    return strm != nullptr ? strm->lastWriteError() : std::string();
}

WriteResult ImageDocument::save(bool overwriteChanges, bool dryRun) {
    return write(work, overwriteChanges, dryRun);
}

std::vector<Finding> reportedFindings(const ImageDocument& document) {
    std::vector<Finding> findings = document.findings();
    const std::optional<ImageReport>& report = document.report();
    if (report && !report->complete) {
        findings.push_back({Severity::error,
                            "read-failed",
                            "cannot read the file: " + report->readError,
                            std::nullopt,
                            {}});
    }
    for (Finding& difference : differenceFindings(document.differences())) {
        findings.push_back(std::move(difference));
    }
    return findings;
}

ImageSummary summarize(const ImageDocument& document, const std::vector<Finding>& findings) {
    const NesHeader& header = document.working();
    const auto value = [&](const char* key) { return valueText(*findField(key), header); };
    return {header.format().name,
            printable(value("mapper")),
            value("prgRomBytes"),
            value("chrRomBytes"),
            header.fourScreen() ? "four-screen" : value("mirroring"),
            header.battery(),
            findings.empty() ? std::string("fine") : tally(findings)};
}

std::string databaseState(const ImageDocument& document, const HeaderDatabase* database) {
    if (database == nullptr) {
        return "no database";
    }
    if (document.entry() == nullptr) {
        return "not found";
    }
    const std::size_t differing = document.differences().size();
    return differing == 0   ? "matched"
           : differing == 1 ? "differs in 1 field"
                            : "differs in " + std::to_string(differing) + " fields";
}
