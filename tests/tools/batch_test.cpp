// tarvo-batch as a batch host runs it: its job list read line by line, its report and exit
// status over good and failing jobs, and its images against those of single runs.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "batch/joblist.h"
#include "dbfwrite/dbfwriter.h"
#include "support/printserver.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

namespace {

struct LineCase {
  std::string line;
  std::vector<std::string> fields;  // folder, property table, data table; none when refused
  std::string problem;
};

TEST(JobList, EachLineIsAJobOrSaysWhyNot) {
  const std::string longLine(kMaxJobLineBytes + 1, 'x');
  const std::vector<LineCase> cases = {
      {"reports/north", {"reports/north", "ChartPro.DBF", "ChartDat.DBF"}, ""},
      {"  south\tP.DBF  D.DBF \r", {"south", "P.DBF", "D.DBF"}, ""},
      {R"("Q3 reports" P.DBF "my \"data\\.DBF")", {"Q3 reports", "P.DBF", R"(my "data\.DBF)"}, ""},
      {"caf\xE9 P.DBF D.DBF", {"caf\xE9", "P.DBF", "D.DBF"}, ""},
      {"north P.DBF", {}, "give both table names after the folder, or neither"},
      {"a b c d", {}, "more than a folder and two table names; quote a name that holds blanks"},
      {"\"open", {}, "a quoted field is not closed"},
      {"\"\" P.DBF D.DBF", {}, "a quoted field is empty"},
      {std::string("a\0b", 3), {}, "the line holds a NUL byte, which no file name can hold"},
      {longLine, {}, "the line is longer than 16384 bytes"},
  };
  // An editor's byte-order mark before the first line is no part of it.
  std::string list = "\xEF\xBB\xBF# jobs\n\n   \n";
  for (const LineCase& c : cases) list += c.line + "\n";
  list += "  # the end";  // no line break after the last line
  std::istringstream input(list);
  const std::vector<Job> jobs = ReadJobList(input);
  ASSERT_EQ(jobs.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].line.substr(0, 40));
    EXPECT_EQ(jobs[i].lineNumber, i + 4);
    EXPECT_EQ(jobs[i].problem, cases[i].problem);
    if (cases[i].fields.empty()) continue;
    EXPECT_EQ(jobs[i].folder, cases[i].fields[0]);
    EXPECT_EQ(jobs[i].propertyName, cases[i].fields[1]);
    EXPECT_EQ(jobs[i].dataName, cases[i].fields[2]);
  }
}

RunResult RunBatch(const std::vector<std::string>& arguments, const std::string& folder,
                   const std::string& input = "", std::vector<std::string> environment = {}) {
  environment.push_back("QT_QPA_PLATFORM=offscreen");
  return RunProgram(TARVO_BATCH_PATH, arguments, folder, input, environment, 120000);
}

// The folder's name is taken as bytes, whatever their encoding.
void WriteTables(const std::string& folder, std::vector<PropertyRow> properties) {
  std::filesystem::create_directories(folder);
  properties.insert(properties.begin(), {Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE")});
  WriteDbf(folder + "/ChartPro.DBF", PropertyTable(properties));
  WriteDbf(folder + "/ChartDat.DBF",
           DataTable(1, {{"1", "Jan", {{"10", "RED"}}}, {"1", "Feb", {{"20", "BLUE"}}}}));
}

// Each job's line, in job order, whatever ends first; a failed job never stops the others.
TEST(Batch, ReportsEveryJobInOrderAndExitsOneWhenAnyFailed) {
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString();
  WriteTables(root + "/good", {Row("NOSHOW"), Row("BITMAPFILE", "out.png;60;80")});
  WriteTables(root + "/caf\xC3\xA9", {Row("NOSHOW"), Row("BITMAPFILE", "out.svg;60;80")});
  WriteTables(root + "/caf\xE9", {Row("NOSHOW"), Row("BITMAPFILE", "out.pdf;60;80")});
  WriteTables(root + "/unwritable", {Row("NOSHOW"), Row("BITMAPFILE", "no/such/out.png;60;80")});
  WriteTables(root + "/window", {});
  std::filesystem::create_directories(root + "/damaged");
  std::ofstream(root + "/damaged/ChartPro.DBF") << "not a table";
  struct Expected {
    std::string job;
    std::string outcome;
    std::string shown = job;  // the job as the report shows it
  };
  const std::vector<Expected> expected = {
      {"good", "wrote out.png"},
      {"missing", "tarvo-batch: cannot enter the folder missing: No such file or directory"},
      {"caf\xC3\xA9", "wrote out.svg"},
      {"caf\xE9", "wrote out.pdf", "caf\xC3\xA9"},
      {"unwritable", "tarvochart: Cannot write no/such/out.png: No such file or directory"},
      {"damaged", "ChartPro.DBF"},
      {"window", "made nothing: the tables ask for no image file and no print"},
      {"good P.DBF", "tarvo-batch: give both table names after the folder, or neither"},
      {"zero\xE2\x80\x8Bwidth",
       "tarvo-batch: cannot enter the folder zero\\u200Bwidth: No such file or directory",
       "zero\\u200Bwidth"},
      {"good ChartPro.DBF ChartDat.DBF", "wrote out.png"},
  };
  std::string list = "\xEF\xBB\xBFgood\n# a comment, then a blank line\n\n";
  for (const Expected& row : expected) list += row.job + "\r\n";
  const RunResult run = RunBatch({"-j", "3", "-"}, root, list);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.standardError, "");
  std::istringstream report(run.standardOutput);
  std::string line;
  ASSERT_TRUE(std::getline(report, line));
  EXPECT_EQ(line, "good\twrote out.png") << "a byte-order mark before the first job";
  for (const Expected& row : expected) {
    ASSERT_TRUE(std::getline(report, line)) << "no line for " << row.job;
    EXPECT_EQ(line.substr(0, row.shown.size() + 1), row.shown + "\t");
    EXPECT_NE(line.find(row.outcome, row.shown.size()), std::string::npos) << line;
  }
  EXPECT_FALSE(std::getline(report, line)) << line;
  EXPECT_FALSE(std::filesystem::exists(root + "/window/chart.png"));
  EXPECT_TRUE(std::filesystem::exists(root + "/caf\xE9/out.pdf"));
  for (const char* bound : {"-j1", "--jobs=256"}) {
    EXPECT_EQ(RunBatch({bound, "-"}, root, "good\n").exitCode, 0) << bound << " is taken";
  }
  const RunResult good = RunBatch({"--jobs=1", "jobs"}, root);
  EXPECT_EQ(good.exitCode, 2) << "the job list 'jobs' does not exist";
  const struct {
    std::vector<std::string> arguments;
    std::string problem;
  } wrongLines[] = {
      {{"-j", "0", "-"}, "the number of jobs at a time must be 1 to 256, not '0'"},
      {{"--jobs=257", "-"}, "the number of jobs at a time must be 1 to 256, not '257'"},
      {{"--frobnicate", "-"}, "unknown option --frobnicate"},
      {{}, "give a job list"},
      {{"-", "-j"}, "-j needs a number"},
      {{"-", "jobs"}, "give one job list"},
  };
  for (const auto& wrong : wrongLines) {
    const RunResult run = RunBatch(wrong.arguments, root, "good\n");
    EXPECT_EQ(run.exitCode, 2) << wrong.problem;
    EXPECT_EQ(run.standardOutput, "") << wrong.problem;
    EXPECT_EQ(run.standardError, "tarvo-batch: " + wrong.problem +
                                     "\nusage: tarvo-batch [-j N] JOBLIST; --help tells more\n");
  }
  const RunResult allMade = RunBatch({"-"}, root, "good\ngood\n");
  EXPECT_EQ(allMade.exitCode, 0) << allMade.standardOutput;
  EXPECT_EQ(RunBatch({"-"}, root, "good\nwindow\n").exitCode, 1) << "a job that made nothing";
  // A report that cannot be written is a failure of its own, said where it can be read.
  const RunResult lost = RunProgram("/bin/sh", {"-c", "exec \"$0\" - >/dev/full", TARVO_BATCH_PATH},
                                    root, "good\n", {"QT_QPA_PLATFORM=offscreen"});
  EXPECT_EQ(lost.exitCode, 3);
  EXPECT_EQ(lost.standardError, "tarvo-batch: cannot write to standard output: " +
                                    std::string(std::strerror(ENOSPC)) + "\n");
}

// On a terminal, standard error counts the jobs done from the first one on, at most ten times a
// second, and is cleared at the end; the report itself stays as it is elsewhere.
TEST(Batch, OnATerminalTheProgressCountsFromTheFirstJob) {
  if (QStandardPaths::findExecutable("script").isEmpty()) GTEST_SKIP() << "needs script";
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString();
  WriteTables(root + "/good", {Row("NOSHOW"), Row("BITMAPFILE", "out.png;60;80")});
  std::ofstream(root + "/jobs.txt") << "good\ngood\ngood\n";
  const std::string command = std::string(TARVO_BATCH_PATH) + " -j1 jobs.txt";
  const RunResult run =
      RunProgram("script", {"-qec", command, "/dev/null"}, root, "", {"QT_QPA_PLATFORM=offscreen"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0);
  const std::string& terminal = run.standardOutput;
  EXPECT_NE(terminal.find("\r1 of 3 done, 0 failed, "), std::string::npos) << terminal;
  EXPECT_NE(terminal.find("\r3 of 3 done, 0 failed, "), std::string::npos) << terminal;
  EXPECT_NE(terminal.find("\r\033[K"), std::string::npos) << "the line cleared at the end";
  EXPECT_NE(terminal.find("good\twrote out.png"), std::string::npos) << terminal;
}

// Jobs that print, on several threads, each send their page to the print server.
TEST(Batch, EachJobThatAsksPrintsItsPage) {
  PrintServer server;
  if (!server.Ready()) GTEST_SKIP() << server.SkipReason();
  QTemporaryDir dir;
  // The print dialog, which no one can answer here, sends the page to the default destination.
  WriteTables(dir.filePath("a").toStdString(), {Row("NOSHOW"), Row("PRINT"), Row("PRINTSETUP")});
  WriteTables(dir.filePath("b").toStdString(),
              {Row("NOSHOW"), Row("PRINT"), Row("BITMAPFILE", "b.png;60;80")});
  const RunResult run =
      RunBatch({"-j3", "-"}, dir.path().toStdString(), "a\nb\na\n", server.ClientEnvironment());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.standardOutput, "a\tprinted\nb\twrote b.png, printed\na\tprinted\n");
  const std::vector<std::string> documents = server.JobDocuments();
  ASSERT_EQ(documents.size(), 3u);
  for (const std::string& document : documents) {
    EXPECT_EQ(RunProgram("pdfinfo", {document}, dir.path().toStdString()).exitCode, 0);
  }
}

// Once the print server has not answered within a print's deadline, the later print jobs of the
// batch fail at once with that reason, each on its own line, and the other jobs go on.
// A signal while a print waits on the server, where the temporary folder makes no file without a
// name (the page then goes through a private folder): the batch leaves no page behind.
TEST(Batch, AnInterruptedPrintLeavesNoPageBehind) {
  PrintServer server;
  if (!server.Ready()) GTEST_SKIP() << server.SkipReason();
  FaultyPrintServer standIn(server);
  QTemporaryDir dir, temp;
  WriteTables(dir.filePath("print").toStdString(), {Row("NOSHOW"), Row("PRINT")});
  ASSERT_EQ(RunBatch({"-"}, dir.path().toStdString(), "print\n", standIn.ClientEnvironment())
                .standardOutput,
            "print\tprinted\n");
  standIn.Misbehave(FaultyPrintServer::Fault::Freeze, FaultyPrintServer::Way::Requests,
                    standIn.Passed().first * 3 / 4);
  std::vector<std::string> environment = standIn.ClientEnvironment();
  environment.insert(environment.end(),
                     {"QT_QPA_PLATFORM=offscreen", "TMPDIR=" + temp.path().toStdString(),
                      "XDG_RUNTIME_DIR=" + dir.path().toStdString(), "LD_PRELOAD=" SLOWCREATE_PATH,
                      "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
  const RunResult run =
      RunProgram("timeout", {"--preserve-status", "-s", "TERM", "3", TARVO_BATCH_PATH, "-"},
                 dir.path().toStdString(), "print\n", environment);
  EXPECT_EQ(run.exitCode, 128 + SIGTERM) << "ended by the signal, while it waited";
  EXPECT_EQ(
      QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(" ").toStdString(),
      "");
}

TEST(Batch, AfterAPrintRanOutOfTimeTheLaterPrintsFailAtOnce) {
  PrintServer server;
  if (!server.Ready()) GTEST_SKIP() << server.SkipReason();
  FaultyPrintServer standIn(server);
  QTemporaryDir dir;
  WriteTables(dir.filePath("print").toStdString(), {Row("NOSHOW"), Row("PRINT")});
  WriteTables(dir.filePath("image").toStdString(),
              {Row("NOSHOW"), Row("BITMAPFILE", "b.png;60;80")});
  // The server stops answering once it has made the first job, which stays on it.
  ASSERT_EQ(RunBatch({"-"}, dir.path().toStdString(), "print\n", standIn.ClientEnvironment())
                .standardOutput,
            "print\tprinted\n");
  standIn.Misbehave(FaultyPrintServer::Fault::Freeze, FaultyPrintServer::Way::Requests,
                    standIn.Passed().first * 3 / 4);
  QElapsedTimer timer;
  timer.start();
  const RunResult run =
      RunBatch({"-j2", "-"}, dir.path().toStdString(), "print\nprint\nimage\nprint\nimage\n",
               standIn.ClientEnvironment());
  // Three prints that each waited out their own 10 s would take 30 s; one deadline takes 10 s
  // and the rest, with room for a loaded machine.
  EXPECT_LT(timer.elapsed(), 25000) << "one print's deadline, not one for each";
  EXPECT_EQ(run.exitCode, 1);
  const std::string timedOut = "tarvochart: Cannot print the chart: the print server at " +
                               standIn.Socket() +
                               " did not give a complete answer within 10 seconds";
  const std::string notAsked =
      timedOut + " for an earlier job; it is not asked again in this batch.";
  const std::string jobLeft =
      "; the job tarvo-pdf-N it left on the server could not be cancelled (\"cancel "
      "tarvo-pdf-N\" does it)";
  // On two threads either of the first two prints may reach the server first and run out of
  // time; every other print fails at once, and the images are written.
  const std::string first = "print\t" + timedOut + jobLeft + ".\nprint\t" + notAsked;
  const std::string second = "print\t" + notAsked + "\nprint\t" + timedOut + jobLeft + ".";
  const std::string rest = "\nimage\twrote b.png\nprint\t" + notAsked + "\nimage\twrote b.png\n";
  const std::string report = QString::fromStdString(run.standardOutput)
                                 .replace(QRegularExpression("tarvo-pdf-[0-9]+"), "tarvo-pdf-N")
                                 .toStdString();
  EXPECT_TRUE(report == first + rest || report == second + rest) << run.standardOutput;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every example as a job, four times over on six threads (the same output name written by
// several threads at once), gives the single run's image byte for byte. (Those drawn for a reader
// of a locale of their own are left out: one batch runs in one locale.)
TEST(Batch, ImagesAreThoseOfSingleRuns) {
  QTemporaryDir dir;
  const QString single = dir.filePath("single"), tables = dir.filePath("tables");
  QProcess render;
  render.start(EXAMPLES_DIR "/render.sh",
               {TARVOCHART_PATH, DBFWRITE_PATH, single, "300", "400", tables});
  ASSERT_TRUE(render.waitForFinished(180000));
  ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
  QStringList examples = QDir(tables).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  examples.removeIf([](const QString& name) {
    return name.startsWith("business-") &&
           QFile::exists(EXAMPLES_DIR "/business/" + name.mid(9) + "/locale");
  });
  ASSERT_GE(examples.size(), 10);
  std::string list;
  for (int round = 0; round < 4; ++round) {
    for (const QString& example : examples) list += example.toStdString() + "\n";
  }
  const RunResult run = RunBatch({"-j6", "-"}, tables.toStdString(), list);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.standardOutput;
  for (const QString& example : examples) {
    SCOPED_TRACE(example.toStdString());
    const QByteArray image = Contents(tables + "/" + example + "/chart.png");
    EXPECT_FALSE(image.isEmpty());
    EXPECT_TRUE(image == Contents(single + "/" + example + ".png"));
    EXPECT_EQ(QDir(tables + "/" + example).entryList(QDir::Files).size(), 3)
        << "only the two tables and the image";
  }
}

}  // namespace
