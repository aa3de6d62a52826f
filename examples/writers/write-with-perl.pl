#!/usr/bin/perl
# Writes the chart of chart.txt and chart.csv as ChartPro.DBF and ChartDat.DBF with Perl's XBase
# module (Debian: apt install libdbd-xbase-perl), every field a text field at the width that
# tarvochart reads.
#
# Usage: write-with-perl.pl [FOLDER]     (the current folder when none is given)
use strict;
use warnings;
use utf8;
use Encode qw(encode);
use XBase;

my $folder = $ARGV[0] // '.';

# Writes one table; XBase names it NAME.dbf, so it is renamed to the name tarvochart is given.
sub write_table {
  my ($name, $fields, $widths, @records) = @_;
  my $table = XBase->create(
    name           => "$folder/$name.dbf",
    field_names    => $fields,
    field_types    => [ ('C') x @$fields ],    # every field is text
    field_lengths  => $widths,
    field_decimals => [ (0) x @$fields ],
  ) or die XBase->errstr;
  my $n = 0;
  # Texts are written as UTF-8 bytes, which tarvochart shows as such.
  $table->set_record($n++, map { encode('UTF-8', $_) } @$_) or die $table->errstr for @records;
  $table->close;
  rename "$folder/$name.dbf", "$folder/$name.DBF" or die "$name: $!";
}

# Lead number, data-set number, keyword, value.
write_table('ChartPro', [qw(LEADNUM DATASET KEYWORD VALUE)], [ 1, 2, 30, 100 ],
  [ 1, 1, 'DATASETCOUNT', '2' ],
  [ 1, 1, 'CHARTSTYLE',   'VERTBAR;1' ],
  [ 1, 1, 'TOPTITLE',     'Revenue by month' ],
  [ 1, 1, 'DATASETTITLE', '2025' ],
  [ 1, 2, 'DATASETTITLE', '2026' ],
  [ 1, 2, 'DATASETCOLOR', 'teal' ],
  [ 1, 1, 'DATALABELS',   '' ],
  [ 1, 1, 'NOSHOW',       '' ],
  [ 1, 1, 'BITMAPFILE',   'chart.png;300;400' ]);

# Lead number, label, then a value and a colour name ('' for the data set's own) per data set.
# Perl writes a number with "." whatever the locale, as tarvochart reads it in every locale.
write_table('ChartDat', [qw(LEADNUM LABEL VALUE1 COLOR1 VALUE2 COLOR2)], [ 2, 30, 20, 10, 20, 10 ],
  [ 1, 'Jan',       120.5, '', 131,    '' ],
  [ 1, 'Feb',       98.25, '', 142.75, '' ],
  [ 1, 'März',      143,   '', -12.5,  'red' ],
  [ 1, 'Apr, late', 170,   '', 199.9,  '' ]);
