#include "inesStrm.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t headerSize = 16;
constexpr std::uint8_t byte3Mark = 0x1A;

// O_NONBLOCK: opening a FIFO must not wait for a writer. O_NOCTTY: a
// terminal must not become ours.
constexpr int openFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

bool startsLikeInes(const std::uint8_t* bytes) {
    return std::memcmp(bytes, "NES", 3) == 0 && bytes[3] == byte3Mark;
}

} // namespace

inesStrm::inesStrm(const char* path, Access access) : name(path) {
    struct stat before {};
    // Refuse a FIFO, device or socket before opening it for update: opening
    // one can have effects of its own.
    if (access == Access::update && ::stat(path, &before) == 0 && !S_ISREG(before.st_mode)) {
        failure = OpenFailure::notRegularFile;
        return;
    }
    if (access == Access::update) {
        descriptor = ::open(path, O_RDWR | openFlags);
    }
    if (descriptor >= 0) {
        writable = 1;
    } else {
        descriptor = ::open(path, O_RDONLY | openFlags);
    }
    struct stat opened {};
    if (descriptor < 0 || ::fstat(descriptor, &opened) != 0) {
        failure = OpenFailure::cannotOpen;
    } else if (!S_ISREG(opened.st_mode)) {
        // The path was swapped for something else between the two looks.
        failure = OpenFailure::notRegularFile;
    }
    if (failure != OpenFailure::none) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        descriptor = -1;
        writable = 0;
        return;
    }
    openedSize = static_cast<std::uint64_t>(opened.st_size);
    device = opened.st_dev;
    inode = opened.st_ino;
}

inesStrm::~inesStrm() {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

std::size_t inesStrm::readAt(off_t offset, std::uint8_t* into, std::size_t count) const {
    std::size_t got = 0;
    while (got < count) {
        const ssize_t now = ::pread(descriptor, into + got, count - got, offset + off_t(got));
        if (now < 0 && errno == EINTR) {
            continue;
        }
        if (now <= 0) {
            break;
        }
        got += static_cast<std::size_t>(now);
    }
    return got;
}

std::int32_t inesStrm::byteAt(off_t offset) const {
    std::uint8_t byte = 0;
    return readAt(offset, &byte, 1) == 1 ? byte : -1;
}

std::int32_t inesStrm::isValid() {
    std::uint8_t bytes[headerSize] = {};
    return readAt(0, bytes, headerSize) == headerSize && startsLikeInes(bytes) ? 1 : 0;
}

std::int32_t inesStrm::isHeaderClean() {
    std::uint8_t reserved[8] = {};
    readAt(8, reserved, sizeof reserved);
    return std::all_of(std::begin(reserved), std::end(reserved),
                       [](std::uint8_t byte) { return byte == 0; })
               ? 1
               : 0;
}

std::int32_t inesStrm::isNes2() {
    const std::int32_t byte7 = byteAt(7);
    return byte7 >= 0 && (byte7 & 0x0C) == 0x08 ? 1 : 0;
}

int inesStrm::duplicate() const {
    return ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
}

void inesStrm::readHeader(CartridgeHeader* buffer) {
    CartridgeHeader bytes = *buffer;
    readAt(0, bytes.data(), bytes.size());
    *buffer = bytes;
    lastSeen = bytes;
}

WriteResult inesStrm::writeHeader(const CartridgeHeader& header, bool overwriteChanges) {
    struct stat atPath {};
    struct stat opened {};
    if (::stat(name.c_str(), &atPath) != 0 || ::fstat(descriptor, &opened) != 0 ||
        atPath.st_dev != device || atPath.st_ino != inode || opened.st_nlink == 0) {
        return WriteResult::moved;
    }
    // The permission is asked of the path: the open descriptor would still
    // write to a file that was made read-only since.
    if (writable == 0 || ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0) {
        return WriteResult::readOnly;
    }
    if (opened.st_size < static_cast<off_t>(headerSize)) {
        return WriteResult::truncated;
    }
    CartridgeHeader now{};
    if (readAt(0, now.data(), now.size()) != headerSize) {
        return WriteResult::truncated;
    }
    if (!startsLikeInes(now.data())) {
        return WriteResult::notInes;
    }
    if (now != lastSeen && !overwriteChanges) {
        return WriteResult::changedOnDisk;
    }
    std::size_t written = 0;
    while (written < headerSize) {
        const ssize_t done =
            ::pwrite(descriptor, header.data() + written, headerSize - written, off_t(written));
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return WriteResult::failed;
        }
        written += static_cast<std::size_t>(done);
    }
    lastSeen = header;
    return WriteResult::written;
}
