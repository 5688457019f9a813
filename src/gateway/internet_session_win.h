#pragma once
#include <windows.h>
#include <wininet.h>

#include <memory>

// The process's one WinINet internet handle. Keeping it open lets
// consecutive messages to the gateway reuse their connection (HTTP/1.1
// keep-alive) and spares every exchange the proxy set-up. Opened by the
// first exchange, from any thread.
//
// Every exchange holds a share of the handle for as long as its own
// connection and request handles live. Closing the session only drops the
// process's share: the handle itself is closed when the last exchange lets
// go, so that no handle of an exchange left behind outlives its parent (a
// freed value can be handed out again, and the late close would then hit
// someone else's handle). It is never closed from DllMain.
namespace internet_session {

struct Root;

class Share {
 public:
  Share() = default;
  HINTERNET get() const;
  explicit operator bool() const { return get() != nullptr; }

 private:
  friend Share Acquire(DWORD timeoutMs);
  explicit Share(std::shared_ptr<Root> root) : root_(std::move(root)) {}
  std::shared_ptr<Root> root_;
};

// A share of the open handle, opened now if need be; empty when it cannot
// be opened. `timeoutMs` applies to the handle only when this call opens it.
Share Acquire(DWORD timeoutMs);

// Lets go of the process's share; the next Acquire opens a new handle.
void Close();

// Whether an exchange still holds a share (of this handle or an earlier one).
bool InUse();

// Sets the connect, send and receive time-outs of a handle: some WinINet
// versions do not pass them down from the parent.
void SetTimeouts(HINTERNET handle, DWORD timeoutMs);

}  // namespace internet_session
