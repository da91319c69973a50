// Access to the 16-byte header of an iNES cartridge image.
//
// One inesStrm holds one regular file open for its whole life. Nothing is
// cached but the header as last read or written (the base): every query reads
// the file afresh, so the answers always describe what the file holds now.
// Writing re-checks that the file is still the one that was opened, still an
// iNES image, still writable and still holds the base, so that nothing is
// written over a file or a header the user has not seen.
#pragma once

#include "cartridgeHeader.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

// Why a file did not open.
enum class OpenFailure {
    none,
    cannotOpen,    // missing, or neither readable nor writable
    notRegularFile // a folder, a FIFO, a device or a socket
};

// How a stream opens its file: for update (falling back to read-only when
// the file cannot be written), or read-only from the start.
enum class Access { update, readOnly };

// The outcome of a header write; anything but `written` wrote nothing.
enum class WriteResult {
    written,
    readOnly,      // opened read-only, or the file has lost its write permission
    moved,         // the path names another file now, or none: moved, replaced or deleted
    truncated,     // the file is shorter than 16 bytes now
    notInes,       // the file no longer starts with "NES" and $1A
    changedOnDisk, // another program changed the header since it was read
    failed         // the system refused the write (a full disk, an I/O error)
};

class inesStrm {
public:
    // Opens `path` (bytes, as the system names the file) without blocking.
    // Never creates or truncates a file, and refuses anything but a regular
    // file. For update, a path that names no regular file is not even opened.
    explicit inesStrm(const char* path, Access access = Access::update);
    ~inesStrm();
    inesStrm(const inesStrm&) = delete;
    inesStrm& operator=(const inesStrm&) = delete;

    std::int32_t isWritable() const { return writable; }
    std::int32_t isOpen() const { return descriptor >= 0 ? 1 : 0; }
    OpenFailure openFailure() const { return failure; }
    const std::string& path() const { return name; }

    // The queries below need an open stream.

    // 1 for "NES", 0x1A and a complete 16-byte header.
    std::int32_t isValid();
    // 1 when bytes 8-15 are all zero; bytes the file lacks count as zero.
    std::int32_t isHeaderClean();
    // 1 when byte 7 carries the NES 2.0 mark (bits 2-3 = 10b).
    std::int32_t isNes2();
    // The file's length when it was opened, in bytes.
    std::uint64_t sizeAtOpen() const { return openedSize; }
    // A second descriptor of the same open file, for reading it elsewhere;
    // the caller closes it. -1 when that fails.
    int duplicate() const;

    // Copies file bytes 0-15 into `buffer` and makes them the base; bytes the
    // file lacks are left as they were.
    void readHeader(CartridgeHeader* buffer);
    // The header as last read or written through this stream.
    const CartridgeHeader& base() const { return lastSeen; }

    // Writes `header` over file bytes 0-15 after checking, in this order, that
    // the path still names the file that was opened, that it may be written,
    // that it still holds an iNES header of 16 bytes or more and, unless
    // `overwriteChanges`, that the header still equals the base. The written
    // header becomes the base.
    WriteResult writeHeader(const CartridgeHeader& header, bool overwriteChanges = false);

private:
    std::int32_t byteAt(off_t offset) const;
    std::size_t readAt(off_t offset, std::uint8_t* into, std::size_t count) const;

    std::string name;
    int descriptor = -1;
    std::int32_t writable = 0;
    OpenFailure failure = OpenFailure::none;
    std::uint64_t openedSize = 0;
    dev_t device = 0;
    ino_t inode = 0;
    CartridgeHeader lastSeen{};
};
