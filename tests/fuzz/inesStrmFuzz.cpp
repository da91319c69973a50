// Arbitrary file contents through the header stream and the model: the
// header read matches the bytes (the queries have their table in cartTests),
// a checked write of any header keeps the file's length and everything behind
// the header, and what is written reads back.
#include "inesStrm.h"
#include "nesHeader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

// A broken promise ends the run with the promise that broke.
#define CHECK(ok)                                                                                  \
    ((ok) ? void() : (std::fprintf(stderr, "broken promise: %s\n", #ok), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char path[] = "/tmp/tallowick-fuzz-XXXXXX";
    static const int fd = mkstemp(path);
    CHECK(fd >= 0 && ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size));

    inesStrm rom(path);
    CHECK(rom.isOpen() == 1 && rom.isWritable() == 1);
    const bool magic = size >= 16 && std::memcmp(data, "NES\x1A", 4) == 0;
    CHECK(rom.sizeAtOpen() == size);
    const std::size_t head = std::min<std::size_t>(size, 16);
    CartridgeHeader header{};
    rom.readHeader(&header);
    CHECK(std::memcmp(header.data(), data, head) == 0);

    // Any header of the model, edited through every field, is written whole
    // into a valid file and into no other; the file keeps its length and
    // everything behind the header.
    NesHeader edited(header);
    for (int f = 0; f < headerFieldCount; ++f) {
        headerFields[f].set(edited, headerFields[f].get(edited) + (size > 0 && (data[0] & 1)));
    }
    CHECK((rom.writeHeader(edited.bytes()) == WriteResult::written) == magic);
    std::vector<std::uint8_t> now(size + 1);
    CHECK(pread(fd, now.data(), now.size(), 0) == ssize_t(size));
    CHECK(!magic || std::memcmp(now.data(), edited.bytes().data(), 16) == 0);
    CHECK(size <= 16 || std::memcmp(now.data() + 16, data + 16, size - 16) == 0);
    return 0;
}
