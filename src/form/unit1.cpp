#include "unit1.h"

#include "tform1.h"

std::string propertyFileName;
std::string dataFileName;
bool skipRun = false;
PrintSettings printSettings;
std::unique_ptr<TForm1> Form1;
