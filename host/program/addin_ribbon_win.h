#pragma once
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "program/custom_ui_win.h"

namespace host {

// What one add-in put on the ribbon, as a client of version 14 or later
// loads it after OnConnection: the documents for the main window and a
// contact form, checked, and each button's image from its getImage.
class AddinRibbon {
 public:
  // Nothing when the add-in does not answer IRibbonExtensibility. Each
  // rejected document and failed callback adds a line to `errors`.
  static std::unique_ptr<AddinRibbon> Load(IUnknown* addin, const std::wstring& progId,
                                           std::vector<std::wstring>& errors);

  const std::wstring& ProgId() const { return progId_; }
  const std::optional<CustomUi>& Explorer() const { return explorer_; }
  const std::optional<CustomUi>& ContactForm() const { return contactForm_; }
  // The bitmap getImage gave for the control with this id; null when none.
  HBITMAP Image(const std::wstring& controlId) const;
  // Calls the button's onAction with a control whose Context is `context`
  // (the window, or the selection for a context menu).
  HRESULT Press(const CustomUiButton& button, IDispatch* context) const;

 private:
  void FetchImages(const CustomUi& ui, std::vector<std::wstring>& errors);

  std::wstring progId_;
  Microsoft::WRL::ComPtr<IDispatch> dispatch_;
  std::optional<CustomUi> explorer_, contactForm_;
  std::map<std::wstring, Microsoft::WRL::ComPtr<IPicture>> images_;
};

}  // namespace host
