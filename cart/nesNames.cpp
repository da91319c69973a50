#include "nesNames.h"

#include "mapperCatalogue.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

template <std::size_t N> constexpr bool sortedByCode(const CodeName (&rows)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (rows[i - 1].code >= rows[i].code) {
            return false;
        }
    }
    return true;
}

template <std::size_t N> constexpr CodeTable tableOf(const CodeName (&rows)[N]) {
    return CodeTable{rows, static_cast<int>(N)};
}

constexpr CodeName consoleTypeRows[] = {
    {0, "Nintendo Entertainment System / Family Computer", false},
    {1, "Nintendo Vs. System", false},
    {2, "Nintendo PlayChoice-10", false},
    {3, "Extended console type", false},
};

constexpr CodeName timingRows[] = {
    {0, "RP2C02 (NTSC NES)", false},
    {1, "RP2C07 (Licensed PAL NES)", false},
    {2, "Multiple-region", false},
    {3, "UA6538 (Dendy)", false},
};

// $1, $6 and $7 were separate 2C03 entries and $C an RC2C05-05 that never
// existed; old files may still carry them.
constexpr CodeName vsPpuTypeRows[] = {
    {0x0, "Any RP2C03 / RC2C03 variant", false},
    {0x1, "Reserved ($1, was a 2C03 variant)", true},
    {0x2, "RP2C04-0001", false},
    {0x3, "RP2C04-0002", false},
    {0x4, "RP2C04-0003", false},
    {0x5, "RP2C04-0004", false},
    {0x6, "Reserved ($6, was a 2C03 variant)", true},
    {0x7, "Reserved ($7, was a 2C03 variant)", true},
    {0x8, "RC2C05-01", false},
    {0x9, "RC2C05-02", false},
    {0xA, "RC2C05-03", false},
    {0xB, "RC2C05-04", false},
    {0xC, "Reserved (was RC2C05-05)", true},
    {0xD, "Reserved ($D)", true},
    {0xE, "Reserved ($E)", true},
    {0xF, "Reserved ($F)", true},
};

constexpr CodeName vsHardwareTypeRows[] = {
    {0x0, "Vs. Unisystem (normal)", false},
    {0x1, "Vs. Unisystem, RBI Baseball protection", false},
    {0x2, "Vs. Unisystem, TKO Boxing protection", false},
    {0x3, "Vs. Unisystem, Super Xevious protection", false},
    {0x4, "Vs. Unisystem, Vs. Ice Climber Japan protection", false},
    {0x5, "Vs. Dual System (normal)", false},
    {0x6, "Vs. Dual System, Raid on Bungeling Bay protection", false},
    {0x7, "Reserved ($7)", true},
    {0x8, "Reserved ($8)", true},
    {0x9, "Reserved ($9)", true},
    {0xA, "Reserved ($A)", true},
    {0xB, "Reserved ($B)", true},
    {0xC, "Reserved ($C)", true},
    {0xD, "Reserved ($D)", true},
    {0xE, "Reserved ($E)", true},
    {0xF, "Reserved ($F)", true},
};

constexpr CodeName extendedConsoleTypeRows[] = {
    {0x0, "Regular NES/Famicom/Dendy", false},
    {0x1, "Nintendo Vs. System", false},
    {0x2, "Nintendo PlayChoice-10", false},
    {0x3, "Regular Famiclone with decimal-mode CPU", false},
    {0x4, "NES/Famicom with EPSM or plug-through cart", false},
    {0x5, "V.R. Technology VT01 with red/cyan STN palette", false},
    {0x6, "V.R. Technology VT02", false},
    {0x7, "V.R. Technology VT03", false},
    {0x8, "V.R. Technology VT09", false},
    {0x9, "V.R. Technology VT32", false},
    {0xA, "V.R. Technology VT369", false},
    {0xB, "UMC UM6578", false},
    {0xC, "Famicom Network System", false},
    {0xD, "Reserved ($D)", true},
    {0xE, "Reserved ($E)", true},
    {0xF, "Reserved ($F)", true},
};

// The longest device names are shortened; the rest are the usual names.
constexpr CodeName expansionDeviceRows[] = {
    {0x00, "Unspecified", false},
    {0x01, "Standard NES/Famicom controllers", false},
    {0x02, "NES Four Score/Satellite, two extra controllers", false},
    {0x03, "Famicom Four Players Adapter (simple protocol)", false},
    {0x04, "Vs. System (1P via $4016)", false},
    {0x05, "Vs. System (1P via $4017)", false},
    {0x06, "Reserved", true},
    {0x07, "Vs. Zapper", false},
    {0x08, "Zapper ($4017)", false},
    {0x09, "Two Zappers", false},
    {0x0A, "Bandai Hyper Shot Lightgun", false},
    {0x0B, "Power Pad Side A", false},
    {0x0C, "Power Pad Side B", false},
    {0x0D, "Family Trainer Side A", false},
    {0x0E, "Family Trainer Side B", false},
    {0x0F, "Arkanoid Vaus Controller (NES)", false},
    {0x10, "Arkanoid Vaus Controller (Famicom)", false},
    {0x11, "Two Vaus Controllers plus Famicom Data Recorder", false},
    {0x12, "Konami Hyper Shot Controller", false},
    {0x13, "Coconuts Pachinko Controller", false},
    {0x14, "Exciting Boxing Punching Bag (Blowup Doll)", false},
    {0x15, "Jissen Mahjong Controller", false},
    {0x16, "Party Tap", false},
    {0x17, "Oeka Kids Tablet", false},
    {0x18, "Sunsoft Barcode Battler", false},
    {0x19, "Miracle Piano Keyboard", false},
    {0x1A, "Pokkun Moguraa (Whack-a-Mole Mat and Mallet)", false},
    {0x1B, "Top Rider (Inflatable Bicycle)", false},
    {0x1C, "Double-Fisted (two controllers, one player)", false},
    {0x1D, "Famicom 3D System", false},
    {0x1E, "Doremikko Keyboard", false},
    {0x1F, "R.O.B. Gyro Set", false},
    {0x20, "Famicom Data Recorder (\"silent\" keyboard)", false},
    {0x21, "ASCII Turbo File", false},
    {0x22, "IGS Storage Battle Box", false},
    {0x23, "Family BASIC Keyboard plus Famicom Data Recorder", false},
    {0x24, "Dongda PEC Keyboard", false},
    {0x25, "Puze (a.k.a. Bit Corp.) Bit-79 Keyboard", false},
    {0x26, "Xiaobawang (a.k.a. Subor) Keyboard", false},
    {0x27, "Xiaobawang (Subor) Keyboard + mouse, 3x8-bit", false},
    {0x28, "Xiaobawang (Subor) Keyboard + mouse, 24-bit $4016", false},
    {0x29, "SNES Mouse ($4017.d0)", false},
    {0x2A, "Multicart", false},
    {0x2B, "SNES controller(s)", false},
    {0x2C, "RacerMate Bicycle", false},
    {0x2D, "U-Force", false},
    {0x2E, "R.O.B. Stack-Up", false},
    {0x2F, "City Patrolman Lightgun", false},
    {0x30, "Sharp C1 Cassette Interface", false},
    {0x31, "Standard Controller, swapped L-R/U-D/B-A", false},
    {0x32, "Excalibor Sudoku Pad", false},
    {0x33, "ABL Pinball", false},
    {0x34, "Golden Nugget Casino extra buttons", false},
    {0x35, "Keda Keyboard", false},
    {0x36, "Xiaobawang (Subor) Keyboard + mouse, 24-bit $4017", false},
    {0x37, "Port test controller", false},
    {0x38, "Bandai Multi Game Player Gamepad buttons", false},
    {0x39, "Venom TV Dance Mat", false},
    {0x3A, "LG TV Remote Control", false},
    {0x3B, "Famicom Network Controller", false},
    {0x3C, "King Fishing Controller", false},
    {0x3D, "Croaky Karaoke Controller", false},
    {0x3E, "Kewang (a.k.a. Kingwon) Keyboard", false},
    {0x3F, "Zecheng Keyboard", false},
    {0x40, "Xiaobawang (Subor) Keyboard + PS/2 mouse, $4017", false},
    {0x41, "PS/2 Keyboard (UM6578 port), PS/2 Mouse $4017", false},
    {0x42, "PS/2 Mouse in UM6578 PS/2 port", false},
};

// Mappers 256 and up. Where only a board or UNIF name is known, that is the
// name; otherwise a short description with the board name in brackets.
constexpr CodeName extendedMapperRows[] = {
    {256, "V.R. Technology OneBus famiclones", false},
    {257, "Dongda PEC-586 educational computer", false},
    {258, "UNL-158B", false},
    {259, "BMC-F-15", false},
    {260, "HP10xx/HP20xx multicarts (BMC-HPxx)", false},
    {261, "810544-C-A1 / NTDEC 2746 multicarts", false},
    {262, "Sachen Street Heroes (UNL-SHERO)", false},
    {263, "Rex Soft MMC3 clone, scrambled (UNL-KOF97)", false},
    {264, "Yoko fighting games (UNL-YOKO)", false},
    {265, "T-262 multicarts (BMC-T-262)", false},
    {266, "City Fighter IV (UNL-CITYFIGHT)", false},
    {267, "J.Y. Company 8-in-1 (JY-119)", false},
    {268, "AA6023 MMC3 multicarts (COOLBOY, MINDKIDS)", false},
    {269, "Games Xplosion 121-in-1 and similar", false},
    {283, "Block Family 6-in-1/7-in-1 (GS-2004/GS-2013)", false},
    {287, "MMC3 multicart (411120-C / K-3088)", false},
    {290, "Asder 20-in-1 (BMC-NTD-03)", false},
    {299, "TXC 6-in-1 MGC-023 (BMC-11160)", false},
    {301, "GG1 multicarts (BMC-8157)", false},
    {302, "Kaiser Gyruss FDS conversion (UNL-KS7057)", false},
    {303, "Kaiser Almana no Kiseki (UNL-KS7017)", false},
    {304, "SMB2J bootleg (UNL-SMB2J)", false},
    {305, "Kaiser Dracula II FDS conversion (UNL-KS7031)", false},
    {306, "Kaiser Exciting Basket (UNL-KS7016)", false},
    {307, "Kaiser Metroid FDS conversion (UNL-KS7037)", false},
    {308, "UNL-TH2131-1", false},
    {309, "UNL-LH51", false},
    {312, "Kaiser Highway Star (UNL-KS7013B)", false},
    {313, "BMC-RESET-TXROM", false},
    {314, "BMC-64in1NoRepeat", false},
    {315, "BMC-830134C", false},
    {319, "BMC-HP898F", false},
    {320, "BMC-830425C-4391T", false},
    {321, "820310 MMC3 multicart (BMC-820310-C)", false},
    {322, "BMC-K-3033", false},
    {323, "UNL-FARID_SLROM_8-IN-1", false},
    {324, "UNL-FARID_UNROM_8-IN-1", false},
    {325, "UNL-MALISB", false},
    {327, "BMC-10-24-C-A1", false},
    {328, "Dlya Proverki TV Pristavok test (UNL-RT-01)", false},
    {329, "UNL-EDU2000", false},
    {331, "BMC-12-IN-1", false},
    {332, "BMC-WS", false},
    {335, "BMC-CTC-09", false},
    {336, "BMC-K-3046", false},
    {337, "BMC-CTC-12IN1", false},
    {338, "BMC-SA005-A", false},
    {339, "MMC3+NROM multicarts (BMC-K-3006 and others)", false},
    {340, "BMC-K-3036", false},
    {341, "BMC-TJ-03", false},
    {342, "COOLGIRL (homebrew multicart)", false},
    {343, "BMC-RESETNROM-XIN1", false},
    {344, "BMC-GN-26", false},
    {345, "BMC-L6IN1", false},
    {346, "UNL-KS7012 (Kaiser)", false},
    {347, "Kaiser Doki Doki Panic (UNL-KS7030)", false},
    {348, "BMC-830118C", false},
    {349, "BMC-G-146", false},
    {350, "BMC-891227", false},
    {351, "Techline XB multicart", false},
    {355, "Hwang Shinwei 3D-Block (with PIC ROM)", false},
    {357, "Bit Corp 4-in-1 (cartridge ID 4602)", false},
    {512, "Sachen Zhongguo Daheng", false},
    {513, "Sachen Mei Shaonu Meng Gongchang III", false},
    {516, "Brilliant Com Cocoma Pack", false},
    {518, "Subor (UNL-DANCE2000)", false},
    {519, "UNL-EH8813A", false},
    {521, "Korean Igo (DREAMTECH01)", false},
    {522, "UNL-LH10", false},
    {524, "BTL-900218", false},
    {525, "UNL-KS7021A", false},
    {526, "UNL-BJ-56", false},
    {527, "UNL-AX-40G", false},
    {528, "UNL-831128C", false},
    {529, "UNL-T-230", false},
    {530, "UNL-AX5705", false},
    {534, "Nanjing 2-in-1 Sudoku/Gomoku (NJ064)", false},
};

// Names of mappers 0-255 that the catalogue leaves unnamed: the common boards
// of today's homebrew and the better-known others. Display hints only.
constexpr CodeName commonMapperRows[] = {
    {28, "Action 53", false},
    {29, "RET-CUFROM (Sealie Computing)", false},
    {30, "UNROM 512", false},
    {31, "NSF (INL)", false},
    {36, "TXC 01-22000-400", false},
    {37, "MMC3 multicart (PAL-ZZ)", false},
    {38, "Bit Corp. PCI556", false},
    {48, "Taito TC0690", false},
    {72, "Jaleco JF-17", false},
    {74, "MMC3 clone with CHR-RAM (Waixing)", false},
    {77, "Irem (Napoleon Senki)", false},
    {81, "NTDEC N715062", false},
    {82, "Taito X1-017", false},
    {86, "Jaleco JF-13", false},
    {88, "Namco 118 (NAMCOT-3433)", false},
    {89, "Sunsoft-2 (Mito Koumon)", false},
    {92, "Jaleco JF-19", false},
    {96, "Bandai Oeka Kids", false},
    {103, "FDS conversion (Doki Doki Panic)", false},
    {104, "Golden Five (Pegasus 5-in-1)", false},
    {106, "Super Mario Bros. 3 bootleg", false},
    {107, "Magic Dragon", false},
    {108, "FDS conversion (Whirlwind Manu)", false},
    {111, "GTROM (Cheapocabra)", false},
    {114, "MMC3 clone (SuperGame)", false},
    {115, "MMC3 clone (Kasheng SFC-02)", false},
    {116, "SOMARI-P (Huang)", false},
    {121, "MMC3 clone (Kasheng A9711)", false},
    {132, "TXC 01-22000-200", false},
    {133, "Sachen SA72008", false},
    {136, "Sachen 3011", false},
    {137, "Sachen 8259D", false},
    {138, "Sachen 8259B", false},
    {139, "Sachen 8259C", false},
    {145, "Sachen SA-72007", false},
    {146, "Sachen SA-016-1M", false},
    {147, "Sachen TC-U01-1.5M", false},
    {148, "Sachen SA-008-A / Tengen 800008", false},
    {149, "Sachen SA-0036", false},
    {150, "Sachen SA-015", false},
    {152, "Bandai single-screen (74*161)", false},
    {153, "Bandai FCG (LZ93D50 with SRAM)", false},
    {154, "Namco 108 (NAMCOT-3453)", false},
    {155, "MMC1A", false},
    {156, "Daou DIS23C01", false},
    {157, "Bandai Datach Joint ROM System", false},
    {159, "Bandai LZ93D50 with 24C01", false},
    {163, "Nanjing", false},
    {164, "Waixing / Yancheng", false},
    {166, "Subor", false},
    {167, "Subor", false},
    {171, "Kaiser KS-7058", false},
    {172, "TXC 1022", false},
    {173, "Idea-Tek ET.xx", false},
    {177, "Hengedianzi", false},
    {178, "Waixing / Nanjing", false},
    {183, "Suikan Pipe bootleg", false},
    {186, "Fukutake Study Box", false},
    {187, "Kart Fighter (MMC3 clone)", false},
    {188, "Bandai Karaoke Studio", false},
    {189, "TXC 01-22018-400", false},
    {190, "Magic Kid GooGoo", false},
    {191, "MMC3 clone (Waixing, 2 KiB CHR-RAM)", false},
    {192, "MMC3 clone (Waixing, 4 KiB CHR-RAM)", false},
    {193, "NTDEC TC-112", false},
    {194, "MMC3 clone (Waixing, 2 KiB CHR-RAM)", false},
    {195, "MMC3 clone (Waixing)", false},
    {197, "MMC3 clone (Super Fighter III)", false},
    {198, "MMC3 clone (Waixing)", false},
    {199, "MMC3 clone (Waixing)", false},
    {206, "DxROM / Namco 108", false},
    {207, "Taito X1-005 (alternate mirroring)", false},
    {209, "J.Y. Company (nametable control)", false},
    {210, "Namco 175 / 340", false},
    {211, "J.Y. Company (extended nametables)", false},
    {218, "Magic Floor (single-chip)", false},
    {221, "NTDEC N625092", false},
    {222, "CTC-31", false},
    {224, "Jncota KT-008", false},
    {230, "22-in-1 multicart", false},
    {233, "42-in-1 multicart", false},
    {236, "Realtec multicart", false},
    {240, "C&E", false},
    {241, "BxROM-like (educational)", false},
    {242, "Waixing (Dragon Quest VIII)", false},
    {244, "C&E Decathlon", false},
    {245, "MMC3 clone (Waixing)", false},
    {249, "Waixing (security)", false},
    {252, "Waixing VRC4 clone", false},
    {253, "Waixing VRC4 clone", false},
    {254, "MMC3 clone (Pikachu Y2K)", false},
    {255, "110-in-1 multicart", false},
};

static_assert(sortedByCode(consoleTypeRows) && sortedByCode(timingRows) &&
                  sortedByCode(vsPpuTypeRows) && sortedByCode(vsHardwareTypeRows) &&
                  sortedByCode(extendedConsoleTypeRows) && sortedByCode(expansionDeviceRows) &&
                  sortedByCode(extendedMapperRows) && sortedByCode(commonMapperRows),
              "code tables must be sorted by code without duplicates");

constexpr CodeTable extendedMappers = tableOf(extendedMapperRows);
constexpr CodeTable commonMappers = tableOf(commonMapperRows);

struct SubmapperRow {
    int mapper;
    int submapper;
    const char* name;
    // What to use instead, for a deprecated submapper; nullptr otherwise.
    const char* advice;
};

// Mappers 2, 3 and 7 share their bus-conflict submappers.
constexpr const char* busConflictsUnspecified = "Bus conflicts unspecified";
constexpr const char* noBusConflicts = "No bus conflicts";
constexpr const char* andBusConflicts = "AND-type bus conflicts";

constexpr const char* useMmc1Sub0 = "use submapper 0 with the right RAM sizes";

constexpr SubmapperRow submapperRows[] = {
    {1, 0, "Normal MMC1", nullptr},
    {1, 1, "SUROM, 512 KiB PRG (deprecated)", useMmc1Sub0},
    {1, 2, "SOROM, 16 KiB PRG-RAM (deprecated)", useMmc1Sub0},
    {1, 3, "MMC1A (deprecated)", "use mapper 155"},
    {1, 4, "SXROM, 32 KiB PRG-RAM (deprecated)", useMmc1Sub0},
    {1, 5, "SEROM/SHROM/SH1ROM: 32 KiB PRG, no banking", nullptr},
    {1, 6, "2ME (Famicom Network System MMC1B)", nullptr},
    {2, 0, busConflictsUnspecified, nullptr},
    {2, 1, noBusConflicts, nullptr},
    {2, 2, andBusConflicts, nullptr},
    {3, 0, busConflictsUnspecified, nullptr},
    {3, 1, noBusConflicts, nullptr},
    {3, 2, andBusConflicts, nullptr},
    {4, 0, "MMC3C / Sharp MMC3B (new IRQ)", nullptr},
    {4, 1, "MMC6", nullptr},
    {4, 2, "Hard-wired mirroring (deprecated)", "use submapper 0"},
    {4, 3, "MC-ACC (Acclaim)", nullptr},
    {4, 4, "MMC3A / non-Sharp MMC3B (old IRQ)", nullptr},
    {7, 0, busConflictsUnspecified, nullptr},
    {7, 1, noBusConflicts, nullptr},
    {7, 2, andBusConflicts, nullptr},
    {16, 0, "Unspecified: FCG-1/2 and LZ93D50", nullptr},
    {16, 1, "LZ93D50 with 24C01 (deprecated)", "use mapper 159"},
    {16, 2, "Datach Joint ROM System (deprecated)", "use mapper 157"},
    {16, 3, "8 KiB WRAM, no EEPROM (deprecated)", "use mapper 153"},
    {16, 4, "FCG-1/2: registers at $6000-$7FFF", nullptr},
    {16, 5, "LZ93D50: registers at $8000-$FFFF", nullptr},
    {19, 0, "Default, sound volume unspecified", nullptr},
    {19, 1, "Battery-backed internal RAM (deprecated)", "use submapper 2 with the battery bit"},
    {19, 2, "No expansion sound", nullptr},
    {19, 3, "N163 sound 11.0-13.0 dB louder than APU", nullptr},
    {19, 4, "N163 sound 16.0-17.0 dB louder than APU", nullptr},
    {19, 5, "N163 sound 18.0-19.5 dB louder than APU", nullptr},
    {21, 0, "Unspecified (both wirings)", nullptr},
    {21, 1, "VRC4a (A1, A2)", nullptr},
    {21, 2, "VRC4c (A6, A7)", nullptr},
    {23, 0, "Unspecified (both wirings)", nullptr},
    {23, 1, "VRC4f (A0, A1)", nullptr},
    {23, 2, "VRC4e (A2, A3)", nullptr},
    {23, 3, "VRC2b (A0, A1)", nullptr},
    {25, 0, "Unspecified", nullptr},
    {25, 1, "VRC4b (A1, A0)", nullptr},
    {25, 2, "VRC4d (A3, A2)", nullptr},
    {25, 3, "VRC2c (A1, A0)", nullptr},
    {32, 0, "Normal (mapper-controlled mirroring)", nullptr},
    {32, 1, "Major League: one-screen mirroring", nullptr},
    {34, 0, "Unspecified (chosen by CHR size)", nullptr},
    {34, 1, "NINA-001", nullptr},
    {34, 2, "BNROM", nullptr},
    {68, 0, "Normal", nullptr},
    {68, 1, "Dual Cartridge System (lock-on)", nullptr},
    {71, 0, "Hard-wired mirroring", nullptr},
    {71, 1, "Fire Hawk: one-screen mirroring", nullptr},
    {78, 0, "Unspecified (heuristics)", nullptr},
    {78, 1, "Uchuusen - Cosmo Carrier: one-screen", nullptr},
    {78, 2, "Not used (deprecated)", nullptr},
    {78, 3, "Holy Diver: H/V mirroring", nullptr},
    {114, 0, "MMC3 clone, scrambled registers", nullptr},
    {114, 1, "Boogerman register scrambling", nullptr},
    {178, 0, "No infrared sensor", nullptr},
    {178, 1, "Gameinis infrared sensor", nullptr},
    {185, 0, "Unspecified (heuristic)", nullptr},
    {185, 4, "CHR enabled when latch bits 1-0 = 0", nullptr},
    {185, 5, "CHR enabled when latch bits 1-0 = 1", nullptr},
    {185, 6, "CHR enabled when latch bits 1-0 = 2", nullptr},
    {185, 7, "CHR enabled when latch bits 1-0 = 3", nullptr},
    {210, 0, "Unspecified (run-time heuristics)", nullptr},
    {210, 1, "Namco 175: hard-wired mirroring", nullptr},
    {210, 2, "Namco 340: switchable mirroring, no WRAM", nullptr},
    {256, 0, "Normal register layout", nullptr},
    {256, 1, "Waixing VT03", nullptr},
    {256, 2, "Power Joy Supermax", nullptr},
    {256, 3, "Zechess/Hummer Team", nullptr},
    {257, 0, "Auto-detect by PRG size", nullptr},
    {257, 1, "Russian PEC-586", nullptr},
    {257, 2, "Chinese PEC-586 and similar", nullptr},
    // Bit 0 places the outer registers, bits 1-3 name the board wiring.
    {268, 0, "COOLBOY, outer registers at $6xxx", nullptr},
    {268, 1, "MINDKIDS, outer registers at $5xxx", nullptr},
    {268, 2, "AA6023B ($6xxx)", nullptr},
    {268, 3, "AA6023B ($5xxx)", nullptr},
    {268, 4, "KP-6022/LD622D ($6xxx)", nullptr},
    {268, 5, "KP-6022/LD622D ($5xxx)", nullptr},
    {268, 6, "J-852C ($6xxx)", nullptr},
    {268, 7, "J-852C ($5xxx)", nullptr},
    {268, 8, "SMD72A_V5S_V01 ($6xxx)", nullptr},
    {268, 9, "SMD72A_V5S_V01 ($5xxx)", nullptr},
    {268, 10, "SMD172C-L1 ($6xxx)", nullptr},
    {268, 11, "SMD172C-L1 ($5xxx)", nullptr},
};

constexpr bool before(const SubmapperRow& row, int mapper, int submapper) {
    return row.mapper < mapper || (row.mapper == mapper && row.submapper < submapper);
}

constexpr bool submappersSorted() {
    for (std::size_t i = 1; i < std::size(submapperRows); ++i) {
        const SubmapperRow& row = submapperRows[i];
        if (!before(submapperRows[i - 1], row.mapper, row.submapper)) {
            return false;
        }
    }
    return true;
}
static_assert(submappersSorted(), "submapper rows must be sorted by mapper, then submapper");

// The first row at or after (mapper, submapper).
const SubmapperRow* firstFrom(int mapper, int submapper) {
    return std::lower_bound(std::begin(submapperRows), std::end(submapperRows), mapper,
                            [submapper](const SubmapperRow& row, int wanted) {
                                return before(row, wanted, submapper);
                            });
}

const SubmapperRow* submapperRow(int mapper, int submapper) {
    const SubmapperRow* row = firstFrom(mapper, submapper);
    bool found =
        row != std::end(submapperRows) && row->mapper == mapper && row->submapper == submapper;
    return found ? row : nullptr;
}

} // namespace

constexpr CodeTable consoleTypes = tableOf(consoleTypeRows);
constexpr CodeTable timings = tableOf(timingRows);
constexpr CodeTable vsPpuTypes = tableOf(vsPpuTypeRows);
constexpr CodeTable vsHardwareTypes = tableOf(vsHardwareTypeRows);
constexpr CodeTable extendedConsoleTypes = tableOf(extendedConsoleTypeRows);
constexpr CodeTable expansionDevices = tableOf(expansionDeviceRows);

const CodeName* CodeTable::find(int code) const {
    const CodeName* end = rows + size;
    const CodeName* row = std::lower_bound(
        rows, end, code, [](const CodeName& entry, int wanted) { return entry.code < wanted; });
    return row != end && row->code == code ? row : nullptr;
}

const char* extendedMapperName(int mapper) {
    const CodeName* row = extendedMappers.find(mapper);
    return row ? row->name : nullptr;
}

const char* commonMapperName(int mapper) {
    const CodeName* row = commonMappers.find(mapper);
    return row ? row->name : nullptr;
}

std::string catalogueMapperName(int mapper) {
    if (mapper <= 255) {
        return mapperName(mapper);
    }
    const char* name = extendedMapperName(mapper);
    return name != nullptr ? name : "NES 2.0 mapper " + std::to_string(mapper);
}

const char* submapperName(int mapper, int submapper) {
    const SubmapperRow* row = submapperRow(mapper, submapper);
    return row ? row->name : nullptr;
}

bool hasSubmapperTable(int mapper) {
    const SubmapperRow* row = firstFrom(mapper, 0);
    return row != std::end(submapperRows) && row->mapper == mapper;
}

const char* deprecatedSubmapperAdvice(int mapper, int submapper) {
    const SubmapperRow* row = submapperRow(mapper, submapper);
    return row ? row->advice : nullptr;
}
