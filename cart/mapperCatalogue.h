// Names of the mapper numbers this tool knows.
#pragma once

#include <cstdint>

struct MapperEntry {
    std::int32_t number;
    const char* name;
};

// The named mappers, sorted by number.
constexpr int mapperCatalogueSize = 98;
extern const MapperEntry mapperCatalogue[mapperCatalogueSize];

// The name of `number`, or "Unknown" for a number without an entry
// (also any number outside 0-255). The text has static lifetime.
const char* mapperName(std::int32_t number);
