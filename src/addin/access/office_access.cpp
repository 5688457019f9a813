#include "addin/access/office_access.h"

namespace outlook {

namespace {

HRESULT ObjectResult(HRESULT hr, const Variant& value, Dispatch& out) {
  if (FAILED(hr)) return hr;
  auto object = value.AsObject();
  if (!object) return E_NOINTERFACE;
  out = Dispatch(object);
  return S_OK;
}

}  // namespace

HRESULT ExplorerCommandBars(const Dispatch& explorer, Dispatch& commandBars) {
  Variant value;
  return ObjectResult(explorer.GetProperty(L"CommandBars", value), value, commandBars);
}

HRESULT AddCommandBar(const Dispatch& commandBars, const std::u16string& name, long position,
                      bool temporary, Dispatch& commandBar) {
  // The toolbar's Temporary flag travels as a 16-bit -1/0.
  Variant nameArg = Variant::Text(name), positionArg = Variant::Long(position),
          menuBar = Variant::Missing(), temporaryArg = Variant::Short(temporary ? -1 : 0);
  Variant value;
  HRESULT hr = commandBars.Call(L"Add", {&nameArg, &positionArg, &menuBar, &temporaryArg}, value);
  return ObjectResult(hr, value, commandBar);
}

HRESULT BarControls(const Dispatch& commandBar, Dispatch& controls) {
  Variant value;
  return ObjectResult(commandBar.GetProperty(L"Controls", value), value, controls);
}

HRESULT DeleteCommandBar(const Dispatch& commandBar) {
  Variant ignored;
  return commandBar.Call(L"Delete", {}, ignored);
}

HRESULT AddControl(const Dispatch& controls, long type, bool temporary, Dispatch& control) {
  Variant typeArg = Variant::Long(type), missing = Variant::Missing(),
          temporaryArg = Variant::Bool(temporary);
  Variant value;
  HRESULT hr = controls.Call(L"Add", {&typeArg, &missing, &missing, &missing, &temporaryArg}, value);
  return ObjectResult(hr, value, control);
}

HRESULT SetVisible(const Dispatch& object, bool visible) {
  return object.PutProperty(L"Visible", Variant::Bool(visible));
}

HRESULT SetCaption(const Dispatch& control, const std::u16string& caption) {
  return control.PutProperty(L"Caption", Variant::Text(caption));
}

HRESULT SetEnabled(const Dispatch& control, bool enabled) {
  return control.PutProperty(L"Enabled", Variant::Bool(enabled));
}

HRESULT SetTooltipText(const Dispatch& control, const std::u16string& text) {
  return control.PutProperty(L"TooltipText", Variant::Text(text));
}

HRESULT SetTag(const Dispatch& control, const std::u16string& tag) {
  return control.PutProperty(L"Tag", Variant::Text(tag));
}

HRESULT GetTag(const Dispatch& control, std::u16string& tag) {
  Variant value;
  HRESULT hr = control.GetProperty(L"Tag", value);
  if (FAILED(hr)) return hr;
  tag = value.AsText().value_or(u"");
  return S_OK;
}

Dispatch AsCommandBarButton(const Dispatch& control) {
  Microsoft::WRL::ComPtr<IDispatch> button;
  if (!control || FAILED(control.Get()->QueryInterface(
                      kIidCommandBarButton, reinterpret_cast<void**>(button.GetAddressOf())))) {
    return {};
  }
  return Dispatch(button);
}

HRESULT SetFaceId(const Dispatch& button, long faceId) {
  return button.PutProperty(L"FaceId", Variant::Long(faceId));
}

HRESULT SetStyle(const Dispatch& button, long style) {
  return button.PutProperty(L"Style", Variant::Long(style));
}

HRESULT ButtonEventsConnection(const Dispatch& button,
                               Microsoft::WRL::ComPtr<IConnectionPoint>& connection) {
  if (!button) return E_POINTER;
  Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
  HRESULT hr = button.Get()->QueryInterface(IID_PPV_ARGS(&container));
  if (FAILED(hr)) return hr;
  return container->FindConnectionPoint(kDiidCommandBarButtonEvents, connection.ReleaseAndGetAddressOf());
}

}  // namespace outlook
