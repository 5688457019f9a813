#include "program/connected_addin_win.h"

namespace host {

namespace {

// The "custom" argument of the connection calls: an empty array of
// variants, as the client passes it.
class CustomArray {
 public:
  CustomArray() : array_(SafeArrayCreateVector(VT_VARIANT, 0, 0)) {}
  ~CustomArray() {
    if (array_) SafeArrayDestroy(array_);
  }
  CustomArray(const CustomArray&) = delete;
  CustomArray& operator=(const CustomArray&) = delete;
  SAFEARRAY** Get() { return &array_; }

 private:
  SAFEARRAY* array_;
};

}  // namespace

HRESULT ConnectedAddin::Connect(IDispatch* application, std::wstring& step) {
  CLSID clsid;
  step = L"CLSIDFromProgID";
  HRESULT hr = CLSIDFromProgID(progId_.c_str(), &clsid);
  if (FAILED(hr)) return hr;
  step = L"CoCreateInstance";
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kIidExtensibility2,
                        reinterpret_cast<void**>(addin_.ReleaseAndGetAddressOf()));
  if (FAILED(hr)) return hr;
  step = L"OnConnection";
  CustomArray custom;
  hr = addin_->OnConnection(application, kStartup, nullptr, custom.Get());
  if (FAILED(hr)) return hr;
  connected_ = true;
  addin_->OnStartupComplete(custom.Get());
  return S_OK;
}

ConnectedAddin::~ConnectedAddin() {
  if (!addin_) return;
  if (connected_) {
    CustomArray custom;
    addin_->OnBeginShutdown(custom.Get());
    addin_->OnDisconnection(kHostShutdown, custom.Get());
  }
}

}  // namespace host
