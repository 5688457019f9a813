// A test double of an add-in for the host program's tests: on connection it
// adds one toolbar with one button and advises a Click sink that appends
// "clicked <tag>" to the file named by QUORVAL_HOST_TEST_MARKER; it appends
// "disconnected" when the host disconnects it.
#include <windows.h>

#include <ole2.h>

#include <cstdio>
#include <string>

#include "addin/access/office_access.h"
#include "addin/access/outlook_access.h"
#include "program/idt_extensibility2.h"

namespace {

// {6E0C7A3B-2F91-4C55-9B0E-3D8A61F4C2A7}
constexpr CLSID kTestAddinClsid = {
    0x6E0C7A3B, 0x2F91, 0x4C55, {0x9B, 0x0E, 0x3D, 0x8A, 0x61, 0xF4, 0xC2, 0xA7}};

LONG g_objects = 0;

void AppendMarker(const std::string& line) {
  wchar_t path[MAX_PATH];
  if (!GetEnvironmentVariableW(L"QUORVAL_HOST_TEST_MARKER", path, MAX_PATH)) return;
  if (FILE* file = _wfopen(path, L"ab")) {
    std::fputs((line + "\n").c_str(), file);
    std::fclose(file);
  }
}

// IUnknown and an IDispatch without type information, for the doubles.
template <class Interface>
class Unknown : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }

 protected:
  Unknown() { InterlockedIncrement(&g_objects); }
  virtual ~Unknown() { InterlockedDecrement(&g_objects); }
  HRESULT Answer(bool ok, void** out) {
    *out = ok ? static_cast<IDispatch*>(this) : nullptr;
    if (!ok) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

 private:
  ULONG refs_ = 1;
};

class MarkerSink : public Unknown<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return Answer(iid == IID_IUnknown || iid == IID_IDispatch ||
                      iid == outlook::kDiidCommandBarButtonEvents,
                  out);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    if (id != 1 || !params || params->cArgs != 2 || params->rgvarg[1].vt != VT_DISPATCH) {
      return S_OK;
    }
    std::u16string tag;
    outlook::GetTag(outlook::Dispatch(params->rgvarg[1].pdispVal), tag);
    AppendMarker("clicked " + std::string(tag.begin(), tag.end()));
    return S_OK;
  }
};

class TestAddin : public Unknown<host::Extensibility2> {
 public:
  TestAddin() { sink_.Attach(new MarkerSink); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return Answer(iid == IID_IUnknown || iid == IID_IDispatch || iid == host::kIidExtensibility2, out);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int, IDispatch*,
                                         SAFEARRAY**) override {
    outlook::Dispatch app = outlook::AsOutlookApplication(application);
    outlook::Dispatch bars, bar, controls, button;
    HRESULT hr = outlook::ExplorerCommandBars(outlook::ActiveExplorer(app), bars);
    if (SUCCEEDED(hr)) hr = outlook::AddCommandBar(bars, u"Test Toolbar", 1, true, bar);
    if (SUCCEEDED(hr)) hr = outlook::SetVisible(bar, true);
    if (SUCCEEDED(hr)) hr = outlook::BarControls(bar, controls);
    if (SUCCEEDED(hr)) hr = outlook::AddControl(controls, 1, true, button);
    if (SUCCEEDED(hr)) hr = outlook::SetCaption(button, u"Test button");
    if (SUCCEEDED(hr)) hr = outlook::SetTooltipText(button, u"Writes a marker file");
    if (SUCCEEDED(hr)) hr = outlook::SetTag(button, u"TestAddinButton");
    if (SUCCEEDED(hr)) hr = outlook::ButtonEventsConnection(button, connection_);
    if (SUCCEEDED(hr)) hr = connection_->Advise(sink_.Get(), &cookie_);
    return hr;
  }
  HRESULT STDMETHODCALLTYPE OnDisconnection(int, SAFEARRAY**) override {
    if (connection_ && cookie_) connection_->Unadvise(cookie_);
    connection_.Reset();
    AppendMarker("disconnected");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

 private:
  Microsoft::WRL::ComPtr<MarkerSink> sink_;
  Microsoft::WRL::ComPtr<IConnectionPoint> connection_;
  DWORD cookie_ = 0;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* addin = new TestAddin;
    const HRESULT hr = addin->QueryInterface(iid, out);
    addin->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (clsid != kTestAddinClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects ? S_FALSE : S_OK; }
