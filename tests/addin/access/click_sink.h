#pragma once
#include <windows.h>

#include <ole2.h>

#include "addin/access/outlook_ids.h"

// A Click sink for tests: records what each Click brought and may set the
// cancel flag.
class ClickSink : public IDispatch {
 public:
  explicit ClickSink(bool answersEvents = true) : answersEvents_(answersEvents) {}

  int clicks = 0;
  UINT lastArgCount = 0;
  VARTYPE lastButtonType = VT_EMPTY, lastCancelType = VT_EMPTY;
  IDispatch* lastButton = nullptr;  // not owned; valid during the test
  bool setCancel = false;
  ULONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch ||
        (answersEvents_ && iid == outlook::kDiidCommandBarButtonEvents)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  // Lives on the test's stack; the count only shows who still holds it.
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    if (id != 1 || !params) return DISP_E_MEMBERNOTFOUND;
    ++clicks;
    lastArgCount = params->cArgs;
    if (params->cArgs == 2) {
      lastButtonType = params->rgvarg[1].vt;
      lastButton = params->rgvarg[1].pdispVal;
      lastCancelType = params->rgvarg[0].vt;
      if (setCancel && lastCancelType == (VT_BOOL | VT_BYREF)) *params->rgvarg[0].pboolVal = VARIANT_TRUE;
    }
    return S_OK;
  }

 private:
  bool answersEvents_;
};
