// The header model against a decoder written from the format's byte tables
// alone, over the samples and seeded random headers, field by field, and the
// conversions' promises checked as properties.
#include "TestFiles.h"
#include "nesHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <map>
#include <random>

using namespace testfiles;

namespace {

// Every field by its key, as the byte tables define it.
std::map<std::string, std::uint64_t> decode(const CartridgeHeader& h) {
    const bool nes2 = (h[7] & 0x0C) == 0x08;
    const auto only2 = [&](std::uint64_t value) { return nes2 ? value : 0; };
    const auto ram = [&](int n) { return only2(n == 0 ? 0 : std::uint64_t(64) << n); };
    const auto rom = [&](int lsb, int msb, std::uint64_t unit) {
        const double power = std::ldexp(2 * (lsb & 3) + 1, lsb >> 2); // exact: 3 bits
        return !nes2 || msb != 0xF ? (std::uint64_t(nes2 ? msb : 0) << 8 | lsb) * unit
               : power >= 0x1p64   ? UINT64_MAX
                                   : std::uint64_t(power);
    };
    // clang-format off
    return {{"mapper", (nes2 ? (h[8] & 0x0F) << 8 : 0) | (h[7] & 0xF0) | h[6] >> 4}, {"submapper", only2(h[8] >> 4)},
            {"prgRomBytes", rom(h[4], h[9] & 0x0F, 16384)}, {"chrRomBytes", rom(h[5], h[9] >> 4, 8192)},
            {"mirroring", h[6] & 1}, {"battery", h[6] >> 1 & 1}, {"trainer", h[6] >> 2 & 1}, {"fourScreen", h[6] >> 3 & 1},
            {"consoleType", h[7] & 3}, {"prgRamBytes", ram(h[10] & 0x0F)}, {"prgNvramBytes", ram(h[10] >> 4)},
            {"chrRamBytes", ram(h[11] & 0x0F)}, {"chrNvramBytes", ram(h[11] >> 4)}, {"timing", only2(h[12] & 3)},
            {"vsPpu", only2(h[13] & 0x0F)}, {"vsHardware", only2(h[13] >> 4)}, {"extendedConsole", only2(h[13] & 0x0F)},
            {"miscRoms", only2(h[14] & 3)}, {"expansion", only2(h[15] & 0x7F)}};
    // clang-format on
}

// The variant decision, steps 2-4 (the size clause of step 1 needs the file).
HeaderFormat formatOf(const CartridgeHeader& h) {
    using F = HeaderFormat;
    const F byMark[] = {F::ines1, F::archaic, F::nes2, F::ines07}, format = byMark[h[7] >> 2 & 3];
    return format == F::ines1 && (h[12] | h[13] | h[14] | h[15]) ? F::ines07 : format;
}

// Every field the model reads, and the names that go with console types 1 and 3.
void compare(const NesHeader& model) {
    const CartridgeHeader& h = model.bytes();
    SCOPED_TRACE(::testing::PrintToString(h));
    const auto want = decode(h);
    EXPECT_EQ(int(model.format().format), int(formatOf(h)));
    EXPECT_EQ(model.hasMagic(), h[0] == 'N' && h[1] == 'E' && h[2] == 'S' && h[3] == 0x1A);
    for (const HeaderField* field = headerFields; field < headerFields + headerFieldCount;
         ++field) {
        EXPECT_EQ(field->get(model), want.at(field->key)) << field->key;
    }
    // Byte 7 bits 0-3: NES 2.0 and console type 1, or 3.
    EXPECT_EQ(valueName(*findField("vsPpu"), model).has_value(), (h[7] & 0x0F) == 0x09);
    EXPECT_EQ(valueName(*findField("extendedConsole"), model).has_value(), (h[7] & 0x0F) == 0x0B);
}

// What an NES 2.0 header made by toNes2 from `h` must hold.
void compareToNes2(const CartridgeHeader& h) {
    const NesHeader made = NesHeader(h).toNes2();
    auto want = decode(h);
    const bool junk = formatOf(h) == HeaderFormat::archaic || formatOf(h) == HeaderFormat::ines07;
    want["mapper"] = junk ? h[6] >> 4 : want["mapper"], want["consoleType"] = junk ? 0 : h[7] & 3;
    want["prgRamBytes"] = h[6] & 2 ? 0 : 8192, want["prgNvramBytes"] = h[6] & 2 ? 8192 : 0;
    want["chrRamBytes"] = h[5] == 0 ? 8192 : 0;
    EXPECT_EQ(decode(made.bytes()), want) << "made " << ::testing::PrintToString(made.bytes());
    // iNES 1.0 holds it all again, but for bytes 8-15.
    EXPECT_TRUE(made.convertsToInes1WithoutLoss());
    if (!junk) {
        EXPECT_EQ(made.toInes1(), NesHeader(h).cleaned());
    }
}

// Setting a field to its own value changes nothing, to `value` only that field
// (byte 13's low nibble is both the Vs. PPU and the extended console type).
void compareSettings(const NesHeader& before, std::uint64_t value) {
    for (int f = 0; f < headerFieldCount; ++f) {
        const HeaderField& field = headerFields[f];
        NesHeader same = before, after = before;
        EXPECT_EQ(field.set(same, field.get(before)).has_value(), !holdsField(before, field));
        EXPECT_EQ(same, before) << field.key << " set to its own value";
        if (field.set(after, value)) {
            EXPECT_EQ(after, before) << field.key << " refused " << value << " but changed";
            continue;
        }
        auto want = decode(before.bytes());
        want[field.key] = value;
        if (field.key == std::string("vsPpu") || field.key == std::string("extendedConsole")) {
            want["vsPpu"] = want["extendedConsole"] = value;
        }
        EXPECT_EQ(decode(after.bytes()), want) << field.key << " set to " << value;
    }
}

// iNES 1.0 holds an NES 2.0 header without loss exactly when it gives every
// field back and the header holds nothing else.
void compareToInes1(const NesHeader& model) {
    const NesHeader back = model.toInes1().toNes2();
    const bool same =
        std::all_of(headerFields, headerFields + headerFieldCount,
                    [&](const HeaderField& f) { return f.get(back) == f.get(model); });
    const CartridgeHeader& h = model.bytes(); // and no unused bit set in bytes 12, 14, 15
    EXPECT_EQ(model.convertsToInes1WithoutLoss(),
              same && !(h[12] & 0xFC || h[14] & 0xFC || h[15] & 0x80));
    EXPECT_EQ(formatOf(model.toInes1().bytes()), HeaderFormat::ines1);
}

// A header where NES 2.0, the exponent form, console types 1 and 3 and the
// edge values of every byte come often.
CartridgeHeader randomHeader(std::mt19937& random) {
    const auto pick = [&](std::initializer_list<int> often) {
        const int at = int(random() % (often.size() + 2));
        return std::uint8_t(at < int(often.size()) ? often.begin()[at] : random());
    };
    CartridgeHeader h{'N', 'E', 'S', 0x1A};
    for (int i = 4; i < 16; ++i) {
        h[i] = pick({0, 0xFF, 0x01, 0x80});
    }
    h[3] = pick({0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1B});
    h[7] = std::uint8_t((h[7] & 0xF0) | pick({8, 8, 8, 0, 4, 0xC}) | pick({1, 3}) % 4);
    h[9] = std::uint8_t(pick({0xFF, 0x0F, 0xF0, 0}));
    if (random() % 2) {
        h[12] = h[13] = h[14] = h[15] = 0;
    }
    if (random() % 4 == 0) { // an NES 2.0 header that iNES 1.0 holds, with one bit of 8-15 flipped
        h = NesHeader(h).toNes2().bytes(), h[8 + random() % 8] ^= std::uint8_t(1 << random() % 8);
    }
    return h;
}

// Every field, setting one, and the conversions.
TEST(Oracle, TheModelDecodesLikeTheByteTables) {
    for (const auto& entry : std::filesystem::directory_iterator(samplesDir())) {
        Bytes bytes = readFile(entry.path());
        CartridgeHeader h{};
        std::copy_n(bytes.begin(), std::min<std::size_t>(16, bytes.size()), h.begin());
        entry.path().extension() == ".nes" ? compare(NesHeader(h)) : void();
    }
    // Numbers and sizes in and out of every field's range.
    // clang-format off
    const std::uint64_t values[] = {0, 1, 2, 3, 7, 15, 16, 19, 100, 127, 255, 256, 4095, 4096, 128, 768, 8192,
                                    16384, 24576, 1 << 20, 3 << 20, 6000, 1ull << 40, 16384ull * 3839, 16384ull * 3840};
    // clang-format on
    std::mt19937 random(19);
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        const NesHeader model(randomHeader(random));
        SCOPED_TRACE(::testing::PrintToString(model.bytes()));
        compare(model);
        compareSettings(model, values[random() % std::size(values)]);
        model.isNes2() ? compareToInes1(model) : compareToNes2(model.bytes());
    }
}

} // namespace
