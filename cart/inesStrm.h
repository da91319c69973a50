// Access to the 16-byte header of an iNES cartridge image.
//
// One inesStrm holds one file open for its whole life. Nothing is cached:
// every query seeks to the bytes it needs and reads them from the file, so the
// answers always describe what the file holds now.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The first 16 bytes of an iNES file; the index is the file offset.
//   0-2  "NES"        3  0x1A
//   4    PRG-ROM pages (16 KiB each)
//   5    CHR-ROM pages (8 KiB each)
//   6    bit 0 mirroring (1 = vertical), bit 1 SRAM, bit 2 trainer,
//        bit 3 four-screen, bits 4-7 mapper bits 0-3
//   7    bits 4-7 mapper bits 4-7 (bits 0-3 zero in iNES 1.0)
//   8-15 zero in iNES 1.0; data in an NES 2.0 header
using CartridgeHeader = std::array<std::uint8_t, 16>;

class inesStrm {
public:
    // Opens `path` (in the system's file-name encoding) for update, or
    // read-only when that fails. Never creates or truncates a file.
    explicit inesStrm(const char* path);
    ~inesStrm() = default;
    inesStrm(const inesStrm&) = delete;
    inesStrm& operator=(const inesStrm&) = delete;

    std::int32_t isWritable() const { return writable; }
    std::int32_t isOpen() const { return stream != nullptr ? 1 : 0; }

    // The queries below need an open stream.

    // 1 for "NES", 0x1A and a complete 16-byte header.
    std::int32_t isValid();
    // 1 when bytes 8-15 are all zero; bytes the file lacks count as zero.
    std::int32_t isHeaderClean();
    // 1 when byte 7 carries the NES 2.0 mark (bits 2-3 = 10b).
    std::int32_t isNes2();

    // Bytes 0-2 as read (up to the first NUL or the end of the file).
    std::string getLabel();

    // Single fields. A byte beyond the end of the file reads as -1, and the
    // results follow from that: -1 pages, a negative size, flags 1.
    std::int32_t getByte3();
    std::int32_t getPrgPages();
    std::int32_t getPrgSize();
    std::int32_t getChrPages();
    std::int32_t getChrSize();
    std::int32_t getMirroring();
    std::int32_t getSRAM();
    std::int32_t getTrainer();
    std::int32_t getFourScreen();
    std::int32_t getMapper();
    const char* getMapperName();

    // Copies file bytes 0-15 into `buffer`; bytes the file lacks are left
    // as they were.
    void readHeader(CartridgeHeader* buffer);
    // Writes the 16 bytes over file bytes 0-15 and flushes them to the
    // operating system. 1 when all 16 bytes got there, else 0.
    std::int32_t writeHeader(const CartridgeHeader* buffer);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool seekTo(long offset);
    std::int32_t byteAt(long offset);

    std::unique_ptr<std::FILE, FileCloser> stream;
    std::int32_t writable = 0;
};
