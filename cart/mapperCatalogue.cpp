#include "mapperCatalogue.h"

#include <algorithm>
#include <iterator>

constexpr MapperEntry mapperCatalogue[mapperCatalogueSize] = {
    {0, "NROM"},
    {1, "S*ROM (MMC1)"},
    {2, "U*ROM"},
    {3, "CNROM"},
    {4, "T*ROM, HKROM (MMC3)"},
    {5, "E*ROM (MMC5)"},
    {6, "FFE F4xxx"},
    {7, "A*ROM"},
    {8, "FFE F3xxx"},
    {9, "PNROM (MMC2)"},
    {10, "Nintendo MMC4"},
    {11, "Color Dreams"},
    {13, "CPROM"},
    {15, "100-in-1 Contra Function 16"},
    {16, "Bandai"},
    {17, "FFE F8xxx"},
    {18, "Jaleco SS8806"},
    {19, "Namcot 106"},
    {20, "HVC-FMR"},
    {21, "Konami VRC4"},
    {22, "Konami VRC2 Type A"},
    {23, "Konami VRC2 Type B"},
    {24, "Konami VRC6 A0/A1"},
    {25, "Konami VRC4 Type Y"},
    {26, "Konami VRC6 A1/A0"},
    {32, "Irem G-101"},
    {33, "Taito TC0190"},
    {34, "BNROM, Nina-01"},
    {40, "SMB2j aka \"The Lost Levels\" Pirate"},
    {41, "Caltron, Myriad Games 6-in-1"},
    {42, "\"Mario Baby\" Pirate"},
    {43, "SMB2j (LF36)"},
    {44, "Super HiK 7-in-1 (MMC3)"},
    {45, "Super 1,000,000-in-1 (MMC3)"},
    {46, "GameStation, RumbleStation"},
    {47, "Super Spike, Nintendo World Cup Soccer (MMC3)"},
    {49, "1993 Super HiK 4-in-1 (MMC3)"},
    {50, "SMB2j (Rev. A)"},
    {51, "11-in-1 Ball Games"},
    {52, "\"Mario Party\" 7-in-1 (MMC3)"},
    {56, "SMB3 Pirate"},
    {58, "Study & Game 32-in-1"},
    {59, "T3H53"},
    {60, "Reset-triggered 4-in-1"},
    {61, "20-in-1"},
    {62, "700-in-1"},
    {63, "Hello Kitty 255-in-1"},
    {64, "Tengen RAMBO-1"},
    {65, "Irem H-3001"},
    {66, "GNROM"},
    {67, "Sunsoft Mapper #3"},
    {68, "Sunsoft Mapper #4"},
    {69, "Sunsoft FME-07"},
    {70, "Mapper 70"},
    {71, "Camerica"},
    {73, "Konami VRC3"},
    {75, "Konami VRC1"},
    {76, "Mapper 76"},
    {78, "Irem 74HC161/32"},
    {79, "Nina-03, Nina-06"},
    {80, "Mapper 80"},
    {83, "Cony"},
    {85, "Konami VRC7"},
    {87, "Mapper 87"},
    {90, "Copyright (Mapper 90)"},
    {91, "PC-HK-SF3"},
    {93, "Mapper 93"},
    {94, "Mapper 94"},
    {95, "Dragon Buster (MMC3 Variant)"},
    {97, "Kid Niki (J)"},
    {99, "VS Unisystem"},
    {105, "Nintendo World Championship"},
    {112, "Mapper 112"},
    {113, "Mapper 113 (HES)"},
    {118, "TKSROM, TLSROM (MMC3)"},
    {119, "TQROM (MMC3)"},
    {140, "Mapper 140 (Bio Senshi Dan)"},
    {141, "Mapper 141 (Sachen)"},
    {142, "SMB2j Pirate (KS 202)"},
    {143, "Sachen Copy-Protection"},
    {144, "AGCI"},
    {151, "Extended VS Unisystem"},
    {180, "Mapper 180"},
    {182, "Super Donkey Kong"},
    {184, "Mapper 184"},
    {185, "Mapper 185"},
    {225, "72-in-1"},
    {226, "76-in-1 Famicom Cartridge"},
    {227, "1200-in-1"},
    {228, "Action 52"},
    {229, "31-in-1"},
    {231, "20-in-1"},
    {232, "Camerica 9096"},
    {234, "Maxi 15"},
    {235, "Golden Game 150-in-1"},
    {243, "Sachen '74LS374N'"},
    {246, "Mapper 246"},
    {250, "Time Driver Avenger (MMC3 Variant)"},
};

namespace {

constexpr bool sortedByNumber() {
    for (int i = 1; i < mapperCatalogueSize; ++i) {
        if (mapperCatalogue[i - 1].number >= mapperCatalogue[i].number) {
            return false;
        }
    }
    return true;
}
static_assert(sortedByNumber(), "the mapper table must be sorted by number");

constexpr const char* unknownName = "Unknown";

} // namespace

const char* mapperName(std::int32_t number) {
    const MapperEntry* end = mapperCatalogue + mapperCatalogueSize;
    const MapperEntry* found = std::lower_bound(
        mapperCatalogue, end, number,
        [](const MapperEntry& entry, std::int32_t wanted) { return entry.number < wanted; });
    return found != end && found->number == number ? found->name : unknownName;
}
