#include "program/addin_ribbon_win.h"

#include "standin/ribbon_control.h"

using Microsoft::WRL::ComPtr;

namespace host {

namespace {

std::wstring Hex(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::optional<CustomUi> LoadDocument(standin::RibbonExtensibility& ribbon, IDispatch* dispatch,
                                     const wchar_t* ribbonId, const std::wstring& progId,
                                     std::vector<std::wstring>& errors) {
  BSTR id = SysAllocString(ribbonId);
  BSTR xml = nullptr;
  const HRESULT hr = ribbon.GetCustomUI(id, &xml);
  SysFreeString(id);
  const std::wstring document = xml ? std::wstring(xml, SysStringLen(xml)) : std::wstring();
  SysFreeString(xml);
  const std::wstring where = L"custom UI error in " + progId + L" (" + ribbonId + L"): ";
  if (FAILED(hr)) {
    errors.push_back(where + L"GetCustomUI failed with " + Hex(hr));
    return std::nullopt;
  }
  if (document.empty()) return std::nullopt;
  std::vector<std::wstring> reasons;
  auto ui = LoadCustomUi(document, dispatch, reasons);
  for (const auto& reason : reasons) errors.push_back(where + reason);
  return ui;
}

}  // namespace

std::unique_ptr<AddinRibbon> AddinRibbon::Load(IUnknown* addin, const std::wstring& progId,
                                               std::vector<std::wstring>& errors) {
  ComPtr<standin::RibbonExtensibility> ribbon;
  if (!addin || FAILED(addin->QueryInterface(standin::kIidRibbonExtensibility,
                                             reinterpret_cast<void**>(ribbon.GetAddressOf())))) {
    return nullptr;
  }
  auto loaded = std::unique_ptr<AddinRibbon>(new AddinRibbon);
  loaded->progId_ = progId;
  // Office calls the callbacks on the IDispatch of the object that gave
  // the document.
  ribbon.As(&loaded->dispatch_);
  loaded->explorer_ = LoadDocument(*ribbon.Get(), loaded->dispatch_.Get(), L"Microsoft.Outlook.Explorer", progId,
                                   errors);
  loaded->contactForm_ = LoadDocument(*ribbon.Get(), loaded->dispatch_.Get(), L"Microsoft.Outlook.Contact", progId,
                                      errors);
  for (const auto* ui : {&loaded->explorer_, &loaded->contactForm_}) {
    if (!*ui) continue;
    loaded->CallOnLoad(**ui, errors);
    loaded->FetchImages(**ui, errors);
  }
  return loaded;
}

AddinRibbon::~AddinRibbon() { OnInvalidate(nullptr); }

void AddinRibbon::CallOnLoad(const CustomUi& ui, std::vector<std::wstring>& errors) {
  if (ui.onLoad.empty()) return;
  ComPtr<standin::RibbonUi> ribbonUi(new standin::RibbonUi);
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = standin::CallRibbonCallback(dispatch_.Get(), U16(ui.onLoad), ribbonUi.Get(), &result);
  VariantClear(&result);
  if (FAILED(hr)) {
    errors.push_back(L"custom UI error in " + progId_ + L": the callback \"" + ui.onLoad + L"\" failed with " +
                     Hex(hr));
    return;
  }
  ribbonUis_.push_back(ribbonUi);
}

void AddinRibbon::OnInvalidate(std::function<void()> invalidated) const {
  for (const auto& ribbonUi : ribbonUis_) ribbonUi->invalidated = invalidated;
}

bool AddinRibbon::Enabled(const CustomUiButton& button) const {
  if (button.getEnabled.empty()) return true;
  ComPtr<IDispatch> control(new standin::RibbonControl(U16(button.id), U16(button.tag), nullptr));
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = standin::CallRibbonCallback(dispatch_.Get(), U16(button.getEnabled), control.Get(), &result);
  const bool enabled = FAILED(hr) || result.vt != VT_BOOL || result.boolVal != VARIANT_FALSE;
  VariantClear(&result);
  return enabled;
}

void AddinRibbon::FetchImages(const CustomUi& ui, std::vector<std::wstring>& errors) {
  for (const auto* groups : {&ui.groups, &ui.contextMenus}) {
    for (const auto& group : *groups) {
      for (const auto& button : group.buttons) {
        if (button.getImage.empty()) continue;
        ComPtr<IDispatch> control(new standin::RibbonControl(U16(button.id), U16(button.tag), nullptr));
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr = standin::CallRibbonCallback(dispatch_.Get(), U16(button.getImage), control.Get(), &result);
        ComPtr<IPicture> picture;
        if (SUCCEEDED(hr) && (result.vt == VT_DISPATCH || result.vt == VT_UNKNOWN) && result.punkVal) {
          result.punkVal->QueryInterface(IID_IPicture, reinterpret_cast<void**>(picture.GetAddressOf()));
        }
        VariantClear(&result);
        if (!picture) {
          errors.push_back(L"custom UI error in " + progId_ + L": the callback \"" + button.getImage +
                           L"\" gave no picture for \"" + button.id + L"\" (" + Hex(hr) + L")");
          continue;
        }
        images_[button.id] = picture;
      }
    }
  }
}

HBITMAP AddinRibbon::Image(const std::wstring& controlId) const {
  const auto found = images_.find(controlId);
  if (found == images_.end()) return nullptr;
  OLE_HANDLE handle = 0;
  SHORT type = 0;
  found->second->get_Type(&type);
  if (type != PICTYPE_BITMAP || FAILED(found->second->get_Handle(&handle))) return nullptr;
  return reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
}

HRESULT AddinRibbon::Press(const CustomUiButton& button, IDispatch* context) const {
  ComPtr<IDispatch> control(new standin::RibbonControl(U16(button.id), U16(button.tag), context));
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = standin::CallRibbonCallback(dispatch_.Get(), U16(button.onAction), control.Get(), &result);
  VariantClear(&result);
  return hr;
}

}  // namespace host
