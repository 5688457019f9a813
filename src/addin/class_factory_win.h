#pragma once
#include <windows.h>

#include <unknwn.h>

// The class factory of the add-in class: made on the first request, kept by
// the module until it is unloaded. Its clients hold one module count
// between them.
HRESULT GetAddinClassFactory(REFIID riid, void** out);
