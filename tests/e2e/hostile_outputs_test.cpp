// Every image format under names and texts that break careless writers: markup characters,
// control characters, bytes that are not UTF-8, names that fill their field. Each file is
// written under exactly the bytes of its name and is read by a tool that is not ours (xmllint
// for SVG, pdfinfo for PDF, ImageMagick's identify for the images), or the run says why not.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

#include "dbfwrite/dbfwriter.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

namespace {

using namespace std::string_literals;

const std::string kHostileText = "R&D <b>\"q\" 'a' \x1b esc \0 nul \xff\xfe \xc3 ]]> --"s;
// Sound UTF-8, so read as UTF-8, with the two characters XML does not allow: U+FFFE and U+FFFF.
const std::string kHostileUtf8 = "R&D \x1b \xef\xbf\xbe \xef\xbf\xbf \xc3\xa9"s;

// The names' stems; each is tried with every format's ending.
const std::string kStems[] = {
    "R&D <1> \"q\" 'a'",
    "esc\x1b tab\t end",
    "\xff\xfe not UTF-8 \xe9",
    std::string(80, 'L'),
};

struct Format {
  const char* ending;
  QStringList reader;  // the command that must accept the file, its name added at the end
};

const Format kFormats[] = {
    {".svg", {"xmllint", "--noout"}}, {".pdf", {"pdfinfo"}},   {".png", {"identify"}},
    {".bmp", {"identify"}},           {".jpeg", {"identify"}},
};

void WriteTables(const std::filesystem::path& folder, const std::string& bitmap) {
  WriteDbf(folder / "P.DBF",
           PropertyTable({Row("DATASETCOUNT", "2"), Row("CHARTSTYLE", "VERTBAR"),
                          Row("TOPTITLE", kHostileText), Row("LEFTAXISTITLE", kHostileUtf8),
                          Row("DATASETTITLE", kHostileText), Row("DATALABELS"), Row("NOSHOW"),
                          Row("BITMAPFILE", bitmap)}));
  WriteDbf(folder / "D.DBF", DataTable(2, {{"1", "\x1b<&>\0x"s, {{"3", ""}, {"1", ""}}},
                                           {"1", "\xff\xfe", {{"4", ""}, {"2", ""}}}}));
}

// The reader's verdict on the file, under a plain name: the tools take names as text.
std::string ReaderComplaint(const Format& format, const std::filesystem::path& file) {
  const std::filesystem::path plain = file.parent_path() / ("checked"s + format.ending);
  std::filesystem::copy_file(file, plain, std::filesystem::copy_options::overwrite_existing);
  QProcess reader;
  reader.setProcessChannelMode(QProcess::MergedChannels);
  reader.start(format.reader.front(), format.reader.mid(1)
                                          << QString::fromStdString(plain.string()));
  reader.waitForFinished(30000);
  if (reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0) return "";
  return reader.readAll().toStdString();
}

TEST(HostileOutputs, EveryFormatIsWrittenUnderItsOwnBytesAndReadsBack) {
  for (const char* tool : {"xmllint", "pdfinfo", "identify"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "no " << tool;
  }
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  for (const Format& format : kFormats) {
    for (const std::string& stem : kStems) {
      SCOPED_TRACE(stem + format.ending);
      const std::string name = stem + format.ending;
      WriteTables(folder, name + ";300;400");
      const RunResult result = RunTarvochart({"P.DBF", "D.DBF"}, folder.string());
      EXPECT_EQ(result.exitCode, 0);
      EXPECT_EQ(result.standardError, "");
      ASSERT_TRUE(std::filesystem::is_regular_file(folder / name));
      EXPECT_EQ(ReaderComplaint(format, folder / name), "");
      std::filesystem::remove(folder / name);
    }
  }
  // A name that the system cannot take is refused, and nothing is written under part of it.
  WriteTables(folder, "nul\0cut.png;300;400"s);
  const RunResult result = RunTarvochart({"P.DBF", "D.DBF"}, folder.string());
  EXPECT_NE(result.standardError.find("a file name cannot hold a NUL byte"), std::string::npos)
      << result.standardError;
  EXPECT_FALSE(std::filesystem::exists(folder / "nul"));
}

// Three runs a second apart, each with a hash seed of its own, make the same PDF of a chart:
// no time stamp in it, its fonts (bold titles, plain labels) always in the same order.
TEST(HostileOutputs, ThePdfOfAChartIsTheSameFileInEveryRun) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  WriteTables(folder, "chart.pdf;300;400");
  std::string first;
  for (int run = 0; run < 3; ++run) {
    if (run > 0) QThread::msleep(1100);
    ASSERT_EQ(RunTarvochart({"P.DBF", "D.DBF"}, folder.string()).standardError, "");
    QFile pdf(QString::fromStdString((folder / "chart.pdf").string()));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const std::string bytes = pdf.readAll().toStdString();
    if (run == 0) first = bytes;
    EXPECT_TRUE(bytes == first) << "run " << run << " made another file";
  }
  EXPECT_NE(first.find("/CreationDate (D:19700101000000"), std::string::npos);
}

}  // namespace
