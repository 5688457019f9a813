// The DLL's entry points, class factory and add-in object, loaded as the
// mail client loads them.
#include <windows.h>

#include <olectl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "addin/addin_interfaces.h"

using Microsoft::WRL::ComPtr;

namespace {

using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(WINAPI*)();

class ComServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    module_ = LoadLibraryW(ADDIN_DLL_PATH);
    ASSERT_NE(module_, nullptr);
    getClassObject_ = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
  }
  static void TearDownTestSuite() {
    FreeLibrary(module_);
    CoUninitialize();
  }

  void SetUp() override {
    ASSERT_NE(getClassObject_, nullptr);
    ASSERT_NE(canUnloadNow_, nullptr);
    ASSERT_EQ(canUnloadNow_(), S_OK) << "a previous test left the module in use";
  }

  ComPtr<IClassFactory> Factory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject_(CLSID_QuorvalOAddin, IID_IClassFactory, &factory), S_OK);
    return factory;
  }

  ComPtr<IUnknown> NewAddin() {
    ComPtr<IUnknown> addin;
    EXPECT_EQ(Factory()->CreateInstance(nullptr, IID_IUnknown, &addin), S_OK);
    return addin;
  }

  static HMODULE module_;
  static GetClassObjectFn getClassObject_;
  static CanUnloadNowFn canUnloadNow_;
};

HMODULE ComServer::module_ = nullptr;
GetClassObjectFn ComServer::getClassObject_ = nullptr;
CanUnloadNowFn ComServer::canUnloadNow_ = nullptr;

// An outer object that counts the calls its inner object delegates to it.
class CountingOuter : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    ++queries;
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  int queries = 0;
  ULONG refs = 1;
};

TEST_F(ComServer, ClassObjectIsOnlyForTheAddinClassAndFactoryInterfaces) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject_(IID_IDispatch, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject_(CLSID_QuorvalOAddin, IID_IDispatch, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(getClassObject_(CLSID_QuorvalOAddin, IID_IClassFactory, nullptr), E_POINTER);

  ComPtr<IUnknown> first, second;
  ASSERT_EQ(getClassObject_(CLSID_QuorvalOAddin, IID_IUnknown, &first), S_OK);
  ASSERT_EQ(getClassObject_(CLSID_QuorvalOAddin, IID_IClassFactory, &second), S_OK);
  ComPtr<IUnknown> secondIdentity;
  second.As(&secondIdentity);
  EXPECT_EQ(first.Get(), secondIdentity.Get()) << "one factory, kept by the module";
}

TEST_F(ComServer, ModuleStaysWhileAFactoryClientAnObjectOrALockLives) {
  ComPtr<IClassFactory> factory = Factory();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  ComPtr<IUnknown> addin;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &addin), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "object and lock still live";
  addin.Reset();
  EXPECT_EQ(canUnloadNow_(), S_FALSE) << "lock still outstanding";
  Factory()->LockServer(FALSE);
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ComServer, CreateInstanceFollowsTheAggregationRules) {
  ComPtr<IClassFactory> factory = Factory();
  void* out = reinterpret_cast<void*>(1);
  CountingOuter outer;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &out), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, nullptr), E_POINTER);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  ComPtr<IUnknown> inner;
  ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &inner), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(inner.As(&dispatch), S_OK) << "the inner unknown answers for itself";
  EXPECT_EQ(outer.refs, 2u) << "references on the interfaces go to the outer object";
  ComPtr<ISupportErrorInfo> errorInfo;
  EXPECT_EQ(dispatch.As(&errorInfo), E_NOINTERFACE) << "the outer object decides";
  EXPECT_EQ(outer.queries, 1);
  dispatch.Reset();
  EXPECT_EQ(outer.refs, 1u);
  factory.Reset();
  inner.Reset();
  EXPECT_EQ(canUnloadNow_(), S_OK) << "a failed query destroys the new object";
}

TEST_F(ComServer, AddinAnswersOnlyItsFourInterfacesWithOneIdentity) {
  ComPtr<IUnknown> addin = NewAddin();
  for (REFIID iid : {IID_IDispatch, IID_IQuorvalOAddin, IID_ISupportErrorInfo, IID__IDTExtensibility2}) {
    ComPtr<IUnknown> part, identity;
    ASSERT_EQ(addin.CopyTo(iid, &part), S_OK);
    ASSERT_EQ(part.As(&identity), S_OK);
    EXPECT_EQ(identity.Get(), addin.Get());
  }
  for (REFIID iid : {IID_IConnectionPointContainer, IID_IProvideClassInfo, IID_IPersist, IID_IClassFactory}) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(addin->QueryInterface(iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  ComPtr<ISupportErrorInfo> errorInfo;
  addin.As(&errorInfo);
  EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IQuorvalOAddin), S_OK);
  EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID__IDTExtensibility2), S_FALSE);
}

TEST_F(ComServer, AddinDispatchIsServedFromTheEmbeddedTypeLibrary) {
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(NewAddin().As(&dispatch), S_OK);
  UINT count = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(dispatch->GetTypeInfo(0, 0, &info), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, IID_IQuorvalOAddin);
  info->ReleaseTypeAttr(attributes);
  EXPECT_EQ(dispatch->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);

  wchar_t name[] = L"Anything";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_IDispatch, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
  DISPPARAMS none{};
  EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
}

TEST_F(ComServer, ConnectionInterfaceFailsCleanlyWithoutTheDesignerLibrary) {
  ComPtr<_IDTExtensibility2> connection;
  ASSERT_EQ(NewAddin().As(&connection), S_OK);
  ComPtr<ITypeInfo> info;
  ComPtr<ITypeLib> designer;
  bool designerRegistered = SUCCEEDED(LoadRegTypeLib(LIBID_AddInDesignerObjects, 1, 0, 0, &designer));
  HRESULT hr = connection->GetTypeInfo(0, 0, &info);
  EXPECT_EQ(SUCCEEDED(hr), designerRegistered);
  wchar_t name[] = L"OnConnection";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  if (!designerRegistered) {
    EXPECT_TRUE(FAILED(connection->GetIDsOfNames(IID_NULL, names, 1, 0, &id)));
  }

  EXPECT_EQ(connection->OnDisconnection(0, nullptr), E_NOTIMPL);
  EXPECT_EQ(connection->OnAddInsUpdate(nullptr), E_NOTIMPL);
  EXPECT_EQ(connection->OnStartupComplete(nullptr), E_NOTIMPL);
  EXPECT_EQ(connection->OnBeginShutdown(nullptr), E_NOTIMPL);
}

TEST_F(ComServer, ConnectionWithoutAMailClientFailsAndLeavesNothingBehind) {
  ComPtr<IUnknown> addin = NewAddin();
  ComPtr<_IDTExtensibility2> connection;
  ASSERT_EQ(addin.As(&connection), S_OK);
  EXPECT_TRUE(FAILED(connection->OnConnection(nullptr, 0, nullptr, nullptr)));
  // An automation object that is not the mail client's application.
  ComPtr<IDispatch> stranger;
  ASSERT_EQ(addin.As(&stranger), S_OK);
  EXPECT_TRUE(FAILED(connection->OnConnection(stranger.Get(), 0, nullptr, nullptr)));
  stranger.Reset();
  connection.Reset();
  addin.Reset();
  EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST(AddinVersion, NamesTheFileAndVersionOnePointZeroZeroOne) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(ADDIN_DLL_PATH, &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(ADDIN_DLL_PATH, 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  wchar_t* name = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\OriginalFilename",
                             reinterpret_cast<void**>(&name), &length));
  EXPECT_STREQ(name, L"QuorvalSmsOutlookAddin.dll");
}

}  // namespace
