// The NES 2.0 XML header database (nes20db.xml): which header each known
// dump should have, found by the hashes of its data after the header.
// The file comes from elsewhere and is read as hostile: anything that is not
// the expected shape ends in a message, never a crash or a hang.
#pragma once

#include "nesHeader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

struct DatabaseEntry {
    std::string name;      // the comment that names the dump (its source file)
    NesHeader header;      // the NES 2.0 header the database gives it
    std::uint64_t romSize; // bytes after the header (without a trainer)
    std::string romCrc32;  // upper-case hex
    std::string romSha1;   // upper-case hex
};

class HeaderDatabase {
public:
    // Reads `path`; on failure returns nothing and sets `error` to a message
    // for the user (the line and what is wrong).
    static std::optional<HeaderDatabase> load(const std::string& path, std::string& error);
    // The same from text in memory.
    static std::optional<HeaderDatabase> parse(const std::string& text, std::string& error);

    // The entry whose data has these hashes: looked up by CRC-32, confirmed
    // by SHA-1. nullptr when the dump is not in the database.
    const DatabaseEntry* find(const std::string& crc32, const std::string& sha1) const;
    std::size_t size() const { return entries.size(); }

private:
    // The entries read, indexed; nothing when they could not be read.
    static std::optional<HeaderDatabase> made(std::optional<std::vector<DatabaseEntry>> read);

    std::vector<DatabaseEntry> entries;
    std::unordered_multimap<std::string, std::size_t> byCrc;
};
