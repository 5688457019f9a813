#pragma once
#include <windows.h>

// The module whose resources the dialogs load and whose path and type
// library registration writes. Declared here, below every dialog, and
// defined by the program that holds the resources: the add-in DLL
// (src/addin/dll_main.cpp) or a test program (tests/dialogs/module_instance_win.cpp).
HINSTANCE ModuleInstance();
