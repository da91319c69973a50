#!/usr/bin/perl
# Writes a header database in the nes20db.xml layout with made-up games, for
# the load benchmark:  perl bench/make-database.pl [GAMES] >FILE.xml
# The same count always gives the same file. Every game fits an NES 2.0
# header, so the whole file loads.
use strict;
use warnings;

my $games = shift // 30000;
srand(20240101);

sub hex_digits { join "", map { sprintf "%X", int(rand(16)) } 1 .. $_[0] }
sub pick { $_[int(rand(@_))] }

print qq{<?xml version="1.0" encoding="UTF-8"?>\n<nes20db date="2024-01-01">\n};
for my $n (1 .. $games) {
    my $prg = 16384 * pick(1, 2, 4, 8, 16, 32);
    my $chr = 8192 * pick(0, 0, 1, 2, 4, 8, 16, 32);
    my $mapper = pick(0, 1, 2, 3, 4, 4, 7, 9, 19, 23, 30, 66, 218, 268, 4095);
    my $battery = pick(0, 0, 1);
    my $region = pick(0, 0, 1, 2);
    my $mirroring = pick("H", "V", "V", ($mapper == 30 || $mapper == 218) ? "1" : "4");
    my $name = pick("Licensed North America", "Licensed Japan", "Unlicensed", "Homebrew")
        . "\\Made-up Game No. $n (" . pick("USA", "Japan", "Europe") . ").nes";
    my $part = sub {
        my ($tag, $size) = @_;
        sprintf qq{    <%s size="%d" crc32="%s" sha1="%s" sum16="%s"/>\n}, $tag, $size,
            hex_digits(8), hex_digits(40), hex_digits(4);
    };
    print "  <game>\n    <!-- $name -->\n";
    print $part->("prgrom", $prg);
    print $part->("chrrom", $chr) if $chr;
    printf qq{    <rom size="%d" crc32="%s" sha1="%s"/>\n}, $prg + $chr, hex_digits(8),
        hex_digits(40);
    print qq{    <prgram size="8192"/>\n} if !$battery && rand() < 0.3;
    print qq{    <prgnvram size="8192"/>\n} if $battery;
    print qq{    <chrram size="8192"/>\n} unless $chr;
    printf qq{    <pcb mapper="%d" submapper="0" mirroring="%s" battery="%d"/>\n}, $mapper,
        $mirroring, $battery;
    printf qq{    <console type="0" region="%d"/>\n}, $region;
    printf qq{    <expansion type="%d"/>\n}, pick(0, 1, 1, 1, 2, 8);
    print "  </game>\n";
}
print "</nes20db>\n";
