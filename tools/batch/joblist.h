#pragma once
// The job list of tarvo-batch: one job a line, a folder and optionally the two table names.
//
//   reports/north                          the default tables of reports/north
//   reports/south Props.DBF Data.DBF       named tables, relative to the folder
//   "Q3 reports" ChartPro.DBF "My Data.DBF"   a field with blanks is quoted
//   # a comment                            blank lines and comment lines are no jobs
//
// A field is a run of characters up to a blank or a tab, or a quoted run in which \" stands
// for a quote and \\ for a backslash. A line may end in CR LF.

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

// The longest job line read; three paths of the system's longest length fit.
inline constexpr std::size_t kMaxJobLineBytes = 16384;

struct Job {
  std::size_t lineNumber = 0;
  std::string line;  // the job as the list gives it, without its line break
  std::string folder;
  std::string propertyName;  // as the program takes it: relative to the folder
  std::string dataName;
  std::string problem;  // why the line is no valid job; empty for a valid one
};

// The jobs of `list` in order, a refused line as a job with its problem. Reads to the end; a
// UTF-8 byte-order mark before the first line is passed over. A read error of the list is
// thrown as it comes (InputStream's ReadError), never taken for the list's end.
std::vector<Job> ReadJobList(std::istream& list);

// One line's job (blank and comment lines excepted, which the caller skips).
Job ParseJobLine(std::size_t lineNumber, std::string line);

// True for a line that holds no job: only blanks, or a comment after leading blanks.
bool IsNoJobLine(const std::string& line);
