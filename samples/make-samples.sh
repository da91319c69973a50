#!/usr/bin/env bash
# Makes the sample iNES images in this folder. Each is a header followed by
# PRG-ROM (and CHR-ROM) pages filled with a byte ramp, so that any change
# behind the header would show at once. Needs only perl, which every Debian
# system has. Run from anywhere:  bash samples/make-samples.sh
set -euo pipefail
cd "$(dirname "$0")"

# image FILE "HEADER HEX" SIZE:SEED...: the header, then each block of SIZE
# bytes of a ramp that starts at SEED.
image() {
    perl -e '
        my ($file, $hex, @blocks) = @ARGV;
        open(my $out, ">:raw", $file) or die "$file: $!";
        print $out pack("H*", $hex =~ s/ //gr);
        for (@blocks) {
            my ($size, $seed) = split /:/;
            print $out pack("C*", map { ($seed + $_) & 255 } 0 .. $size - 1);
        }
        close($out) or die "$file: $!";
    ' "$@"
}

# Mapper 0, one 16 KiB PRG page, one 8 KiB CHR page, vertical mirroring.
image clean-nrom.nes "4e45531a 01 01 01 00 0000000000000000" 16384:0 8192:128

# Mapper 1 (MMC1) with text left in bytes 8-15 by some old tool.
image dirty-bytes.nes "4e45531a 02 01 12 00 4741524241474521" 32768:7 8192:99

# Mapper 4 (MMC3) with SRAM and a 512-byte trainer before the PRG-ROM.
image trainer.nes "4e45531a 02 01 46 00 0000000000000000" 512:200 32768:1 8192:2

# NES 2.0 (byte 7 = 0x08): mapper 1, submapper 5 in byte 8, 8 KiB PRG-RAM
# (shift 7) in byte 10, PAL timing in byte 12.
image nes2.nes "4e45531a 02 01 10 08 5000070001000000" 32768:3 8192:4
