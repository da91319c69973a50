// One whole-image scan, as the window's Check panel runs it:
//   benchHashImage FILE.nes
// Prints the file's CRC-32 and the SHA-1 of its data after the header, the
// same two that `rhash --crc32 --sha1` gives for the file and its data.
#include "imageCheck.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: benchHashImage FILE.nes\n");
        return 2;
    }
    const int fd = open(argv[1], O_RDONLY | O_CLOEXEC);
    CartridgeHeader header{};
    if (fd < 0 || pread(fd, header.data(), header.size(), 0) != 16) {
        std::perror(argv[1]);
        return 1;
    }
    const ImageReport report = scanImage(fd, NesHeader(header));
    close(fd);
    if (!report.complete) {
        std::fprintf(stderr, "%s: %s\n", argv[1], report.readError.c_str());
        return 1;
    }
    std::printf("%s %s\n", report.hashes.fileCrc32.c_str(), report.hashes.romSha1.c_str());
    return 0;
}
