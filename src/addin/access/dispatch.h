#pragma once
#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "addin/access/variant.h"

namespace outlook {

// A late-bound automation object, reached by member name. Each name is
// resolved with GetIDsOfNames once per object; copies of a Dispatch share
// the resolved identifiers.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(Microsoft::WRL::ComPtr<IDispatch> object);

  IDispatch* Get() const { return object_.Get(); }
  explicit operator bool() const { return object_ != nullptr; }

  // A method call (or indexed property get) with arguments in their
  // natural order.
  HRESULT Call(const wchar_t* name, std::initializer_list<const Variant*> args,
               Variant& result) const;
  HRESULT GetProperty(const wchar_t* name, Variant& result) const;
  HRESULT PutProperty(const wchar_t* name, const Variant& value) const;

  // Whether the object answers QueryInterface for `iid`; the mail client's
  // items tell their kind (contact, appointment) this way.
  bool Supports(REFIID iid) const;

 private:
  HRESULT Resolve(const wchar_t* name, DISPID& id) const;
  HRESULT Invoke(const wchar_t* name, WORD flags, DISPPARAMS& params, Variant* result) const;

  Microsoft::WRL::ComPtr<IDispatch> object_;
  std::shared_ptr<std::map<std::wstring, DISPID>> ids_;
};

}  // namespace outlook
