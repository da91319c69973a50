// Arbitrary text through the header database reader: it ends in a database
// or in a message naming a line, never in a crash, a hang or a leak.
#include "headerDatabase.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto database =
        HeaderDatabase::parse(std::string(reinterpret_cast<const char*>(data), size), error);
    if (database ? !error.empty() || database->find("", "") : error.compare(0, 5, "line ") != 0) {
        std::abort();
    }
    return 0;
}
