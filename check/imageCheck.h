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

// What the file's bytes beyond the header show to the checks: a second
// header right after the first, a title an old tool appended, padding after
// the last part.
struct FileContent {
    std::string afterHeader; // bytes 16-31, as far as they were read
    std::string tail;        // up to the last 128 bytes (empty when not read)
    // The file's bytes from `runFrom` to its end all hold `runByte`; -1 when
    // not read.
    std::uint64_t runFrom = UINT64_MAX;
    int runByte = -1;

    // What `tail`, the last bytes of a file of `fileSize` bytes, shows alone.
    static FileContent ofTail(const std::string& tail, std::uint64_t fileSize);
};

// Everything the header, the file's length and `content` say: the expected
// size against the real one (what is missing, what is left over and its
// likely cause), the format and old tools' junk, and the validator rules.
std::vector<Finding> checkHeader(const NesHeader& header, std::uint64_t fileSize,
                                 const FileContent& content);
// The same with only the last bytes of the file (up to 128, which may hold
// a title an old tool appended; empty when not read).
std::vector<Finding> checkHeader(const NesHeader& header, std::uint64_t fileSize,
                                 const std::string& tail = std::string());

// Why a file is not an iNES image, in a few words, from its first 16 bytes
// (zero past its end) and its length: "too short for an iNES header: 3
// bytes", "byte 3 is $1B, not $1A; the rest fits the file", "it does not
// start with "NES" and $1A". Nothing for an iNES image.
std::optional<std::string> explainNotInes(const CartridgeHeader& first16, std::uint64_t fileSize);

// "4E45531A": bytes as upper-case hexadecimal, without blanks.
std::string upperHex(const unsigned char* bytes, std::size_t size);

// Upper-case hexadecimal hashes; empty when the part is not in the file.
struct Hashes {
    std::string fileCrc32;           // the whole file
    std::string romCrc32, romSha1;   // every byte after the 16-byte header
    std::string prgCrc32, prgSha1;   // PRG-ROM as the header places it
    std::string chrCrc32, chrSha1;   // CHR-ROM as the header places it
    std::string bodyCrc32, bodySha1; // after the header and the trainer (equal to rom*
                                     // without a trainer): the key of the header database
    // False when the file is far larger than its header (see readLimit) and
    // was not read to its end: file*, rom* and body* are empty then, and
    // mean "not computed" (null), not "no such part"; prg* and chr* are
    // there when the part lies within what was read.
    bool toEnd = true;
};

// The expected length of the image: 16, the trainer, PRG-ROM and CHR-ROM
// (saturating; misc ROM is whatever follows in NES 2.0).
std::uint64_t expectedSize(const NesHeader& header);

// How long a file may be and still be read to its end: the expected size,
// counted as at most 1 GiB, plus 64 MiB. The largest image a page count
// describes is about 90 MiB; only the exponent form claims more, and 1 GiB
// is ten times that. The 64 MiB allow for misc ROMs, a title and an overdump
// of any image up to 64 MiB. A longer file is "far larger than its header":
// scanImage reads it only as far as the header's parts (at most the limit),
// and leaves out the hashes that run to its end.
std::uint64_t readLimit(const NesHeader& header);

struct ImageReport {
    std::uint64_t fileSize = 0; // 0 when the file could not be examined
    std::uint64_t expectedSize = 0;
    Hashes hashes;
    std::vector<Finding> findings; // checkHeader's with what was read; none when the
                                   // file could not be examined
    FileContent content;           // what was read, for checkHeader after an edit
    bool complete = false;         // false when cancelled or a read or hash failed
    std::string readError;         // why reading or hashing failed, when it did
};

// Called now and then with the bytes read so far and the file's length.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads the open regular file `descriptor` once, from the start,
// sequentially (with pread, so the caller's position is untouched), hashes it
// and checks it against `header`. Stops early when `cancel` becomes true; a
// bad descriptor, a file that is not regular, a failed read or a failed hash
// leave `complete` false with `readError` set. Safe to run on another
// thread; it shares nothing.
ImageReport scanImage(int descriptor, const NesHeader& header, const Progress& progress = {},
                      const std::atomic<bool>* cancel = nullptr);

// The CRC-32 and SHA-1 of a whole open regular file, upper-case hex: the
// key of a headerless dump in the header database. Nothing when it cannot
// be read.
struct WholeFileHashes {
    std::string crc32, sha1;
};
std::optional<WholeFileHashes> hashWholeFile(int descriptor);
