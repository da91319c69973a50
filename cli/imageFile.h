// One image as the command line sees it: opened through the header stream,
// checked, hashed, compared with the header database, and written out as a
// block of text or one line of JSON.
#pragma once

#include "headerDatabase.h"
#include "imageCheck.h"
#include "inesStrm.h"
#include "nesHeader.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct OpenedImage {
    std::unique_ptr<inesStrm> stream;
    NesHeader header; // as read, which made it the stream's base
    std::uint64_t fileSize = 0;
    std::string error; // why the file cannot be used; empty when it can
};

// Opens `path` (for update only when it is to be written) and reads its header. A missing,
// unreadable, short, non-iNES or non-regular file comes back with `error` set.
OpenedImage openImage(const std::string& path, Access access);

struct Analysis {
    std::uint64_t expectedSize = 0;
    std::vector<Finding> findings;
    std::optional<Hashes> hashes;         // when the whole file was read
    const DatabaseEntry* entry = nullptr; // the database's entry for it
};

// Checks an opened image. `readWhole` reads and hashes every byte (and lets
// the checks see the end of the file); otherwise nothing past the header is
// read. With a database, every field that differs from the entry of the same
// data is a warning.
Analysis analyse(const OpenedImage& image, bool readWhole, const HeaderDatabase* database);

// The worst severity among the findings.
std::optional<Severity> worstOf(const std::vector<Finding>& findings);

// "2 errors, 1 warning", "none".
std::string tally(const std::vector<Finding>& findings);

// "4E 45 53 1A ..." (with blanks) or "4E45531A..." (without).
std::string hexOf(const CartridgeHeader& bytes, bool blanks);

// One JSON object on one line, ending in a newline. `database` tells whether
// the `database` key belongs in it.
std::string imageJson(const std::string& path, const OpenedImage& image, const Analysis& analysis,
                      bool database);
std::string errorJson(const std::string& path, const std::string& message);

// A readable block: the path, then one labelled line per field and value.
std::string imageText(const std::string& path, const OpenedImage& image, const Analysis& analysis,
                      bool database);
