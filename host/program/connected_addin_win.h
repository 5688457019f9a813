#pragma once
#include <wrl/client.h>

#include <string>

#include "program/idt_extensibility2.h"

namespace host {

// One add-in created from its ProgID and connected to the application.
// Destruction tells it the host is shutting down and disconnects it.
class ConnectedAddin {
 public:
  explicit ConnectedAddin(std::wstring progId) : progId_(std::move(progId)) {}
  ~ConnectedAddin();
  ConnectedAddin(ConnectedAddin&&) = default;
  ConnectedAddin& operator=(ConnectedAddin&&) = default;

  // Creates the object and calls OnConnection, then OnStartupComplete.
  // Gives the failing HRESULT and the step that failed in `step`.
  HRESULT Connect(IDispatch* application, std::wstring& step);
  const std::wstring& ProgId() const { return progId_; }
  // The connected add-in object; null before Connect.
  IUnknown* Object() const { return addin_.Get(); }

 private:
  std::wstring progId_;
  Microsoft::WRL::ComPtr<Extensibility2> addin_;
  bool connected_ = false;
};

}  // namespace host
