#include "imageFile.h"

#include <QByteArray>
#include <QString>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

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

using Json = rapidjson::Writer<rapidjson::StringBuffer>;

void jsonNumber(Json& json, std::uint64_t value) {
    json.Uint64(value);
}

void jsonString(Json& json, std::string_view text) {
    json.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

// How each kind of field reads in JSON.
struct KindJson {
    FieldKind kind;
    void (*json)(Json&, std::uint64_t);
};

const KindJson kindJsons[] = {
    {FieldKind::number, jsonNumber},
    {FieldKind::flag, [](Json& json, std::uint64_t v) { json.Bool(v != 0); }},
    {FieldKind::mirroring,
     [](Json& json, std::uint64_t v) { json.String(v != 0 ? "vertical" : "horizontal"); }},
    {FieldKind::size, jsonNumber},
};

const KindJson& jsonOf(FieldKind kind) {
    return *std::find_if(std::begin(kindJsons), std::end(kindJsons),
                         [kind](const KindJson& format) { return format.kind == kind; });
}

// The fields whose value's name has a key of its own.
struct NameKey {
    const char* field;
    const char* key;
};
const NameKey nameKeys[] = {{"mapper", "mapperName"},
                            {"submapper", "submapperName"},
                            {"consoleType", "consoleTypeName"},
                            {"timing", "timingName"},
                            {"expansion", "expansionName"}};

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
        if (holdsField(header, field) && field.get(header) != field.get(entry.header)) {
            differences.push_back({Severity::warning,
                                   std::string("database-") + field.key,
                                   std::string(field.label) + " is " + valueText(field, header) +
                                       ", the header database says " +
                                       valueText(field, entry.header),
                                   std::nullopt,
                                   {}});
        }
    }
    return differences;
}

// ---------------------------------------------------------------- JSON

// JSON text must be UTF-8: a name that is not also carries its exact bytes.
void putPath(Json& json, const std::string& path) {
    const QByteArray bytes = QByteArray::fromRawData(path.data(), qsizetype(path.size()));
    json.Key("path");
    if (bytes.isValidUtf8()) {
        jsonString(json, path);
        return;
    }
    jsonString(json, QString::fromUtf8(bytes).toStdString());
    json.Key("pathBase64");
    jsonString(json, bytes.toBase64().toStdString());
}

void putFields(Json& json, const NesHeader& header) {
    for (int i = 0; i < headerFieldCount; ++i) {
        const HeaderField& field = headerFields[i];
        json.Key(field.key);
        if (holdsField(header, field)) {
            jsonOf(field.kind).json(json, field.get(header));
        } else {
            json.Null();
        }
    }
}

std::string lineOf(const rapidjson::StringBuffer& buffer) {
    return std::string(buffer.GetString(), buffer.GetSize()) + '\n';
}

} // namespace

OpenedImage openImage(const std::string& path, Access access) {
    OpenedImage image;
    errno = 0;
    image.stream = std::make_unique<inesStrm>(path.c_str(), access);
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
    image.fileSize = stream.sizeAtOpen();
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

std::string imageJson(const std::string& path, const OpenedImage& image, const Analysis& analysis,
                      bool database) {
    const NesHeader& header = image.header;
    rapidjson::StringBuffer buffer;
    Json json(buffer);
    json.StartObject();
    putPath(json, path);
    json.Key("format");
    json.String(header.format().name);
    json.Key("header");
    jsonString(json, hexOf(header.bytes(), false));
    putFields(json, header);
    for (const NameKey& name : nameKeys) {
        json.Key(name.key);
        if (const std::optional<std::string> text = valueName(*findField(name.field), header)) {
            jsonString(json, *text);
        } else {
            json.Null();
        }
    }
    json.Key("expectedSize");
    json.Uint64(analysis.expectedSize);
    json.Key("fileSize");
    json.Uint64(image.fileSize);
    json.Key("problems");
    json.StartArray();
    for (const Finding& finding : analysis.findings) {
        json.StartObject();
        json.Key("severity");
        json.String(severityName(finding.severity));
        json.Key("id");
        jsonString(json, finding.id);
        json.Key("message");
        jsonString(json, finding.message);
        json.EndObject();
    }
    json.EndArray();
    for (const HashKey& hash : hashKeys) {
        const std::string* value = analysis.hashes ? &((*analysis.hashes).*hash.member) : nullptr;
        json.Key(hash.key);
        if (value != nullptr && !value->empty()) {
            jsonString(json, *value);
        } else {
            json.Null();
        }
    }
    if (database) {
        json.Key("database");
        if (analysis.entry != nullptr) {
            json.StartObject();
            json.Key("name");
            jsonString(json, analysis.entry->name);
            putFields(json, analysis.entry->header);
            json.EndObject();
        } else {
            json.Null();
        }
    }
    json.EndObject();
    return lineOf(buffer);
}

std::string errorJson(const std::string& path, const std::string& message) {
    rapidjson::StringBuffer buffer;
    Json json(buffer);
    json.StartObject();
    putPath(json, path);
    json.Key("error");
    jsonString(json, message);
    json.EndObject();
    return lineOf(buffer);
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
        line(headerFields[i].label, valueText(headerFields[i], header));
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
