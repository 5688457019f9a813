#pragma once
#include <windows.h>

#include <ocidl.h>
#include <wrl/client.h>

#include <map>
#include <memory>
#include <vector>

#include "addin/access/dispatch.h"
#include "addin/button_commands_win.h"
#include "addin/office_ribbon.h"
#include "addin/ribbon_callbacks.h"

// The add-in's ribbon: IRibbonExtensibility for the add-in object, whose
// IUnknown and IDispatch it shares, and the callbacks the host calls
// through that IDispatch. Nothing is loaded until the host asks: the
// documents at GetCustomUI, each icon at its first getImage, then kept.
class CRibbon : public IRibbonExtensibility {
 public:
  // `owner` is the add-in's IDispatch; `application` its connection's
  // mail client, read at each callback.
  CRibbon(IDispatch& owner, const outlook::Dispatch& application, std::shared_ptr<const CommandTable> commands);
  ~CRibbon();
  CRibbon(const CRibbon&) = delete;
  CRibbon& operator=(const CRibbon&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;
  STDMETHODIMP GetCustomUI(BSTR ribbonId, BSTR* ribbonXml) override;

  // A callback the add-in's IDispatch received: `params` holds the one
  // argument, an IRibbonControl (an IRibbonUI for onLoad).
  HRESULT InvokeCallback(RibbonCallback callback, DISPPARAMS* params, VARIANT* result);
  // Lets go of the windows' ribbons, at disconnection.
  void ReleaseRibbons();

 private:
  HRESULT RunCommand(IRibbonControl& control);
  HRESULT SendToContacts(IRibbonControl& control);
  HRESULT Icon(IRibbonControl& control, bool large, VARIANT* result);
  HRESULT Loaded(DISPPARAMS* params);
  void InvalidateRibbons();

  IDispatch& owner_;
  const outlook::Dispatch& application_;
  std::shared_ptr<const CommandTable> commands_;
  std::map<int, Microsoft::WRL::ComPtr<IPictureDisp>> pictures_;
  // One per window the client made a ribbon for; told to ask getEnabled
  // again when a run begins or ends.
  std::vector<Microsoft::WRL::ComPtr<IRibbonUI>> ribbons_;
  int runWatch_ = 0;
};
