// Every program on every input that it reads, when the input cannot be read to its end: standard
// input that is a folder or closed, a job list that is a folder, and a read error of the system
// (EIO, injected with strace) at the first read and at a read in the middle. Each run says why
// with the system's reason and its exit status, and leaves what was there as it was: no table
// replaced, no job run, no image written. And every program on standard output that cannot take
// what it writes.

#include <gtest/gtest.h>

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "dbfwrite/dbfwriter.h"
#include "support/runprogram.h"
#include "support/tablerows.h"

namespace {

enum class Failure { Folder, Closed, FirstRead, MiddleRead };

// A program and the input it reads: from standard input, or the file that its arguments name.
struct Reader {
  std::string name;
  std::string program;
  std::vector<std::string> arguments;
  std::string input;    // the file that the program reads, in the test's folder
  bool standardInput;   // read on standard input, else named in the arguments
  std::string syscall;  // how the program reads it: read, or pread64 at an offset
  int middleRead;       // the number of a read in the middle of the input
  int exitStatus;
  std::string messageStart;  // the message up to the reason, {input} for the input's name
};

const std::string kOld = "old contents";

std::vector<Reader> Readers() {
  const std::string dbfwrite = DBFWRITE_PATH, batch = BATCH_PATH;
  const std::string cannotRead = "tarvo-dbfwrite: cannot read standard input: ";
  return {
      {"DbfwriteCsv",
       dbfwrite,
       {"--csv", "--header", "data", "2", "T.DBF"},
       "rows.csv",
       true,
       "read",
       3,
       1,
       cannotRead},
      {"DbfwriteKeywords",
       dbfwrite,
       {"--keywords", "properties", "T.DBF"},
       "keywords.txt",
       true,
       "read",
       3,
       1,
       cannotRead},
      {"DbfwriteBars",
       dbfwrite,
       {"data", "1", "T.DBF"},
       "bars.txt",
       true,
       "read",
       3,
       1,
       cannotRead},
      {"BatchStandardInput",
       batch,
       {"-"},
       "jobs.txt",
       true,
       "read",
       3,
       2,
       "tarvo-batch: cannot read standard input: "},
      {"BatchJobList",
       batch,
       {"jobs.txt"},
       "jobs.txt",
       false,
       "read",
       3,
       2,
       "tarvo-batch: cannot read the job list {input}: "},
      // Four reads of the header, then the records a block at a time.
      {"TarvochartDataTable",
       TARVOCHART_PATH,
       {"pool/ChartPro.DBF", "pool/ChartDat.DBF"},
       "pool/ChartDat.DBF",
       false,
       "pread64",
       6,
       0,
       "tarvochart: Cannot read pool/ChartDat.DBF: "},
      {"InspectDataTable",
       INSPECT_PATH,
       {"pool/ChartPro.DBF", "pool/ChartDat.DBF"},
       "pool/ChartDat.DBF",
       false,
       "pread64",
       6,
       1,
       "tarvochart: Cannot read pool/ChartDat.DBF: "},
  };
}

// Inputs of several reads each (a read takes 64 KiB of a stream, a megabyte of a table), made
// so that any part of them that is run or written shows.
void WriteInputs(const std::filesystem::path& folder) {
  std::string csv = "Label,A,B\n", keywords, bars, jobs = "pool\n";
  for (int i = 0; i < 20000; ++i) {
    csv += "L" + std::to_string(i) + ",1,2\n";
    keywords += "TOPTITLE title " + std::to_string(i) + "\n";
    bars += "1|L" + std::to_string(i) + "|1|red\n";
    jobs += "# job " + std::to_string(i) + " was here\n";
  }
  jobs += "pool\n";
  for (const auto& [name, text] : {std::pair{"rows.csv", csv},
                                   {"keywords.txt", keywords},
                                   {"bars.txt", bars},
                                   {"jobs.txt", jobs}}) {
    std::ofstream(folder / name, std::ios::binary) << text;
  }
  std::filesystem::create_directories(folder / "pool");
  WriteDbf(folder / "pool/ChartPro.DBF",
           PropertyTable({Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE"), Row("NOSHOW"),
                          Row("BITMAPFILE", "chart.png;100;100")}));
  std::vector<DataRow> rows(60000, DataRow{"1", "Month", {{"7", "RED"}}});
  WriteDbf(folder / "pool/ChartDat.DBF", DataTable(1, rows));
  std::filesystem::create_directories(folder / "folder");
  for (const char* old : {"T.DBF", "pool/chart.png"}) std::ofstream(folder / old) << kOld;
}

// The shell command that runs the reader with its input failing as `failure` says.
std::vector<std::string> Command(const Reader& reader, Failure failure,
                                 const std::filesystem::path& folder) {
  std::string input = reader.input, redirect;
  if (failure == Failure::Folder) input = "folder";
  if (reader.standardInput) redirect = failure == Failure::Closed ? " <&-" : " <\"$0\"";
  std::string trace;
  if (failure == Failure::FirstRead || failure == Failure::MiddleRead) {
    const int when = failure == Failure::FirstRead ? 1 : reader.middleRead;
    const std::string& call = reader.syscall;
    trace = "strace -qq -o /dev/null -P \"$0\" -e trace=" + call + " -e inject=" + call +
            ":error=EIO:when=" + std::to_string(when) + " ";
  }
  std::vector<std::string> command = {"-c", "exec " + trace + "\"$@\"" + redirect,
                                      (folder / input).string(), reader.program};
  for (const std::string& argument : reader.arguments) {
    command.push_back(!reader.standardInput && argument == reader.input ? input : argument);
  }
  return command;
}

std::string ReasonOf(Failure failure) {
  switch (failure) {
    case Failure::Folder:
      return std::strerror(EISDIR);
    case Failure::Closed:
      return "it is closed";
    default:
      return std::strerror(EIO);
  }
}

std::string Contents(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
}

std::vector<std::string> Environment() {
  return {"QT_QPA_PLATFORM=offscreen", AsanOptionsUnderTrace()};
}

TEST(ReadFailure, EveryProgramSaysWhyAndLeavesEverythingAsItWas) {
  const bool strace = !QStandardPaths::findExecutable("strace").isEmpty();
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  WriteInputs(folder);
  for (const Reader& reader : Readers()) {
    for (const Failure failure :
         {Failure::Folder, Failure::Closed, Failure::FirstRead, Failure::MiddleRead}) {
      // A table that is a folder cannot be opened at all: a refusal of its own, tested apart.
      if (!reader.standardInput && failure == Failure::Closed) continue;
      if (reader.syscall == "pread64" && failure == Failure::Folder) continue;
      if (!strace && failure != Failure::Folder && failure != Failure::Closed) continue;
      SCOPED_TRACE(reader.name + " " + ReasonOf(failure) + " at read " +
                   std::to_string(failure == Failure::MiddleRead ? reader.middleRead : 1));
      const RunResult run = RunProgram("/bin/sh", Command(reader, failure, folder), folder.string(),
                                       "", Environment());
      ASSERT_TRUE(run.finished);
      EXPECT_EQ(run.exitCode, reader.exitStatus);
      std::string message = reader.messageStart + ReasonOf(failure);
      if (const auto at = message.find("{input}"); at != std::string::npos) {
        message.replace(at, 7, failure == Failure::Folder ? "folder" : reader.input);
      }
      const std::string& told =
          reader.program == INSPECT_PATH ? run.standardOutput : run.standardError;
      EXPECT_NE(told.find(message), std::string::npos) << told;
      if (reader.program == BATCH_PATH) {
        EXPECT_EQ(run.standardOutput, "") << "no job ran";
      }
      EXPECT_EQ(Contents(folder / "T.DBF"), kOld);
      EXPECT_EQ(Contents(folder / "pool/chart.png"), kOld);
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "pool"), {}), 3)
          << "only the two tables and the old image";
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("T.DBF."))
            << "a temporary file stays: " << entry.path();
      }
    }
  }
}

// A program and what it writes to standard output: its help, its version or its report.
struct Writer {
  std::string program;
  std::vector<std::string> arguments;
  std::string input;  // on standard input
};

std::vector<Writer> Writers() {
  std::vector<Writer> writers;
  for (const std::string program : {TARVOCHART_PATH, DBFWRITE_PATH, BATCH_PATH, INSPECT_PATH}) {
    writers.push_back({program, {"--help"}, ""});
    writers.push_back({program, {"--version"}, ""});
  }
  writers.push_back({BATCH_PATH, {"-"}, "small\n"});
  writers.push_back({INSPECT_PATH, {"small/ChartPro.DBF", "small/ChartDat.DBF"}, ""});
  return writers;
}

// Runs the writer with standard output on /dev/full ("full") or on a pipe whose reader has gone
// ("pipe"), SIGPIPE at its default as a shell leaves it.
RunResult RunWithLostOutput(const Writer& writer, const std::string& output,
                            const std::filesystem::path& folder) {
  std::vector<std::string> command = {"-c",
                                      "import os, signal, sys\n"
                                      "signal.signal(signal.SIGPIPE, signal.SIG_DFL)\n"
                                      "if sys.argv[1] == 'full':\n"
                                      "    os.dup2(os.open('/dev/full', os.O_WRONLY), 1)\n"
                                      "else:\n"
                                      "    reader, writer = os.pipe()\n"
                                      "    os.close(reader)\n"
                                      "    os.dup2(writer, 1)\n"
                                      "os.execv(sys.argv[2], sys.argv[2:])\n",
                                      output, writer.program};
  command.insert(command.end(), writer.arguments.begin(), writer.arguments.end());
  return RunProgram("python3", command, folder.string(), writer.input,
                    {"QT_QPA_PLATFORM=offscreen", "DISPLAY"});
}

TEST(OutputFailure, EveryProgramSaysWhyOnceAndEndsWithStatusThree) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  std::filesystem::create_directories(folder / "small");
  WriteDbf(folder / "small/ChartPro.DBF",
           PropertyTable({Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "LINE"), Row("NOSHOW"),
                          Row("BITMAPFILE", "chart.png;100;100")}));
  WriteDbf(folder / "small/ChartDat.DBF", DataTable(1, {DataRow{"1", "Month", {{"7", "RED"}}}}));
  for (const Writer& writer : Writers()) {
    for (const auto& [output, reason] : {std::pair{"full", ENOSPC}, {"pipe", EPIPE}}) {
      const std::string name = std::filesystem::path(writer.program).filename().string();
      SCOPED_TRACE(name + " " + writer.arguments.front() + " into " + output);
      const RunResult run = RunWithLostOutput(writer, output, folder);
      ASSERT_TRUE(run.finished);
      EXPECT_EQ(run.exitCode, 3) << "-1: ended by a signal";
      EXPECT_EQ(run.standardError,
                name + ": cannot write to standard output: " + std::strerror(reason) + "\n");
    }
  }
}

// A file that is written over keeps its permissions, whatever the umask would give a new one; a
// table is on disk before it takes the old one's place.
TEST(Rewrite, KeepsThePermissionsAndSyncsATableBeforeItsRename) {
  const bool strace = !QStandardPaths::findExecutable("strace").isEmpty();
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  WriteInputs(folder);
  const struct {
    std::string command;
    std::string where;  // the folder it runs in
    std::string file;
  } rewrites[] = {
      {"\"$0\" --keywords properties T.DBF <keywords.txt", ".", "T.DBF"},
      {"\"$0\" ChartPro.DBF ChartDat.DBF", "pool", "pool/chart.png"},
  };
  for (const auto& [command, where, file] : rewrites) {
    SCOPED_TRACE(file);
    const std::string program = file == "T.DBF" ? DBFWRITE_PATH : TARVOCHART_PATH;
    std::filesystem::permissions(
        folder / file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string trace =
        strace ? "strace -f -qq -o calls -e trace=fsync,rename,renameat,renameat2 " : "";
    const RunResult run =
        RunProgram("/bin/sh", {"-c", "umask 022; exec " + trace + command, program},
                   (folder / where).string(), "", Environment());
    EXPECT_EQ(run.standardError, "");
    EXPECT_NE(Contents(folder / file), kOld);
    EXPECT_EQ(std::filesystem::status(folder / file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    if (!strace || file != "T.DBF") continue;
    const std::string calls = Contents(folder / "calls");
    const auto synced = calls.find("fsync("), renamed = calls.find("rename");
    EXPECT_NE(renamed, std::string::npos) << calls;
    EXPECT_LT(synced, renamed) << calls;
  }
}

}  // namespace
