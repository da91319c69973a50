// One load of a header database, as the program does at start:
//   benchLoadDatabase FILE.xml
// Prints the number of games read.
#include "headerDatabase.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: benchLoadDatabase FILE.xml\n");
        return 2;
    }
    std::string error;
    const auto database = HeaderDatabase::load(argv[1], error);
    if (!database) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::printf("%zu games\n", database->size());
    return 0;
}
