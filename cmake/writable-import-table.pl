#!/usr/bin/perl
# Sets the write bit of the .idata section of the Windows program given, and
# its header's checksum anew. The delay-load helper writes each function it
# resolves into that section, which binutils 2.44 (Debian 13) writes
# read-only, so that the program's first delay-loaded call faults; earlier
# binutils leave it writable. objcopy cannot set the bit, as it writes the
# program through the same code.
#   writable-import-table.pl PROGRAM
use strict;
use warnings;

my $path = shift or die "usage: writable-import-table.pl PROGRAM\n";
open my $file, '+<:raw', $path or die "$path: $!\n";
my $image = do { local $/; <$file> };

my $pe = unpack 'V', substr $image, 0x3c, 4;
die "$path: not a PE image\n" unless substr($image, $pe, 4) eq "PE\0\0";
my ($sections, $optional_size) = unpack 'v x12 v', substr $image, $pe + 6, 16;
my $optional = $pe + 24;
my $checksum = $optional + 64;
my $found = 0;
for my $index (0 .. $sections - 1) {
    my $header = $optional + $optional_size + 40 * $index;
    next unless unpack('Z8', substr $image, $header, 8) eq '.idata';
    my $flags = unpack 'V', substr $image, $header + 36, 4;
    # Earlier binutils leave it writable: nothing to rewrite.
    exit 0 if $flags & 0x80000000;
    substr($image, $header + 36, 4) = pack 'V', $flags | 0x80000000;
    $found = 1;
}
die "$path: no .idata section\n" unless $found;

# The PE checksum: the image's 16-bit words added with their carries folded
# back in, the checksum field counted as zero, plus the image's length.
substr($image, $checksum, 4) = "\0\0\0\0";
my $sum = 0;
for my $word (unpack 'v*', $image . (length($image) % 2 ? "\0" : '')) {
    $sum += $word;
    $sum = ($sum & 0xffff) + ($sum >> 16);
}
substr($image, $checksum, 4) = pack 'V', ($sum & 0xffff) + length $image;

seek $file, 0, 0 or die "$path: $!\n";
print {$file} $image or die "$path: $!\n";
close $file or die "$path: $!\n";
