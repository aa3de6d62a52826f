// The program run as a batch host runs it ("NOSHOW" and "BITMAPFILE") on data it must draw or
// refuse: an image of the asked size and nothing on standard error, or one clear message and no
// image; exit code 0 either way, never a hang.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "dbfwrite/dbfwriter.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

namespace {

struct DataRunCase {
  std::string name;
  std::string style;
  std::vector<DataRow> rows;
  std::string bitmap;         // the value of BITMAPFILE
  std::string standardError;  // empty: an image is expected
};

void PrintTo(const DataRunCase& run, std::ostream* out) { *out << run.name; }

class DataRun : public ::testing::TestWithParam<DataRunCase> {};

const QByteArray kOldImage = "an earlier image";

TEST_P(DataRun, DrawsOrReportsOnce) {
  const DataRunCase& c = GetParam();
  QTemporaryDir dir;
  const int dataSets = c.rows.empty() ? 1 : int(c.rows.front().values.size());
  WriteDbf(dir.filePath("P.DBF").toStdString(),
           PropertyTable({Row("DATASETCOUNT", std::to_string(dataSets)), Row("CHARTSTYLE", c.style),
                          Row("DATALABELS"), Row("NOSHOW"), Row("BITMAPFILE", c.bitmap)}));
  WriteDbf(dir.filePath("D.DBF").toStdString(), DataTable(dataSets, c.rows));
  const QString image =
      dir.filePath(QString::fromStdString(c.bitmap.substr(0, c.bitmap.find(';'))));
  QFile old(image);
  if (old.open(QIODevice::WriteOnly)) old.write(kOldImage);
  old.close();

  const RunResult result = RunTarvochart({"P.DBF", "D.DBF"}, dir.path().toStdString());
  EXPECT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.standardError, c.standardError);
  if (c.standardError.empty()) {
    EXPECT_EQ(QImage(image).size(), QSize(300, 200));
  } else if (QFile::exists(image)) {
    QFile kept(image);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), kOldImage) << "an existing image is left as it was";
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), QFile::exists(image) ? 3 : 2)
      << "no temporary file is left behind";
}

const std::vector<DataRow> kGood = {{"1", "a", {{"3", "RED"}}}, {"1", "b", {{"4", ""}}}};
const std::string kFloat = "' is not a valid floating point value\n";

INSTANTIATE_TEST_SUITE_P(
    Tables, DataRun,
    ::testing::Values(
        DataRunCase{"ExtremeBars",
                    "VERTBAR;2",
                    {{"1", "a", {{"1e308", ""}, {"1e308", ""}}},
                     {"1", "b", {{"-1e308", ""}, {"-1.7e308", ""}}}},
                    "out.png;200;300",
                    ""},
        DataRunCase{"ExtremeLine",
                    "LINE",
                    {{"1", "a", {{"1e308", ""}}},
                     {"1", "b", {{"-1e308", ""}}},
                     {"1", "c", {{"4.9e-324", ""}}}},
                    "out.png;200;300",
                    ""},
        DataRunCase{"PieOfHugeValues",
                    "PIE",
                    {{"1", "a", {{"1e308", ""}}}, {"1", "b", {{"1e308", ""}}}},
                    "out.png;200;300",
                    ""},
        DataRunCase{"PieOfZeros",
                    "PIE",
                    {{"1", "a", {{"0", ""}}}, {"1", "b", {{"0", ""}}}},
                    "out.png;200;300",
                    ""},
        DataRunCase{"PieWithNegatives",
                    "PIE",
                    {{"1", "a", {{"-3", ""}}}, {"1", "b", {{"5", ""}}}},
                    "out.png;200;300",
                    ""},
        DataRunCase{"NoRecords", "BAR", {}, "out.bmp;200;300", ""},
        DataRunCase{"ValueNotANumber",
                    "LINE",
                    {{"1", "a", {{"3", ""}}}, {"1", "b", {{"abc", ""}}}},
                    "out.png;200;300",
                    "tarvochart: D.DBF, record 2, field value of data set 1 (bytes 33 to 52): "
                    "'abc" +
                        kFloat},
        DataRunCase{"BlankLead",
                    "LINE",
                    {{"1", "a", {{"3", ""}}}, {"", "b", {{"4", ""}}}},
                    "out.png;200;300",
                    "tarvochart: D.DBF, record 2, field leadNumber: '' is not a valid integer "
                    "value\n"},
        DataRunCase{"ModeNotAnInteger", "VERTBAR;two", kGood, "out.png;200;300",
                    "tarvochart: P.DBF, record 2, field value item 2 (multi-bar mode): 'TWO' is "
                    "not a valid integer value\n"},
        DataRunCase{"MissingFolder", "LINE", kGood, "missing/out.png;200;300",
                    "tarvochart: Cannot write missing/out.png: No such file or directory\n"},
        DataRunCase{"TooLarge", "LINE", kGood, "out.png;200;40000",
                    "tarvochart: Cannot write out.png: 40000 x 200 pixels is too large for an "
                    "image (at most 32767 per side and 256 megapixels in all)\n"},
        DataRunCase{"LargestNumber", "PIE", kGood, "out.pdf;2147483647;300",
                    "tarvochart: Cannot write out.pdf: 300 x 2147483647 pixels is too large for "
                    "an image (at most 32767 per side and 256 megapixels in all)\n"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
