// The whole command line of tallowick-cli as one function, so that the
// tests run it in-process and main() only hands it argv.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// 0: everything was fine. 1: a file has an error finding or could not be
// read or written. 2: the command line itself is wrong, or names nothing to do.
enum ExitCode { exitFine = 0, exitFailed = 1, exitUsage = 2 };

// Runs `args` (the arguments after the program's name, each one the bytes the
// system passed), writing results to `out` and messages to `err`. Returns the
// exit code.
int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
