// Reading nes20db.xml with expat, as a stream: the parser keeps no tree and
// never recurses, so neither a large file nor a deep one costs more than its
// bytes. Every limit below turns hostile input into a message with a line.
//
// Expat scans a piece of XML that is not finished at the end of what it was
// given again from its start when more arrives, so one huge comment or
// attribute fed in pieces costs time squared. A scanner of our own sees each
// piece first and refuses any comment, tag, text run, ... longer than
// maxTokenBytes before expat is given it; what expat scans again is then
// bounded by that limit.
//
// A game whose values do not fit an NES 2.0 header (a size the header cannot
// hold, a mapper above 4095, a mirroring letter the mapper does not have) is
// refused with the whole file rather than skipped: the database is meant to
// hold exactly such headers, so a value outside them means the file is not
// what it claims to be. The values reach the header only through the header
// model's setters, and its refusals are the messages.
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
#include <numeric>
#include <string_view>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr int maxDepth = 16;
constexpr std::size_t maxValueBytes = 4096;
// Small enough that a piece is parsed in a millisecond or two, so that a
// cancel is seen at once.
constexpr std::size_t pieceBytes = std::size_t(64) << 10;

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

// One attribute the reader takes: where it goes and what it may hold. The
// header model decides which numbers fit.
struct Attribute {
    const char* element;
    const char* name;
    Kind kind;
    int slot;           // a Slot for numbers, a Text otherwise
    std::size_t digits; // the exact count of hex digits
};

constexpr Attribute attributes[] = {
    {"prgrom", "size", Kind::number, prgSize, 0},
    {"chrrom", "size", Kind::number, chrSize, 0},
    {"trainer", "size", Kind::number, trainerSize, 0},
    {"miscrom", "number", Kind::number, miscCount, 0},
    {"rom", "size", Kind::number, romSize, 0},
    {"rom", "crc32", Kind::hex, romCrc, 8},
    {"rom", "sha1", Kind::hex, romSha, 40},
    {"prgram", "size", Kind::number, prgRam, 0},
    {"prgnvram", "size", Kind::number, prgNvram, 0},
    {"chrram", "size", Kind::number, chrRam, 0},
    {"chrnvram", "size", Kind::number, chrNvram, 0},
    {"pcb", "mapper", Kind::number, mapper, 0},
    {"pcb", "submapper", Kind::number, submapper, 0},
    {"pcb", "mirroring", Kind::letter, mirroring, 0},
    {"pcb", "battery", Kind::number, battery, 0},
    {"console", "type", Kind::number, consoleType, 0},
    {"console", "region", Kind::number, region, 0},
    {"expansion", "type", Kind::number, expansion, 0},
    {"vs", "hardware", Kind::number, vsHardware, 0},
    {"vs", "ppu", Kind::number, vsPpu, 0},
};

// What every game must have, and the words for it missing.
struct Required {
    int slot;
    const char* missing;
};
constexpr Required required[] = {
    {prgSize, "prgrom element with a size"},
    {mapper, "pcb element with a mapper"},
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

// The four-screen and vertical flags for each mirroring letter; mappers 30
// and 218 have letters of their own, every other mapper those of mapper -1.
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

std::string lineText(unsigned long line) {
    return "line " + std::to_string(line) + ": ";
}

// Where each piece of XML starts and ends, as far as expat's rescanning
// goes: markup from '<' to its '>' (quotes respected in tags, "-->", "?>"
// and "]]>" closing the others) and the text between.
class Scanner {
public:
    // The offset in `text` at which the piece under way grows too long or a
    // NUL byte comes, or npos; then why() says what it was.
    std::size_t scan(const char* text, std::size_t size) {
        const void* nul = std::memchr(text, 0, size);
        const std::size_t end = nul != nullptr ? static_cast<const char*>(nul) - text : size;
        for (std::size_t at = 0; at < end;) {
            // Up to the next character that can end or start a piece.
            const std::size_t next = at + skip(text + at, end - at);
            if (length + (next - at) > HeaderDatabase::maxTokenBytes) {
                return tooLong(at + (HeaderDatabase::maxTokenBytes - length));
            }
            length += next - at;
            countLines(text + at, text + next);
            if (next - at >= 2) {
                last2 = text[next - 2];
            } else if (next - at == 1) {
                last2 = last1;
            }
            last1 = next > at ? text[next - 1] : last1;
            if (next == end) {
                break;
            }
            ++length;
            countLines(text + next, text + next + 1);
            step(text[next]);
            if (length > HeaderDatabase::maxTokenBytes) {
                return tooLong(next);
            }
            at = next + 1;
        }
        if (nul != nullptr) {
            problem = lineText(line) + "the file holds a NUL byte: it is not UTF-8 text";
            return end;
        }
        return std::string::npos;
    }
    const std::string& why() const { return problem; }

private:
    enum State { text, open, tag, quoted, comment, instruction, cdata };
    static constexpr const char* words[] = {"the text",         "the tag",
                                            "the tag",          "the tag",
                                            "the comment",      "the processing instruction",
                                            "the CDATA section"};
    // The markup kinds known by their first characters.
    struct Opening {
        std::string_view start;
        State state;
    };
    static constexpr Opening openings[] = {
        {"<!--", comment}, {"<![CDATA[", cdata}, {"<?", instruction}};

    std::size_t tooLong(std::size_t at) {
        problem = lineText(startLine) + words[state] + " that starts here is longer than " +
                  sizeText(HeaderDatabase::maxTokenBytes);
        return at;
    }

    // How many characters from `from` cannot change the state.
    std::size_t skip(const char* from, std::size_t size) const {
        const auto until = [&](char c) {
            const void* found = std::memchr(from, c, size);
            return found != nullptr
                       ? static_cast<std::size_t>(static_cast<const char*>(found) - from)
                       : size;
        };
        switch (state) {
        case text:
            return until('<');
        case quoted:
            return until(quote);
        case comment:
        case instruction:
        case cdata:
            return until('>');
        case tag:
            return std::find_if(from, from + size,
                                [](char c) { return c == '>' || c == '"' || c == '\''; }) -
                   from;
        case open:
            break;
        }
        return 0;
    }

    // Lines end as expat counts them: at CR, LF or both.
    void countLines(const char* from, const char* to) {
        if (from == to) {
            return;
        }
        line += *from == '\r' || (*from == '\n' && previous != '\r');
        if (std::memchr(from, '\r', to - from) == nullptr) {
            line += std::count(from + 1, to, '\n');
        } else {
            for (const char* at = from + 1; at < to; ++at) {
                line += *at == '\r' || (*at == '\n' && at[-1] != '\r');
            }
        }
        previous = to[-1];
    }

    void begin(State next, std::size_t already) {
        state = next;
        length = already;
        startLine = line;
    }

    // Moves on by one character; last1 and last2 are the two before it
    // within the current piece.
    void step(char c) {
        switch (state) {
        case text:
            if (c == '<') {
                begin(open, 1);
                head = "<";
            }
            break;
        case open:
            head += c;
            for (const Opening& kind : openings) {
                if (head == kind.start) {
                    state = kind.state;
                    last1 = last2 = 0;
                    return;
                }
            }
            if (std::none_of(std::begin(openings), std::end(openings), [&](const Opening& kind) {
                    return kind.start.substr(0, head.size()) == head;
                })) {
                state = tag;
                step(c);
                return;
            }
            break;
        case tag:
            if (c == '"' || c == '\'') {
                quote = c;
                state = quoted;
            } else if (c == '>') {
                begin(text, 0);
            }
            break;
        case quoted:
            state = c == quote ? tag : quoted;
            break;
        case comment:
        case instruction:
        case cdata: {
            const bool closed = c == '>' && (state == comment ? last2 == '-' && last1 == '-'
                                             : state == cdata ? last2 == ']' && last1 == ']'
                                                              : last1 == '?');
            if (closed) {
                begin(text, 0);
            }
        } break;
        }
        last2 = last1;
        last1 = c;
    }

    State state = text;
    std::string head; // the start of markup whose kind is not yet known
    char quote = 0, last1 = 0, last2 = 0, previous = 0;
    std::size_t length = 0;
    unsigned long line = 1, startLine = 1;
    std::string problem;
};

struct Game {
    unsigned long line = 0;
    std::string name;
    std::uint64_t values[slotCount] = {};
    unsigned long lines[slotCount] = {};
    const Attribute* rows[slotCount] = {}; // where each value was read
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
            XML_SetStartDoctypeDeclHandler(parser.get(), &Reader::onDoctype);
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
        // Expat reads what comes before a refused piece first, so that the
        // first fault in the file is the one reported.
        const std::size_t stop = scanner.scan(text, size);
        const std::size_t fed = std::min(stop, size);
        if (XML_Parse(parser.get(), text, static_cast<int>(fed),
                      last && stop == std::string::npos) == XML_STATUS_ERROR) {
            if (problem.empty()) {
                problem = lineText() + XML_ErrorString(XML_GetErrorCode(parser.get())) +
                          ": the file is not well-formed XML";
            }
            return false;
        }
        if (stop != std::string::npos) {
            problem = scanner.why();
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
    // Declarations of its own could give attributes defaults or define
    // entities: a header database has none.
    static void onDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*,
                          int internalSubset) {
        if (internalSubset != 0) {
            static_cast<Reader*>(self)->refuse("the DOCTYPE declares things of its own (an "
                                               "internal subset), which a header database never "
                                               "does");
        }
    }

    std::string lineText() const { return ::lineText(XML_GetCurrentLineNumber(parser.get())); }

    void refuse(const std::string& why, unsigned long line = 0) {
        if (problem.empty()) {
            problem = line == 0 ? lineText() + why : ::lineText(line) + why;
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
        const bool isGame = std::strcmp(name, "game") == 0;
        if (depth == 1 && std::strcmp(name, "nes20db") != 0) {
            return refuse(std::string("the root element is <") + name +
                          ">, not <nes20db>: this is not a header database");
        }
        if (isGame && depth != 2) {
            return refuse("this <game> is not a child of the root element <nes20db>");
        }
        if (isGame) {
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
            set(miscCount, 1, line, nullptr); // one misc ROM unless it says how many
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

    void set(int slot, std::uint64_t value, unsigned long line, const Attribute* row) {
        game.values[slot] = value;
        game.lines[slot] = line;
        game.rows[slot] = row;
        game.seen[slot] = true;
    }

    // The attribute that gave a slot its value, as it reads in the file.
    std::string origin(int slot) const {
        const Attribute* row = game.rows[slot];
        return row == nullptr ? "miscrom"
                              : std::string(row->element) + " " + row->name + "=\"" +
                                    std::to_string(game.values[slot]) + "\"";
    }

    bool takeValue(const Attribute& attribute, std::string_view value, unsigned long line) {
        std::string wrong; // empty when the value is right
        std::uint64_t number = 0;
        if (attribute.kind == Kind::hex) {
            const bool hex = value.size() == attribute.digits &&
                             std::all_of(value.begin(), value.end(),
                                         [](unsigned char c) { return std::isxdigit(c) != 0; });
            wrong = hex ? "" : "is not " + std::to_string(attribute.digits) + " hex digits";
        } else if (attribute.kind == Kind::letter) {
            wrong = value.size() == 1 ? "" : "is not one letter";
        } else if (value.empty() || value.find_first_not_of("0123456789") != value.npos) {
            wrong = "is not a number";
        } else {
            for (std::size_t i = 0; i < value.size() && wrong.empty(); ++i) {
                const auto digit = static_cast<std::uint64_t>(value[i] - '0');
                wrong = number > (UINT64_MAX - digit) / 10 ? "is out of range" : "";
                number = number * 10 + digit;
            }
        }
        if (!wrong.empty()) {
            refuse(std::string(attribute.element) + " " + attribute.name + "=\"" +
                   std::string(value.substr(0, 40)) + (value.size() > 40 ? "..." : "") + "\" " +
                   wrong);
            return false;
        }
        if (attribute.kind == Kind::number) {
            set(attribute.slot, number, line, &attribute);
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
        std::string missing;
        for (const Required& need : required) {
            if (!game.seen[need.slot]) {
                missing +=
                    (missing.empty() ? "the game has no " : " and no ") + std::string(need.missing);
            }
        }
        if (!missing.empty()) {
            return refuse(missing, game.line);
        }
        // A blank iNES header as the model turns it into NES 2.0; every
        // field below is then set from the game.
        NesHeader header = NesHeader(CartridgeHeader{'N', 'E', 'S', 0x1A}).toNes2();
        static const auto fields = [] {
            std::array<const HeaderField*, std::size(settings)> found{};
            std::transform(std::begin(settings), std::end(settings), found.begin(),
                           [](const Setting& setting) { return findField(setting.field); });
            return found;
        }();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int slot = settings[i].slot;
            if (Refusal refusal = fields[i]->set(header, game.values[slot])) {
                return game.seen[slot] ? refuse(origin(slot) + ": " + *refusal, game.lines[slot])
                                       : refuse(*refusal, game.line);
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
                           std::move(game.texts[romCrc]), std::move(game.texts[romSha]),
                           game.line});
    }

    Parser parser;
    Scanner scanner;
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

// "the games at lines 3, 40 and 77", the first five and how many more.
std::string linesText(const std::vector<unsigned long>& lines) {
    constexpr std::size_t shown = 5;
    std::string text = lines.size() == 1 ? "the game at line " : "the games at lines ";
    for (std::size_t i = 0; i < lines.size() && i < shown; ++i) {
        const bool lastShown = i + 1 == lines.size() || i + 1 == shown;
        text += (i == 0                               ? ""
                 : lastShown && lines.size() <= shown ? " and "
                                                      : ", ") +
                std::to_string(lines[i]);
    }
    if (lines.size() > shown) {
        text += " and " + std::to_string(lines.size() - shown) + " more";
    }
    return text;
}

} // namespace

std::optional<HeaderDatabase> HeaderDatabase::made(std::optional<std::vector<DatabaseEntry>> read) {
    std::optional<HeaderDatabase> database;
    if (!read) {
        return database;
    }
    database.emplace();
    database->entries = std::move(*read);
    const std::vector<DatabaseEntry>& entries = database->entries;
    std::vector<std::size_t>& order = database->byHashes;
    order.resize(entries.size());
    std::iota(order.begin(), order.end(), 0);
    const auto data = [&](std::size_t i) {
        return std::tie(entries[i].romCrc32, entries[i].romSha1);
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::make_pair(data(a), a) < std::make_pair(data(b), b);
    });
    // The first entry of each dump that has entries with other headers too.
    std::vector<unsigned long> lines;
    for (std::size_t first = 0, at = 1; at <= order.size(); ++at) {
        if (at == order.size() || data(order[at]) != data(order[first])) {
            const auto other = [&](std::size_t i) {
                return entries[i].header != entries[order[first]].header;
            };
            if (std::any_of(order.begin() + first + 1, order.begin() + at, other)) {
                lines.push_back(entries[order[first]].line);
            }
            first = at;
        }
    }
    std::sort(lines.begin(), lines.end());
    if (!lines.empty()) {
        const bool one = lines.size() == 1;
        database->remarks.push_back(
            std::to_string(lines.size()) + (one ? " dump has" : " dumps have") +
            " more than one entry, with different headers; the first in the file is used for " +
            (one ? "it: " : "each: ") + linesText(lines));
    }
    return database;
}

std::optional<HeaderDatabase> HeaderDatabase::parse(const std::string& text, std::string& error) {
    if (text.size() > maxFileBytes) {
        error = "the header database is larger than " + sizeText(maxFileBytes);
        return std::nullopt;
    }
    Reader reader;
    std::size_t at = 0;
    for (bool more = true; more; at += pieceBytes) {
        const std::size_t size = std::min(pieceBytes, text.size() - std::min(at, text.size()));
        more = at + size < text.size();
        if (!reader.feed(text.data() + at, size, !more)) {
            break;
        }
    }
    return made(reader.finish(error));
}

std::optional<HeaderDatabase> HeaderDatabase::load(const std::string& path, std::string& error,
                                                   const std::atomic<bool>* cancel) {
    // Looked at before it is opened: opening a FIFO would release another
    // program's writer, opening a device may touch it. Not blocking, and
    // looked at again once open, in case the path changed in between.
    struct stat before {
    }, status{};
    if (stat(path.c_str(), &before) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(before.st_mode)) {
        error = path + " is not a regular file";
        return std::nullopt;
    }
    Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.value < 0 || fstat(file.value, &status) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || status.st_ino != before.st_ino ||
        status.st_dev != before.st_dev) {
        error = path + " is not a regular file";
        return std::nullopt;
    }
    const std::string limit = sizeText(maxFileBytes);
    if (static_cast<std::uint64_t>(status.st_size) > maxFileBytes) {
        error = path + " is larger than " + limit + ": not a header database";
        return std::nullopt;
    }
    Reader reader;
    std::vector<char> piece(pieceBytes);
    std::uint64_t total = 0;
    for (;;) {
        if (cancel != nullptr && cancel->load()) {
            error = "cancelled";
            return std::nullopt;
        }
        const ssize_t got = read(file.value, piece.data(), piece.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "reading " + path + " failed: " + std::strerror(errno);
            return std::nullopt;
        }
        total += static_cast<std::uint64_t>(got);
        if (total > maxFileBytes) {
            error = path + " grew beyond " + limit + " while it was read";
            return std::nullopt;
        }
        if (!reader.feed(piece.data(), static_cast<std::size_t>(got), got == 0) || got == 0) {
            break;
        }
    }
    return made(reader.finish(error));
}

const DatabaseEntry* HeaderDatabase::find(const std::string& crc32, const std::string& sha1) const {
    const auto wanted = std::make_tuple(upper(crc32), upper(sha1));
    const auto at = std::lower_bound(
        byHashes.begin(), byHashes.end(), wanted, [&](std::size_t i, const auto& key) {
            return std::tie(entries[i].romCrc32, entries[i].romSha1) < key;
        });
    return at != byHashes.end() && std::tie(entries[*at].romCrc32, entries[*at].romSha1) == wanted
               ? &entries[*at]
               : nullptr;
}
