#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

#include <vector>

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

// A session online against a server that lets it hold only three items
// open at once.
class OpenItemLimitTest : public ::testing::Test {
 protected:
  OpenItemLimitTest()
      : client_(StandIn::FromJson(R"({
          "contacts": [{"fullName": "Ann"}, {"fullName": "Bo"}, {"fullName": "Cy"},
                       {"kind": "distributionList", "subject": "Team"},
                       {"fullName": "Gone", "fetch": "fail"}, {"fullName": "Dee"}],
          "calendar": [{"subject": "S", "start": "2026-12-07 09:00",
                        "recipients": [{"address": "a@example.com"}],
                        "recurrence": {"pattern": "daily", "count": 3}}],
          "faults": {"openItemLimit": 3}})")) {}

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

  // The object a call gave, and its HRESULT and exception code.
  struct Fetched {
    HRESULT hr;
    SCODE scode;
    ComPtr<IDispatch> object;
  };
  static Fetched Fetch(IDispatch* from, const wchar_t* member, VARIANT arg) {
    VARIANT v;
    EXCEPINFO exception = {};
    Fetched f{Call(from, member, DISPATCH_METHOD, {arg}, &v, &exception), exception.scode, nullptr};
    if (SUCCEEDED(f.hr)) f.object = Object(v);
    VariantClear(&v);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    return f;
  }
  static VARIANT Date(double d) {
    VARIANT x;
    x.vt = VT_DATE;
    x.date = d;
    return x;
  }

  static constexpr SCODE kSessionLimit = static_cast<SCODE>(0x80040112);
  Apartment apartment_;
  std::unique_ptr<StandIn> client_;
};

TEST_F(OpenItemLimitTest, FetchesPastTheLimitFailUntilAnItemIsLetGo) {
  ComPtr<IDispatch> contacts = Items(10);
  std::vector<ComPtr<IDispatch>> held;
  for (long n : {1, 2, 4}) {  // a distribution list counts like a contact
    auto f = Fetch(contacts.Get(), L"Item", Long(n));
    ASSERT_EQ(f.hr, S_OK) << n;
    held.push_back(f.object);
  }
  EXPECT_EQ(client_->OpenItems(), 3);
  // Every kind of item is refused now, by the server's code.
  auto refused = Fetch(contacts.Get(), L"Item", Long(6));
  EXPECT_EQ(refused.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(refused.scode, kSessionLimit);
  EXPECT_EQ(Fetch(Items(9).Get(), L"Item", Long(1)).scode, kSessionLimit);
  // A bad number is still told apart from the limit.
  EXPECT_EQ(Fetch(contacts.Get(), L"Item", Long(99)).hr, DISP_E_BADINDEX);

  held.erase(held.begin());  // the last reference to Ann goes
  EXPECT_EQ(client_->OpenItems(), 2);
  // A fetch that fails opens nothing.
  EXPECT_EQ(Fetch(contacts.Get(), L"Item", Long(5)).hr, static_cast<HRESULT>(0x8004010F));
  auto dee = Fetch(contacts.Get(), L"Item", Long(6));
  ASSERT_EQ(dee.hr, S_OK);
  EXPECT_EQ(client_->OpenItems(), 3);
  // Fetching an item that is open already opens it once more.
  EXPECT_EQ(Fetch(contacts.Get(), L"Item", Long(6)).scode, kSessionLimit);

  client_->SetOpenItemLimit(std::nullopt);
  EXPECT_EQ(Fetch(contacts.Get(), L"Item", Long(6)).hr, S_OK);
  dee.object.Reset();
  held.clear();
  EXPECT_EQ(client_->OpenItems(), 0);
}

TEST_F(OpenItemLimitTest, RecipientsPatternsAndOccurrencesKeepItemsOpen) {
  client_->SetOpenItemLimit(2);
  auto series = Fetch(Items(9).Get(), L"Item", Long(1));
  ASSERT_EQ(series.hr, S_OK);
  VARIANT v;
  Call(series.object.Get(), L"Recipients", DISPATCH_PROPERTYGET, {}, &v);
  ComPtr<IDispatch> recipients = Object(v);
  VariantClear(&v);
  auto recipient = Fetch(recipients.Get(), L"Item", Long(1));
  ASSERT_EQ(recipient.hr, S_OK);
  recipients.Reset();
  Call(series.object.Get(), L"GetRecurrencePattern", DISPATCH_METHOD, {}, &v);
  ComPtr<IDispatch> pattern = Object(v);
  VariantClear(&v);
  series.object.Reset();
  // The recipient and the pattern still hold the series.
  EXPECT_EQ(client_->OpenItems(), 1);

  auto first = Fetch(pattern.Get(), L"GetOccurrence", Date(46363.375));  // 2026-12-07 09:00
  ASSERT_EQ(first.hr, S_OK);
  EXPECT_EQ(client_->OpenItems(), 2);
  auto second = Fetch(pattern.Get(), L"GetOccurrence", Date(46364.375));
  EXPECT_EQ(second.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(second.scode, kSessionLimit);
  // An occurrence that does not exist is still "not found".
  EXPECT_EQ(Fetch(pattern.Get(), L"GetOccurrence", Date(46370.375)).scode,
            static_cast<SCODE>(0x8004010F));

  first.object.Reset();
  pattern.Reset();
  EXPECT_EQ(client_->OpenItems(), 1);
  recipient.object.Reset();
  EXPECT_EQ(client_->OpenItems(), 0);
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
