#pragma once
#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <functional>
#include <string>

// The ribbon control the client hands to an add-in's callbacks, with the
// Office interface as its public documentation declares it.
namespace standin {

inline constexpr IID kIidRibbonExtensibility = {
    0x000C0396, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kIidRibbonControl = {
    0x000C0395, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

inline constexpr IID kIidRibbonUi = {
    0x000C03A7, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct RibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbonId, BSTR* ribbonXml) = 0;
};

struct RibbonControlInterface : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) = 0;
};

// One control of a loaded customUI document: its id and tag, and the
// window or selection it acts on.
class RibbonControl final : public RibbonControlInterface {
 public:
  RibbonControl(std::u16string id, std::u16string tag, Microsoft::WRL::ComPtr<IDispatch> context);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override;
  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override;
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override;
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override;

 private:
  ~RibbonControl() = default;
  ULONG refs_ = 0;
  std::u16string id_, tag_;
  Microsoft::WRL::ComPtr<IDispatch> context_;
};

struct RibbonUiInterface : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR controlId) = 0;
  virtual HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR controlId) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTab(BSTR controlId) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR controlId) = 0;
  virtual HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR controlId, BSTR nameSpace) = 0;
};

// The ribbon of one window, handed to a document's onLoad. Invalidating
// it, or any control of it, calls `invalidated` (when set), which asks the
// add-in's dynamic attributes again; tabs are not switched.
class RibbonUi final : public RibbonUiInterface {
 public:
  std::function<void()> invalidated;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invalidate() override;
  HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR) override { return Invalidate(); }
  HRESULT STDMETHODCALLTYPE InvalidateControlMso(BSTR) override { return Invalidate(); }
  HRESULT STDMETHODCALLTYPE ActivateTab(BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTabMso(BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ActivateTabQ(BSTR, BSTR) override { return S_OK; }

 private:
  ~RibbonUi() = default;
  ULONG refs_ = 0;
};

// Calls the callback `name` of `addin` through its IDispatch, as Office
// does: GetIDsOfNames, then Invoke with `control` as the one argument.
HRESULT CallRibbonCallback(IDispatch* addin, const std::u16string& name, IDispatch* control, VARIANT* result);

}  // namespace standin
