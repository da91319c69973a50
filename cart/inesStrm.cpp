#include "inesStrm.h"

#include "mapperCatalogue.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t headerSize = 16;
constexpr std::uint8_t byte3Mark = 0x1A;

// O_NONBLOCK: opening a FIFO must not wait for a writer. O_NOCTTY: a
// terminal must not become ours.
constexpr int openFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
constexpr mode_t anyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// How long a writer waits for another to release the file's lock, and how often it tries.
constexpr auto lockWait = std::chrono::seconds(2);
constexpr auto lockRetry = std::chrono::milliseconds(20);

// One field of the header: ((byte & mask) >> shift) * scale. A byte the file
// lacks reads as -1, which has every bit set.
struct FieldRow {
    off_t offset;
    std::int32_t mask, shift, scale;
};
// In the order of inesStrm::Field.
constexpr FieldRow fieldRows[] = {{3, ~0, 0, 1},         // byte 3
                                  {4, ~0, 0, 1},         // PRG-ROM in 16 KiB pages
                                  {4, ~0, 0, 16 * 1024}, // PRG-ROM in bytes
                                  {5, ~0, 0, 1},         // CHR-ROM in 8 KiB pages
                                  {5, ~0, 0, 8 * 1024},  // CHR-ROM in bytes
                                  {6, 0x01, 0, 1},       // mirroring
                                  {6, 0x02, 1, 1},       // battery-backed SRAM
                                  {6, 0x04, 2, 1},       // trainer
                                  {6, 0x08, 3, 1},       // four-screen VRAM
                                  {6, 0xF0, 4, 1},       // mapper bits 0-3
                                  {7, 0xF0, 0, 1}};      // mapper bits 4-7, in place

bool startsLikeInes(const std::uint8_t* bytes) {
    return std::memcmp(bytes, "NES", 3) == 0 && bytes[3] == byte3Mark;
}

} // namespace

std::function<void()> inesStrm::beforeWriteHook;

// The file's advisory lock, released when the guard goes.
class inesStrm::FileLock {
public:
    FileLock() = default;
    ~FileLock() {
        if (held >= 0) {
            ::flock(held, LOCK_UN);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // 0 once taken; else the error number, EWOULDBLOCK when another writer
    // kept it all the time.
    int take(int descriptor) {
        const auto giveUp = std::chrono::steady_clock::now() + lockWait;
        while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= giveUp) {
                return errno;
            }
            std::this_thread::sleep_for(lockRetry);
        }
        held = descriptor;
        return 0;
    }

private:
    int held = -1;
};

inesStrm::inesStrm(const char* path, Access access) : name(path) {
    // Look before opening: opening a FIFO, device or socket can have effects
    // of its own (a FIFO's waiting writer is released).
    struct stat before {};
    if (::stat(path, &before) != 0) {
        openErrno = errno;
        failure = OpenFailure::cannotOpen;
        return;
    }
    if (!S_ISREG(before.st_mode)) {
        failure = OpenFailure::notRegularFile;
        return;
    }
    // A file without any write permission bit is read-only, for root too.
    if (access == Access::update && (before.st_mode & anyWriteBit) != 0) {
        descriptor = ::open(path, O_RDWR | openFlags);
    }
    writable = descriptor >= 0 ? 1 : 0;
    if (descriptor < 0) {
        descriptor = ::open(path, O_RDONLY | openFlags);
    }
    struct stat opened {};
    if (descriptor < 0 || ::fstat(descriptor, &opened) != 0) {
        openErrno = errno;
        failure = OpenFailure::cannotOpen;
    } else if (!S_ISREG(opened.st_mode) || opened.st_dev != before.st_dev ||
               opened.st_ino != before.st_ino) {
        // The path was swapped for something else between the look and the open.
        failure = OpenFailure::notRegularFile;
    }
    if (failure != OpenFailure::none) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        descriptor = -1;
        writable = 0;
        errno = openErrno; // as callers used to read it
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

std::int32_t inesStrm::field(Field which) const {
    static_assert(std::size(fieldRows) == std::size_t(Field::mapperHigh) + 1);
    const FieldRow& row = fieldRows[static_cast<std::size_t>(which)];
    return ((byteAt(row.offset) & row.mask) >> row.shift) * row.scale;
}

std::string inesStrm::getLabel() const {
    std::uint8_t label[3] = {};
    const std::size_t got = readAt(0, label, sizeof label);
    return std::string(label, std::find(label, label + got, 0));
}

const char* inesStrm::getMapperName() const {
    return mapperName(getMapper());
}

std::string inesStrm::lastWriteError() const {
    return writeErrno != 0 ? std::generic_category().message(writeErrno) : std::string();
}

WriteResult inesStrm::checkSameFile(struct stat& opened) {
    struct stat atPath {};
    if (::stat(name.c_str(), &atPath) != 0 || ::fstat(descriptor, &opened) != 0) {
        writeErrno = errno;
        return WriteResult::moved;
    }
    return atPath.st_dev == device && atPath.st_ino == inode && opened.st_nlink > 0
               ? WriteResult::written
               : WriteResult::moved;
}

WriteResult inesStrm::lockAndCheck(FileLock& lock, bool overwriteChanges) {
    writeErrno = 0;
    if (descriptor < 0) {
        return WriteResult::moved;
    }
    if (const int error = lock.take(descriptor); error != 0) {
        writeErrno = error == EWOULDBLOCK ? 0 : error;
        return error == EWOULDBLOCK ? WriteResult::locked : WriteResult::failed;
    }
    struct stat opened {};
    if (checkSameFile(opened) != WriteResult::written) {
        return WriteResult::moved;
    }
    // The permission is asked of the path: the open descriptor would still
    // write to a file that was made read-only since. No write bit at all is
    // read-only even for root.
    if (writable == 0 || (opened.st_mode & anyWriteBit) == 0 ||
        ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0) {
        return WriteResult::readOnly;
    }
    if (opened.st_size < static_cast<off_t>(headerSize)) {
        return WriteResult::truncated;
    }
    CartridgeHeader now{};
    if (readAt(0, now.data(), now.size()) != headerSize) {
        return WriteResult::truncated;
    }
    if (!damagedAccepted && !startsLikeInes(now.data())) {
        return WriteResult::notInes;
    }
    if (now != lastSeen && !overwriteChanges) {
        return WriteResult::changedOnDisk;
    }
    return WriteResult::written;
}

WriteResult inesStrm::checkWrite(const CartridgeHeader& /*header*/, bool overwriteChanges) {
    FileLock lock;
    return lockAndCheck(lock, overwriteChanges);
}

WriteResult inesStrm::writeHeader(const CartridgeHeader& header, bool overwriteChanges) {
    FileLock lock;
    if (const WriteResult refused = lockAndCheck(lock, overwriteChanges);
        refused != WriteResult::written) {
        return refused;
    }
    if (beforeWriteHook) {
        beforeWriteHook();
    }
    // Once more as close to the write as can be: a file renamed over the path
    // since the checks (programs that ignore the lock) is not written, and
    // neither is the one the stream holds.
    struct stat opened {};
    if (checkSameFile(opened) != WriteResult::written) {
        return WriteResult::moved;
    }
    std::size_t written = 0;
    while (written < headerSize) {
        const ssize_t done =
            ::pwrite(descriptor, header.data() + written, headerSize - written, off_t(written));
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            writeErrno = done < 0 ? errno : EIO;
            return WriteResult::failed;
        }
        written += static_cast<std::size_t>(done);
    }
    lastSeen = header;
    return WriteResult::written;
}
