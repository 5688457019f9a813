#include "addin/outlook_button_win.h"

#include <string>

#include "addin/access/office_access.h"
#include "addin/access/outlook_access.h"
#include "addin/access/outlook_ids.h"
#include "addin/module_lock.h"

namespace {

constexpr DISPID kDispidClick = 1;

}  // namespace

COutlookButton::COutlookButton(outlook::Dispatch button, outlook::Dispatch application,
                               std::shared_ptr<const CommandTable> commands)
    : commands_(std::move(commands)) {
  // The host calls into a sink for as long as it holds it, so the library
  // must stay loaded while any sink lives, even after the add-in object is
  // gone (a user may switch the add-in off while its toolbar stays).
  ModuleLock();
  Advise(button);
  hostApplication = std::move(application);
}

COutlookButton::~COutlookButton() {
  Disconnect();
  ModuleUnlock();
}

void COutlookButton::Disconnect() {
  if (eventConnection) {
    eventConnection->Unadvise(adviseCookie);
    eventConnection.Reset();
  }
  hostApplication = outlook::Dispatch();
  buttonControl = outlook::Dispatch();
}

// A sink that cannot be advised is left without a button: it never gets a
// click, and the toolbar button simply does nothing.
void COutlookButton::Advise(outlook::Dispatch& button) {
  if (FAILED(outlook::ButtonEventsConnection(button, eventConnection)) || !eventConnection) return;
  if (SUCCEEDED(eventConnection->Advise(static_cast<IDispatch*>(this), &adviseCookie))) {
    buttonControl = button;
  }
}

STDMETHODIMP COutlookButton::QueryInterface(REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == outlook::kDiidCommandBarButtonEvents) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) COutlookButton::AddRef() { return static_cast<ULONG>(++refCount); }

STDMETHODIMP_(ULONG) COutlookButton::Release() {
  if (refCount == 0) return 0;
  LONG count = --refCount;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP COutlookButton::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP COutlookButton::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return E_FAIL;
}

STDMETHODIMP COutlookButton::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  if (count != 1) return E_INVALIDARG;
  ids[0] = 0;
  return S_OK;
}

STDMETHODIMP COutlookButton::Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                    EXCEPINFO*, UINT*) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (id != kDispidClick) return DISP_E_MEMBERNOTFOUND;
  if (!params) return E_POINTER;
  if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
  // Arguments arrive last first: the clicked button is the last entry.
  if (params->rgvarg[1].vt != VT_DISPATCH) return S_OK;
  // A disconnection during the command (its dialog runs a message loop)
  // gives back the other references; the sink lasts until the click ends.
  const Microsoft::WRL::ComPtr<IDispatch> self(this);
  RunCommandOfTag();
  return S_OK;
}

// The sink's own button decides, whatever button the event names.
void COutlookButton::RunCommandOfTag() {
  RunUserCommand(*commands_, [this](HWND owner) {
    std::u16string tag;
    if (!buttonControl || FAILED(outlook::GetTag(buttonControl, tag))) return;
    const ButtonCommand* command = commands_->Find(tag);
    if (command) command->run(CommandContext{hostApplication, owner});
  });
}
