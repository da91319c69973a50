// The NES 2.0 XML header database (nes20db.xml): which header each known
// dump should have, found by the hashes of its data after the header.
// The file comes from elsewhere and is read as hostile: anything that is not
// the expected shape ends in a message, never a crash or a hang.
#pragma once

#include "nesHeader.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DatabaseEntry {
    std::string name;      // the comment that names the dump (its source file)
    NesHeader header;      // the NES 2.0 header the database gives it
    std::uint64_t romSize; // bytes after the header (without a trainer)
    std::string romCrc32;  // upper-case hex
    std::string romSha1;   // upper-case hex
    unsigned long line;    // the line of its <game> in the file
};

class HeaderDatabase {
public:
    // The largest file read (the real database is about 15 MB), and the
    // longest piece of XML in it: a tag with its attributes, a comment, a
    // processing instruction, a CDATA section or a run of text.
    static constexpr std::uint64_t maxFileBytes = std::uint64_t(64) << 20;
    static constexpr std::size_t maxTokenBytes = std::size_t(64) << 10;

    // Reads `path`; on failure returns nothing and sets `error` to a message
    // for the user (the line and what is wrong). When `cancel` becomes true
    // the read stops within a few milliseconds with the error "cancelled".
    static std::optional<HeaderDatabase> load(const std::string& path, std::string& error,
                                              const std::atomic<bool>* cancel = nullptr);
    // The same from text in memory.
    static std::optional<HeaderDatabase> parse(const std::string& text, std::string& error);

    // The entry whose data has these hashes (any case), nullptr when the dump
    // is not in the database. When several entries have the same data, the
    // first in the file.
    const DatabaseEntry* find(const std::string& crc32, const std::string& sha1) const;
    std::size_t size() const { return entries.size(); }
    // What the user should know about a database that was read: the dumps
    // that have entries with different headers, and which one is used.
    const std::vector<std::string>& notes() const { return remarks; }

private:
    // The entries read, indexed; nothing when they could not be read.
    static std::optional<HeaderDatabase> made(std::optional<std::vector<DatabaseEntry>> read);

    std::vector<DatabaseEntry> entries;
    // The entries' places, ordered by CRC-32, then SHA-1, then place.
    std::vector<std::size_t> byHashes;
    std::vector<std::string> remarks;
};
