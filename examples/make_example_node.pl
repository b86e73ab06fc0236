#!/usr/bin/perl
# Fills the example node's message areas with sample postings, built from the small files in
# examples/node/sources: a zip archive with a FILE_ID.DIZ in three UUE sections, a text file in
# two XXE sections, another as a two-part MIME base64 posting, one in the program's own text
# sections, a netmail file, an incomplete posting (its second section never arrived) and a
# re-posting of the archive by someone else five days later (inside the history window).
#
# Usage, from anywhere:  perl examples/make_example_node.pl
# Needs nothing but perl-base. Earlier *.msg files of the areas are replaced.
use strict;
use warnings;

use File::Basename qw(dirname);

my $node = dirname(__FILE__) . '/node';
my $sources = "$node/sources";
my $linesPerSection = 20;  # 45 bytes a line: 900 bytes a section

# --- Small helpers -------------------------------------------------------------------------

sub ReadFile {
  my ($path) = @_;
  open(my $in, '<:raw', $path) or die "cannot read $path: $!\n";
  local $/;
  my $data = <$in>;
  close $in;
  return $data;
}

sub WriteFile {
  my ($path, $data) = @_;
  open(my $out, '>:raw', $path) or die "cannot write $path: $!\n";
  print $out $data;
  close $out;
}

# The BSD checksum of "sum -r": rotate right by one bit, add the byte.
sub BsdSum {
  my ($sum, $text) = @_;
  for my $byte (unpack('C*', $text)) {
    $sum = (($sum >> 1) | (($sum & 1) << 15)) & 0xFFFF;
    $sum = ($sum + $byte) & 0xFFFF;
  }
  return $sum;
}

my @crcTable = map {
  my $c = $_;
  $c = ($c & 1) ? (0xEDB88320 ^ ($c >> 1)) : ($c >> 1) for 1 .. 8;
  $c;
} 0 .. 255;

sub Crc32 {
  my ($data) = @_;
  my $crc = 0xFFFFFFFF;
  $crc = $crcTable[($crc ^ $_) & 0xFF] ^ ($crc >> 8) for unpack('C*', $data);
  return $crc ^ 0xFFFFFFFF;
}

# A zip archive whose members are stored as they are.
sub StoredZip {
  my @members = @_;  # name, data, name, data ...
  my ($local, $central, $count) = ('', '', 0);
  my ($dosTime, $dosDate) = (12 << 11, ((2026 - 1980) << 9) | (3 << 5) | 1);
  while (my ($name, $data) = splice(@members, 0, 2)) {
    my $crc = Crc32($data);
    my $size = length $data;
    $central .= pack('VvvvvvvVVVvvvvvVV', 0x02014b50, 20, 10, 0, 0, $dosTime, $dosDate, $crc,
                     $size, $size, length $name, 0, 0, 0, 0, 0, length $local) . $name;
    $local .= pack('VvvvvvVVVvv', 0x04034b50, 10, 0, 0, $dosTime, $dosDate, $crc, $size, $size,
                   length $name, 0) . $name . $data;
    ++$count;
  }
  return $local . $central .
         pack('VvvvvVVv', 0x06054b50, 0, 0, $count, $count, length $central, length $local, 0);
}

# --- Encodings: every 6-bit value is a character of the alphabet -----------------------------

my $uuAlphabet = '`' . join('', map { chr } 33 .. 95);
my $xxAlphabet = '+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';
my $b64Alphabet = join('', 'A' .. 'Z', 'a' .. 'z', '0' .. '9') . '+/';

sub Groups {
  my ($alphabet, $bytes) = @_;
  my $out = '';
  for (my $i = 0; $i < length $bytes; $i += 3) {
    my @b = map { $_ < length $bytes ? ord(substr($bytes, $_, 1)) : 0 } $i .. $i + 2;
    my $v = ($b[0] << 16) | ($b[1] << 8) | $b[2];
    $out .= join('', map { substr($alphabet, ($v >> (18 - 6 * $_)) & 63, 1) } 0 .. 3);
  }
  return $out;
}

# UU or XX sections of a file, each with the "sum -r/size" lines that let the decoder check it.
sub EncodedSections {
  my ($alphabet, $label, $name, $data) = @_;
  my $capacity = $linesPerSection * 45;
  my $total = int((length($data) + $capacity - 1) / $capacity);
  my @sections;
  for my $number (1 .. $total) {
    my @lines = ("section $number of $total of file $name  < $label by make_example_node >", '');
    my ($sum, $size) = (0, 0);
    my $count = sub { my ($l) = @_; $sum = BsdSum($sum, "$l\n"); $size += length($l) + 1; };
    if ($number == 1) {
      push @lines, "begin 644 $name";
      $count->("begin 644 $name");
    }
    my $chunk = substr($data, ($number - 1) * $capacity, $capacity);
    for (my $at = 0; $at < length $chunk; $at += 45) {
      my $piece = substr($chunk, $at, 45);
      my $line = substr($alphabet, length $piece, 1) . Groups($alphabet, $piece);
      push @lines, $line;
      $count->($line);
    }
    if ($number == $total) {
      push @lines, substr($alphabet, 0, 1), 'end';
      $count->(substr($alphabet, 0, 1));
      $count->('end');
    }
    push @lines, '', "sum -r/size $sum/$size section (from first to last encoded line)";
    push @lines, 'sum -r/size ' . BsdSum(0, $data) . '/' . length($data) . ' entire input file'
      if $number == $total;
    push @sections, \@lines;
  }
  return @sections;
}

# The parts of a MIME message/partial posting, 57 bytes a line.
sub MimeParts {
  my ($name, $data, $parts, $id) = @_;
  my $size = int((length($data) + $parts - 1) / $parts);
  my @sections;
  for my $number (1 .. $parts) {
    my @lines = ('MIME-Version: 1.0', 'Content-Type: message/partial;', "  id=\"$id\"",
                 "  number=$number; total=$parts", '');
    push @lines, "Content-Type: application/octet-stream; name=\"$name\"",
                 'Content-Transfer-Encoding: base64', '' if $number == 1;
    my $chunk = substr($data, ($number - 1) * $size, $size);
    for (my $at = 0; $at < length $chunk; $at += 57) {
      my $piece = substr($chunk, $at, 57);
      my $line = Groups($b64Alphabet, $piece);
      substr($line, -2) = '==' if length($piece) % 3 == 1;
      substr($line, -1) = '=' if length($piece) % 3 == 2;
      push @lines, $line;
    }
    push @lines, '';
    push @sections, \@lines;
  }
  return @sections;
}

# The program's own text sections (CP866): "СЕКЦИЯ n ИЗ m ФАЙЛА name" and the text between two
# separator lines.
sub OwnTextSections {
  my ($name, $text, $parts) = @_;
  my $separator = '-=' . ("\xC4" x 28) . '< Veldmark >' . ("\xC4" x 28) . '=-';
  my @textLines = split /\r?\n/, $text;
  my $per = int((@textLines + $parts - 1) / $parts);
  my @sections;
  for my $number (1 .. $parts) {
    my @chunk = grep { defined } @textLines[($number - 1) * $per .. $number * $per - 1];
    push @sections, ["\x91\x85\x8A\x96\x88\x9F $number \x88\x87 $parts \x94\x80\x89\x8B\x80 $name",
                     $separator, @chunk, $separator];
  }
  return @sections;
}

# --- *.MSG files -----------------------------------------------------------------------------

my %nextNumber;

# One stored message (the 190-byte FidoNet header, then the text ending in a NUL byte).
sub WriteMessage {
  my ($area, %m) = @_;
  my $number = ++$nextNumber{$area};
  my $field = sub { my ($text, $width) = @_; pack("a$width", substr($text, 0, $width - 1)) };
  my ($origNet, $origNode) = split m{/}, (split /:/, $m{origin})[1];
  my $header = $field->($m{from}, 36) . $field->($m{to}, 36) . $field->($m{subject}, 72) .
               $field->($m{date}, 20) .
               pack('vvvvvvVVvvv', 0, 9999, $origNode, 0, $origNet, 5020, 0, 0, 0, $m{attribute} // 0, 0);
  my $text = join("\r", "\x01MSGID: $m{origin} " . sprintf('%08x', 0x5e1f0000 + $number),
                  @{ $m{lines} }, '', '--- make_example_node',
                  " * Origin: $m{bbs} ($m{origin})") . "\r";
  WriteFile("$node/areas/$area/$number.msg", $header . $text . "\0");
}

# Each section in a message of its own, "[n/m]" after the subject.
sub Post {
  my ($area, $subject, $poster, $date, @sections) = @_;
  my $n = 0;
  for my $section (@sections) {
    ++$n;
    WriteMessage($area, %$poster, to => 'All', subject => "$subject [$n/" . @sections . ']',
                 date => $date, lines => ["Hello All,", '', "$subject, part $n.", '', @$section]);
  }
}

for my $area ('rufiles', 'netmail', 'reports') {
  mkdir "$node/areas/$area";
  unlink glob("$node/areas/$area/*.msg");
}

my %alex = (from => 'Alexander Ivanov', origin => '2:5020/1', bbs => 'Example Files BBS');
my %maria = (from => 'Maria Sidorova', origin => '2:5030/7', bbs => 'Second Example BBS');

my $tools = StoredZip('FILE_ID.DIZ' => ReadFile("$sources/file_id.diz"),
                      'README.TXT' => ReadFile("$sources/readme.txt"),
                      'TOOLS.DAT' => pack('C*', map { ($_ * 7) & 255 } 0 .. 1023));
my @toolSections = EncodedSections($uuAlphabet, 'uuencoded', 'vmtools.zip', $tools);
my $poem = ReadFile("$sources/poem.txt");

Post('rufiles', 'VMTOOLS.ZIP - example tools', \%alex, '01 Mar 26  10:00:00', @toolSections);
Post('rufiles', 'HELLO.TXT in XX', \%alex, '01 Mar 26  10:05:00',
     EncodedSections($xxAlphabet, 'xxencoded', 'hello.txt', ReadFile("$sources/hello.txt")));
Post('rufiles', 'POEM.TXT as MIME', \%maria, '02 Mar 26  18:30:00',
     MimeParts('poem.txt', $poem, 2, 'example-poem-0302'));
Post('rufiles', 'FAQ.TXT as text', \%maria, '02 Mar 26  18:40:00',
     OwnTextSections('faq.txt', ReadFile("$sources/faq.txt"), 2));
# Section 2 of 3 never arrived: the file stays incomplete and is not decoded.
my @partial = EncodedSections($uuAlphabet, 'uuencoded', 'partial.zip', $tools);
Post('rufiles', 'PARTIAL.ZIP', \%maria, '03 Mar 26  09:00:00', @partial[0, 2]);
# The same archive once more, five days later and by someone else: inside the history window.
Post('rufiles', 'VMTOOLS.ZIP again', \%maria, '06 Mar 26  12:00:00', @toolSections);

# Netmail to the sysop: the area is excluded from /All; /Decode NETMAIL decodes it.
my ($verse) = EncodedSections($uuAlphabet, 'uuencoded', 'verse.txt', $poem);
WriteMessage('netmail', %alex, to => 'Ivan Petrov', subject => 'VERSE.TXT for you',
             date => '04 Mar 26  20:00:00', attribute => 1, lines => ['Hi Ivan,', '', @$verse]);

print "Sample areas written under $node/areas\n";
