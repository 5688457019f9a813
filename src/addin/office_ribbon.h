#pragma once
#include <windows.h>

#include <oaidl.h>

// The Office ribbon interfaces the add-in meets, declared from their
// published identifiers and members (no Office header or type library is
// used). Both derive from IDispatch.

inline constexpr IID IID_IRibbonExtensibility = {
    0x000C0396, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IRibbonControl = {
    0x000C0395, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Asked once per kind of window for its customUI document.
struct IRibbonExtensibility : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbonId, BSTR* ribbonXml) = 0;
};

// The control a callback is made for; Context is the window, or the
// selection for a context menu.
struct IRibbonControl : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) = 0;
};

__CRT_UUID_DECL(IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
__CRT_UUID_DECL(IRibbonControl, 0x000C0395, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
