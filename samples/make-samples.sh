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

# ---------------------------------------------------------------- NES 2.0 fields

# Mapper 268 (byte 6 nibble $C, byte 8 low nibble 1) submapper 1 (byte 8 high
# nibble), vertical; 8 KiB PRG-RAM and 8 KiB CHR-RAM, standard controllers.
image nes2-mapper268.nes "4e45531a 02 00 c1 08 11 00 07 07 00 00 00 01" 32768:11

# PRG-ROM of 768 bytes in the exponent form: byte 9 nibble $F, byte 4 = $21
# (2^8 * 3), then one 8 KiB CHR-ROM page.
image nes2-exponent.nes "4e45531a 21 01 00 08 00 0f 00 00 00 00 00 01" 768:21 8192:22

# Vs. System (console type 1) on mapper 99: byte 13 = Vs. hardware 1 (RBI
# Baseball protection) and Vs. PPU 2 (RP2C04-0001), expansion device 4.
image vs-system.nes "4e45531a 02 01 30 69 00 00 00 00 00 12 00 04" 32768:31 8192:32

# MMC3 with a battery, 2 KiB PRG-RAM and 8 KiB PRG-NVRAM (byte 10 = $75),
# 8 KiB CHR-RAM, and one 4 KiB misc ROM after the CHR-ROM (byte 14 = 1).
image nes2-misc.nes "4e45531a 01 01 42 08 00 00 75 07 00 00 01 01" 16384:41 8192:42 4096:43

# ---------------------------------------------------------------- for the checks

# Two PRG pages and one CHR page announced, the CHR-ROM missing.
image short.nes "4e45531a 02 01 00 00 0000000000000000" 32768:51

# One CHR page announced, two present.
image long.nes "4e45531a 01 01 01 00 0000000000000000" 16384:61 16384:62

# A right NROM image with a 128-byte title appended, NUL-padded.
image title.nes "4e45531a 01 01 01 00 0000000000000000" 16384:71 8192:72
perl -e 'print pack("a128", "Tallowick Test Quest (demo)")' >>title.nes

# The trainer flag set, no trainer in the file.
image trainer-missing.nes "4e45531a 01 01 04 00 0000000000000000" 16384:81 8192:82

# Archaic iNES: byte 7 bits 2-3 read 01; mapper 1 in byte 6.
image archaic.nes "4e45531a 01 01 10 04 0000000000000000" 16384:91 8192:92

# "DiskDude!" written over bytes 7-15 by an old tool: mapper 0 reads as 64.
image diskdude.nes "4e45531a 01 01 00 4469736b4475646521" 16384:101 8192:102

# ---------------------------------------------------------------- header database

# nes20db-samples.xml: a small header database in the real layout, with the
# hashes of these samples. nes2-mapper268, nes2-exponent, vs-system,
# nes2-misc and trainer match their files' headers (trainer.nes in its NES
# 2.0 form); nes2.nes is listed with another mirroring and timing than the
# file has; the other samples are not listed.
# Per game: FILE TRAINER PRG CHR, then the elements that do not hold data.
perl -MDigest::SHA=sha1_hex -MCompress::Zlib=crc32 -e '
    sub attrs {
        my ($data) = @_;
        my $sum = 0;
        $sum += $_ for unpack("C*", $data);
        return sprintf(q{size="%d" crc32="%08X" sha1="%s"}, length($data), crc32($data),
                       uc(sha1_hex($data))), sprintf(q{sum16="%04X"}, $sum & 0xFFFF);
    }
    print qq{<?xml version="1.0" encoding="UTF-8"?>\n<nes20db date="2024-01-01">\n};
    while (my $line = <STDIN>) {
        next if $line =~ /^\s*$/;
        my ($file, $trainer, $prg, $chr, @rest) = split " ", $line;
        open(my $in, "<:raw", $file) or die "$file: $!";
        my $bytes = do { local $/; <$in> };
        my $body = substr($bytes, 16 + 512 * $trainer);
        my @parts = (["prgrom", substr($body, 0, $prg)], ["chrrom", substr($body, $prg, $chr)]);
        my $misc = substr($body, $prg + $chr);
        print "  <game>\n    <!-- Homebrew\\Tallowick samples\\$file -->\n";
        for (@parts) {
            my ($tag, $data) = @$_;
            next unless length $data;
            my ($hashes, $sum) = attrs($data);
            print "    <$tag $hashes $sum/>\n";
        }
        if (length $misc) {
            print "    <miscrom " . (attrs($misc))[0] . q{ number="1"/>} . "\n";
        }
        if ($trainer) {
            print "    <trainer " . (attrs(substr($bytes, 16, 512)))[0] . "/>\n";
        }
        print "    <rom " . (attrs($body))[0] . "/>\n";
        print "    <$_/>\n" for map { s/;/ /gr } @rest;
        print "  </game>\n";
    }
    print "</nes20db>\n";
' >nes20db-samples.xml <<'GAMES'
nes2-mapper268.nes 0 32768 0 prgram;size="8192" chrram;size="8192" pcb;mapper="268";submapper="1";mirroring="V";battery="0" console;type="0";region="0" expansion;type="1"
nes2-exponent.nes 0 768 8192 pcb;mapper="0";submapper="0";mirroring="H";battery="0" console;type="0";region="0" expansion;type="1"
vs-system.nes 0 32768 8192 pcb;mapper="99";submapper="0";mirroring="H";battery="0" console;type="1";region="0" vs;hardware="1";ppu="2" expansion;type="4"
nes2-misc.nes 0 16384 8192 prgram;size="2048" prgnvram;size="8192" chrram;size="8192" pcb;mapper="4";submapper="0";mirroring="H";battery="1" console;type="0";region="0" expansion;type="1"
trainer.nes 1 32768 8192 prgnvram;size="8192" pcb;mapper="4";submapper="0";mirroring="H";battery="1" console;type="0";region="0" expansion;type="0"
nes2.nes 0 32768 8192 prgram;size="8192" pcb;mapper="1";submapper="5";mirroring="V";battery="0" console;type="0";region="0" expansion;type="0"
GAMES
