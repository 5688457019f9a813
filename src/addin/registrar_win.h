#pragma once
#include <windows.h>

#include <vector>

#include "addin/registry_script.h"

// Who a registration is for. Machine: classes-root keys go to the
// machine's class registry. User: they go to the user's own
// (HKCU\Software\Classes), and the machine's keys are left alone, so that
// no administrator is needed.
enum class RegistrationScope { Machine, User };

// Writes registration data to the registry and removes it again, honouring
// each key's removal marking. Both stop at the first failure and return its
// code.
HRESULT WriteRegistryTrees(const std::vector<RegistryTree>& trees, RegistrationScope scope);
HRESULT RemoveRegistryTrees(const std::vector<RegistryTree>& trees, RegistrationScope scope);
