#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/child_process.h"

// The host program loads add-ins from the registry the way the client
// does; a test add-in shows what reached it through a marker file.
namespace {

constexpr wchar_t kProgId[] = L"QuorvalHostTest.Addin";
constexpr wchar_t kClsid[] = L"{6E0C7A3B-2F91-4C55-9B0E-3D8A61F4C2A7}";
constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Outlook\\Addins\\QuorvalHostTest.Addin";

// Linux paths reach Wine through drive Z:.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (auto& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

void SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

struct HostRun {
  DWORD exitCode = 0;
  std::string output;
};

class HostProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    marker_ = std::wstring(temp) + L"host_test_marker.txt";
    DeleteFileW(marker_.c_str());
    SetEnvironmentVariableW(L"QUORVAL_HOST_TEST_MARKER", marker_.c_str());
    // Wine's COM reads classes from the merged root only.
    SetString(HKEY_CLASSES_ROOT, std::wstring(kProgId) + L"\\CLSID", nullptr, kClsid);
    const std::wstring server = std::wstring(L"CLSID\\") + kClsid + L"\\InprocServer32";
    SetString(HKEY_CLASSES_ROOT, server, nullptr, WindowsPath(TEST_ADDIN_PATH));
    SetString(HKEY_CLASSES_ROOT, server, L"ThreadingModel", L"Apartment");
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsid).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kAddinsKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAddinsKey);
    DeleteFileW(marker_.c_str());
  }

  void RegisterAddin(HKEY root, DWORD loadBehavior) {
    ASSERT_EQ(RegSetKeyValueW(root, kAddinsKey, L"LoadBehavior", REG_DWORD, &loadBehavior,
                              sizeof loadBehavior),
              ERROR_SUCCESS);
  }

  // Runs the host with `args` and only the test add-in, stdout and stderr
  // together; other add-ins registered in the same prefix stay out.
  HostRun RunHost(const std::wstring& args) {
    return RunHostAsIs(std::wstring(L"--addin ") + kProgId + L" " + args);
  }

  HostRun RunHostAsIs(const std::wstring& args) {
    ChildProcess host(L"\"" + WindowsPath(HOST_EXE_PATH) + L"\" " + args, ChildProcess::Streams::kCaptured);
    EXPECT_TRUE(host.Started()) << host.StartError();
    EXPECT_TRUE(host.Wait(std::chrono::seconds(120))) << "the host did not end";
    return {host.ExitCode(), host.Printed()};
  }

  std::string Marker() const {
    std::ifstream file(std::filesystem::path(marker_), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::wstring StorePath(const char* name) { return WindowsPath(TEST_DATA_DIR) + L"\\" + std::wstring(name, name + strlen(name)); }

  std::wstring marker_;
};

TEST_F(HostProgramTest, LoadsTheRegisteredAddinShowsItsButtonAndDeliversAClick) {
  RegisterAddin(HKEY_CURRENT_USER, 3);
  const HostRun run = RunHost(L"--store \"" + StorePath("sample_store.json") +
                              L"\" --click TestAddinButton --exit-after --counts");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("add-in QuorvalHostTest.Addin: connected"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("toolbar \"Test Toolbar\" visible temporary"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("  button \"Test button\" tag \"TestAddinButton\" tooltip \"Writes a marker file\""),
            std::string::npos) << run.output;
  EXPECT_NE(run.output.find("window shows \"Test button\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("clicked TestAddinButton"), std::string::npos) << run.output;
  EXPECT_EQ(Marker(), "clicked TestAddinButton\ndisconnected\n");
  // Calls into the client, per member: one toolbar, one caption, and the
  // sink's Tag read plus nothing else on the button.
  EXPECT_NE(run.output.find("\nCommandBars.Add 1\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\nCommandBarButton.Caption 1\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\nCommandBarButton.Tag 2\n"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\nCommandBarButton.Advise 1\n"), std::string::npos) << run.output;
}

TEST_F(HostProgramTest, MachineWideRegistrationLoadsToo) {
  RegisterAddin(HKEY_LOCAL_MACHINE, 3);
  const HostRun run = RunHost(L"--click TestAddinButton --exit-after");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(Marker(), "clicked TestAddinButton\ndisconnected\n");
}

TEST_F(HostProgramTest, AnAddinNotSetToLoadAtStartupStaysUnloaded) {
  RegisterAddin(HKEY_CURRENT_USER, 2);
  const HostRun run = RunHost(L"--click TestAddinButton --exit-after");
  EXPECT_EQ(run.exitCode, 3u) << run.output;
  EXPECT_EQ(run.output.find("QuorvalHostTest.Addin"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("no button has the tag TestAddinButton"), std::string::npos) << run.output;
  EXPECT_EQ(Marker(), "");
}

TEST_F(HostProgramTest, OnlyTheChosenAddinsLoad) {
  RegisterAddin(HKEY_CURRENT_USER, 3);
  const HostRun run = RunHostAsIs(L"--addin Nobody.Addin --exit-after");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output.find("QuorvalHostTest.Addin"), std::string::npos) << run.output;
  EXPECT_EQ(Marker(), "");
}

TEST_F(HostProgramTest, AFailedConnectionIsReportedAndTheHostGoesOn) {
  RegisterAddin(HKEY_CURRENT_USER, 3);
  const HostRun run = RunHost(L"--store \"" + StorePath("faulty_command_bars.json") + L"\" --exit-after");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("add-in QuorvalHostTest.Addin: OnConnection failed with 0x800A01A8"),
            std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("toolbar"), std::string::npos) << run.output;
}

TEST_F(HostProgramTest, AMalformedStoreIsNamedWithThePlaceOfTheFault) {
  const HostRun run = RunHost(L"--store \"" + StorePath("malformed_store.json") + L"\" --exit-after");
  EXPECT_EQ(run.exitCode, 2u) << run.output;
  EXPECT_NE(run.output.find("malformed_store.json: at line 4, column 5: invalid JSON"), std::string::npos)
      << run.output;
}

TEST_F(HostProgramTest, AMissingStoreAndABadCommandLineAreRefused) {
  HostRun run = RunHost(L"--store Z:\\no\\such\\store.json --exit-after");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_NE(run.output.find("store.json: cannot open the store file"), std::string::npos) << run.output;
  run = RunHost(L"--bogus");
  EXPECT_EQ(run.exitCode, 64u);
  EXPECT_NE(run.output.find("unknown option --bogus"), std::string::npos) << run.output;
  for (const wchar_t* limit : {L"-1", L"25x", L"99999999999"}) {
    run = RunHost(std::wstring(L"--open-item-limit ") + limit + L" --exit-after");
    EXPECT_EQ(run.exitCode, 64u) << run.output;
    EXPECT_NE(run.output.find("--open-item-limit needs a number of items"), std::string::npos)
        << run.output;
  }
  EXPECT_EQ(RunHost(L"--open-item-limit 250 --exit-after").exitCode, 0u);
}

}  // namespace
