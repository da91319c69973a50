// Reading nes20db.xml with expat, as a stream: the parser keeps no tree and
// never recurses, so neither a large file nor a deep one costs more than its
// bytes. Every limit below turns hostile input into a message with a line.
//
// A game whose values do not fit an NES 2.0 header (a size the header cannot
// hold, a mapper above 4095, a mirroring letter the mapper does not have) is
// refused with the whole file rather than skipped: the database is meant to
// hold exactly such headers, so a value outside them means the file is not
// what it claims to be.
#include "headerDatabase.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int maxDepth = 16;
constexpr std::size_t maxValueBytes = 4096;
constexpr std::uint64_t maxFileBytes = std::uint64_t(256) << 20;
constexpr std::size_t chunkBytes = std::size_t(1) << 20;

// The values of one game, as numbers where the header wants numbers.
enum Slot {
    prgSize,
    chrSize,
    trainerSize,
    miscCount,
    romSize,
    prgRam,
    prgNvram,
    chrRam,
    chrNvram,
    mapper,
    submapper,
    battery,
    consoleType,
    region,
    expansion,
    vsHardware,
    vsPpu,
    slotCount
};
enum Text { romCrc, romSha, mirroring, textCount };

enum class Kind { number, hex, letter };

// One attribute the reader takes: where it goes and what it may hold.
struct Attribute {
    const char* element;
    const char* name;
    Kind kind;
    int slot;           // a Slot for numbers, a Text otherwise
    std::uint64_t most; // the largest number, or the exact count of hex digits
};

constexpr std::uint64_t anySize = std::uint64_t(1) << 40;

constexpr Attribute attributes[] = {
    {"prgrom", "size", Kind::number, prgSize, anySize},
    {"chrrom", "size", Kind::number, chrSize, anySize},
    {"trainer", "size", Kind::number, trainerSize, 512},
    {"miscrom", "number", Kind::number, miscCount, 3},
    {"rom", "size", Kind::number, romSize, anySize},
    {"rom", "crc32", Kind::hex, romCrc, 8},
    {"rom", "sha1", Kind::hex, romSha, 40},
    {"prgram", "size", Kind::number, prgRam, anySize},
    {"prgnvram", "size", Kind::number, prgNvram, anySize},
    {"chrram", "size", Kind::number, chrRam, anySize},
    {"chrnvram", "size", Kind::number, chrNvram, anySize},
    {"pcb", "mapper", Kind::number, mapper, 4095},
    {"pcb", "submapper", Kind::number, submapper, 15},
    {"pcb", "mirroring", Kind::letter, mirroring, 1},
    {"pcb", "battery", Kind::number, battery, 1},
    {"console", "type", Kind::number, consoleType, 3},
    {"console", "region", Kind::number, region, 3},
    {"expansion", "type", Kind::number, expansion, 127},
    {"vs", "hardware", Kind::number, vsHardware, 15},
    {"vs", "ppu", Kind::number, vsPpu, 15},
};

// The header fields the numbers set, in an order where each setter sees the
// bits it depends on (the mapper before the mirroring letter is read).
struct Setting {
    int slot;
    const char* field;
};
constexpr Setting settings[] = {
    {prgSize, "prgRomBytes"},    {chrSize, "chrRomBytes"},    {mapper, "mapper"},
    {submapper, "submapper"},    {battery, "battery"},        {consoleType, "consoleType"},
    {prgRam, "prgRamBytes"},     {prgNvram, "prgNvramBytes"}, {chrRam, "chrRamBytes"},
    {chrNvram, "chrNvramBytes"}, {region, "timing"},          {miscCount, "miscRoms"},
    {expansion, "expansion"},    {vsHardware, "vsHardware"},  {vsPpu, "vsPpu"},
};

// Byte 6 bits 3 and 0 for each mirroring letter; mappers 30 and 218 have
// letters of their own, every other mapper those of mapper -1.
struct Mirroring {
    int mapper;
    char letter;
    bool fourScreen, vertical;
};
constexpr Mirroring mirrorings[] = {
    {-1, 'H', false, false}, {-1, 'V', false, true},   {-1, '4', true, false},
    {30, 'H', false, false}, {30, 'V', false, true},   {30, '1', true, false},
    {30, '4', true, true},   {218, 'H', false, false}, {218, 'V', false, true},
    {218, '0', true, false}, {218, '1', true, true},
};

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    return first == std::string::npos
               ? std::string()
               : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

struct Game {
    unsigned long line = 0;
    std::string name;
    std::uint64_t values[slotCount] = {};
    unsigned long lines[slotCount] = {};
    bool seen[slotCount] = {};
    std::string texts[textCount];
    unsigned long pcbLine = 0;
};

using Parser = std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)>;

class Reader {
public:
    Reader() : parser(XML_ParserCreate(nullptr), &XML_ParserFree) {
        if (parser) {
            XML_SetUserData(parser.get(), this);
            XML_SetElementHandler(parser.get(), &Reader::onStart, &Reader::onEnd);
            XML_SetCommentHandler(parser.get(), &Reader::onComment);
            XML_SetEntityDeclHandler(parser.get(), &Reader::onEntity);
            XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
        }
    }

    // Feeds the next piece of the text; false once the file is refused.
    bool feed(const char* text, std::size_t size, bool last) {
        if (!parser) {
            problem = "there is not enough memory to read the header database";
            return false;
        }
        if (!problem.empty()) {
            return false;
        }
        if (XML_Parse(parser.get(), text, static_cast<int>(size), last) == XML_STATUS_ERROR) {
            if (problem.empty()) {
                problem = lineText() + XML_ErrorString(XML_GetErrorCode(parser.get())) +
                          ": the file is not well-formed XML";
            }
            return false;
        }
        return true;
    }

    // The games read, or nothing with `error` set.
    std::optional<std::vector<DatabaseEntry>> finish(std::string& error) {
        if (!problem.empty()) {
            error = problem;
            return std::nullopt;
        }
        return std::move(entries);
    }

private:
    static void onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        static_cast<Reader*>(self)->start(name, attributes);
    }
    static void onEnd(void* self, const XML_Char*) { static_cast<Reader*>(self)->end(); }
    static void onComment(void* self, const XML_Char* text) {
        static_cast<Reader*>(self)->comment(text);
    }
    static void onEntity(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                         const XML_Char*, const XML_Char*, const XML_Char*) {
        static_cast<Reader*>(self)->refuse("the file declares entities, which a header database "
                                           "never does");
    }

    std::string lineText() const {
        return "line " + std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": ";
    }

    void refuse(const std::string& why, unsigned long line = 0) {
        if (problem.empty()) {
            problem = line == 0 ? lineText() + why : "line " + std::to_string(line) + ": " + why;
        }
        XML_StopParser(parser.get(), XML_FALSE);
    }

    void start(const char* name, const char** pairs) {
        ++depth;
        if (depth > maxDepth) {
            return refuse("elements nest deeper than " + std::to_string(maxDepth) + " levels");
        }
        for (const char** pair = pairs; *pair != nullptr; pair += 2) {
            if (std::strlen(pair[1]) > maxValueBytes) {
                return refuse(std::string("the value of ") + pair[0] + " is longer than " +
                              std::to_string(maxValueBytes) + " characters");
            }
        }
        if (depth == 1 && std::strcmp(name, "nes20db") != 0) {
            return refuse(std::string("the root element is <") + name +
                          ">, not <nes20db>: this is not a header database");
        }
        if (depth == 2 && std::strcmp(name, "game") == 0) {
            game = Game();
            game.line = XML_GetCurrentLineNumber(parser.get());
            inGame = true;
        } else if (depth == 3 && inGame) {
            take(name, pairs);
        }
    }

    void end() {
        if (depth == 2 && inGame) {
            inGame = false;
            build();
        }
        --depth;
    }

    void comment(const char* text) {
        if (depth == 2 && inGame && game.name.empty()) {
            if (std::strlen(text) > maxValueBytes) {
                return refuse("the comment that names the game is longer than " +
                              std::to_string(maxValueBytes) + " characters");
            }
            game.name = trimmed(text);
        }
    }

    void take(const char* element, const char** pairs) {
        const unsigned long line = XML_GetCurrentLineNumber(parser.get());
        if (std::strcmp(element, "miscrom") == 0) {
            set(miscCount, 1, line); // one misc ROM unless it says how many
        }
        if (std::strcmp(element, "pcb") == 0) {
            game.pcbLine = line;
        }
        // The rows of one element stand together.
        const auto named = [element](const Attribute& row) {
            return std::strcmp(row.element, element) == 0;
        };
        const Attribute* first = std::find_if(std::begin(attributes), std::end(attributes), named);
        const Attribute* last = std::find_if_not(first, std::end(attributes), named);
        for (const char** pair = pairs; *pair != nullptr; pair += 2) {
            for (const Attribute* row = first; row != last; ++row) {
                if (std::strcmp(pair[0], row->name) == 0 && !takeValue(*row, pair[1], line)) {
                    return;
                }
            }
        }
    }

    void set(int slot, std::uint64_t value, unsigned long line) {
        game.values[slot] = value;
        game.lines[slot] = line;
        game.seen[slot] = true;
    }

    bool takeValue(const Attribute& attribute, std::string_view value, unsigned long line) {
        const std::string most = std::to_string(attribute.most);
        std::string wrong; // empty when the value is right
        std::uint64_t number = 0;
        if (attribute.kind == Kind::hex) {
            const bool hex = value.size() == attribute.most &&
                             std::all_of(value.begin(), value.end(),
                                         [](unsigned char c) { return std::isxdigit(c) != 0; });
            wrong = hex ? "" : "is not " + most + " hex digits";
        } else if (attribute.kind == Kind::letter) {
            wrong = value.size() == 1 ? "" : "is not one letter";
        } else if (value.empty() || value.find_first_not_of("0123456789") != value.npos) {
            wrong = "is not a number";
        } else {
            for (std::size_t i = 0; i < value.size() && number <= attribute.most; ++i) {
                number = number * 10 + static_cast<std::uint64_t>(value[i] - '0');
            }
            wrong = number > attribute.most ? "is out of range: at most " + most : "";
        }
        if (!wrong.empty()) {
            refuse(std::string(attribute.element) + " " + attribute.name + "=\"" +
                   std::string(value.substr(0, 40)) + "\" " + wrong);
            return false;
        }
        if (attribute.kind == Kind::number) {
            set(attribute.slot, number, line);
        } else {
            game.texts[attribute.slot] = upper(std::string(value));
        }
        return true;
    }

    // The NES 2.0 header of the game just read, or a refusal.
    void build() {
        if (!game.seen[romSize] || game.texts[romCrc].empty() || game.texts[romSha].empty()) {
            return refuse("the game has no rom element with size, crc32 and sha1", game.line);
        }
        CartridgeHeader bytes{'N', 'E', 'S', 0x1A, 0, 0, 0, 0x08, 0, 0, 0, 0, 0, 0, 0, 0};
        NesHeader header(bytes);
        static const auto fields = [] {
            std::array<const HeaderField*, std::size(settings)> found{};
            std::transform(std::begin(settings), std::end(settings), found.begin(),
                           [](const Setting& setting) { return findField(setting.field); });
            return found;
        }();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Setting& setting = settings[i];
            if (Refusal refusal = fields[i]->set(header, game.values[setting.slot])) {
                return refuse(*refusal,
                              game.seen[setting.slot] ? game.lines[setting.slot] : game.line);
            }
        }
        if (game.values[trainerSize] != 0 && game.values[trainerSize] != NesHeader::trainerBytes) {
            return refuse("a trainer is 512 bytes", game.lines[trainerSize]);
        }
        header.setTrainer(game.values[trainerSize] != 0);
        const std::string letter = game.texts[mirroring].empty() ? "H" : game.texts[mirroring];
        const int family = header.mapper() == 30 || header.mapper() == 218 ? header.mapper() : -1;
        const Mirroring* row =
            std::find_if(std::begin(mirrorings), std::end(mirrorings), [&](const Mirroring& m) {
                return m.mapper == family && m.letter == letter[0];
            });
        if (row == std::end(mirrorings)) {
            return refuse("mirroring \"" + letter + "\" is not one mapper " +
                              std::to_string(header.mapper()) + " has",
                          game.pcbLine);
        }
        header.setFourScreen(row->fourScreen);
        header.setVerticalMirroring(row->vertical);
        entries.push_back({std::move(game.name), header, game.values[romSize],
                           std::move(game.texts[romCrc]), std::move(game.texts[romSha])});
    }

    Parser parser;
    std::string problem;
    int depth = 0;
    bool inGame = false;
    Game game;
    std::vector<DatabaseEntry> entries;
};

// A descriptor closed on every way out.
struct Descriptor {
    int value;
    explicit Descriptor(int fd) : value(fd) {}
    ~Descriptor() {
        if (value >= 0) {
            close(value);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

} // namespace

std::optional<HeaderDatabase> HeaderDatabase::made(std::optional<std::vector<DatabaseEntry>> read) {
    std::optional<HeaderDatabase> database;
    if (read) {
        database.emplace();
        database->entries = std::move(*read);
        for (std::size_t i = 0; i < database->entries.size(); ++i) {
            database->byCrc.emplace(database->entries[i].romCrc32, i);
        }
    }
    return database;
}

std::optional<HeaderDatabase> HeaderDatabase::parse(const std::string& text, std::string& error) {
    if (text.size() > maxFileBytes) {
        error = "the header database is larger than 256 MiB";
        return std::nullopt;
    }
    Reader reader;
    reader.feed(text.data(), text.size(), true);
    return made(reader.finish(error));
}

std::optional<HeaderDatabase> HeaderDatabase::load(const std::string& path, std::string& error) {
    // Not blocking, so that a FIFO cannot hang the reader before it is refused.
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (file.value < 0 || fstat(file.value, &status) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        error = path + " is not a regular file";
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(status.st_size) > maxFileBytes) {
        error = path + " is larger than 256 MiB: not a header database";
        return std::nullopt;
    }
    Reader reader;
    std::vector<char> chunk(chunkBytes);
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t got = read(file.value, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "reading " + path + " failed: " + std::strerror(errno);
            return std::nullopt;
        }
        total += static_cast<std::uint64_t>(got);
        if (total > maxFileBytes) {
            error = path + " grew beyond 256 MiB while it was read";
            return std::nullopt;
        }
        if (!reader.feed(chunk.data(), static_cast<std::size_t>(got), got == 0)) {
            break;
        }
        if (got == 0) {
            break;
        }
    }
    return made(reader.finish(error));
}

const DatabaseEntry* HeaderDatabase::find(const std::string& crc32, const std::string& sha1) const {
    const std::string sha = upper(sha1);
    const auto [first, last] = byCrc.equal_range(upper(crc32));
    for (auto at = first; at != last; ++at) {
        if (entries[at->second].romSha1 == sha) {
            return &entries[at->second];
        }
    }
    return nullptr;
}
