// Access to the 16-byte header of an iNES cartridge image.
//
// One inesStrm holds one regular file open for its whole life. Nothing is
// cached but the header as last read or written (the base): every query reads
// the file afresh, so the answers always describe what the file holds now.
// Writing takes an advisory lock (flock) on the file, then re-checks that the
// file is still the one that was opened, still an iNES image, still writable
// and still holds the base, so that nothing is written over a file or a header
// the user has not seen, and two writers that both take the lock never lose an
// edit: the second finds the header changed.
#pragma once

#include "cartridgeHeader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

// Why a file did not open.
enum class OpenFailure {
    none,
    cannotOpen,    // missing, or neither readable nor writable
    notRegularFile // a folder, a FIFO, a device or a socket, or swapped while opening
};

// How a stream opens its file: for update (falling back to read-only when
// the file cannot be written or has no write permission bit at all, whoever
// runs the program), or read-only from the start.
enum class Access { update, readOnly };

// The outcome of a header write; anything but `written` wrote nothing.
enum class WriteResult {
    written,
    readOnly,      // opened read-only, or the file has lost its write permission (bits)
    moved,         // the path names another file now, or none: moved, replaced or deleted
    truncated,     // the file is shorter than 16 bytes now
    notInes,       // the file no longer starts with "NES" and $1A
    changedOnDisk, // another program changed the header since it was read
    failed,        // the system refused the write (a full disk, an I/O error)
    locked         // another writer held the file's lock for too long
};

class inesStrm {
public:
    // Opens `path` (bytes, as the system names the file) without blocking.
    // Never creates or truncates a file, and refuses anything but a regular
    // file: a path that names no regular file is not even opened (opening a
    // FIFO would release a program waiting to write into it).
    explicit inesStrm(const char* path, Access access = Access::update);
    ~inesStrm();
    inesStrm(const inesStrm&) = delete;
    inesStrm& operator=(const inesStrm&) = delete;

    std::int32_t isWritable() const { return writable; }
    std::int32_t isOpen() const { return descriptor >= 0 ? 1 : 0; }
    OpenFailure openFailure() const { return failure; }
    // The system's error number of a failed open (errno), 0 when none.
    int openError() const { return openErrno; }
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

    // Writes `header` over file bytes 0-15. First takes the file's lock,
    // waiting about two seconds for another writer to release it (`locked`
    // when it does not), then checks, in this order, that the path still
    // names the file that was opened, that it may be written, that it still
    // holds an iNES header of 16 bytes or more and, unless `overwriteChanges`,
    // that the header still equals the base; writes through the open file
    // only and releases the lock. The written header becomes the base.
    WriteResult writeHeader(const CartridgeHeader& header, bool overwriteChanges = false);
    // Everything writeHeader checks, the lock included (taken and released),
    // without writing: `written` when the write would be tried now.
    WriteResult checkWrite(const CartridgeHeader& header, bool overwriteChanges = false);
    // The system's reason why the last write or check failed ("No space left
    // on device"), empty when no system call failed.
    std::string lastWriteError() const;
    // For a repair that knows the data behind the header: lets writeHeader
    // and checkWrite go over 16 bytes that do not start with "NES" and $1A.
    // Every other check stays: the same file, writable, 16 bytes long and,
    // unless overwriting, holding exactly the base.
    void acceptDamagedHeader(bool accept) { damagedAccepted = accept; }

    // For tests only: runs inside the locked section, after the checks and
    // just before the header is written, so that a test can do there what
    // another program might. Empty in the program.
    static std::function<void()> beforeWriteHook;

    // The header's fields, each read from the file afresh. A byte the file
    // lacks reads as -1 and goes through the same arithmetic: the counts and
    // byte 3 give -1, the sizes -16384 and -8192, each flag 1, and the
    // mapper takes the missing byte as $FF.
    std::string getLabel() const; // bytes 0-2 up to the first zero byte
    std::int32_t getByte3() const { return field(Field::byte3); }
    std::int32_t getPrgPages() const { return field(Field::prgPages); }
    std::int32_t getPrgSize() const { return field(Field::prgSize); } // in bytes
    std::int32_t getChrPages() const { return field(Field::chrPages); }
    std::int32_t getChrSize() const { return field(Field::chrSize); }     // in bytes
    std::int32_t getMirroring() const { return field(Field::mirroring); } // 1: mirrored vertically
    std::int32_t getSRAM() const { return field(Field::sram); }
    std::int32_t getTrainer() const { return field(Field::trainer); }
    std::int32_t getFourScreen() const { return field(Field::fourScreen); }
    // The iNES mapper number 0-255: byte 7's high nibble over byte 6's.
    std::int32_t getMapper() const { return field(Field::mapperHigh) + field(Field::mapperLow); }
    // The catalogue's name of getMapper(); the text has static lifetime.
    const char* getMapperName() const;

private:
    // A row of the field table in inesStrm.cpp.
    enum class Field {
        byte3,
        prgPages,
        prgSize,
        chrPages,
        chrSize,
        mirroring,
        sram,
        trainer,
        fourScreen,
        mapperLow,
        mapperHigh
    };
    std::int32_t field(Field which) const;
    std::int32_t byteAt(off_t offset) const;
    class FileLock;
    // Takes the lock into `lock` and makes every check of a write.
    WriteResult lockAndCheck(FileLock& lock, bool overwriteChanges);
    // `written` while the path still names the open file and it has a link;
    // fills `opened` with the open file's status.
    WriteResult checkSameFile(struct stat& opened);
    std::size_t readAt(off_t offset, std::uint8_t* into, std::size_t count) const;

    std::string name;
    int descriptor = -1;
    std::int32_t writable = 0;
    OpenFailure failure = OpenFailure::none;
    int openErrno = 0;
    int writeErrno = 0;
    std::uint64_t openedSize = 0;
    dev_t device = 0;
    ino_t inode = 0;
    CartridgeHeader lastSeen{};
    bool damagedAccepted = false;
};
