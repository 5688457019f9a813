#pragma once
#include <windows.h>

// What DllRegisterServer and DllUnregisterServer do: the registration data
// (resource 2001) and the type library, machine-wide.
HRESULT RegisterServer();
HRESULT UnregisterServer();
