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

// A size past what 64 bits count is null, and a key of its own says so
// ("prgRomBytesSaturated": true): the number would look exact.
void putSize(Json& json, const std::string& key, std::uint64_t bytes) {
    json.Key(key.c_str());
    if (bytes != UINT64_MAX) {
        json.Uint64(bytes);
        return;
    }
    json.Null();
    json.Key((key + "Saturated").c_str());
    json.Bool(true);
}

void putFields(Json& json, const NesHeader& header) {
    for (int i = 0; i < headerFieldCount; ++i) {
        const HeaderField& field = headerFields[i];
        if (field.kind == FieldKind::size && holdsField(header, field)) {
            putSize(json, field.key, field.get(header));
            continue;
        }
        json.Key(field.key);
        if (holdsField(header, field)) {
            jsonOf(field.kind).json(json, field.get(header));
        } else {
            json.Null();
        }
    }
}

// JSON allows U+2028, U+2029 and U+0085 raw in strings, but readers that
// split lines on them would cut a line apart: they are written escaped.
std::string lineOf(const rapidjson::StringBuffer& buffer) {
    static const struct {
        std::string_view raw;
        const char* escaped;
    } separators[] = {{"\u2028", "\\u2028"}, {"\u2029", "\\u2029"}, {"\u0085", "\\u0085"}};
    std::string line(buffer.GetString(), buffer.GetSize());
    for (const auto& separator : separators) {
        for (std::size_t at = line.find(separator.raw); at != std::string::npos;
             at = line.find(separator.raw, at)) {
            line.replace(at, separator.raw.size(), separator.escaped);
        }
    }
    return line + '\n';
}

} // namespace

std::string hexOf(const CartridgeHeader& bytes, bool blanks) {
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    return (blanks ? raw.toHex(' ') : raw.toHex()).toUpper().toStdString();
}

namespace {

// The hashes when the whole file was read.
const Hashes* hashesOf(const ImageDocument& document) {
    const std::optional<ImageReport>& report = document.report();
    return report && report->complete ? &report->hashes : nullptr;
}

} // namespace

std::string imageJson(const ImageDocument& document, const std::vector<Finding>& findings,
                      bool database) {
    const NesHeader& header = document.working();
    rapidjson::StringBuffer buffer;
    Json json(buffer);
    json.StartObject();
    putPath(json, document.path());
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
    putSize(json, "expectedSize", expectedSize(header));
    json.Key("fileSize");
    json.Uint64(document.fileSize());
    json.Key("problems");
    json.StartArray();
    for (const Finding& finding : findings) {
        json.StartObject();
        json.Key("severity");
        json.String(severityName(finding.severity));
        json.Key("id");
        jsonString(json, finding.id);
        json.Key("message");
        jsonString(json, finding.message);
        if (finding.fix) { // the header the window's Take the Fix gives
            json.Key("fix");
            jsonString(json, finding.fixLabel);
            json.Key("fixHeader");
            jsonString(json, hexOf(*finding.fix, false));
        }
        json.EndObject();
    }
    json.EndArray();
    const Hashes* hashes = hashesOf(document);
    for (const HashKey& hash : hashKeys) {
        const std::string* value = hashes != nullptr ? &(hashes->*hash.member) : nullptr;
        json.Key(hash.key);
        if (value != nullptr && !value->empty()) {
            jsonString(json, *value);
        } else {
            json.Null();
        }
    }
    if (database) {
        json.Key("database");
        if (const DatabaseEntry* entry = document.entry()) {
            json.StartObject();
            json.Key("name");
            jsonString(json, entry->name);
            putFields(json, entry->header);
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

std::string imageText(const ImageDocument& document, const std::vector<Finding>& findings,
                      bool database) {
    const NesHeader& header = document.working();
    std::string text = printable(document.path()) + "\n";
    auto line = [&text](const std::string& label, const std::string& value) {
        text += "  " + label + std::string(label.size() < 18 ? 18 - label.size() : 1, ' ') + value +
                "\n";
    };
    line("Format", header.format().name);
    line("Header", hexOf(header.bytes(), true));
    for (int i = 0; i < headerFieldCount; ++i) {
        line(headerFields[i].label, valueText(headerFields[i], header));
    }
    const std::uint64_t expected = expectedSize(header); // past 64 bits: "more than 16 EiB"
    line("Expected size",
         expected == UINT64_MAX ? sizeText(expected) : std::to_string(expected) + " bytes");
    line("File size", std::to_string(document.fileSize()) + " bytes");
    line("Problems", tally(findings));
    for (const Finding& finding : findings) {
        text += std::string("    ") + severityName(finding.severity) + " " + finding.id + ": " +
                printable(finding.message) + "\n";
    }
    const Hashes* hashes = hashesOf(document);
    for (const HashKey& hash : hashKeys) {
        const std::string* value = hashes != nullptr ? &(hashes->*hash.member) : nullptr;
        line(hash.label, value != nullptr && !value->empty() ? *value : "-");
    }
    if (database) {
        line("Database", document.entry() != nullptr ? printable(document.entry()->name)
                                                     : "not in the database");
    }
    return text + "\n";
}

std::string repairJson(const RepairLine& line) {
    rapidjson::StringBuffer buffer;
    Json json(buffer);
    json.StartObject();
    putPath(json, line.path);
    json.Key("result");
    jsonString(json, line.result);
    for (const auto& [key, header] :
         {std::make_pair("old", line.old), std::make_pair("new", line.fresh)}) {
        json.Key(key);
        if (header != nullptr) {
            jsonString(json, hexOf(*header, false));
        } else {
            json.Null();
        }
    }
    json.Key("name");
    if (line.entry != nullptr) {
        jsonString(json, line.entry->name);
    } else {
        json.Null();
    }
    for (const auto& [key, text] :
         {std::make_pair("why", &line.why), std::make_pair("written", &line.written)}) {
        if (!text->empty()) {
            json.Key(key);
            jsonString(json, *text);
        }
    }
    if (line.dryRun) {
        json.Key("dryRun");
        json.Bool(true);
    }
    json.EndObject();
    return lineOf(buffer);
}

std::string briefLine(const ImageDocument& document, const std::vector<Finding>& findings,
                      const HeaderDatabase* database) {
    const ImageSummary summary = summarize(document, findings);
    return printable(document.path()) + ": " + summary.format + ", mapper " + summary.mapper +
           ", PRG " + summary.prg + ", CHR " + summary.chr + ", " + summary.mirroring + ", " +
           (summary.battery ? "battery" : "no battery") + ", " + summary.verdict +
           (database != nullptr ? ", " + databaseState(document, database) : std::string()) + "\n";
}
