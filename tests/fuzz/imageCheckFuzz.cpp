// Arbitrary file contents through checkHeader and scanImage, checking what
// holds for any file: the scan reads it all and agrees with checkHeader and
// with zlib, every finding is one line, and every fix mends its finding.
#include "imageCheck.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

static void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char path[] = "/tmp/tallowick-fuzz-XXXXXX";
    static const int fd = mkstemp(path);
    check(fd >= 0 && ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size), "file");
    CartridgeHeader bytes{};
    std::copy_n(data, std::min<std::size_t>(size, 16), bytes.begin());
    const NesHeader header(bytes);
    const ImageReport report = scanImage(fd, header);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08lX", crc32(0L, data, static_cast<uInt>(size)));
    check(report.complete && report.fileSize == size, "the scan reads the whole file");
    check(report.hashes.fileCrc32 == (size ? crc : ""), "the file's CRC-32 is zlib's");

    const std::string tail(data + size - std::min<std::size_t>(size, 128), data + size);
    const std::vector<Finding> findings = checkHeader(header, size, tail);
    check(findings.size() == report.findings.size(), "the scan's findings are checkHeader's");
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& found = findings[i];
        check(report.findings[i].id == found.id, "the scan's findings are checkHeader's");
        check(!found.message.empty() && found.message.find('\n') == std::string::npos, "a line");
        check(found.fix.has_value() != found.fixLabel.empty(), "a fix comes with its label");
        for (const Finding& after :
             found.fix ? checkHeader(NesHeader(*found.fix), size, tail) : std::vector<Finding>()) {
            check(after.id != found.id && *found.fix != bytes, "a fix mends its finding");
        }
    }
    return 0;
}
