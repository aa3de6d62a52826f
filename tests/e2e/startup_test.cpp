// Runs the built program as a host would: tables written to a folder, the names on the command
// line, and what it reports on standard error.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "dbfwrite/dbfwriter.h"
#include "support/runprogram.h"

namespace {

const std::string kCorrupt =
    "Tarvo Technologies Chart Routine Notice!: "
    "Inaccessible or Corrupt ChartDat.DBF or ChartPro.DBF file.\n";
const std::string kNoWindow =
    "tarvochart: No display can be reached; the chart window cannot be shown.\n";

class Startup : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  std::string Folder() const { return dir_.path().toStdString(); }

  void WriteTables(const std::string& properties = "ChartPro.DBF",
                   const std::string& data = "ChartDat.DBF") const {
    WriteDbf(Path(properties), SoundProperties());
    WriteDbf(Path(data), SoundData());
  }

  static DbfTable SoundProperties() {
    return PropertyTable({{"1", "1", "DATASETCOUNT", "1"}, {"1", "1", "CHARTSTYLE", "VERTBAR"}});
  }
  static DbfTable SoundData() {
    return DataTable(1, {{"1", "Jan", {{"10", "RED"}}}, {"1", "Feb", {{"12", ""}}}});
  }

  RunResult Run(const std::vector<std::string>& arguments) const {
    RunResult result = RunTarvochart(arguments, Folder());
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    return result;
  }

  QTemporaryDir dir_;
};

TEST_F(Startup, WithoutTwoArgumentsTheDefaultNamesAreUsed) {
  for (const auto& arguments :
       std::vector<std::vector<std::string>>{{}, {"other.dbf"}, {"a.dbf", "b.dbf", "c.dbf"}}) {
    EXPECT_EQ(Run(arguments).standardError,
              "TarvoChart Notice: Could not open file(s): ChartPro.DBF or ChartDat.DBF\n");
  }
  WriteTables();
  EXPECT_EQ(Run({"only-one.dbf"}).standardError, kNoWindow);
}

// A refusal shown by the window part where no one can see a window (the minimal platform) is
// told on standard error once, and the run ends by itself instead of waiting on a box.
TEST_F(Startup, ARefusalWithoutADisplayEndsTheRunThroughTheWindowPartToo) {
  const RunResult result = RunTarvochart({}, Folder(), {"QT_QPA_PLATFORM=minimal"}, 10000);
  EXPECT_TRUE(result.finished) << "the run waits on a message box no one can see";
  EXPECT_EQ(result.standardError,
            "TarvoChart Notice: Could not open file(s): ChartPro.DBF or ChartDat.DBF\n");
}

// The program copied apart from its window and print part says, in the system's words, why the
// part cannot be loaded when the tables ask for a print: none there, or a file that is none.
TEST_F(Startup, WithoutItsWindowPartTheProgramSaysWhyItCannotPrint) {
  QTemporaryDir apart;
  const QString program = apart.filePath("tarvochart");
  ASSERT_TRUE(QFile::copy(TARVOCHART_PATH, program));
  WriteDbf(Path("ChartPro.DBF"), PropertyTable({{"1", "1", "DATASETCOUNT", "1"},
                                                {"1", "1", "CHARTSTYLE", "VERTBAR"},
                                                {"1", "1", "NOSHOW", ""},
                                                {"1", "1", "PRINT", ""}}));
  WriteDbf(Path("ChartDat.DBF"), SoundData());
  const std::string part = apart.filePath("libtarvochart-window.so").toStdString();
  const std::pair<bool, std::string> cases[] = {
      {false, "cannot open shared object file: No such file or directory"},
      {true, "file too short"}};
  for (const auto& [present, reason] : cases) {
    if (present) QFile(QString::fromStdString(part)).open(QIODevice::WriteOnly);
    const RunResult result = RunProgram(program.toStdString(), {"ChartPro.DBF", "ChartDat.DBF"},
                                        Folder(), "", {"QT_QPA_PLATFORM=offscreen"}, 30000);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError,
              "tarvochart: The window and print part of the program cannot be loaded: " + part +
                  ": " + reason + "\n");
  }
}

// Only "--help" or "--version", alone and exactly so, is not a table name.
TEST_F(Startup, HelpOrVersionAsTheOnlyArgumentPrintsThatAndNothingElseHappens) {
  WriteTables();
  const std::string defaults = kNoWindow;
  struct Case {
    std::vector<std::string> arguments;
    std::string outputStart;
    std::string error;
  };
  for (const Case& c : std::vector<Case>{
           {{"--help"}, "Usage: tarvochart PROPERTIES.DBF DATA.DBF\n", ""},
           {{"--version"}, "tarvochart " TARVO_VERSION "\n", ""},
           {{"--HELP"}, "", defaults},
           {{" --version"}, "", defaults},
           {{"-h"}, "", defaults},
           {{"--help", "ChartDat.DBF"},
            "",
            "TarvoChart Notice: Could not open file(s): --help or ChartDat.DBF\n"},
           {{"--version", "--help", "x"}, "", defaults},
       }) {
    const RunResult result = Run(c.arguments);
    EXPECT_EQ(result.standardOutput.substr(0, c.outputStart.size()), c.outputStart)
        << c.arguments.front();
    if (c.outputStart.empty()) {
      EXPECT_EQ(result.standardOutput, "") << c.arguments.front();
    }
    EXPECT_EQ(result.standardError, c.error) << c.arguments.front();
  }
  EXPECT_EQ(Run({"--version"}).standardOutput, "tarvochart " TARVO_VERSION "\n");
}

TEST_F(Startup, NamesAreTrimmedAndMayHoldBlanksAndPaths) {
  ASSERT_TRUE(QDir(dir_.path()).mkpath("other folder"));
  WriteTables("other folder/my props.dbf", "my data.dbf");
  EXPECT_EQ(Run({"  other folder/my props.dbf\t", " my data.dbf "}).standardError, kNoWindow);
  EXPECT_EQ(Run({Path("other folder/my props.dbf"), Path("my data.dbf")}).standardError, kNoWindow);
}

TEST_F(Startup, ANameEmptyAfterTrimmingCannotBeOpened) {
  WriteTables();
  EXPECT_EQ(Run({"  ", "ChartDat.DBF"}).standardError,
            "TarvoChart Notice: Could not open file(s):  or ChartDat.DBF\n");
}

TEST_F(Startup, ThingsThatAreNotTablesAreRefusedWithoutWaiting) {
  WriteTables();
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  ASSERT_TRUE(QDir(dir_.path()).mkpath("folder.dbf"));
  for (const std::string& name :
       {Path("fifo"), Path("folder.dbf"), std::string("/dev/null"), std::string("/dev/zero")}) {
    EXPECT_EQ(Run({name, "ChartDat.DBF"}).standardError,
              "TarvoChart Notice: Could not open file(s): " + name + " or ChartDat.DBF\n");
  }
}

TEST_F(Startup, DamagedTablesGetTheirMessageOnce) {
  WriteTables();
  DbfTable foreign = SoundData();
  foreign.version = 0x83;
  WriteDbf(Path("foreign.dbf"), foreign);
  EXPECT_EQ(Run({"ChartPro.DBF", "foreign.dbf"}).standardError,
            "TarvoChart Notice: ChartPro.DBF or foreign.dbf invalid file type(s).\n");

  DbfTable zeroLength = SoundData();
  zeroLength.damage.recordLength = 0;
  WriteDbf(Path("zero.dbf"), zeroLength);
  DbfTable countTooLarge = SoundProperties();
  countTooLarge.damage.recordCount = 4000000000u;
  WriteDbf(Path("count.dbf"), countTooLarge);
  DbfTable cut = SoundData();
  cut.damage.cutBytes = 40;
  WriteDbf(Path("cut.dbf"), cut);
  QFile short_(QString::fromStdString(Path("short.dbf")));
  ASSERT_TRUE(short_.open(QIODevice::WriteOnly));
  short_.write("\x03\x7e\x0c", 3);
  short_.close();
  for (const auto& [properties, data] :
       std::vector<std::pair<std::string, std::string>>{{"ChartPro.DBF", "zero.dbf"},
                                                        {"count.dbf", "ChartDat.DBF"},
                                                        {"ChartPro.DBF", "cut.dbf"},
                                                        {"short.dbf", "ChartDat.DBF"}}) {
    EXPECT_EQ(Run({properties, data}).standardError, kCorrupt) << properties << " " << data;
  }
}

QByteArray Fingerprint(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  struct stat info {};
  stat(path.c_str(), &info);
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256) +
         QByteArray::number(qint64(info.st_mtim.tv_sec)) +
         QByteArray::number(qint64(info.st_mtim.tv_nsec));
}

TEST_F(Startup, TablesAreNeverChanged) {
  WriteTables();
  DbfTable cut = SoundData();
  cut.damage.cutBytes = 40;
  WriteDbf(Path("cut.dbf"), cut);
  const QByteArray properties = Fingerprint(Path("ChartPro.DBF"));
  const QByteArray data = Fingerprint(Path("ChartDat.DBF"));
  const QByteArray damaged = Fingerprint(Path("cut.dbf"));
  Run({});
  Run({"ChartPro.DBF", "cut.dbf"});
  EXPECT_EQ(Fingerprint(Path("ChartPro.DBF")), properties);
  EXPECT_EQ(Fingerprint(Path("ChartDat.DBF")), data);
  EXPECT_EQ(Fingerprint(Path("cut.dbf")), damaged);
}

// Another process writing the table holds a write lock on it, of either kind (fcntl's or
// flock's): the table cannot be opened. A reader's shared lock lets it be read.
TEST_F(Startup, ATableLockedForWritingIsNotOpened) {
  WriteTables();
  const struct {
    const char* lock;  // Perl that locks the file F
    bool refused;
  } locks[] = {
      {"fcntl(F, F_SETLK, $write)", true},
      {"flock(F, LOCK_EX)", true},
      {"flock(F, LOCK_SH)", false},
  };
  for (const auto& [lock, refused] : locks) {
    SCOPED_TRACE(lock);
    QProcess writer;
    writer.start("perl",
                 {"-e",
                  QString("use Fcntl qw(:DEFAULT :flock); open(F, '+<', $ARGV[0]) or die;"
                          "$| = 1; my $write = pack('s s x4 q q i x4', F_WRLCK, 0, 0, 0, 0);"
                          "%1 or die; print qq(locked\\n); sleep 30")
                      .arg(lock),
                  QString::fromStdString(Path("ChartDat.DBF"))});
    ASSERT_TRUE(writer.waitForReadyRead(5000)) << writer.readAllStandardError().toStdString();
    EXPECT_EQ(Run({}).standardError,
              refused ? "TarvoChart Notice: Could not open file(s): ChartPro.DBF or ChartDat.DBF\n"
                      : kNoWindow);
    writer.kill();
    writer.waitForFinished();
  }
  EXPECT_EQ(Run({}).standardError, kNoWindow);
}

TEST_F(Startup, TablesFromAnotherWriterAreRead) {
  // Debian's shapelib tools write dBASE III tables independently of this project.
  if (system("command -v dbfcreate >/dev/null 2>&1") != 0) GTEST_SKIP() << "shapelib missing";
  const std::string command = "cd '" + Folder() +
                              "' && dbfcreate props -s LEAD 1 -s DATASET 2 -s KEYWORD 30"
                              " -s VALUE 100 && dbfadd props 1 1 DATASETCOUNT 1"
                              " && dbfadd props 1 1 CHARTSTYLE LINE"
                              " && dbfcreate data -s LEAD 2 -s LABEL 30 -s VALUE 20 -s COLOR 10"
                              " && dbfadd data 1 Jan 3.5 RED";
  ASSERT_EQ(system(command.c_str()), 0);
  EXPECT_EQ(Run({"props.dbf", "data.dbf"}).standardError, kNoWindow);
}

// A host that forces a platform that cannot start, a misspelt one, or one without its display:
// the run still ends normally, on the offscreen platform.
TEST_F(Startup, AForcedPlatformThatCannotStartFallsBackToOffscreen) {
  WriteTables();
  for (const char* platform : {"xcb", "wayland", "xbc", "xcb:nonsense=1", " "}) {
    const RunResult result =
        RunTarvochart({}, Folder(), {std::string("QT_QPA_PLATFORM=") + platform});
    EXPECT_TRUE(result.finished) << platform;
    EXPECT_EQ(result.exitCode, 0) << platform;
    EXPECT_EQ(result.standardError, kNoWindow) << platform;
  }
}

// Standard error is a pipe whose reader has gone before the message is written.
TEST_F(Startup, AStandardErrorWithoutReaderDoesNotEndTheRun) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  close(pipeEnds[0]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(pipeEnds[1], STDERR_FILENO);
    signal(SIGPIPE, SIG_DFL);  // as a shell leaves it for the programs it starts
    unsetenv("DISPLAY");
    execl(TARVOCHART_PATH, TARVOCHART_PATH, "missing.dbf", "other.dbf", nullptr);
    _exit(127);
  }
  close(pipeEnds[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Whatever a table or a name holds, the standard-error line is one line of plain text.
TEST_F(Startup, TheErrorLineShowsControlBytesEscaped) {
  WriteTables();
  WriteDbf(Path("P.DBF"),
           PropertyTable({{"1", "1", "PRINTPAGETEXT", std::string("T;1;2;A;1\0\x1B[2J\r", 15)}}));
  EXPECT_EQ(Run({"P.DBF", "ChartDat.DBF"}).standardError,
            "tarvochart: P.DBF, record 1, field value item 5 (font size): "
            "'1\\x00\\x1B[2J' is not a valid integer value\n");
  EXPECT_EQ(Run({"a\tb\x1B]0;x\x07.dbf", "ChartDat.DBF"}).standardError,
            "TarvoChart Notice: Could not open file(s): a\\x09b\\x1B]0;x\\x07.dbf or "
            "ChartDat.DBF\n");
}

}  // namespace
