#include "form/unit1.h"

std::string propertyFileName;
std::string dataFileName;
bool skipRun = false;
PrintSettings printSettings;
