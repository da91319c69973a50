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

// A broken promise ends the run with the promise that broke.
#define CHECK(ok)                                                                                  \
    ((ok) ? void() : (std::fprintf(stderr, "broken promise: %s\n", #ok), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static char path[] = "/tmp/tallowick-fuzz-XXXXXX";
    static const int fd = mkstemp(path);
    CHECK(fd >= 0 && ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size));
    CartridgeHeader bytes{};
    std::copy_n(data, std::min<std::size_t>(size, 16), bytes.begin());
    const NesHeader header(bytes);
    const ImageReport report = scanImage(fd, header);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08lX", crc32(0L, data, static_cast<uInt>(size)));
    CHECK(report.complete && report.fileSize == size);
    CHECK(report.hashes.fileCrc32 == (size ? crc : ""));

    const std::string tail(data + size - std::min<std::size_t>(size, 128), data + size);
    CHECK(report.content.tail == tail);
    const std::vector<Finding> findings = checkHeader(header, size, report.content);
    CHECK(findings.size() == report.findings.size());
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& found = findings[i];
        CHECK(report.findings[i].id == found.id);
        CHECK(!found.message.empty() && found.message.find('\n') == std::string::npos);
        CHECK(found.fix.has_value() != found.fixLabel.empty());
        for (const Finding& after : found.fix
                                        ? checkHeader(NesHeader(*found.fix), size, report.content)
                                        : std::vector<Finding>()) {
            CHECK(after.id != found.id && *found.fix != bytes);
        }
    }
    return 0;
}
