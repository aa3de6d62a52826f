// The program run as a host runs it, on property tables that it must refuse or run without a
// window: exactly one message each, exit code 0, and no hang.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "dbfwrite/dbfwriter.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

namespace {

struct RunCase {
  std::string name;
  std::vector<PropertyRow> rows;
  std::string standardError;
};

void PrintTo(const RunCase& run, std::ostream* out) { *out << run.name; }

class PropertyRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(PropertyRun, ReportsOnceAndEnds) {
  QTemporaryDir dir;
  WriteDbf(dir.filePath("P.DBF").toStdString(), PropertyTable(GetParam().rows));
  WriteDbf(dir.filePath("D.DBF").toStdString(), DataTable(1, {{"1", "Jan", {{"10", "RED"}}}}));
  const RunResult result = RunTarvochart({"P.DBF", "D.DBF"}, dir.path().toStdString());
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardError, GetParam().standardError);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, PropertyRun,
    ::testing::Values(
        RunCase{"NoRecords", {}, "ChartPro.DBF problem: DataSetCount is 0.\n"},
        RunCase{"NeitherCountNorStyle",
                {Row("TOPTITLE", "Sales"), Row("DATASETCOUNT", "abc")},
                "ChartPro.DBF problem: DataSetCount is 0.\n"},
        RunCase{"NoStyle",
                {Row("DATASETCOUNT", "3"), Row("NOSHOW")},
                "ChartPro.DBF problem: ChartStyle undefined.\n"},
        RunCase{
            "BlankDataSetNumber",
            {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE", "  "), Row("DATASETCOUNT", "")},
            "tarvochart: P.DBF, record 2, field dataSetNumber: '' is not a valid integer "
            "value\n"},
        RunCase{"EmptyPrintPos",
                {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE"), Row("NOSHOW"),
                 Row("PRINTPOS", ";")},
                "tarvochart: P.DBF, record 4, field value: Range check error\n"},
        RunCase{"NoShow", {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE"), Row("NOSHOW")}, ""},
        RunCase{"WithWindow",
                {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE")},
                "tarvochart: No display can be reached; the chart window cannot be shown.\n"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
