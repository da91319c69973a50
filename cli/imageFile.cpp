#include "imageFile.h"

#include "nesNames.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::uint64_t headerBytes = 16;

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

// ---------------------------------------------------------------- values by kind

QJsonValue jsonNumber(std::uint64_t value) {
    return value <= static_cast<std::uint64_t>(INT64_MAX) ? QJsonValue(qint64(value))
                                                          : QJsonValue(double(value));
}

const char* mirroringName(std::uint64_t vertical) {
    return vertical != 0 ? "vertical" : "horizontal";
}

// How each kind of field reads in JSON and in text.
struct KindFormat {
    FieldKind kind;
    QJsonValue (*json)(std::uint64_t);
    std::string (*text)(std::uint64_t);
};

const KindFormat kindFormats[] = {
    {FieldKind::number, jsonNumber, [](std::uint64_t v) { return std::to_string(v); }},
    {FieldKind::flag, [](std::uint64_t v) { return QJsonValue(v != 0); },
     [](std::uint64_t v) { return std::string(v != 0 ? "yes" : "no"); }},
    {FieldKind::mirroring,
     [](std::uint64_t v) { return QJsonValue(QLatin1StringView(mirroringName(v))); },
     [](std::uint64_t v) { return std::string(mirroringName(v)); }},
    {FieldKind::size, jsonNumber, sizeText},
};

const KindFormat& formatOf(FieldKind kind) {
    return *std::find_if(std::begin(kindFormats), std::end(kindFormats),
                         [kind](const KindFormat& format) { return format.kind == kind; });
}

bool holds(const NesHeader& header, const HeaderField& field) {
    return !field.nes2Only || header.isNes2();
}

// ---------------------------------------------------------------- names of codes

using Name = std::optional<std::string>;

// The words for a field's value, and the JSON key they go under (nullptr:
// text only). The codes of byte 13 mean something for one console type only.
struct CodeNames {
    const char* field;
    const char* jsonKey;
    Name (*name)(const NesHeader&);
    int onlyForConsoleType = -1;
};

const CodeNames codeNames[] = {
    {"mapper", "mapperName", [](const NesHeader& h) -> Name { return mapperNameOf(h.mapper()); }},
    {"submapper", "submapperName",
     [](const NesHeader& h) -> Name {
         const char* name = submapperName(h.mapper(), h.submapper());
         return name != nullptr ? Name(name) : std::nullopt;
     }},
    {"consoleType", "consoleTypeName",
     [](const NesHeader& h) -> Name { return codeText(consoleTypes, h.consoleType()); }},
    {"timing", "timingName",
     [](const NesHeader& h) -> Name { return codeText(timings, h.timing()); }},
    {"vsPpu", nullptr, [](const NesHeader& h) -> Name { return codeText(vsPpuTypes, h.vsPpu()); },
     1},
    {"vsHardware", nullptr,
     [](const NesHeader& h) -> Name { return codeText(vsHardwareTypes, h.vsHardware()); }, 1},
    {"extendedConsole", nullptr,
     [](const NesHeader& h) -> Name { return codeText(extendedConsoleTypes, h.extendedConsole()); },
     3},
    {"expansion", "expansionName",
     [](const NesHeader& h) -> Name { return codeText(expansionDevices, h.expansion()); }},
};

// The name of the field's value, when the header holds the field and the
// value has one.
Name nameOf(const NesHeader& header, const CodeNames& names) {
    const bool applies =
        names.onlyForConsoleType < 0 || names.onlyForConsoleType == header.consoleType();
    return applies && holds(header, *findField(names.field)) ? names.name(header) : std::nullopt;
}

std::string valueText(const NesHeader& header, const HeaderField& field) {
    if (!holds(header, field)) {
        return "-";
    }
    std::string text = formatOf(field.kind).text(field.get(header));
    for (const CodeNames& names : codeNames) {
        if (field.key == std::string_view(names.field)) {
            if (Name name = nameOf(header, names)) {
                text += " (" + *name + ")";
            }
        }
    }
    return text;
}

// ---------------------------------------------------------------- hashes

struct HashKey {
    const char* key;
    const char* label;
    std::string Hashes::*member;
};

const HashKey hashKeys[] = {
    {"romCrc32", "ROM CRC-32", &Hashes::romCrc32},
    {"romSha1", "ROM SHA-1", &Hashes::romSha1},
    {"prgCrc32", "PRG-ROM CRC-32", &Hashes::prgCrc32},
    {"prgSha1", "PRG-ROM SHA-1", &Hashes::prgSha1},
    {"chrCrc32", "CHR-ROM CRC-32", &Hashes::chrCrc32},
    {"chrSha1", "CHR-ROM SHA-1", &Hashes::chrSha1},
    {"bodyCrc32", "Body CRC-32", &Hashes::bodyCrc32},
    {"bodySha1", "Body SHA-1", &Hashes::bodySha1},
    {"fileCrc32", "File CRC-32", &Hashes::fileCrc32},
};

// ---------------------------------------------------------------- the database

std::vector<Finding> compareWith(const NesHeader& header, const DatabaseEntry& entry) {
    std::vector<Finding> differences;
    for (int i = 0; i < headerFieldCount; ++i) {
        const HeaderField& field = headerFields[i];
        if (holds(header, field) && field.get(header) != field.get(entry.header)) {
            differences.push_back({Severity::warning,
                                   std::string("database-") + field.key,
                                   std::string(field.label) + " is " + valueText(header, field) +
                                       ", the header database says " +
                                       valueText(entry.header, field),
                                   std::nullopt,
                                   {}});
        }
    }
    return differences;
}

// ---------------------------------------------------------------- JSON

void putPath(QJsonObject& object, const std::string& path) {
    const QByteArrayView bytes(path.data(), static_cast<qsizetype>(path.size()));
    object.insert(QLatin1StringView("path"), QString::fromUtf8(bytes));
    if (!bytes.isValidUtf8()) {
        object.insert(QLatin1StringView("pathBase64"),
                      QString::fromLatin1(bytes.toByteArray().toBase64()));
    }
}

void putFields(QJsonObject& object, const NesHeader& header) {
    for (int i = 0; i < headerFieldCount; ++i) {
        const HeaderField& field = headerFields[i];
        object.insert(QLatin1StringView(field.key),
                      holds(header, field) ? formatOf(field.kind).json(field.get(header))
                                           : QJsonValue());
    }
}

QJsonValue jsonText(const std::optional<std::string>& text) {
    return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue();
}

QByteArray lineOf(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

OpenedImage openImage(const std::string& path) {
    OpenedImage image;
    errno = 0;
    image.stream = std::make_unique<inesStrm>(path.c_str());
    // The stream's last failed open left its reason here.
    const int openError = errno;
    inesStrm& stream = *image.stream;
    if (!stream.isOpen()) {
        image.error = stream.openFailure() == OpenFailure::notRegularFile
                          ? "not a regular file (a folder, FIFO, device or socket)"
                          : "cannot open: " + std::generic_category().message(openError);
        return image;
    }
    CartridgeHeader bytes{};
    stream.readHeader(&bytes);
    image.header = NesHeader(bytes);
    image.fileSize = stream.fileSize();
    if (image.fileSize < headerBytes) {
        image.error = "too short for an iNES header: " + std::to_string(image.fileSize) +
                      (image.fileSize == 1 ? " byte" : " bytes");
    } else if (!image.header.hasMagic()) {
        image.error = "not an iNES image: it does not start with \"NES\" and $1A";
    }
    return image;
}

Analysis analyse(const OpenedImage& image, bool readWhole, const HeaderDatabase* database) {
    Analysis analysis;
    analysis.expectedSize = expectedSize(image.header);
    if (!readWhole) {
        analysis.findings = checkHeader(image.header, image.fileSize);
        return analysis;
    }
    const Descriptor descriptor(image.stream->duplicate());
    ImageReport report;
    if (descriptor.get() < 0) {
        report.readError = std::generic_category().message(errno);
    } else {
        report = scanImage(descriptor.get(), image.header);
    }
    analysis.findings = std::move(report.findings);
    if (!report.complete) {
        analysis.findings.push_back({Severity::error,
                                     "read-failed",
                                     "cannot read the file: " + report.readError,
                                     std::nullopt,
                                     {}});
        return analysis;
    }
    analysis.hashes = std::move(report.hashes);
    if (database != nullptr) {
        analysis.entry = database->find(analysis.hashes->bodyCrc32, analysis.hashes->bodySha1);
        if (analysis.entry != nullptr) {
            for (Finding& difference : compareWith(image.header, *analysis.entry)) {
                analysis.findings.push_back(std::move(difference));
            }
        }
    }
    return analysis;
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

std::string hexOf(const CartridgeHeader& bytes, bool blanks) {
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return (blanks ? raw.toHex(' ') : raw.toHex()).toUpper().toStdString();
}

namespace {

// Sets every key of an image's line.
void fillImage(QJsonObject& object, const std::string& path, const OpenedImage& image,
               const Analysis& analysis, bool database) {
    const NesHeader& header = image.header;
    putPath(object, path);
    object.insert(QLatin1StringView("format"), QLatin1StringView(header.format().name));
    object.insert(QLatin1StringView("header"),
                  QString::fromStdString(hexOf(header.bytes(), false)));
    putFields(object, header);
    for (const CodeNames& names : codeNames) {
        if (names.jsonKey != nullptr) {
            object.insert(QLatin1StringView(names.jsonKey), jsonText(nameOf(header, names)));
        }
    }
    object.insert(QLatin1StringView("expectedSize"), jsonNumber(analysis.expectedSize));
    object.insert(QLatin1StringView("fileSize"), jsonNumber(image.fileSize));
    QJsonArray problems;
    for (const Finding& finding : analysis.findings) {
        problems.append(QJsonObject{
            {QLatin1StringView("severity"), QLatin1StringView(severityName(finding.severity))},
            {QLatin1StringView("id"), QString::fromStdString(finding.id)},
            {QLatin1StringView("message"), QString::fromStdString(finding.message)}});
    }
    object.insert(QLatin1StringView("problems"), problems);
    for (const HashKey& hash : hashKeys) {
        const std::string* value = analysis.hashes ? &((*analysis.hashes).*hash.member) : nullptr;
        object.insert(QLatin1StringView(hash.key), value != nullptr && !value->empty()
                                                       ? QJsonValue(QString::fromStdString(*value))
                                                       : QJsonValue());
    }
    if (database) {
        QJsonValue entry;
        if (analysis.entry != nullptr) {
            QJsonObject fields;
            fields.insert(QLatin1StringView("name"), QString::fromStdString(analysis.entry->name));
            putFields(fields, analysis.entry->header);
            entry = fields;
        }
        object.insert(QLatin1StringView("database"), entry);
    }
}

QJsonObject blankImage(bool database) {
    QJsonObject object;
    fillImage(object, {}, OpenedImage(), Analysis(), database);
    return object;
}

} // namespace

QByteArray imageJson(const std::string& path, const OpenedImage& image, const Analysis& analysis,
                     bool database) {
    // Every key already in place: replacing a value costs less than inserting
    // a key into the sorted object.
    thread_local const QJsonObject blank[] = {blankImage(false), blankImage(true)};
    QJsonObject object = blank[database ? 1 : 0];
    fillImage(object, path, image, analysis, database);
    return lineOf(object);
}

QByteArray errorJson(const std::string& path, const std::string& message) {
    QJsonObject object;
    putPath(object, path);
    object.insert(QLatin1StringView("error"), QString::fromStdString(message));
    return lineOf(object);
}

std::string imageText(const std::string& path, const OpenedImage& image, const Analysis& analysis,
                      bool database) {
    const NesHeader& header = image.header;
    std::string text = path + "\n";
    auto line = [&text](const std::string& label, const std::string& value) {
        text += "  " + label + std::string(label.size() < 18 ? 18 - label.size() : 1, ' ') + value +
                "\n";
    };
    line("Format", header.format().name);
    line("Header", hexOf(header.bytes(), true));
    for (int i = 0; i < headerFieldCount; ++i) {
        line(headerFields[i].label, valueText(header, headerFields[i]));
    }
    line("Expected size", std::to_string(analysis.expectedSize) + " bytes");
    line("File size", std::to_string(image.fileSize) + " bytes");
    line("Problems", tally(analysis.findings));
    for (const Finding& finding : analysis.findings) {
        text += std::string("    ") + severityName(finding.severity) + " " + finding.id + ": " +
                finding.message + "\n";
    }
    for (const HashKey& hash : hashKeys) {
        const std::string* value = analysis.hashes ? &((*analysis.hashes).*hash.member) : nullptr;
        line(hash.label, value != nullptr && !value->empty() ? *value : "-");
    }
    if (database) {
        line("Database", analysis.entry != nullptr ? analysis.entry->name : "not in the database");
    }
    return text + "\n";
}
