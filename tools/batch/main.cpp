// tarvo-batch [-j N] JOBLIST: renders many charts in one process, each job as a windowless run
// of tarvochart in its folder, on every core. One line per job on standard output, in job
// order; a progress line on standard error when it is a terminal.

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>

#include "batch/batchrun.h"
#include "chart/layout/chartfont.h"
#include "platform/application/guiprocess.h"
#include "platform/printer/cupsprinter.h"
#include "print/printchartpage.h"
#include "runtime/inputstream.h"
#include "runtime/signalcleanup.h"
#include "runtime/standardoutput.h"
#include "runtime/text.h"

namespace {

constexpr int kAllMade = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;
constexpr int kMaxThreads = 256;

constexpr const char* kHelp =
    R"(usage: tarvo-batch [-j N] JOBLIST
Renders many charts in one process: each job runs as tarvochart would run in the job's folder
with its two tables, without a window, with the same checks, messages, image files and print
jobs. JOBLIST is a file, or - for standard input; one job a line:

  FOLDER [PROPERTIES.DBF DATA.DBF]

The tables default to ChartPro.DBF and ChartDat.DBF; names are relative to the folder, and a
relative folder to the current one. Quote a field that holds blanks ("Q3 reports"); blank
lines and lines starting with # are skipped.

Each job gets one line on standard output, in job order: the job, a tab, and what it did
("wrote chart.png", "printed") or the message that ended it ("caption: text"). On a terminal,
standard error shows the progress.

  -j N, --jobs=N  run N jobs at a time (default: the number of cores)
  --help          show this text
  --version       show the version

Once a print has found the name server or the print server not answering within its time,
the later print jobs of the batch fail at once with that reason.

Exit status: 0 every job made its outputs, 1 a job ended with a message or made nothing, 2 the
command line is wrong or the job list cannot be read to its end (no job runs then), 3 the
report (or the text of --help, --version) could not be written to standard output; the jobs
run to their end all the same.

The manual page: man tarvo-batch once installed; before, in the source folder:
man -l tools/batch/tarvo-batch.1
)";

int Usage(const std::string& problem) {
  std::cerr << "tarvo-batch: " << problem << "\n"
            << "usage: tarvo-batch [-j N] JOBLIST; --help tells more\n";
  return kUsageError;
}

int Cores() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return 1;
}

std::optional<int> ThreadCount(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos) {
    return std::nullopt;
  }
  const int count = std::stoi(text);
  if (count < 1 || count > kMaxThreads) return std::nullopt;
  return count;
}

struct CommandLine {
  int threads = Cores();
  std::string jobList;
  std::string problem;
  const char* information = nullptr;  // --help or --version
};

CommandLine ReadCommandLine(int argc, char** argv) {
  CommandLine line;
  std::optional<std::string> threads;
  bool listNamed = false;
  for (int i = 1; i < argc && line.problem.empty(); ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      line.information = kHelp;
    } else if (argument == "--version") {
      line.information = "tarvo-batch " TARVO_VERSION "\n";
    } else if (argument == "-j" || argument == "--jobs") {
      if (i + 1 == argc)
        line.problem = argument + " needs a number";
      else
        threads = argv[++i];
    } else if (argument.rfind("--jobs=", 0) == 0) {
      threads = argument.substr(7);
    } else if (argument.rfind("-j", 0) == 0) {
      threads = argument.substr(2);
    } else if (argument.size() > 1 && argument[0] == '-') {
      line.problem = "unknown option " + argument;
    } else if (listNamed) {
      line.problem = "give one job list";
    } else {
      line.jobList = argument;
      listNamed = true;
    }
  }
  if (threads) {
    if (const auto count = ThreadCount(*threads)) {
      line.threads = *count;
    } else if (line.problem.empty()) {
      line.problem = "the number of jobs at a time must be 1 to 256, not '" + *threads + "'";
    }
  }
  if (line.problem.empty() && !line.information && !listNamed) line.problem = "give a job list";
  return line;
}

// The done, failed, rate and time left on one line of a terminal, at most ten times a second.
class Progress {
 public:
  Progress(std::size_t total, bool shown) : total_(total), shown_(shown) {}

  void Count(bool failed) {
    ++done_;
    if (failed) ++failed_;
    const auto now = Clock::now();
    if (!shown_ || (now - shownAt_ < std::chrono::milliseconds(100) && done_ < total_)) return;
    shownAt_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? done_ / seconds : 0;
    const double left = rate > 0 ? (total_ - done_) / rate : 0;
    std::fprintf(stderr, "\r%zu of %zu done, %zu failed, %.0f charts/s, %.0f s left\033[K", done_,
                 total_, failed_, rate, left);
  }

  void Finish() const {
    if (shown_) std::fputs("\r\033[K", stderr);
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::size_t total_;
  bool shown_;
  std::size_t done_ = 0;
  std::size_t failed_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point shownAt_{};
};

// One job prints at a time, each on a printer of its own. Once a print has run out of its time
// (the name server or the print server did not answer), the later print jobs of the batch fail
// at once with that reason, instead of each waiting for what is known not to answer.
void PrintPage(const chart::ChartDocument& chart, const PrintSettings& settings) {
  static std::mutex printing;
  static std::optional<std::string> notAnswering;
  std::lock_guard lock(printing);
  if (notAnswering) throw PrintDeadlinePassed(*notAnswering);
  try {
    CupsPrinter printer;
    PrintChartPage(printer, chart, settings);
  } catch (const PrintDeadlinePassed& error) {
    std::string text = error.Reason();
    if (text.ends_with('.')) text.pop_back();
    notAnswering = text + " for an earlier job; it is not asked again in this batch.";
    throw;
  }
}

int RunBatch(const std::vector<Job>& jobs, int threads) {
  const int baseFolder = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (baseFolder < 0) return Usage("cannot open the current folder: " + SystemReason(errno));
  Progress progress(jobs.size(), isatty(STDERR_FILENO));
  const chart::NumberLocale numbers = chart::SystemNumberLocale();
  bool anyFailed = false;
  bool reportLost = false;
  RunJobs(
      jobs, threads,
      [&](const Job& job) { return RunJobInFolder(job, baseFolder, PrintPage, numbers); },
      [&](const Job& job, const JobOutcome& outcome) {
        anyFailed = anyFailed || outcome.failed;
        const std::string line = ToPlainLine(job.line) + "\t" + outcome.text + "\n";
        // The jobs go on where the report is lost: their images are what the batch is for.
        if (!reportLost) reportLost = !WriteStandardOutput(line, "tarvo-batch");
        progress.Count(outcome.failed);
      });
  progress.Finish();
  close(baseFolder);
  if (reportLost) return kOutputLost;
  return anyFailed ? kSomeFailed : kAllMade;
}

}  // namespace

int main(int argc, char** argv) {
  KeepStandardStreamsOpen();
  RemoveTemporariesOnSignals();
  const CommandLine line = ReadCommandLine(argc, argv);
  if (!line.problem.empty()) return Usage(line.problem);
  if (line.information) {
    return WriteStandardOutput(line.information, "tarvo-batch") ? kAllMade : kOutputLost;
  }
  std::vector<Job> jobs;
  try {
    const auto list = line.jobList == "-"
                          ? InputStream::StandardInput()
                          : InputStream::Open(line.jobList, "the job list " + line.jobList);
    jobs = ReadJobList(*list);
  } catch (const ReadError& error) {
    // No job runs from a list that is not whole: which of them were meant is not known.
    std::cerr << "tarvo-batch: " << ToPlainLine(error.Text()) << "\n";
    return kUsageError;
  }
  SetUpProcess(argc, argv);
  const auto application = StartWindowlessApplication();
  // The chart's family and its rendering rule change the font configuration: once, before the
  // worker threads use it.
  chart::ChartFontFamily();
  const int status = RunBatch(jobs, line.threads);
  // Every image is on disk once the batch has ended: one write-out for all of them.
  sync();
  return status;
}
