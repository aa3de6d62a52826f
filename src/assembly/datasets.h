#pragma once
// The points of the chart, from the data table.

class DbfFile;
class TChart;
struct ChartOptions;

// Every active record of the data table, in file order, adds one point to every series: series j
// takes the value and the colour of data set j+1 and the record's label. The fields lie at fixed
// byte positions (flag 0, lead number 1-2, label 3-32, then 30 bytes per data set: a value of 20
// and a colour name of 10); a field past the end of a record is empty. A lead number or a value
// that does not convert throws Exception naming the table, the record and the field; the points
// added before stay.
void LoadDataSets(const DbfFile& dataFile, const ChartOptions& options, TChart& chart);
