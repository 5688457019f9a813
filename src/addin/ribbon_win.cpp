#include "addin/ribbon_win.h"

#include <string>
#include <vector>

#include "addin/access/bstr.h"
#include "addin/access/context_contacts.h"
#include "addin/access/outlook_access.h"
#include "addin/ribbon_picture_win.h"
#include "ui/module_instance.h"
#include "ui/run_in_progress.h"

using Microsoft::WRL::ComPtr;

namespace {

// The UTF-8 document held as resource `id`, as UTF-16.
std::u16string DocumentOfResource(int id) {
  HMODULE module = ModuleInstance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_RCDATA));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  const int size = static_cast<int>(SizeofResource(module, found));
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
  std::u16string text(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes, size, reinterpret_cast<wchar_t*>(text.data()), length);
  return text;
}

// The callback's one argument, an object: the control, or the ribbon for
// onLoad.
template <typename Interface>
HRESULT ArgumentOf(DISPPARAMS* params, REFIID iid, ComPtr<Interface>& out) {
  if (!params) return E_POINTER;
  if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  VARIANT& argument = params->rgvarg[0];
  IUnknown* object = nullptr;
  if (argument.vt == VT_DISPATCH || argument.vt == VT_UNKNOWN) object = argument.punkVal;
  if (argument.vt == (VT_DISPATCH | VT_BYREF) && argument.ppdispVal) object = *argument.ppdispVal;
  if (!object) return DISP_E_TYPEMISMATCH;
  return object->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()));
}

std::u16string TagOf(IRibbonControl& control) {
  outlook::Bstr tag;
  if (FAILED(control.get_Tag(tag.Out()))) return {};
  return tag.Text();
}

}  // namespace

CRibbon::CRibbon(IDispatch& owner, const outlook::Dispatch& application,
                 std::shared_ptr<const CommandTable> commands)
    : owner_(owner), application_(application), commands_(std::move(commands)) {}

CRibbon::~CRibbon() { ReleaseRibbons(); }

void CRibbon::ReleaseRibbons() {
  if (runWatch_) RunInProgress::Unwatch(runWatch_);
  runWatch_ = 0;
  ribbons_.clear();
}

void CRibbon::InvalidateRibbons() {
  // Invalidate calls back into getEnabled; a copy stays whole meanwhile.
  const auto ribbons = ribbons_;
  for (const auto& ribbon : ribbons) ribbon->Invalidate();
}

HRESULT CRibbon::Loaded(DISPPARAMS* params) {
  ComPtr<IRibbonUI> ribbon;
  const HRESULT hr = ArgumentOf(params, IID_IRibbonUI, ribbon);
  if (FAILED(hr)) return hr;
  ribbons_.push_back(ribbon);
  if (!runWatch_) runWatch_ = RunInProgress::Watch([this] { InvalidateRibbons(); });
  return S_OK;
}

STDMETHODIMP CRibbon::QueryInterface(REFIID riid, void** out) { return owner_.QueryInterface(riid, out); }
STDMETHODIMP_(ULONG) CRibbon::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) CRibbon::Release() { return owner_.Release(); }
STDMETHODIMP CRibbon::GetTypeInfoCount(UINT* count) { return owner_.GetTypeInfoCount(count); }
STDMETHODIMP CRibbon::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
  return owner_.GetTypeInfo(index, locale, info);
}
STDMETHODIMP CRibbon::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  return owner_.GetIDsOfNames(riid, names, count, locale, ids);
}
STDMETHODIMP CRibbon::Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  return owner_.Invoke(id, riid, locale, flags, params, result, exception, argumentError);
}

STDMETHODIMP CRibbon::GetCustomUI(BSTR ribbonId, BSTR* ribbonXml) {
  if (!ribbonXml) return E_POINTER;
  *ribbonXml = nullptr;
  try {
    const std::u16string id = ribbonId ? std::u16string(reinterpret_cast<const char16_t*>(ribbonId),
                                                        SysStringLen(ribbonId))
                                       : std::u16string();
    const int resource = CustomUiResource(id);
    const std::u16string document = resource ? DocumentOfResource(resource) : std::u16string();
    if (resource && document.empty()) return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    *ribbonXml = outlook::Bstr(document).Release();
    return *ribbonXml ? S_OK : E_OUTOFMEMORY;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CRibbon::InvokeCallback(RibbonCallback callback, DISPPARAMS* params, VARIANT* result) {
  if (callback == RibbonCallback::kLoaded) {
    try {
      return Loaded(params);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  ComPtr<IRibbonControl> control;
  HRESULT hr = ArgumentOf(params, IID_IRibbonControl, control);
  if (FAILED(hr)) return hr;
  try {
    switch (callback) {
      case RibbonCallback::kRunCommand: return RunCommand(*control.Get());
      case RibbonCallback::kSendToContacts: return SendToContacts(*control.Get());
      case RibbonCallback::kLargeIcon: return Icon(*control.Get(), true, result);
      case RibbonCallback::kSmallIcon: return Icon(*control.Get(), false, result);
      case RibbonCallback::kEnabled:
        // No command starts while a run is in progress (RunUserCommand).
        if (result) {
          VariantInit(result);
          result->vt = VT_BOOL;
          result->boolVal = RunInProgress::Now() ? VARIANT_FALSE : VARIANT_TRUE;
        }
        return S_OK;
      case RibbonCallback::kLoaded: break;
    }
  } catch (...) {
    return E_UNEXPECTED;
  }
  return DISP_E_MEMBERNOTFOUND;
}

// A disconnection during the command (its dialog runs a message loop)
// empties the add-in's application; the command keeps its own copy.
HRESULT CRibbon::RunCommand(IRibbonControl& control) {
  const outlook::Dispatch application = application_;
  const std::u16string tag = TagOf(control);
  RunUserCommand(*commands_, [&](HWND owner) {
    const ButtonCommand* command = commands_->Find(tag);
    if (command) command->run(CommandContext{application, owner});
  });
  return S_OK;
}

HRESULT CRibbon::SendToContacts(IRibbonControl& control) {
  const outlook::Dispatch application = application_;
  const std::u16string tag = TagOf(control);
  ComPtr<IDispatch> context;
  control.get_Context(context.GetAddressOf());
  RunUserCommand(*commands_, [&](HWND owner) {
    const ButtonCommand* command = commands_->Find(tag);
    if (!command) return;
    std::vector<SelectedContact> chosen;
    for (const outlook::Dispatch& contact : outlook::ContactsInContext(outlook::Dispatch(context))) {
      chosen.push_back({outlook::FullName(contact), outlook::MobileTelephoneNumber(contact)});
    }
    command->run(CommandContext{application, owner, RecipientsText(chosen)});
  });
  return S_OK;
}

HRESULT CRibbon::Icon(IRibbonControl& control, bool large, VARIANT* result) {
  const int resource = IconResource(TagOf(control), large);
  if (!resource) return DISP_E_BADINDEX;
  ComPtr<IPictureDisp>& picture = pictures_[resource];
  if (!picture) {
    HRESULT hr = PictureFromPngResource(ModuleInstance(), resource, picture);
    if (FAILED(hr)) {
      pictures_.erase(resource);
      return hr;
    }
  }
  if (!result) return S_OK;
  VariantInit(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = picture.Get();
  picture->AddRef();
  return S_OK;
}
