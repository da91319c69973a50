// The first 16 bytes of an iNES file; the index is the file offset.
//   0-2  "NES"        3  0x1A
//   4    PRG-ROM pages (16 KiB each)
//   5    CHR-ROM pages (8 KiB each)
//   6    bit 0 mirroring (1 = vertical), bit 1 SRAM, bit 2 trainer,
//        bit 3 four-screen, bits 4-7 mapper bits 0-3
//   7    bits 4-7 mapper bits 4-7 (bits 0-3 zero in iNES 1.0)
//   8-15 zero in iNES 1.0; data in an NES 2.0 header (see nesHeader.h)
#pragma once

#include <array>
#include <cstdint>

using CartridgeHeader = std::array<std::uint8_t, 16>;
