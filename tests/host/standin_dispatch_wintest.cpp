#include <windows.h>
// Kept apart: windows.h must come first.
#include <ole2.h>

#include <gtest/gtest.h>

#include "standin/stand_in.h"

// The stand-in's automation objects as any late-bound caller meets them:
// names, flags, argument types and errors, beyond what the add-in uses.
namespace standin {
namespace {

using Microsoft::WRL::ComPtr;

class Apartment {
 public:
  Apartment() { OleInitialize(nullptr); }
  ~Apartment() { OleUninitialize(); }
};

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 0;
  return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id)) ? id : DISPID_UNKNOWN;
}

// Calls `name` with `args` (natural order); the result goes to `result`.
HRESULT Call(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> args,
             VARIANT* result, EXCEPINFO* exception = nullptr) {
  std::reverse(args.begin(), args.end());
  DISPPARAMS params = {args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  DISPID put = DISPID_PROPERTYPUT;
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  if (result) VariantInit(result);
  return object->Invoke(IdOf(object, name), IID_NULL, 0, flags, &params, result, exception, nullptr);
}

VARIANT Long(long v) {
  VARIANT x;
  x.vt = VT_I4;
  x.lVal = v;
  return x;
}

VARIANT Text(const wchar_t* v) {  // the caller's SysFreeString is skipped: test scope only
  VARIANT x;
  x.vt = VT_BSTR;
  x.bstrVal = SysAllocString(v);
  return x;
}

ComPtr<IDispatch> Object(const VARIANT& v) {
  return v.vt == VT_DISPATCH ? ComPtr<IDispatch>(v.pdispVal) : nullptr;
}

class StandInDispatchTest : public ::testing::Test {
 protected:
  StandInDispatchTest()
      : client_(StandIn::FromJson(R"({
          "contacts": [{"fullName": "Ann"}, {"fullName": "Bo"}],
          "calendar": [{"subject": "S", "start": "2026-12-07 09:00",
                        "recurrence": {"pattern": "daily", "count": 3}}]})")) {}

  ComPtr<IDispatch> Items(long folder) {
    VARIANT v;
    Call(client_->Application().Get(), L"Session", DISPATCH_PROPERTYGET, {}, &v);
    ComPtr<IDispatch> session = Object(v);
    VariantClear(&v);
    Call(session.Get(), L"GetDefaultFolder", DISPATCH_METHOD, {Long(folder)}, &v);
    ComPtr<IDispatch> f = Object(v);
    VariantClear(&v);
    Call(f.Get(), L"Items", DISPATCH_PROPERTYGET, {}, &v);
    ComPtr<IDispatch> items = Object(v);
    VariantClear(&v);
    return items;
  }

  Apartment apartment_;
  std::unique_ptr<StandIn> client_;
};

TEST_F(StandInDispatchTest, NamesIdsAndFlags) {
  ComPtr<IDispatch> items = Items(10);
  ASSERT_TRUE(items);
  EXPECT_EQ(IdOf(items.Get(), L"count"), IdOf(items.Get(), L"Count"));
  EXPECT_EQ(IdOf(items.Get(), L"NoSuchMember"), DISPID_UNKNOWN);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Count")};
  DISPID id;
  EXPECT_EQ(items->GetIDsOfNames(IID_IDispatch, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
  DISPPARAMS none = {};
  EXPECT_EQ(items->Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(items->Invoke(IdOf(items.Get(), L"Count"), IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none,
                          nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  // Count is read-only.
  EXPECT_EQ(Call(items.Get(), L"Count", DISPATCH_PROPERTYPUT, {Long(3)}, nullptr), DISP_E_MEMBERNOTFOUND);
  UINT typeInfos = 9;
  EXPECT_EQ(items->GetTypeInfoCount(&typeInfos), S_OK);
  EXPECT_EQ(typeInfos, 0u);
}

TEST_F(StandInDispatchTest, ItemNumbersAreCoercedAndChecked) {
  ComPtr<IDispatch> items = Items(10);
  VARIANT v;
  EXPECT_EQ(Call(items.Get(), L"Item", DISPATCH_METHOD, {Text(L"2")}, &v), S_OK);
  ComPtr<IDispatch> second = Object(v);
  VariantClear(&v);
  ASSERT_TRUE(second);
  EXPECT_EQ(Call(second.Get(), L"FullName", DISPATCH_PROPERTYGET, {}, &v), S_OK);
  EXPECT_STREQ(v.bstrVal, L"Bo");
  VariantClear(&v);
  EXPECT_EQ(Call(items.Get(), L"Item", DISPATCH_METHOD, {}, &v), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(Call(items.Get(), L"Item", DISPATCH_METHOD, {Text(L"two")}, &v), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(items.Get(), L"Item", DISPATCH_METHOD, {Long(3)}, &v), DISP_E_BADINDEX);
}

TEST_F(StandInDispatchTest, AMissingOccurrenceIsAnExceptionWithADescription) {
  ComPtr<IDispatch> items = Items(9);
  VARIANT v;
  Call(items.Get(), L"Item", DISPATCH_METHOD, {Long(1)}, &v);
  ComPtr<IDispatch> series = Object(v);
  VariantClear(&v);
  Call(series.Get(), L"GetRecurrencePattern", DISPATCH_METHOD, {}, &v);
  ComPtr<IDispatch> pattern = Object(v);
  VariantClear(&v);
  ASSERT_TRUE(pattern);
  VARIANT when;
  when.vt = VT_DATE;
  when.date = 46363.375;  // 2026-12-07 09:00
  EXPECT_EQ(Call(pattern.Get(), L"GetOccurrence", DISPATCH_METHOD, {when}, &v), S_OK);
  VariantClear(&v);
  when.date += 3;  // past the third
  EXCEPINFO exception = {};
  EXPECT_EQ(Call(pattern.Get(), L"GetOccurrence", DISPATCH_METHOD, {when}, &v, &exception),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, static_cast<SCODE>(0x8004010F));
  ASSERT_NE(exception.bstrDescription, nullptr);
  EXPECT_GT(SysStringLen(exception.bstrDescription), 0u);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
}

TEST_F(StandInDispatchTest, ControlsGoBeforeTheNumberedOneAndOnlyButtonsAreOffered) {
  VARIANT v;
  Call(client_->Application().Get(), L"ActiveExplorer", DISPATCH_PROPERTYGET, {}, &v);
  ComPtr<IDispatch> explorer = Object(v);
  VariantClear(&v);
  Call(explorer.Get(), L"CommandBars", DISPATCH_PROPERTYGET, {}, &v);
  ComPtr<IDispatch> bars = Object(v);
  VariantClear(&v);
  ASSERT_EQ(Call(bars.Get(), L"Add", DISPATCH_METHOD, {Text(L"Bar")}, &v), S_OK);
  ComPtr<IDispatch> bar = Object(v);
  VariantClear(&v);
  EXPECT_EQ(Call(bars.Get(), L"Item", DISPATCH_METHOD, {Text(L"Bar")}, &v), S_OK);
  EXPECT_EQ(Object(v), bar);
  VariantClear(&v);
  Call(bar.Get(), L"Controls", DISPATCH_PROPERTYGET, {}, &v);
  ComPtr<IDispatch> controls = Object(v);
  VariantClear(&v);

  for (const wchar_t* tag : {L"first", L"second"}) {
    ASSERT_EQ(Call(controls.Get(), L"Add", DISPATCH_METHOD, {Long(1)}, &v), S_OK);
    Call(Object(v).Get(), L"Tag", DISPATCH_PROPERTYPUT, {Text(tag)}, nullptr);
    VariantClear(&v);
  }
  VARIANT missing;
  missing.vt = VT_ERROR;
  missing.scode = DISP_E_PARAMNOTFOUND;
  ASSERT_EQ(Call(controls.Get(), L"Add", DISPATCH_METHOD, {Long(1), missing, missing, Long(1)}, &v), S_OK);
  Call(Object(v).Get(), L"Tag", DISPATCH_PROPERTYPUT, {Text(L"front")}, nullptr);
  VariantClear(&v);
  EXPECT_EQ(Call(controls.Get(), L"Add", DISPATCH_METHOD, {Long(10)}, &v), E_INVALIDARG);
  EXPECT_EQ(Call(controls.Get(), L"Add", DISPATCH_METHOD, {Long(1), missing, missing, Long(9)}, &v),
            E_INVALIDARG);

  const auto toolbars = client_->Toolbars();
  ASSERT_EQ(toolbars[0].buttons.size(), 3u);
  EXPECT_EQ(toolbars[0].buttons[0].tag, u"front");
  EXPECT_EQ(toolbars[0].buttons[2].tag, u"second");
  EXPECT_EQ(toolbars[0].position, 4);  // floating unless asked otherwise
  EXPECT_FALSE(toolbars[0].temporary);
  EXPECT_TRUE(client_->Button(u"second"));
  EXPECT_FALSE(client_->Button(u"third"));
  EXPECT_EQ(client_->Click(0, 7), 0u);
  EXPECT_EQ(client_->Calls().Of("CommandBarControls.Add"), 5);
}

TEST(StandInFile, LoadsAStoreFileByItsWindowsPath) {
  Apartment apartment;
  auto client = StandIn::FromFile(std::wstring(L"Z:") + SAMPLE_STORE_PATH);
  VARIANT v;
  Call(client->Application().Get(), L"Session", DISPATCH_PROPERTYGET, {}, &v);
  EXPECT_EQ(v.vt, VT_DISPATCH);
  VariantClear(&v);
  EXPECT_THROW(StandIn::FromJson("{\"calendar\": 3}", "inline"), StoreError);
}

}  // namespace
}  // namespace standin
