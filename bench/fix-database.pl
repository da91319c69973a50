#!/usr/bin/perl
# Writes a header database in the nes20db.xml layout for images that
# `tallowick-cli info --json` has read, one JSON line each on stdin: every
# second image gets an entry keyed by its hashes (bodyCrc32, bodySha1), with
# the mapper it has and the mirroring turned round, so that a fix has work.
#   tallowick-cli info --json FOLDER | perl bench/fix-database.pl >FILE.xml
use strict;
use warnings;

print qq{<?xml version="1.0" encoding="UTF-8"?>\n<nes20db date="2024-01-01">\n};
my $n = 0;
while (my $line = <STDIN>) {
    next if $n++ % 2;
    my ($crc) = $line =~ /"bodyCrc32":"([0-9A-F]{8})"/ or next;
    my ($sha) = $line =~ /"bodySha1":"([0-9A-F]{40})"/ or next;
    my ($mapper) = $line =~ /"mapper":(\d+)/;
    my ($prg) = $line =~ /"prgRomBytes":(\d+)/;
    my ($chr) = $line =~ /"chrRomBytes":(\d+)/;
    my ($mirroring) = $line =~ /"mirroring":"(\w+)"/;
    my $flip = $mirroring eq "vertical" ? "H" : "V";
    print "  <game>\n    <!-- Homebrew\\Bench image $n.nes -->\n";
    print qq{    <prgrom size="$prg" crc32="00000000" sha1="} . "0" x 40 . qq{" sum16="0000"/>\n};
    print qq{    <chrrom size="$chr" crc32="00000000" sha1="} . "0" x 40 . qq{" sum16="0000"/>\n}
        if $chr;
    printf qq{    <rom size="%d" crc32="%s" sha1="%s"/>\n}, $prg + $chr, $crc, $sha;
    print qq{    <pcb mapper="$mapper" submapper="0" mirroring="$flip" battery="0"/>\n};
    print qq{    <console type="0" region="0"/>\n    <expansion type="1"/>\n  </game>\n};
}
print "</nes20db>\n";
