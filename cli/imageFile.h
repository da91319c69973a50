// One image as the command line prints it: a block of text or one line of
// JSON, from the image document that opened, checked and compared it.
#pragma once

#include "imageDocument.h"

#include <optional>
#include <string>
#include <vector>

// "4E 45 53 1A ..." (with blanks) or "4E45531A..." (without).
std::string hexOf(const CartridgeHeader& bytes, bool blanks);

// One JSON object on one line, ending in a newline. `database` tells whether
// the `database` key belongs in it.
std::string imageJson(const ImageDocument& document, const std::vector<Finding>& findings,
                      bool database);
std::string errorJson(const std::string& path, const std::string& message);

// One image of `fix` or `undo` as one JSON line: `result`, the `old` and
// `new` headers in hex (null when there is none), the database entry's
// `name` and, when not empty, why it was not written and the file written.
struct RepairLine {
    std::string path;
    const char* result = "";
    const CartridgeHeader* old = nullptr;
    const CartridgeHeader* fresh = nullptr;
    const DatabaseEntry* entry = nullptr;
    std::string why, written;
    bool dryRun = false;
};
std::string repairJson(const RepairLine& line);

// One line per image: path, format, mapper and its name, PRG/CHR sizes,
// mirroring, battery and the verdict; with a database, then the image's
// state in it ("matched", "differs in 2 fields", "not found"), as the
// collection window shows it.
std::string briefLine(const ImageDocument& document, const std::vector<Finding>& findings,
                      const HeaderDatabase* database);

// A readable block: the path, then one labelled line per field and value.
std::string imageText(const ImageDocument& document, const std::vector<Finding>& findings,
                      bool database);
