#pragma once
// The command line as the program got it: ParamStr(0) is the program, 1.. the arguments.

#include <string>

void SetCommandLine(int argc, char** argv);
int ParamCount();
std::string ParamStr(int index);
