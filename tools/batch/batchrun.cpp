#include "batch/batchrun.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>
#include <thread>

#include "runtime/text.h"

namespace {

constexpr const char* kBatchName = "tarvo-batch";

JobOutcome Failure(std::string text) { return {true, std::move(text)}; }

// Hands the outcomes to the sink in job order, whichever thread finishes first.
class OrderedOutcomes {
 public:
  OrderedOutcomes(const std::vector<Job>& jobs, const OutcomeSink& sink)
      : jobs_(jobs), sink_(sink), outcomes_(jobs.size()) {}

  void Deliver(std::size_t index, JobOutcome outcome) {
    std::lock_guard lock(mutex_);
    outcomes_[index] = std::move(outcome);
    while (next_ < outcomes_.size() && outcomes_[next_]) {
      sink_(jobs_[next_], *outcomes_[next_]);
      outcomes_[next_].reset();
      ++next_;
    }
  }

 private:
  const std::vector<Job>& jobs_;
  const OutcomeSink& sink_;
  std::mutex mutex_;
  std::vector<std::optional<JobOutcome>> outcomes_;
  std::size_t next_ = 0;
};

// Gives the calling thread a working folder of its own. Where the system does not allow it,
// the jobs run one at a time, as they all share the process's folder.
bool OwnWorkingFolder() { return unshare(CLONE_FS) == 0; }

// A job's error never reaches the thread: it ends that job alone.
JobOutcome RunGuarded(const JobRunner& run, const Job& job) {
  try {
    return run(job);
  } catch (const std::exception& error) {
    return Failure(std::string(kBatchName) + ": " + ToPlainLine(error.what()));
  }
}

}  // namespace

JobOutcome DescribeRun(const HeadlessOutcome& run) {
  if (run.message) {
    return Failure(MessageLine(run.message->caption, run.message->text));
  }
  std::string text;
  if (!run.imageFile.empty()) text = "wrote " + ToPlainLine(run.imageFile);
  if (run.printed) text += text.empty() ? "printed" : ", printed";
  // A job that makes nothing has lost its chart as surely as one that failed.
  if (text.empty()) return Failure("made nothing: the tables ask for no image file and no print");
  return {false, text};
}

JobOutcome RunJobInFolder(const Job& job, int baseFolder, const PrintRoutine& print,
                          const chart::NumberLocale& numbers) {
  if (!job.problem.empty()) return Failure(std::string(kBatchName) + ": " + job.problem);
  if (fchdir(baseFolder) != 0 || chdir(job.folder.c_str()) != 0) {
    const std::string reason = SystemReason(errno);
    return Failure(std::string(kBatchName) + ": cannot enter the folder " + Excerpt(job.folder) +
                   ": " + reason);
  }
  return DescribeRun(RunHeadless(job.propertyName, job.dataName, print, numbers));
}

void RunJobs(const std::vector<Job>& jobs, int threads, const JobRunner& run,
             const OutcomeSink& sink) {
  OrderedOutcomes outcomes(jobs, sink);
  std::atomic<std::size_t> next{0};
  std::mutex sharedFolder;
  auto work = [&] {
    const bool own = OwnWorkingFolder();
    for (std::size_t index = next++; index < jobs.size(); index = next++) {
      std::unique_lock lock(sharedFolder, std::defer_lock);
      if (!own) lock.lock();
      outcomes.Deliver(index, RunGuarded(run, jobs[index]));
    }
  };
  std::vector<std::thread> workers;
  for (int i = 0; i < threads; ++i) workers.emplace_back(work);
  for (std::thread& worker : workers) worker.join();
}
