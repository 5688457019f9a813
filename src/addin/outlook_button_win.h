#pragma once
#include <windows.h>

#include <ocidl.h>
#include <wrl/client.h>

#include <memory>

#include "addin/access/dispatch.h"
#include "addin/button_commands_win.h"

// Click sink of one toolbar button. It advises the button's Click events at
// construction; the construction reference is the add-in's, given back at
// disconnection after Disconnect.
class COutlookButton : public IDispatch {
 public:
  COutlookButton(outlook::Dispatch button, outlook::Dispatch application,
                 std::shared_ptr<const CommandTable> commands);

  // Unadvises and lets go of the mail client's objects; the sink gets no
  // more clicks. A command it runs meanwhile keeps its own references.
  void Disconnect();

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

 protected:
  virtual ~COutlookButton();

 private:
  void Advise(outlook::Dispatch& button);
  void RunCommandOfTag();

  DWORD adviseCookie = 0;
  outlook::Dispatch buttonControl;
  Microsoft::WRL::ComPtr<IConnectionPoint> eventConnection;
  LONG refCount = 1;
  outlook::Dispatch hostApplication;
  std::shared_ptr<const CommandTable> commands_;
};
