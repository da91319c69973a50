#include "commandLine.h"

#include "commands.h"
#include "imageDocument.h"
#include "nesHeader.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <ostream>

namespace {

const char* const program = "tallowick-cli";

// QCommandLineParser works on QString. Latin-1 maps every byte to one
// character and back, so file names and values come out exactly as the
// system passed them, whatever their encoding.
QString carry(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string bytesOf(const QString& carried) {
    const QByteArray bytes = carried.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

struct OptionRow {
    const char* name;
    const char* description;
    const char* valueName; // nullptr for a flag
    bool Options::*flag;
    std::optional<std::string> Options::*value;
};

const OptionRow optionRows[] = {
    {"json", "One JSON object per file, one per line.", nullptr, &Options::json, nullptr},
    {"no-hashes", "Read only the header and the last 128 bytes (fast): no hashes.", nullptr,
     &Options::noHashes, nullptr},
    {"db", "Look the images up in the NES 2.0 XML header database <FILE>.", "FILE", nullptr,
     &Options::database},
    {"verbose", "Every finding on its own line.", nullptr, &Options::verbose, nullptr},
    {"dry-run", "Show the old and the new header bytes; write nothing.", nullptr, &Options::dryRun,
     nullptr},
    {"brief", "One line per image.", nullptr, &Options::brief, nullptr},
    {"format",
     "The form of the headers written: nes2 (the default), ines1 where it loses "
     "nothing, or keep each header's own under that rule.",
     "FORMAT", nullptr, &Options::format},
    {"journal",
     "Record the old and new headers in <FILE> (default: a new file under "
     "$XDG_STATE_HOME/tallowick/).",
     "FILE", nullptr, &Options::journal},
    {"headerless-out",
     "Also look files without an iNES header up by the hashes of the whole "
     "file, and write each one found to <DIR> with its header.",
     "DIR", nullptr, &Options::headerlessOut},
};

const OptionRow& optionRow(std::string_view name) {
    return *std::find_if(std::begin(optionRows), std::end(optionRows),
                         [name](const OptionRow& row) { return name == row.name; });
}

struct Argument {
    const char* name;
    const char* syntax; // in the usage line
    const char* description;
};

struct Subcommand {
    const char* name;
    const char* summary;
    Argument arguments[2];
    const char* options[6];
    int (*run)(const Options&, std::ostream&, std::ostream&);
};

const char* const searched = "Images, and folders to search for *.nes files.";

const Subcommand subcommands[] = {
    {"info",
     "Show every header field, the checks and the hashes.",
     {{"PATH", "PATH...", searched}},
     {"json", "no-hashes", "db", "brief"},
     runInfo},
    {"check",
     "Check images: a line for each with problems, then a summary.",
     {{"PATH", "PATH...", searched}},
     {"db", "verbose"},
     runCheck},
    {"set",
     "Change header fields and write the headers back.",
     {{"FIELD=VALUE", "FIELD=VALUE...", "Fields to change (see below)."},
      {"FILE", "FILE...", "Images to change, and folders to search for *.nes files."}},
     {"dry-run"},
     runSet},
    {"clean",
     "Zero the stray bytes 8-15 of headers that are not NES 2.0.",
     {{"FILE", "FILE...", "Images to clean, and folders to search for *.nes files."}},
     {"dry-run"},
     runClean},
    {"fix",
     "Write the header database's headers over the images' headers.",
     {{"PATH", "PATH...", searched}},
     {"db", "format", "dry-run", "json", "journal", "headerless-out"},
     runFix},
    {"undo",
     "Put back the headers a fix wrote, from its journal.",
     {{"JOURNAL", "JOURNAL", "The journal the fix wrote."}},
     {"dry-run"},
     runUndo},
};

const QCommandLineOption& helpOption() {
    static const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    return help;
}

// Qt names the program only when a QCoreApplication exists; there is none.
std::string helpOf(const QCommandLineParser& parser, const std::string& usage) {
    return bytesOf(parser.helpText().replace("<executable_name>", carry(usage)));
}

const char* const exitCodes =
    "\nPut -- before file names that start with a dash: -- -a.nes.\n"
    "\nExit codes: 0 fine; 1 a file has an error or could not be read or written;\n"
    "2 a usage error.\n";

// Why the command line was refused; an unknown option is quoted whole as it
// was typed ("-x.nes", not "x.nes"), so that a file name is recognised.
std::string parseError(const QCommandLineParser& parser, const QStringList& args) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        for (const QString& arg : args) {
            const QString bare = arg.mid(arg.startsWith("--") ? 2 : 1).section('=', 0, 0);
            if (arg.startsWith('-') && bare == unknown.front()) {
                return "unknown option '" + bytesOf(arg) +
                       "' (put -- before file names that start with a dash)";
            }
        }
    }
    return bytesOf(parser.errorText());
}

int runSubcommand(const Subcommand& command, QStringList args, std::ostream& out,
                  std::ostream& err) {
    QCommandLineParser parser;
    // Long options only: "-x.nes" is one unknown option, not five.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(command.summary);
    parser.addOption(helpOption());
    for (const char* name : command.options) {
        if (name == nullptr) {
            continue;
        }
        const OptionRow& row = optionRow(name);
        parser.addOption(row.valueName != nullptr
                             ? QCommandLineOption(row.name, row.description, row.valueName)
                             : QCommandLineOption(row.name, row.description));
    }
    for (const Argument& argument : command.arguments) {
        if (argument.name != nullptr) {
            parser.addPositionalArgument(argument.name, argument.description, argument.syntax);
        }
    }
    if (!parser.parse(args)) {
        return usageError(err, command.name, parseError(parser, args));
    }
    if (parser.isSet(helpOption())) {
        out << helpOf(parser, std::string(program) + " " + command.name)
            << (command.run == runSet ? setFieldsHelp() : "") << exitCodes;
        return exitFine;
    }
    Options options;
    for (const char* name : command.options) {
        if (name == nullptr) {
            continue;
        }
        const OptionRow& row = optionRow(name);
        if (row.flag != nullptr) {
            options.*row.flag = parser.isSet(row.name);
        } else if (parser.isSet(row.name)) {
            options.*row.value = bytesOf(parser.value(row.name));
        }
    }
    for (const QString& argument : parser.positionalArguments()) {
        options.arguments.push_back(bytesOf(argument));
    }
    return command.run(options, out, err);
}

} // namespace

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    QStringList carried{program};
    for (const std::string& arg : args) {
        carried << carry(arg);
    }
    QCommandLineParser top;
    top.setApplicationDescription("Views, checks and edits the 16-byte header of iNES and NES 2.0 "
                                  "cartridge images.");
    top.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Everything after the command is the command's own.
    top.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption version("version", "Show the version.");
    top.addOption(helpOption());
    top.addOption(version);
    top.addPositionalArgument("COMMAND", "info, check, set, clean, fix or undo.",
                              "COMMAND [ARGUMENTS...]");
    const bool parsed = top.parse(carried);
    if (parsed && top.isSet(helpOption())) {
        out << helpOf(top, program) << "\nCommands:\n";
        for (const Subcommand& command : subcommands) {
            out << "  " << command.name
                << std::string(8 - std::string_view(command.name).size(), ' ') << command.summary
                << "\n";
        }
        out << exitCodes << "'" << program << " COMMAND --help' shows a command's options.\n";
        return exitFine;
    }
    if (parsed && top.isSet(version)) {
        out << program << " " << TALLOWICK_VERSION << "\n";
        return exitFine;
    }
    QStringList rest = top.positionalArguments();
    std::string problem = !parsed          ? bytesOf(top.errorText())
                          : rest.isEmpty() ? std::string("no COMMAND given")
                                           : std::string();
    const Subcommand* command = nullptr;
    if (problem.empty()) {
        const std::string name = bytesOf(rest.front());
        const auto found = std::find_if(std::begin(subcommands), std::end(subcommands),
                                        [&name](const Subcommand& c) { return name == c.name; });
        command = found != std::end(subcommands) ? found : nullptr;
        problem = command == nullptr ? "unknown command '" + name + "'" : std::string();
    }
    if (command == nullptr) {
        err << program << ": " << printable(problem) << "\nTry '" << program << " --help'.\n";
        return exitUsage;
    }
    rest.front() = QString(program) + " " + command->name;
    return runSubcommand(*command, rest, out, err);
}
