#pragma once
#include <windows.h>

#include <chrono>
#include <string>

// A program a test starts (regsvr32, the host program): optionally with its
// stdout and stderr captured together, waited for with a time limit past
// which it is killed. A child stuck in a modal dialog nobody closes then
// fails the test instead of hanging it, and does not outlive the test
// holding the test run's output open.
class ChildProcess {
 public:
  enum class Streams { kInherited, kCaptured };

  explicit ChildProcess(std::wstring commandLine, Streams streams = Streams::kInherited) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    HANDLE writeEnd = nullptr;
    if (streams == Streams::kCaptured) {
      SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
      if (!CreatePipe(&readEnd_, &writeEnd, &inherit, 0)) {
        startError_ = GetLastError();
        return;
      }
      SetHandleInformation(readEnd_, HANDLE_FLAG_INHERIT, 0);
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
      startup.hStdOutput = writeEnd;
      startup.hStdError = writeEnd;
    }
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, writeEnd != nullptr, 0, nullptr, nullptr,
                        &startup, &process_)) {
      startError_ = GetLastError();
    }
    // Only the child holds the write end now, so the pipe ends with it.
    if (writeEnd) CloseHandle(writeEnd);
  }

  ~ChildProcess() {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) Kill();
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    if (readEnd_) CloseHandle(readEnd_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  // GetLastError of the failed start; 0 once started.
  DWORD StartError() const { return startError_; }

  // Waits for the child's end for at most `timeout`, collecting what it
  // prints; one still running then is killed. False when it was killed
  // (or never started).
  bool Wait(std::chrono::milliseconds timeout) {
    if (!Started()) return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool ended = false;
    for (;;) {
      // Read while it runs, and stop once it has ended and the pipe is
      // empty: a process it started may have inherited the pipe.
      DWORD waiting = 0;
      if (readEnd_ && PeekNamedPipe(readEnd_, nullptr, 0, nullptr, &waiting, nullptr) && waiting) {
        char buffer[4096];
        DWORD got = 0;
        if (ReadFile(readEnd_, buffer, sizeof buffer, &got, nullptr) && got) {
          output_.append(buffer, got);
          continue;
        }
      }
      if (ended) break;
      if (std::chrono::steady_clock::now() >= deadline) {
        Kill();
        return false;
      }
      ended = WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0;
    }
    return !killed_;
  }

  void Kill() {
    if (!Started()) return;
    killed_ = TerminateProcess(process_.hProcess, kKilledExitCode) != FALSE || killed_;
    WaitForSingleObject(process_.hProcess, 10000);
  }

  // The exit code once ended; STILL_ACTIVE before.
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (Started()) GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  // What the child printed so far (captured output only), as bytes.
  const std::string& Printed() const { return output_; }
  HANDLE Handle() const { return process_.hProcess; }

  static constexpr UINT kKilledExitCode = 0xDEAD;

 private:
  PROCESS_INFORMATION process_{};
  HANDLE readEnd_ = nullptr;
  DWORD startError_ = 0;
  bool killed_ = false;
  std::string output_;
};

// Runs `commandLine` to its end, killed after `timeout`; its exit code, the
// start's error code when it could not start, or kKilledExitCode.
inline DWORD RunToEnd(const std::wstring& commandLine,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(120000)) {
  ChildProcess child(commandLine);
  if (!child.Started()) return child.StartError();
  return child.Wait(timeout) ? child.ExitCode() : ChildProcess::kKilledExitCode;
}
