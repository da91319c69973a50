// Names of the values an NES 2.0 header holds, kept as data tables: mappers
// above 255, submappers, console types, CPU/PPU timing, Vs. System PPU and
// hardware types, extended console types and default expansion devices.
//
// Every lookup answers nullptr when its table has no row for the value; the
// caller then shows the number. Names have static lifetime and are ASCII.
#pragma once

#include <string>

// One row of a code table. `reserved` marks a code the format reserves or has
// withdrawn: it is still shown with its name, and the checks warn about it.
struct CodeName {
    int code;
    const char* name;
    bool reserved;
};

// A table of codes, sorted by code.
struct CodeTable {
    const CodeName* rows;
    int size;

    // The row for `code`, or nullptr.
    const CodeName* find(int code) const;
};

// Byte 7 bits 0-1.
extern const CodeTable consoleTypes;
// Byte 12 bits 0-1.
extern const CodeTable timings;
// Byte 13 bits 0-3 when the console type is 1 (Vs. System).
extern const CodeTable vsPpuTypes;
// Byte 13 bits 4-7 when the console type is 1 (Vs. System).
extern const CodeTable vsHardwareTypes;
// Byte 13 bits 0-3 when the console type is 3.
extern const CodeTable extendedConsoleTypes;
// Byte 15 bits 0-6.
extern const CodeTable expansionDevices;

// Names of NES 2.0 mappers 256-4095 that the tool knows; nullptr for any
// other number (names of 0-255 come from the mapper catalogue).
const char* extendedMapperName(int mapper);
// Names of mappers 0-255 that the catalogue leaves unnamed (28 "Action 53",
// 30 "UNROM 512", ...); nullptr for any other number.
const char* commonMapperName(int mapper);
// The name the window's mapper name box shows: the catalogue's for 0-255
// ("Unknown" for a number it leaves unnamed), the NES 2.0 list's above,
// else "NES 2.0 mapper N". mapperNameOf (nesHeader.h) names the catalogue's
// gaps too.
std::string catalogueMapperName(int mapper);

// What `submapper` means for `mapper`, or nullptr when unknown.
const char* submapperName(int mapper, int submapper);
// True when any submapper of `mapper` has a known meaning.
bool hasSubmapperTable(int mapper);
// For a deprecated submapper: what to use instead, in one line
// ("use mapper 155"); nullptr when the submapper is not deprecated.
const char* deprecatedSubmapperAdvice(int mapper, int submapper);
