#pragma once
// The two tables a run of the program reads, as its command line names them.

#include <string>

// The two arguments of the command line, trimmed, or with any other number of arguments the
// default tables.
struct TableNames {
  std::string property;
  std::string data;
};
TableNames TableNamesFromCommandLine();
