// Feeds arbitrary file contents to every operation of inesStrm and checks the
// promises that hold for any file: results in range, nothing written behind
// the header, the length kept, and a written header read back unchanged.
#include "inesStrm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string& scratchPath() {
    static const std::string path = [] {
        char pattern[] = "/tmp/tallowick-fuzz-XXXXXX";
        int fd = mkstemp(pattern);
        if (fd < 0) {
            std::abort();
        }
        close(fd);
        return std::string(pattern);
    }();
    return path;
}

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

std::vector<std::uint8_t> contents(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(file)) != EOF) {
            bytes.push_back(static_cast<std::uint8_t>(c));
        }
        std::fclose(file);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = scratchPath();
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size > 0 && std::fwrite(data, 1, size, file) != size) {
            std::abort();
        }
        std::fclose(file);
    }

    inesStrm rom(path.c_str());
    check(rom.isOpen() == 1 && rom.isWritable() == 1, "an existing file opens for update");

    int valid = rom.isValid();
    check(valid == (size >= 16 && std::memcmp(data, "NES\x1A", 4) == 0), "isValid");
    int clean = rom.isHeaderClean();
    check(clean == 0 || clean == 1, "isHeaderClean is a flag");
    check(rom.isNes2() == (size >= 8 && (data[7] & 0x0C) == 0x08), "isNes2");
    std::string label = rom.getLabel();
    check(label.size() <= 3, "label length");

    int byte3 = rom.getByte3();
    check(byte3 == (size > 3 ? data[3] : -1), "getByte3");
    int prg = rom.getPrgPages();
    check(prg >= -1 && prg <= 255 && rom.getPrgSize() == prg * 16384, "PRG");
    int chr = rom.getChrPages();
    check(chr >= -1 && chr <= 255 && rom.getChrSize() == chr * 8192, "CHR");
    for (int flag : {rom.getMirroring(), rom.getSRAM(), rom.getTrainer(), rom.getFourScreen()}) {
        check(flag == 0 || flag == 1, "flags are 0 or 1");
    }
    int mapper = rom.getMapper();
    check(mapper >= 0 && mapper <= 255, "mapper range");
    check(rom.getMapperName() != nullptr && *rom.getMapperName() != '\0', "mapper name");

    CartridgeHeader header;
    header.fill(0xA5);
    rom.readHeader(&header);
    for (std::size_t i = 0; i < 16; ++i) {
        check(header[i] == (i < size ? data[i] : 0xA5), "readHeader copies what the file has");
    }

    if (size >= 16) {
        for (std::size_t i = 8; i < 16; ++i) {
            header[i] = 0;
        }
        header[4] = static_cast<std::uint8_t>(header[4] + 1);
        check(rom.writeHeader(&header) == 1, "writeHeader succeeds on a regular file");
        CartridgeHeader back{};
        rom.readHeader(&back);
        check(back == header, "written header reads back");
        check(rom.isHeaderClean() == 1, "cleaned header is clean");
        std::vector<std::uint8_t> now = contents(path);
        check(now.size() == size, "length kept");
        check(std::memcmp(now.data() + 16, data + 16, size - 16) == 0, "nothing behind the header");
    }
    return 0;
}
