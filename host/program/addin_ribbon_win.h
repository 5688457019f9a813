#pragma once
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "program/custom_ui_win.h"
#include "standin/ribbon_control.h"

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
  // The button's getEnabled; true when it names none or the call fails.
  bool Enabled(const CustomUiButton& button) const;
  // Called when the add-in invalidates a ribbon it was given at onLoad;
  // null to stop.
  void OnInvalidate(std::function<void()> invalidated) const;
  ~AddinRibbon();

 private:
  AddinRibbon() = default;
  void FetchImages(const CustomUi& ui, std::vector<std::wstring>& errors);
  void CallOnLoad(const CustomUi& ui, std::vector<std::wstring>& errors);

  std::wstring progId_;
  Microsoft::WRL::ComPtr<IDispatch> dispatch_;
  std::optional<CustomUi> explorer_, contactForm_;
  std::map<std::wstring, Microsoft::WRL::ComPtr<IPicture>> images_;
  // Given at onLoad, one per document; the add-in may keep them past us.
  std::vector<Microsoft::WRL::ComPtr<standin::RibbonUi>> ribbonUis_;
};

}  // namespace host
