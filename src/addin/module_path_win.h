#pragma once
#include <string>

// Full file name of the module the add-in code lives in.
std::wstring ModulePath();
