#include "ui/module_instance.h"

// Test programs link the add-in's code and resources into the program
// itself.
HINSTANCE ModuleInstance() { return GetModuleHandleW(nullptr); }
