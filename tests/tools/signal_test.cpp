// Every program that writes a file, interrupted by each signal in the middle of the write: it
// ends as that signal ends a program, and its folder holds what it held before, no temporary
// file, no part of the new one. tarvo-dbfwrite is caught while it waits for the rest of its
// input, also where its folder takes no file without a name; tarvochart and tarvo-batch while
// strace holds their first write back. And every writer while its named file is being made.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "dbfwrite/dbfwriter.h"
#include "support/tablerows.h"

namespace {

struct Writer {
  std::string name;
  std::string program;
  std::vector<std::string> arguments;
  bool underStrace;  // else fed a first line on standard input, which stays open
};

std::vector<Writer> Writers() {
  return {
      {"tarvo-dbfwrite", DBFWRITE_PATH, {"--keywords", "properties", "T.DBF"}, false},
      {"tarvochart", TARVOCHART_PATH, {"ChartPro.DBF", "ChartDat.DBF"}, true},
      {"tarvo-batch", BATCH_PATH, {"-j2", "jobs.txt"}, true},
  };
}

// Each writer with a file without a name; tarvo-dbfwrite, which waits on its input while it
// writes, also with a named one.
std::vector<std::pair<Writer, bool>> WritesToInterrupt() {
  std::vector<std::pair<Writer, bool>> writes;
  for (const Writer& writer : Writers()) {
    writes.push_back({writer, false});
    if (!writer.underStrace) writes.push_back({writer, true});
  }
  return writes;
}

void WriteFolder(const QString& folder) {
  const std::filesystem::path path = folder.toStdString();
  WriteDbf(path / "ChartPro.DBF",
           PropertyTable({Row("DATASETCOUNT", "1"), Row("CHARTSTYLE", "PIE"), Row("NOSHOW"),
                          Row("BITMAPFILE", "chart.png;300;400")}));
  WriteDbf(path / "ChartDat.DBF", DataTable(1, {{"1", "Jan", {{"10", "RED"}}}}));
  std::ofstream(path / "jobs.txt") << ".\n";
  for (const char* old : {"T.DBF", "chart.png"}) std::ofstream(path / old) << "old contents";
}

// The number of the process below `root` that runs `program` (strace's child), 0 while none.
pid_t ProcessRunning(pid_t root, const std::string& program) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string pid, command, state;
    pid_t parent = 0;
    stat >> pid >> command >> state >> parent;
    std::error_code error;
    if (parent == root && std::filesystem::read_symlink(entry.path() / "exe", error) == program) {
      return pid_t(std::stoi(name));
    }
  }
  return 0;
}

// True once `pid` holds a file open in `folder` that is not one of its inputs: the file it
// writes, with or without a name.
bool WritesInto(pid_t pid, const std::string& folder) {
  std::error_code error;
  for (const auto& fd :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
    if (target.starts_with(folder + "/#") || target.starts_with(folder + "/T.DBF.") ||
        target.starts_with(folder + "/chart.png.")) {
      return true;
    }
  }
  return false;
}

// Starts the writer in `folder`; the number of the process that writes, 0 when it never began.
// A `named` write finds no file without a name in the folder (strace refuses them) and writes
// one with a name, which the signal's handler must remove.
pid_t StartWriting(const Writer& writer, const QString& folder, bool named, QProcess& process) {
  process.setWorkingDirectory(folder);
  QStringList arguments;
  for (const std::string& argument : writer.arguments) {
    arguments << (argument == "T.DBF" ? folder + "/T.DBF" : QString::fromStdString(argument));
  }
  const bool traced = writer.underStrace || named;
  if (traced) {
    arguments.prepend(QString::fromStdString(writer.program));
    const QStringList refuse =
        named ? QStringList{"-P",           folder, "-e",
                            "trace=openat", "-e",   "inject=openat:error=EOPNOTSUPP"}
              : QStringList{"-e", "trace=pwrite64", "-e",
                            "inject=pwrite64:delay_enter=1500000:when=1"};
    arguments = QStringList{"-f", "-qq", "-o", "/dev/null"} + refuse + arguments;
    process.start("strace", arguments);
  } else {
    process.start(QString::fromStdString(writer.program), arguments);
  }
  if (!writer.underStrace) process.write("DATASETCOUNT 1\n");
  process.waitForStarted();
  for (int wait = 0; wait < 300; ++wait) {
    const pid_t pid = traced ? ProcessRunning(pid_t(process.processId()), writer.program)
                             : pid_t(process.processId());
    if (pid != 0 && WritesInto(pid, folder.toStdString())) return pid;
    QThread::msleep(20);
  }
  return 0;
}

TEST(Signals, AWriterInterruptedLeavesTheFolderAsItWas) {
  const bool strace = !QStandardPaths::findExecutable("strace").isEmpty();
  for (const auto& [writer, named] : WritesToInterrupt()) {
    if ((writer.underStrace || named) && !strace) continue;
    // A named file cannot outlive SIGKILL: Linux runs no handler for it.
    for (const int signal : named ? std::vector{SIGINT, SIGTERM, SIGHUP}
                                  : std::vector{SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
      SCOPED_TRACE(writer.name + (named ? " (named file) " : " ") + strsignal(signal));
      QTemporaryDir dir;
      WriteFolder(dir.path());
      const QStringList before = QDir(dir.path()).entryList(QDir::Files);
      QProcess process;
      process.setEnvironment({"QT_QPA_PLATFORM=offscreen", "PATH=/usr/bin:/bin"});
      const pid_t pid = StartWriting(writer, dir.path(), named, process);
      ASSERT_NE(pid, 0) << "the write never began";
      kill(pid, signal);
      ASSERT_TRUE(process.waitForFinished(20000));
      EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
      EXPECT_EQ(process.exitCode(), signal) << "ended as the signal ends a program";
      EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
      QFile image(dir.filePath("chart.png"));
      ASSERT_TRUE(image.open(QIODevice::ReadOnly));
      EXPECT_EQ(image.readAll(), "old contents");
    }
  }
}

// On a file system without files without a name whose creates are slow (NFS), a signal comes
// while the named temporary file is being made: the file is there, its maker not yet back.
TEST(Signals, AWriterInterruptedWhileItMakesItsNamedFileLeavesNothing) {
  for (const Writer& writer : Writers()) {
    SCOPED_TRACE(writer.name);
    QTemporaryDir dir;
    WriteFolder(dir.path());
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    const QString made = writer.name == "tarvo-dbfwrite" ? "T.DBF.*" : "chart.png.*";
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.setEnvironment({"QT_QPA_PLATFORM=offscreen", "PATH=/usr/bin:/bin",
                            "LD_PRELOAD=" SLOWCREATE_PATH,
                            "TARVO_SLOW_CREATE_MATCH=" + QString(made).chopped(1),
                            "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"});
    QStringList arguments;
    for (const std::string& argument : writer.arguments) {
      arguments << (argument == "T.DBF" ? dir.filePath("T.DBF") : QString::fromStdString(argument));
    }
    process.start(QString::fromStdString(writer.program), arguments);
    ASSERT_TRUE(process.waitForStarted());
    bool seen = false;
    for (int wait = 0; wait < 4000 && !seen; ++wait) {
      seen = !QDir(dir.path()).entryList({made}, QDir::Files).isEmpty();
      if (!seen) QThread::msleep(5);
    }
    ASSERT_TRUE(seen) << "the named file was never made";
    kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).join(" ").toStdString(),
              before.join(" ").toStdString());
  }
}

}  // namespace
