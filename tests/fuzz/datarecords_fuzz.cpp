// Fuzz target: any bytes as the records of a data table, loaded as the program loads them into
// one to ten series, with the promises of data loading checked.

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "properties/chartoptions.h"
#include "runtime/errors.h"
#include "startup/datasets.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// A data table around the whole records: version 3, a header of 32 bytes and its end mark.
std::string TableAround(const std::string& records, std::uint16_t recordLength) {
  std::string table(33, '\0');
  table[0] = 3;
  const std::uint32_t count = std::uint32_t(records.size() / recordLength);
  for (int i = 0; i < 4; ++i) table[std::size_t(4 + i)] = char(count >> (8 * i));
  table[8] = 33;
  table[10] = char(recordLength & 0xFF), table[11] = char(recordLength >> 8);
  table[32] = 0x0D;
  return table + records.substr(0, std::size_t(count) * recordLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int dataSets = 1 + data[0] % 10;
  // Records of the full length for the data sets, or a little shorter or longer.
  const auto recordLength = std::uint16_t(33 + 30 * dataSets + int(data[1] % 9) - 4);
  const std::string records(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::string bytes = TableAround(records, recordLength);
  const int fd = memfd_create("data", 0);
  if (fd < 0) return 0;
  if (write(fd, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
    close(fd);
    return 0;
  }
  DbfFile table;
  Check(table.Open("/proc/self/fd/" + std::to_string(fd)));
  close(fd);
  table.ReadHeader();
  Check(table.IsConsistent());

  chart::ChartDocument chart;
  for (int j = 0; j < dataSets; ++j) chart.AddSeries(chart::SeriesKind::Line);
  ChartOptions options;
  options.dataSetCount = dataSets;
  bool failed = false;
  try {
    LoadDataSets(table, options, chart);
  } catch (const Exception&) {
    failed = true;
  }
  // Series stay aligned by record: at most the failing record is part-way through them.
  const std::size_t first = chart.GetSeries(0).Points().size();
  for (int j = 0; j < dataSets; ++j) {
    const auto& points = chart.GetSeries(j).Points();
    Check(points.size() == first || (failed && points.size() + 1 == first));
    for (const chart::ChartPoint& point : points) Check(std::isfinite(point.value));
  }
  Check(first <= table.recordCount);
  return 0;
}
