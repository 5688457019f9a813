#include "addin/quorval_addin_win.h"

#include <new>

#include "addin/access/office_access.h"
#include "addin/access/outlook_access.h"
#include "addin/module_lock.h"
#include "addin/outlook_button_win.h"
#include "addin/toolbar_buttons.h"
#include "gateway/internet_session_win.h"

namespace {

constexpr long kToolbarTop = 1;
constexpr long kControlButton = 1;
constexpr long kStyleIconAndCaption = 3;
// The mail client's ext_dm_UserClosed: the user turned the add-in off.
constexpr int kUserClosed = 1;

}  // namespace

HRESULT CQuorvalOAddin::Create(IUnknown* outer, REFIID riid, void** out,
                               std::shared_ptr<const CommandTable> commands) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  auto* addin = new (std::nothrow) CQuorvalOAddin(outer, std::move(commands));
  if (!addin) return E_OUTOFMEMORY;
  // Held while querying so that a failed query destroys the object.
  addin->inner_.AddRef();
  HRESULT hr = addin->InnerQueryInterface(riid, out);
  addin->inner_.Release();
  return hr;
}

CQuorvalOAddin::CQuorvalOAddin(IUnknown* outer, std::shared_ptr<const CommandTable> commands)
    : inner_(*this),
      controlling_(outer ? outer : &inner_),
      extensibility_(*this),
      typeInfo_(DispatchTypeInfo::Source::ModuleLibrary, LIBID_QuorvalSmsOutlookAddinLib, IID_IQuorvalOAddin),
      commands_(std::move(commands)),
      ribbon_(*static_cast<IQuorvalOAddin*>(this), hostApplication, commands_) {
  ModuleLock();
}

CQuorvalOAddin::~CQuorvalOAddin() { ModuleUnlock(); }

HRESULT CQuorvalOAddin::InnerQueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown) {
    *out = static_cast<IUnknown*>(&inner_);
  } else if (riid == IID_IDispatch || riid == IID_IQuorvalOAddin) {
    *out = static_cast<IQuorvalOAddin*>(this);
  } else if (riid == IID_ISupportErrorInfo) {
    *out = static_cast<ISupportErrorInfo*>(this);
  } else if (riid == IID__IDTExtensibility2) {
    *out = static_cast<_IDTExtensibility2*>(&extensibility_);
  } else if (riid == IID_IRibbonExtensibility) {
    *out = static_cast<IRibbonExtensibility*>(&ribbon_);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*out)->AddRef();
  return S_OK;
}

STDMETHODIMP CQuorvalOAddin::Inner::QueryInterface(REFIID riid, void** out) {
  return owner_.InnerQueryInterface(riid, out);
}

STDMETHODIMP_(ULONG) CQuorvalOAddin::Inner::AddRef() { return static_cast<ULONG>(++owner_.refCount); }

STDMETHODIMP_(ULONG) CQuorvalOAddin::Inner::Release() {
  LONG count = --owner_.refCount;
  if (count == 0) delete &owner_;
  return static_cast<ULONG>(count);
}

STDMETHODIMP CQuorvalOAddin::QueryInterface(REFIID riid, void** out) {
  return controlling_->QueryInterface(riid, out);
}
STDMETHODIMP_(ULONG) CQuorvalOAddin::AddRef() { return controlling_->AddRef(); }
STDMETHODIMP_(ULONG) CQuorvalOAddin::Release() { return controlling_->Release(); }

STDMETHODIMP CQuorvalOAddin::GetTypeInfoCount(UINT* count) { return typeInfo_.GetTypeInfoCount(count); }

STDMETHODIMP CQuorvalOAddin::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  return typeInfo_.GetTypeInfo(index, info);
}

// The ribbon's callbacks take no named arguments: a callback's name comes
// alone.
STDMETHODIMP CQuorvalOAddin::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid == IID_NULL && names && ids && count == 1 && names[0]) {
    const std::u16string name(reinterpret_cast<const char16_t*>(names[0]));
    if (const auto callback = FindRibbonCallback(name)) {
      ids[0] = static_cast<DISPID>(*callback);
      return S_OK;
    }
  }
  return typeInfo_.GetIDsOfNames(riid, names, count, ids);
}

STDMETHODIMP CQuorvalOAddin::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  if (const auto callback = RibbonCallbackOfId(id)) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    return ribbon_.InvokeCallback(*callback, params, result);
  }
  return typeInfo_.Invoke(static_cast<IQuorvalOAddin*>(this), id, riid, flags, params, result, exception,
                          argumentError);
}

STDMETHODIMP CQuorvalOAddin::InterfaceSupportsErrorInfo(REFIID riid) {
  return riid == IID_IQuorvalOAddin ? S_OK : S_FALSE;
}

HRESULT CQuorvalOAddin::Connect(IDispatch* application) {
  // Without the mail client's application and a window of it there is
  // nothing to put the toolbar on.
  hostApplication = outlook::AsOutlookApplication(application);
  if (!hostApplication) return E_INVALIDARG;
  activeExplorer = outlook::ActiveExplorer(hostApplication);
  if (!activeExplorer) return E_FAIL;
  outlook::Dispatch commandBars;
  HRESULT hr = outlook::ExplorerCommandBars(activeExplorer, commandBars);
  if (FAILED(hr)) return hr;
  explorerCommandBars = std::move(commandBars);
  return AddToolbar();
}

// Each connection adds a toolbar of its own; an earlier one of the same
// name is not looked for.
HRESULT CQuorvalOAddin::AddToolbar() {
  HRESULT hr = outlook::AddCommandBar(explorerCommandBars, kToolbarName, kToolbarTop, true, toolbar_);
  if (SUCCEEDED(hr)) hr = outlook::SetVisible(toolbar_, true);
  outlook::Dispatch controls;
  if (SUCCEEDED(hr)) hr = outlook::BarControls(toolbar_, controls);
  for (const ToolbarButtonRow& row : kToolbarButtons) {
    if (FAILED(hr)) break;
    hr = AddToolbarButton(controls, row);
  }
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CQuorvalOAddin::AddToolbarButton(outlook::Dispatch& controls, const ToolbarButtonRow& row) {
  outlook::Dispatch control;
  HRESULT hr = outlook::AddControl(controls, kControlButton, true, control);
  if (SUCCEEDED(hr)) hr = outlook::SetVisible(control, true);
  if (SUCCEEDED(hr)) hr = outlook::SetCaption(control, row.caption);
  if (SUCCEEDED(hr)) hr = outlook::SetEnabled(control, true);
  if (SUCCEEDED(hr)) hr = outlook::SetTooltipText(control, row.tooltip);
  if (SUCCEEDED(hr)) hr = outlook::SetTag(control, row.tag);
  if (FAILED(hr)) return hr;
  outlook::Dispatch button = outlook::AsCommandBarButton(control);
  if (!button) return E_NOINTERFACE;
  // Without its face the button keeps the host's default image.
  outlook::SetFaceId(button, row.faceId);
  hr = outlook::SetStyle(button, kStyleIconAndCaption);
  if (FAILED(hr)) return hr;
  // Assigned, not attached: the construction reference becomes ours.
  Microsoft::WRL::ComPtr<COutlookButton> sink;
  sink = new COutlookButton(control, hostApplication, commands_);
  sink->Release();
  sinks_.push_back(std::move(sink));
  return S_OK;
}

void CQuorvalOAddin::Disconnect(bool deleteToolbar) {
  for (const auto& sink : sinks_) sink->Disconnect();
  sinks_.clear();
  ribbon_.ReleaseRibbons();
  // Its buttons would stay and do nothing until the mail client restarts;
  // at shutdown the temporary toolbar goes with the client.
  if (deleteToolbar && toolbar_) outlook::DeleteCommandBar(toolbar_);
  toolbar_ = outlook::Dispatch();
  explorerCommandBars = outlook::Dispatch();
  hostApplication = outlook::Dispatch();
  activeExplorer = outlook::Dispatch();
  // An exchange still under way keeps the connection until it ends.
  internet_session::Close();
}

CQuorvalOAddin::Extensibility::Extensibility(CQuorvalOAddin& owner)
    : owner_(owner),
      typeInfo_(DispatchTypeInfo::Source::RegisteredLibrary, LIBID_AddInDesignerObjects, IID__IDTExtensibility2) {}

STDMETHODIMP CQuorvalOAddin::Extensibility::QueryInterface(REFIID riid, void** out) {
  return owner_.QueryInterface(riid, out);
}
STDMETHODIMP_(ULONG) CQuorvalOAddin::Extensibility::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) CQuorvalOAddin::Extensibility::Release() { return owner_.Release(); }

STDMETHODIMP CQuorvalOAddin::Extensibility::GetTypeInfoCount(UINT* count) {
  return typeInfo_.GetTypeInfoCount(count);
}

STDMETHODIMP CQuorvalOAddin::Extensibility::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  return typeInfo_.GetTypeInfo(index, info);
}

STDMETHODIMP CQuorvalOAddin::Extensibility::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                                          DISPID* ids) {
  return typeInfo_.GetIDsOfNames(riid, names, count, ids);
}

STDMETHODIMP CQuorvalOAddin::Extensibility::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                                   UINT* argumentError) {
  return typeInfo_.Invoke(static_cast<_IDTExtensibility2*>(this), id, riid, flags, params, result, exception,
                          argumentError);
}

STDMETHODIMP CQuorvalOAddin::Extensibility::OnConnection(IDispatch* application, int, IDispatch*,
                                                         SAFEARRAY**) {
  try {
    return owner_.Connect(application);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// The mail client ignores the answer; callers have always seen E_NOTIMPL.
STDMETHODIMP CQuorvalOAddin::Extensibility::OnDisconnection(int removeMode, SAFEARRAY**) {
  try {
    owner_.Disconnect(removeMode == kUserClosed);
  } catch (...) {
  }
  return E_NOTIMPL;
}
STDMETHODIMP CQuorvalOAddin::Extensibility::OnAddInsUpdate(SAFEARRAY**) { return E_NOTIMPL; }
STDMETHODIMP CQuorvalOAddin::Extensibility::OnStartupComplete(SAFEARRAY**) { return E_NOTIMPL; }
STDMETHODIMP CQuorvalOAddin::Extensibility::OnBeginShutdown(SAFEARRAY**) { return E_NOTIMPL; }
