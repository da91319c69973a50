// Arbitrary file contents through the header stream and the model: the
// answers match the bytes, a checked write of any header keeps the file's
// length and everything behind the header, and what is written reads back.
#include "inesStrm.h"
#include "nesHeader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char pattern[] = "/tmp/tallowick-fuzz-XXXXXX";
        ::close(::mkstemp(pattern));
        return std::string(pattern);
    }();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));

    inesStrm rom(path.c_str());
    check(rom.isOpen() == 1 && rom.isWritable() == 1, "an existing file opens for update");
    const bool magic = size >= 16 && std::memcmp(data, "NES\x1A", 4) == 0;
    check(rom.isValid() == (magic ? 1 : 0), "isValid");
    check(rom.isNes2() == (size >= 8 && (data[7] & 0x0C) == 0x08 ? 1 : 0), "isNes2");
    check(rom.sizeAtOpen() == size, "size");
    bool clean = true;
    for (std::size_t i = 8; i < 16 && i < size; ++i) {
        clean = clean && data[i] == 0;
    }
    check(rom.isHeaderClean() == (clean ? 1 : 0), "bytes 8-15, those missing counted as zero");
    CartridgeHeader header{};
    rom.readHeader(&header);
    check(std::memcmp(header.data(), data, std::min<std::size_t>(size, 16)) == 0, "readHeader");

    // Any header of the model, edited through every field, is written whole.
    NesHeader edited(header);
    for (int f = 0; f < headerFieldCount; ++f) {
        headerFields[f].set(edited, headerFields[f].get(edited) + (data[0] & 1));
    }
    const WriteResult result = rom.writeHeader(edited.bytes());
    check((result == WriteResult::written) == magic, "a valid file is written, any other not");
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> now{std::istreambuf_iterator<char>(in), {}};
    check(now.size() == size, "length kept");
    check(!magic || std::memcmp(now.data(), edited.bytes().data(), 16) == 0, "written whole");
    check(size <= 16 || std::memcmp(now.data() + 16, data + 16, size - 16) == 0,
          "nothing behind the header");
    return 0;
}
