// Points from the data table: fixed byte positions, strict conversions, colours by name.

#include "startup/datasets.h"

#include <gtest/gtest.h>

#include "chart/document/chartdocument.h"
#include "dbf/dbffile.h"
#include "properties/chartoptions.h"
#include "runtime/errors.h"
#include "support/tablefolder.h"

using namespace chart;

namespace {

constexpr Color kSeriesColor = 0x123456;

class DataSets : public ::testing::Test, public TableFolder {
 protected:
  // Bar series in the series colour, then the points of `table`.
  void Load(int dataSetCount, const DbfTable& table) {
    options_.dataSetCount = dataSetCount;
    for (int j = 0; j < dataSetCount; ++j) {
      chart_.AddSeries(SeriesKind::Bar).SetSeriesColor(kSeriesColor + Color(j));
    }
    ASSERT_TRUE(file_.Open(Write("D.DBF", table)));
    file_.ReadHeader();
    LoadDataSets(file_, options_, chart_);
  }

  std::string FailureOf(int dataSetCount, const DbfTable& table) {
    try {
      Load(dataSetCount, table);
    } catch (const Exception& error) {
      return std::string(error.what()).substr(Path("D.DBF").size());
    }
    return "no failure";
  }

  const std::vector<ChartPoint>& Points(int series) const {
    return chart_.Model().series.at(std::size_t(series)).points;
  }

  ChartDocument chart_;
  ChartOptions options_;
  DbfFile file_;
};

TEST_F(DataSets, EachActiveRecordGivesEverySeriesOnePoint) {
  Load(2, DataTable(
              3, {{"1", " Jan ", {{" 10 ", "red"}, {"-2.5", ""}, {"x", "x"}}},
                  {.lead = "1", .label = "gone", .values = {{"1", ""}, {"1", ""}}, .deleted = true},
                  {"-9", "Feb", {{"1e3", " Navy "}, {"+.5", "DARKGRAY"}}},
                  {"1", "", {{"0", "LiMe"}, {"7.", "BLUE"}}}}));
  ASSERT_EQ(Points(0).size(), 3u);
  ASSERT_EQ(Points(1).size(), 3u);
  EXPECT_EQ(chart_.CategoryLabels(), (std::vector<std::string>{"Jan", "Feb"}))
      << "a blank label is none";
  const struct {
    int series, point;
    double value;
    Color color;
  } expected[] = {{0, 0, 10, 0x0000FF},   {1, 0, -2.5, kSeriesColor + 1},
                  {0, 1, 1000, 0x800000}, {1, 1, 0.5, kSeriesColor + 1},
                  {0, 2, 0, 0x00FF00},    {1, 2, 7, 0xFF0000}};
  for (const auto& e : expected) {
    EXPECT_EQ(Points(e.series)[std::size_t(e.point)].value, e.value) << e.series << "/" << e.point;
    EXPECT_EQ(Points(e.series)[std::size_t(e.point)].color, e.color) << e.series << "/" << e.point;
  }
}

TEST_F(DataSets, TenDataSetsFillRecordsOfExactly333Bytes) {
  std::vector<std::pair<std::string, std::string>> values;
  for (int j = 1; j <= 10; ++j) values.push_back({std::to_string(j * 11), j == 10 ? "AQUA" : ""});
  const DbfTable table = DataTable(10, {{"1", "All", values}});
  EXPECT_EQ(table.RecordLength(), 333);
  Load(10, table);
  for (int j = 0; j < 10; ++j) EXPECT_EQ(Points(j).at(0).value, (j + 1) * 11) << j;
  EXPECT_EQ(Points(9)[0].color, 0xFFFF00u);
}

TEST_F(DataSets, NoRecordsOrOnlyDeletedOnesGiveEmptySeries) {
  Load(2, DataTable(2, {{.lead = "x", .label = "", .values = {}, .deleted = true}}));
  EXPECT_TRUE(Points(0).empty());
  EXPECT_TRUE(Points(1).empty());
}

struct FailureCase {
  std::string name;
  int dataSetCount;
  DataRow row;
  std::string message;       // after the table's name
  std::size_t pointsBefore;  // of series 0, from the good record before and this one
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class DataFailure : public DataSets, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DataFailure, EndsTheLoadAtTheFieldAndNamesIt) {
  const FailureCase& c = GetParam();
  std::vector<std::pair<std::string, std::string>> good(std::size_t(c.dataSetCount), {"1", ""});
  const DbfTable table =
      DataTable(c.dataSetCount, {{"1", "good", good}, c.row, {"1", "after", good}});
  EXPECT_EQ(FailureOf(c.dataSetCount, table), c.message);
  EXPECT_EQ(Points(0).size(), c.pointsBefore);
}

const std::string kNotFloat = "' is not a valid floating point value";

INSTANTIATE_TEST_SUITE_P(
    Records, DataFailure,
    ::testing::Values(
        FailureCase{"blank lead",
                    1,
                    {"  ", "x", {{"1", ""}}},
                    ", record 2, field leadNumber: '' is not a valid integer value",
                    1},
        FailureCase{"letter lead",
                    1,
                    {"a1", "x", {{"1", ""}}},
                    ", record 2, field leadNumber: 'a1' is not a valid integer value",
                    1},
        FailureCase{"blank value",
                    1,
                    {"1", "x", {{"", "RED"}}},
                    ", record 2, field value of data set 1 (bytes 33 to 52): '" + kNotFloat,
                    1},
        FailureCase{"letters",
                    2,
                    {"1", "x", {{"3", ""}, {"12 kg", ""}}},
                    ", record 2, field value of data set 2 (bytes 63 to 82): '12 kg" + kNotFloat,
                    2},
        FailureCase{"comma and point",
                    1,
                    {"1", "x", {{"1,000.5", ""}}},
                    ", record 2, field value of data set 1 (bytes 33 to 52): '1,000.5" + kNotFloat,
                    1},
        FailureCase{"out of range",
                    1,
                    {"1", "x", {{"1e999", ""}}},
                    ", record 2, field value of data set 1 (bytes 33 to 52): '1e999" + kNotFloat,
                    1}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST_F(DataSets, AFieldPastTheEndOfAShortRecordIsEmpty) {
  // Records for two data sets read with a count of three: the third value lies past the end.
  const DbfTable table = DataTable(2, {{"1", "x", {{"1", "RED"}, {"2", "BLUE"}}}});
  EXPECT_EQ(FailureOf(3, table),
            ", record 1, field value of data set 3 (bytes 93 to 112): '" + kNotFloat);
  EXPECT_EQ(Points(1).size(), 1u) << "the points before the failure stay";
  EXPECT_EQ(Points(1)[0].color, 0xFF0000u);
}

}  // namespace
