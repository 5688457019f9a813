#pragma once
#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <vector>

#include <wrl/client.h>

#include "addin/access/dispatch.h"
#include "addin/addin_interfaces.h"
#include "addin/button_commands_win.h"
#include "addin/ribbon_win.h"
#include "addin/type_info_win.h"

class COutlookButton;

// The add-in object the mail client creates and connects: it puts the
// toolbar on the active explorer and a click sink on each button; a client
// with a ribbon also gets the ribbon's documents and callbacks. It can be
// aggregated; while it lives it holds one lock on the module.
class CQuorvalOAddin : public IQuorvalOAddin, public ISupportErrorInfo {
 public:
  // Creates an instance (aggregated when `outer` is given) and queries it
  // for `riid`; the instance is destroyed again when the query fails.
  static HRESULT Create(IUnknown* outer, REFIID riid, void** out,
                        std::shared_ptr<const CommandTable> commands);

  // IUnknown of the public interfaces: delegates to the controlling unknown.
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IQuorvalOAddin / IDispatch, from the module's type library, and the
  // ribbon's callbacks by name.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  // The non-delegating IUnknown that owns the object's count.
  class Inner : public IUnknown {
   public:
    explicit Inner(CQuorvalOAddin& owner) : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

   private:
    CQuorvalOAddin& owner_;
  };

  // The host's connection interface. Its IDispatch part is described by the
  // host platform's add-in designer library, so it answers differently from
  // IQuorvalOAddin and lives apart.
  class Extensibility : public _IDTExtensibility2 {
   public:
    explicit Extensibility(CQuorvalOAddin& owner);
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;
    STDMETHODIMP OnConnection(IDispatch* application, int connectMode, IDispatch* addInInstance,
                              SAFEARRAY** custom) override;
    STDMETHODIMP OnDisconnection(int removeMode, SAFEARRAY** custom) override;
    STDMETHODIMP OnAddInsUpdate(SAFEARRAY** custom) override;
    STDMETHODIMP OnStartupComplete(SAFEARRAY** custom) override;
    STDMETHODIMP OnBeginShutdown(SAFEARRAY** custom) override;

   private:
    CQuorvalOAddin& owner_;
    DispatchTypeInfo typeInfo_;
  };

  CQuorvalOAddin(IUnknown* outer, std::shared_ptr<const CommandTable> commands);
  virtual ~CQuorvalOAddin();

  HRESULT InnerQueryInterface(REFIID riid, void** out);
  HRESULT Connect(IDispatch* application);
  // Gives back everything the connection took; the toolbar goes too when
  // the user turned the add-in off.
  void Disconnect(bool deleteToolbar);
  HRESULT AddToolbar();
  HRESULT AddToolbarButton(outlook::Dispatch& controls, const struct ToolbarButtonRow& row);

  LONG refCount = 0;
  // Released in reverse order of declaration: command bars, application,
  // explorer.
  outlook::Dispatch activeExplorer;
  outlook::Dispatch hostApplication;
  outlook::Dispatch explorerCommandBars;
  // Kept so that disconnection can take back what connection made.
  outlook::Dispatch toolbar_;
  std::vector<Microsoft::WRL::ComPtr<COutlookButton>> sinks_;

  Inner inner_;
  IUnknown* controlling_;
  Extensibility extensibility_;
  DispatchTypeInfo typeInfo_;
  std::shared_ptr<const CommandTable> commands_;
  CRibbon ribbon_;
};
