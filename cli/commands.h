// The commands, each given its command line already parsed.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct Options {
    std::vector<std::string> arguments; // the positional arguments, as bytes
    bool json = false;
    bool noHashes = false;
    bool verbose = false;
    bool dryRun = false;
    bool brief = false;
    std::optional<std::string> database;      // --db FILE
    std::optional<std::string> format;        // --format nes2|ines1|keep
    std::optional<std::string> journal;       // --journal FILE
    std::optional<std::string> headerlessOut; // --headerless-out DIR
};

int runInfo(const Options& options, std::ostream& out, std::ostream& err);
int runCheck(const Options& options, std::ostream& out, std::ostream& err);
int runSet(const Options& options, std::ostream& out, std::ostream& err);
int runClean(const Options& options, std::ostream& out, std::ostream& err);
int runFix(const Options& options, std::ostream& out, std::ostream& err);
int runUndo(const Options& options, std::ostream& out, std::ostream& err);

// The fields `set` changes and the values each takes, for its help.
std::string setFieldsHelp();

// Says what is wrong with the command line and how to get help; returns 2.
int usageError(std::ostream& err, const std::string& command, const std::string& message);
