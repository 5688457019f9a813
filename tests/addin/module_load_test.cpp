#include <windows.h>

#include <gtest/gtest.h>

// The mail client loads the add-in by path; it must load on a bare system
// (no side-by-side runtime DLLs) and unload cleanly.
TEST(AddinModule, LoadsAndUnloadsWithoutRuntimeDlls) {
  HMODULE module = LoadLibraryW(ADDIN_DLL_PATH);
  ASSERT_NE(module, nullptr) << "LoadLibrary failed: " << GetLastError();
  wchar_t path[MAX_PATH] = {};
  EXPECT_GT(GetModuleFileNameW(module, path, MAX_PATH), 0u);
  EXPECT_TRUE(FreeLibrary(module));
}
