#!/usr/bin/env bash
# Makes COUNT small iNES images (24,592 bytes: one 16 KiB PRG page and one
# 8 KiB CHR page, the smallest common size) in FOLDER, 100 to a subfolder.
# Headers vary: mappers 0-255, both mirrorings, every 8th NES 2.0, every 16th
# with stray bytes 8-15; the data differs in every file, so hashes do too.
#
#   bash bench/makeImages.sh FOLDER [COUNT]
set -euo pipefail
folder=${1:?usage: makeImages.sh FOLDER [COUNT]}
count=${2:-10000}
mkdir -p "$folder"
perl -e '
    my ($folder, $count) = @ARGV;
    my $body = pack("C*", map { ($_ * 7 + 3) & 255 } 0 .. 24575);
    for my $i (0 .. $count - 1) {
        my $sub = sprintf("%s/%03d", $folder, int($i / 100));
        mkdir $sub unless -d $sub;
        my $mapper = $i % 256;
        my $byte7 = ($mapper & 0xF0) | ($i % 8 == 0 ? 0x08 : 0);
        my $tail = $i % 8 == 0 ? "\x00\x00\x07\x00\x00\x00\x00\x00"
                 : $i % 16 == 1 ? "DiskDude" : "\x00" x 8;
        my $header = "NES\x1a" . pack("CCCC", 1, 1, (($mapper & 0x0F) << 4) | ($i & 1), $byte7)
                   . $tail;
        substr($body, 0, 4) = pack("N", $i);
        my $file = sprintf("%s/image-%05d.nes", $sub, $i);
        open(my $out, ">:raw", $file) or die "$file: $!";
        print $out $header, $body;
        close($out) or die "$file: $!";
    }
' "$folder" "$count"
