#include "batch/joblist.h"

#include <optional>

#include "startup/creationpass.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Fields {
  std::vector<std::string> values;
  std::string problem;
};

// Reads a quoted field from just after its opening quote; nullopt when it never closes.
std::optional<std::string> QuotedField(const std::string& line, std::size_t& at) {
  std::string field;
  while (at < line.size()) {
    const char c = line[at++];
    if (c == '"') return field;
    if (c == '\\' && at < line.size() && (line[at] == '"' || line[at] == '\\')) {
      field += line[at++];
    } else {
      field += c;
    }
  }
  return std::nullopt;
}

Fields SplitFields(const std::string& line) {
  Fields fields;
  std::size_t at = 0;
  while (true) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return fields;
    if (line[at] == '"') {
      ++at;
      const auto field = QuotedField(line, at);
      if (!field) {
        fields.problem = "a quoted field is not closed";
        return fields;
      }
      fields.values.push_back(*field);
    } else {
      const std::size_t start = at;
      while (at < line.size() && !IsBlank(line[at])) ++at;
      fields.values.push_back(line.substr(start, at - start));
    }
  }
}

std::string FieldProblem(const std::vector<std::string>& values) {
  if (values.size() == 2) return "give both table names after the folder, or neither";
  if (values.size() > 3) {
    return "more than a folder and two table names; quote a name that holds blanks";
  }
  for (const std::string& value : values) {
    if (value.empty()) return "a quoted field is empty";
  }
  return {};
}

// Reads one line of at most kMaxJobLineBytes; a longer line is read to its end and cut, and
// `tooLong` says so. False at the end of the list.
bool ReadBoundedLine(std::istream& list, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  bool any = false;
  for (int c = list.get(); c != std::char_traits<char>::eof(); c = list.get()) {
    any = true;
    if (c == '\n') return true;
    if (line.size() < kMaxJobLineBytes) {
      line += static_cast<char>(c);
    } else {
      tooLong = true;
    }
  }
  return any;
}

}  // namespace

bool IsNoJobLine(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || line[first] == '#';
}

Job ParseJobLine(std::size_t lineNumber, std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  Job job{lineNumber, line, {}, kDefaultPropertyFileName, kDefaultDataFileName, {}};
  if (line.find('\0') != std::string::npos) {
    job.problem = "the line holds a NUL byte, which no file name can hold";
    return job;
  }
  Fields fields = SplitFields(line);
  if (fields.problem.empty()) fields.problem = FieldProblem(fields.values);
  if (!fields.problem.empty()) {
    job.problem = fields.problem;
    return job;
  }
  job.folder = fields.values[0];
  if (fields.values.size() == 3) {
    job.propertyName = fields.values[1];
    job.dataName = fields.values[2];
  }
  return job;
}

std::vector<Job> ReadJobList(std::istream& list) {
  std::vector<Job> jobs;
  std::string line;
  bool tooLong = false;
  for (std::size_t number = 1; ReadBoundedLine(list, line, tooLong); ++number) {
    // An editor's byte-order mark is no part of the first job's folder.
    if (number == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
    if (tooLong) {
      Job job{number, line.substr(0, 60) + "...", {}, {}, {}, {}};
      job.problem = "the line is longer than " + std::to_string(kMaxJobLineBytes) + " bytes";
      jobs.push_back(std::move(job));
    } else if (!IsNoJobLine(line)) {
      jobs.push_back(ParseJobLine(number, std::move(line)));
    }
  }
  return jobs;
}
