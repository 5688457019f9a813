#include <windows.h>

#include "ui/module_instance.h"

namespace {
HINSTANCE g_module = nullptr;
}

HINSTANCE ModuleInstance() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    // The add-in never needs per-thread notifications.
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
