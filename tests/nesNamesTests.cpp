// The value-name tables: shape, lookups and the rows a slip would break.
#include "nesNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

bool shortAscii(const char* text) {
    return std::strlen(text) <= 50 && std::all_of(text, text + std::strlen(text),
                                                  [](char c) { return c >= 0x20 && c <= 0x7E; });
}

TEST(NesNames, CodeTablesCoverTheirWholeRange) {
    struct Coded {
        const CodeTable& table;
        int lastCode, reservedRows;
    } const tables[] = {{consoleTypes, 3, 0},           {timings, 3, 0},
                        {vsPpuTypes, 0xF, 7},           {vsHardwareTypes, 0xF, 9},
                        {extendedConsoleTypes, 0xF, 3}, {expansionDevices, 0x42, 1}};
    for (const Coded& c : tables) {
        ASSERT_EQ(c.table.size, c.lastCode + 1);
        int reserved = 0;
        for (int code = 0; code <= c.lastCode; ++code) {
            EXPECT_EQ(c.table.find(code), c.table.rows + code) << c.table.rows[0].name << code;
            EXPECT_TRUE(shortAscii(c.table.rows[code].name)) << c.table.rows[code].name;
            reserved += c.table.rows[code].reserved;
        }
        EXPECT_EQ(reserved, c.reservedRows) << c.table.rows[0].name;
        EXPECT_EQ(c.table.find(-1), nullptr);
        EXPECT_EQ(c.table.find(c.lastCode + 1), nullptr);
    }
    EXPECT_TRUE(expansionDevices.find(0x06)->reserved && vsPpuTypes.find(0xC)->reserved);
    EXPECT_STREQ(timings.find(3)->name, "UA6538 (Dendy)");
}

TEST(NesNames, MapperAndSubmapperLookups) {
    int mappers = 0, deprecated = 0;
    for (int mapper = -1; mapper <= 4096; ++mapper) {
        const char* name = extendedMapperName(mapper);
        mappers += name != nullptr;
        EXPECT_TRUE(!name || (mapper >= 256 && shortAscii(name) && std::strlen(name) <= 45));
        bool anySubmapper = false;
        for (int sub = 0; sub < 16; ++sub) {
            const char* subName = submapperName(mapper, sub);
            const char* advice = deprecatedSubmapperAdvice(mapper, sub);
            anySubmapper = anySubmapper || subName;
            deprecated += advice != nullptr;
            EXPECT_TRUE(subName ? shortAscii(subName) : !advice) << mapper << ':' << sub;
        }
        EXPECT_EQ(hasSubmapperTable(mapper), anySubmapper) << mapper;
    }
    EXPECT_EQ(mappers, 77);
    EXPECT_EQ(deprecated, 9);
    EXPECT_STREQ(extendedMapperName(534), "Nanjing 2-in-1 Sudoku/Gomoku (NJ064)");
    EXPECT_STREQ(submapperName(7, 2), submapperName(3, 2));
    EXPECT_STREQ(submapperName(268, 11), "SMD172C-L1 ($5xxx)");
    EXPECT_EQ(submapperName(185, 3), nullptr);
    EXPECT_STREQ(deprecatedSubmapperAdvice(1, 3), "use mapper 155");
    EXPECT_STREQ(deprecatedSubmapperAdvice(16, 2), "use mapper 157");
}

} // namespace
