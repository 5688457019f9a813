#pragma once
#include <windows.h>

#include <ole2.h>
#include <wrl/client.h>

#include <memory>
#include <optional>
#include <string>

#include "standin/world.h"

namespace standin {

using Microsoft::WRL::ComPtr;

struct Member {
  const wchar_t* name;
  DISPID id;
};

// The arguments of one Invoke in their natural order (DISPPARAMS holds
// them last to first). An omitted argument reads as absent.
class Args {
 public:
  explicit Args(const DISPPARAMS* params) : params_(params) {}
  size_t Count() const;
  bool Has(size_t i) const;
  std::optional<long> Long(size_t i) const;
  std::optional<double> Date(size_t i) const;
  std::optional<bool> Bool(size_t i) const;
  std::optional<std::u16string> Text(size_t i) const;
  // The value assigned by a property put.
  const VARIANT* PutValue() const;

 private:
  const VARIANT* At(size_t i) const;
  const DISPPARAMS* params_;
};

// Results handed back through Invoke. A null text gives a null BSTR.
HRESULT ReturnText(VARIANT* result, const std::optional<std::u16string>& text);
HRESULT ReturnLong(VARIANT* result, long value);
HRESULT ReturnBool(VARIANT* result, bool value);
HRESULT ReturnDate(VARIANT* result, double value);
HRESULT ReturnObject(VARIANT* result, IDispatch* object);
// Reads a property put's value as `type`.
HRESULT PutValueAs(const Args& args, VARTYPE type, VARIANT& value);

// Base of the stand-in's automation objects: IDispatch by a table of member
// names, every Invoke counted as "Class.Member" and checked against the
// injected faults before the member runs. No exception leaves a COM call.
class AutomationObject : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 protected:
  AutomationObject(std::shared_ptr<World> world, const char* className, const Member* members,
                   size_t memberCount);
  virtual ~AutomationObject() = default;

  virtual HRESULT InvokeMember(DISPID id, WORD flags, const Args& args, VARIANT* result,
                               EXCEPINFO* exception) = 0;
  // The object's own interface identifiers besides IUnknown and IDispatch.
  virtual bool AnswersAsDispatch(REFIID) const { return false; }
  // Interfaces other than IDispatch (connection points).
  virtual void* OtherInterface(REFIID) { return nullptr; }
  // A failure this item was given in the store for `member`.
  virtual std::optional<long> StoredFault(const std::wstring&) const { return std::nullopt; }
  // The tag that fault rules may be limited to.
  virtual std::u16string FaultTag() const { return u""; }
  // Checks the injected faults for a call that is not an Invoke.
  std::optional<long> InjectedFault(const std::string& member);

  std::shared_ptr<World> world_;

 private:
  const Member* FindMember(DISPID id) const;

  ULONG refs_ = 0;
  const char* className_;
  const Member* members_;
  size_t memberCount_;
};

template <class T, class... A>
ComPtr<T> Make(A&&... args) {
  return ComPtr<T>(new T(std::forward<A>(args)...));
}

std::string Narrow(const std::wstring& text);

}  // namespace standin
