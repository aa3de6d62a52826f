#pragma once
// What every program writes to standard output: its help, its version, its report. A text that
// does not get out whole (a full disk, a reader that has gone) is a failure of its own, said in
// one line on standard error and with one exit status in every program, as whoever reads the
// output would take a cut text for the whole one.

#include <string_view>

// The exit status of every program whose standard output could not take its text.
inline constexpr int kOutputLost = 3;

// Makes a reader that has gone (a closed pipe) a failed write instead of the end of the process
// (SIGPIPE), for the rest of the process.
void SurviveClosedPipes();

// Writes `text` to standard output, all of it; false where it cannot, after telling why on
// standard error, "PROGRAM: cannot write to standard output: REASON", once in the process.
bool WriteStandardOutput(std::string_view text, std::string_view program);
