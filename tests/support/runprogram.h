#pragma once
// Runs the built program as a host would and collects what it reports.

#include <QProcessEnvironment>
#include <string>
#include <vector>

struct RunResult {
  bool finished = false;  // false: it had to be killed after the time-out
  int exitCode = -1;
  std::string standardError;
  std::string standardOutput;
};

// Runs `program` with `arguments` in `workingDirectory`, `input` on its standard input, in this
// process's environment with the entries given (see EnvironmentWith).
RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& workingDirectory, const std::string& input = "",
                     const std::vector<std::string>& environment = {},
                     int timeoutMilliseconds = 30000);

// Runs tarvochart with `arguments` in `workingDirectory` on the offscreen platform (no display:
// DISPLAY is removed), with the extra environment entries given: "NAME=value" sets a variable,
// "NAME" removes it. With a `wrapper` (strace, unshare ...), the wrapper runs with the program and
// its arguments after its own.
RunResult RunTarvochart(const std::vector<std::string>& arguments,
                        const std::string& workingDirectory,
                        const std::vector<std::string>& environment = {},
                        int timeoutMilliseconds = 30000,
                        const std::vector<std::string>& wrapper = {});

// This process's environment with the entries given: "NAME=value" sets a variable, "NAME"
// removes it.
QProcessEnvironment EnvironmentWith(const std::vector<std::string>& entries);

// The ASAN_OPTIONS entry for a program that strace follows: LeakSanitizer cannot work under
// ptrace, so a build with it leaves leaks alone there; the caller's other options stay.
std::string AsanOptionsUnderTrace();
