#pragma once
#include <windows.h>
#include <wininet.h>

// The process's one WinINet internet handle. Keeping it open lets
// consecutive messages to the gateway reuse their connection (HTTP/1.1
// keep-alive) and spares every exchange the proxy set-up. Opened by the
// first exchange, from any thread; closed when the add-in is disconnected
// or the library may be unloaded, never from DllMain.
namespace internet_session {

// The open handle, opened now if need be; null when it cannot be opened.
// `timeoutMs` applies to the handle only when this call opens it.
HINTERNET Acquire(DWORD timeoutMs);

// Closes the handle (no exchange may be in progress); the next Acquire
// opens a new one.
void Close();

// Sets the connect, send and receive time-outs of a handle: some WinINet
// versions do not pass them down from the parent.
void SetTimeouts(HINTERNET handle, DWORD timeoutMs);

}  // namespace internet_session
