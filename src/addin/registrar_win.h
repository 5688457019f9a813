#pragma once
#include <windows.h>

#include <vector>

#include "addin/registry_script.h"

// Writes registration data to the registry and removes it again, honouring
// each key's removal marking. Classes-root keys go to the machine's class
// registry. Both stop at the first failure and return its code.
HRESULT WriteRegistryTrees(const std::vector<RegistryTree>& trees);
HRESULT RemoveRegistryTrees(const std::vector<RegistryTree>& trees);
