#pragma once
#include <windows.h>

#include "addin/registrar_win.h"

// What DllRegisterServer and DllUnregisterServer do: the registration data
// (resource 2001) and the type library, machine-wide.
HRESULT RegisterServer();
HRESULT UnregisterServer();

// What DllInstall does for "user": the class, its ProgIDs and the add-in key
// for the current user alone, with no administrator. The type library is
// not registered: the add-in reads its type information from its own file,
// and the per-user registration of a type library is not declared by our
// headers nor honoured by Wine.
HRESULT RegisterServerForUser();
HRESULT UnregisterServerForUser();
