// tallowick-cli: views, checks and edits the headers of many iNES images.
#include "commandLine.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Byte for byte: a file name is whatever the system passed.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = runCommandLine(args, std::cout, std::cerr);
    if (!std::cout.flush()) {
        std::cerr << "tallowick-cli: cannot write the results\n";
        return exitFailed;
    }
    return code;
}
