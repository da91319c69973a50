// Checking a whole cartridge image: does the header fit the file, what is
// wrong with the header, and which dump is it (its hashes). Plain C++: the
// window shows the results, the command line prints them. Checking never
// writes.
#pragma once

#include "nesHeader.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class Severity { error, warning, info };

// "error", "warning", "info".
const char* severityName(Severity severity);

// One thing a check found, in plain words.
struct Finding {
    Severity severity;
    std::string id;      // stable and short ("file-short", "trailing-title", "diskdude", ...)
    std::string message; // one line for the user
    // A header that mends it, when one is plain (the mapper without an old
    // tool's junk nibble, the page count the data says), with a short label
    // for the button that offers it ("Use mapper 0").
    std::optional<CartridgeHeader> fix;
    std::string fixLabel;
};

// Everything the header and the file's length say, without reading further:
// the expected size against the real one (what is missing, what is left over
// and its likely cause), the format and old tools' junk, and the validator
// rules. `tail` is up to the last 128 bytes of the file, which may hold a
// title that an old tool appended (empty when not read).
std::vector<Finding> checkHeader(const NesHeader& header, std::uint64_t fileSize,
                                 const std::string& tail = std::string());

// Upper-case hexadecimal hashes; empty when the part is not in the file.
struct Hashes {
    std::string fileCrc32;           // the whole file
    std::string romCrc32, romSha1;   // every byte after the 16-byte header
    std::string prgCrc32, prgSha1;   // PRG-ROM as the header places it
    std::string chrCrc32, chrSha1;   // CHR-ROM as the header places it
    std::string bodyCrc32, bodySha1; // after the header and the trainer (equal to rom*
                                     // without a trainer): the key of the header database
};

// The expected length of the image: 16, the trainer, PRG-ROM and CHR-ROM
// (saturating; misc ROM is whatever follows in NES 2.0).
std::uint64_t expectedSize(const NesHeader& header);

struct ImageReport {
    std::uint64_t fileSize = 0;
    std::uint64_t expectedSize = 0;
    Hashes hashes;
    std::vector<Finding> findings; // checkHeader's, with the title read from the file
    bool complete = false;         // false when cancelled or a read failed
    std::string readError;         // why reading failed, when it did
};

// Called now and then with the bytes read so far and the file's length.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads the open file `descriptor` once, from the start, sequentially (with
// pread, so the caller's position is untouched), hashes it and checks it
// against `header`. Stops early when `cancel` becomes true. Safe to run on
// another thread; it shares nothing.
ImageReport scanImage(int descriptor, const NesHeader& header, const Progress& progress = {},
                      const std::atomic<bool>* cancel = nullptr);
