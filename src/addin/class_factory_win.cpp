#include "addin/class_factory_win.h"

#include <wrl/client.h>

#include <mutex>
#include <new>

#include "addin/module_lock.h"
#include "addin/quorval_addin_win.h"

namespace {

class CQuorvalOAddinFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }

  // The module keeps the first reference; any further one is a client
  // that keeps the module loaded.
  STDMETHODIMP_(ULONG) AddRef() override {
    LONG count = InterlockedIncrement(&refCount_);
    if (count == 2) ModuleLock();
    return static_cast<ULONG>(count);
  }

  STDMETHODIMP_(ULONG) Release() override {
    LONG count = InterlockedDecrement(&refCount_);
    if (count == 1) ModuleUnlock();
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    try {
      return CQuorvalOAddin::Create(outer, riid, out, ProductCommands());
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      ModuleLock();
    } else {
      ModuleUnlock();
    }
    return S_OK;
  }

 private:
  virtual ~CQuorvalOAddinFactory() = default;

  // The module's holder takes the first reference.
  LONG refCount_ = 0;
};

std::mutex g_factoryLock;
// Released with the module's static objects when the library unloads.
Microsoft::WRL::ComPtr<IClassFactory> g_factory;

}  // namespace

HRESULT GetAddinClassFactory(REFIID riid, void** out) {
  std::lock_guard<std::mutex> hold(g_factoryLock);
  if (!g_factory) {
    // Assigned, not attached: mingw's ComPtr::Attach adds a reference.
    g_factory = new (std::nothrow) CQuorvalOAddinFactory;
    if (!g_factory) return E_OUTOFMEMORY;
  }
  return g_factory->QueryInterface(riid, out);
}
