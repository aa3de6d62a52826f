#pragma once
// Runs the jobs of a job list on worker threads, each job as a windowless run of the program in
// the job's folder, and hands over their outcomes in job order.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "batch/joblist.h"
#include "chart/model/numberformat.h"
#include "startup/headlessrun.h"

// What one job did, as its line of the batch's report says it.
struct JobOutcome {
  bool failed = false;
  std::string text;  // "wrote chart.png", "caption: text", ...
};

// The report's text for a run that ended: what it wrote and printed, or its message.
JobOutcome DescribeRun(const HeadlessOutcome& run);

// Runs `job` in its folder, relative to the folder `baseFolder` (an open descriptor). The
// calling thread must have a working folder of its own (see RunJobs).
// The charts write their numbers as `numbers` says.
JobOutcome RunJobInFolder(const Job& job, int baseFolder, const PrintRoutine& print,
                          const chart::NumberLocale& numbers);

using JobRunner = std::function<JobOutcome(const Job& job)>;
// Called once per job, in job order, never by two threads at once.
using OutcomeSink = std::function<void(const Job& job, const JobOutcome& outcome)>;

// Runs every job on `threads` worker threads, each with a working folder of its own, so that
// each job can enter its folder as a single run would. Returns when all jobs have ended.
void RunJobs(const std::vector<Job>& jobs, int threads, const JobRunner& run,
             const OutcomeSink& sink);
