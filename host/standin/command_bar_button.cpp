#include "standin/command_bar_button.h"

#include <vector>

#include "standin/mail_ids.h"

namespace standin {

namespace {

constexpr long kButton = 1;  // msoControlButton

HRESULT PutText(const Args& args, std::u16string& field) {
  VARIANT v;
  HRESULT hr = PutValueAs(args, VT_BSTR, v);
  if (FAILED(hr)) return hr;
  field.assign(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal));
  VariantClear(&v);
  return S_OK;
}

HRESULT PutBool(const Args& args, bool& field) {
  VARIANT v;
  HRESULT hr = PutValueAs(args, VT_BOOL, v);
  if (SUCCEEDED(hr)) field = v.boolVal != VARIANT_FALSE;
  return hr;
}

HRESULT PutLong(const Args& args, long& field) {
  VARIANT v;
  HRESULT hr = PutValueAs(args, VT_I4, v);
  if (SUCCEEDED(hr)) field = v.lVal;
  return hr;
}

}  // namespace

CommandBarButton::CommandBarButton(std::shared_ptr<World> world, long id, std::u16string parameter)
    : AutomationObject(std::move(world), "CommandBarButton", kMembers, std::size(kMembers)),
      id_(id),
      parameter_(std::move(parameter)) {}

bool CommandBarButton::AnswersAsDispatch(REFIID iid) const { return iid == kIidCommandBarButton; }

void* CommandBarButton::OtherInterface(REFIID iid) {
  if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

HRESULT CommandBarButton::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

HRESULT CommandBarButton::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != kDiidCommandBarButtonEvents) return CONNECT_E_NOCONNECTION;
  *out = &connection_;
  connection_.AddRef();
  return S_OK;
}

HRESULT CommandBarButton::InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                                       EXCEPINFO*) {
  if (id == 11) {
    bool cancel = false;
    Click(cancel);
    return S_OK;
  }
  return Property(id, flags, args, result);
}

HRESULT CommandBarButton::Property(DISPID id, WORD flags, const Args& args, VARIANT* result) {
  if (flags & DISPATCH_PROPERTYPUT) {
    switch (id) {
      case 1: return PutBool(args, visible_);
      case 2: return PutText(args, caption_);
      case 3: return PutBool(args, enabled_);
      case 4: return PutText(args, tooltip_);
      case 5: return PutText(args, tag_);
      case 6: return PutLong(args, faceId_);
      case 7: return PutLong(args, style_);
      case 10: return PutText(args, parameter_);
    }
    return DISP_E_MEMBERNOTFOUND;
  }
  switch (id) {
    case 1: return ReturnBool(result, visible_);
    case 2: return ReturnText(result, caption_);
    case 3: return ReturnBool(result, enabled_);
    case 4: return ReturnText(result, tooltip_);
    case 5: return ReturnText(result, tag_);
    case 6: return ReturnLong(result, faceId_);
    case 7: return ReturnLong(result, style_);
    case 8: return ReturnLong(result, kButton);
    case 9: return ReturnLong(result, id_);
    case 10: return ReturnText(result, parameter_);
  }
  return DISP_E_MEMBERNOTFOUND;
}

size_t CommandBarButton::Click(bool& cancelDefault) {
  // A sink may unadvise (or the button lose its last other reference)
  // while it handles the click.
  ComPtr<CommandBarButton> keepAlive(this);
  std::vector<ComPtr<IDispatch>> sinks;
  for (const auto& [cookie, sink] : sinks_) sinks.push_back(sink);
  VARIANT_BOOL cancel = cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
  for (const auto& sink : sinks) {
    VARIANT args[2];
    args[1].vt = VT_DISPATCH;
    args[1].pdispVal = static_cast<IDispatch*>(this);
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    DISPPARAMS params = {args, nullptr, 2, 0};
    sink->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                 nullptr);
  }
  cancelDefault = cancel != VARIANT_FALSE;
  return sinks.size();
}

HRESULT CommandBarButton::EventConnection::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
  *out = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

HRESULT CommandBarButton::EventConnection::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = kDiidCommandBarButtonEvents;
  return S_OK;
}

HRESULT CommandBarButton::EventConnection::GetConnectionPointContainer(
    IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = &button_;
  button_.AddRef();
  return S_OK;
}

HRESULT CommandBarButton::EventConnection::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  try {
    button_.world_->calls.Count("CommandBarButton.Advise");
    if (auto fault = button_.InjectedFault("Advise")) return *fault;
    // The sink must answer as the event interface itself, as Office asks.
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(kDiidCommandBarButtonEvents,
                                    reinterpret_cast<void**>(events.GetAddressOf())))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = button_.nextCookie_++;
    button_.sinks_.emplace(*cookie, events);
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT CommandBarButton::EventConnection::Unadvise(DWORD cookie) {
  button_.world_->calls.Count("CommandBarButton.Unadvise");
  return button_.sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT CommandBarButton::EventConnection::EnumConnections(IEnumConnections** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

}  // namespace standin
