#pragma once
#include <windows.h>

#include <oaidl.h>

// The mail client's add-in connection interface, as its public
// documentation declares it (the mingw headers do not).
namespace host {

enum ConnectMode { kAfterStartup = 0, kStartup = 1, kExternal = 2, kCommandLine = 3 };
enum DisconnectMode { kHostShutdown = 0, kUserClosed = 1 };

inline constexpr IID kIidExtensibility2 = {
    0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};

struct Extensibility2 : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connectMode,
                                                 IDispatch* addInInstance, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int removeMode, SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

}  // namespace host
