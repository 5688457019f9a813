// The click sink's IDispatch contract and its connection lifecycle.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "addin/access/com_apartment.h"
#include "addin/access/office_access.h"
#include "addin/access/outlook_access.h"
#include "addin/access/outlook_ids.h"
#include "addin/module_lock.h"
#include "addin/outlook_button_win.h"
#include "standin/stand_in.h"
#include "ui/run_in_progress.h"

using Microsoft::WRL::ComPtr;

namespace {

class OutlookButtonTest : public ::testing::Test {
 protected:
  OutlookButtonTest() : client_(standin::StandIn::FromJson("{}")) {
    commands_->commands.push_back({u"Mine", [this](const CommandContext&) { ++mineRuns_; }});
    commands_->commands.push_back({u"Other", [this](const CommandContext&) { ++otherRuns_; }});
  }

  // A toolbar button with `tag`, made the way the add-in makes them.
  outlook::Dispatch MakeButton(const std::u16string& tag) {
    outlook::Dispatch application(client_->Application());
    outlook::Dispatch bars, bar, controls, control;
    EXPECT_EQ(outlook::ExplorerCommandBars(outlook::ActiveExplorer(application), bars), S_OK);
    EXPECT_EQ(outlook::AddCommandBar(bars, u"Bar " + tag, 1, true, bar), S_OK);
    EXPECT_EQ(outlook::BarControls(bar, controls), S_OK);
    EXPECT_EQ(outlook::AddControl(controls, 1, true, control), S_OK);
    EXPECT_EQ(outlook::SetTag(control, tag), S_OK);
    return control;
  }

  COutlookButton* NewSink(const std::u16string& tag) {
    return new COutlookButton(MakeButton(tag), outlook::Dispatch(client_->Application()), commands_);
  }

  // Click as the host sends it: the button, then the cancel flag by
  // reference; arguments in reverse order.
  HRESULT Click(IDispatch* sink, VARIANT button, DISPID id = 1, REFIID riid = IID_NULL, UINT count = 2) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[2];
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    args[1] = button;
    DISPPARAMS params{args, nullptr, count, 0};
    return sink->Invoke(id, riid, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }

  VARIANT AsArgument(IDispatch* object) {
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
  }

  ComApartment apartment_;
  std::shared_ptr<CommandTable> commands_ = std::make_shared<CommandTable>();
  int mineRuns_ = 0, otherRuns_ = 0;
  std::unique_ptr<standin::StandIn> client_;
};

TEST_F(OutlookButtonTest, AnswersItsThreeInterfacesAsOneObject) {
  COutlookButton* sink = NewSink(u"Mine");
  EXPECT_EQ(sink->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
  for (REFIID iid : {IID_IUnknown, IID_IDispatch, outlook::kDiidCommandBarButtonEvents}) {
    void* out = nullptr;
    ASSERT_EQ(sink->QueryInterface(iid, &out), S_OK);
    EXPECT_EQ(out, static_cast<IDispatch*>(sink));
    static_cast<IUnknown*>(out)->Release();
  }
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(sink->QueryInterface(IID_IConnectionPointContainer, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(sink->AddRef(), 3u) << "one from construction, one from the connection";
  EXPECT_EQ(sink->Release(), 2u);
}

TEST_F(OutlookButtonTest, DescribesNoTypeAndNamesEverythingZero) {
  COutlookButton* sink = NewSink(u"Mine");
  UINT count = 7;
  EXPECT_EQ(sink->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(sink->GetTypeInfoCount(nullptr), E_POINTER);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(sink->GetTypeInfo(0, 0, &info), E_FAIL);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(sink->GetTypeInfo(0, 0, nullptr), E_POINTER);

  wchar_t click[] = L"Click", other[] = L"Whatever";
  LPOLESTR names[] = {click, other};
  DISPID ids[2] = {-1, -1};
  EXPECT_EQ(sink->GetIDsOfNames(IID_IDispatch, names, 1, 0, ids), DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, nullptr, 1, 0, ids), E_POINTER);
  EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names, 1, 0, nullptr), E_POINTER);
  EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names, 2, 0, ids), E_INVALIDARG);
  EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, names + 1, 1, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 0);
}

TEST_F(OutlookButtonTest, InvokeChecksInterfaceMemberParametersAndCountInThatOrder) {
  COutlookButton* sink = NewSink(u"Mine");
  outlook::Dispatch button(client_->Button(u"Mine"));
  VARIANT arg = AsArgument(button.Get());
  EXPECT_EQ(Click(sink, arg, 2, IID_IDispatch, 1), DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(Click(sink, arg, 2, IID_NULL, 1), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(Click(sink, arg, 1, IID_NULL, 1), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(mineRuns_, 0);
  EXPECT_EQ(Click(sink, arg), S_OK);
  EXPECT_EQ(mineRuns_, 1);
}

TEST_F(OutlookButtonTest, AClickWhoseButtonIsNotAnObjectIsIgnored) {
  COutlookButton* sink = NewSink(u"Mine");
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 1;
  EXPECT_EQ(Click(sink, number), S_OK);
  VARIANT empty;
  empty.vt = VT_EMPTY;
  EXPECT_EQ(Click(sink, empty), S_OK);
  EXPECT_EQ(mineRuns_, 0);
}

TEST_F(OutlookButtonTest, TheSinksOwnButtonDecidesWhateverTheEventNames) {
  COutlookButton* sink = NewSink(u"Mine");
  outlook::Dispatch other = MakeButton(u"Other");
  EXPECT_EQ(Click(sink, AsArgument(other.Get())), S_OK);
  EXPECT_EQ(mineRuns_, 1);
  EXPECT_EQ(otherRuns_, 0);
}

TEST_F(OutlookButtonTest, NoCommandStartsWhileARunIsInProgressOrInsideAnotherCommand) {
  COutlookButton* sink = NewSink(u"Mine");
  // The sink's own button decides; the event's button is only an argument.
  outlook::Dispatch button = MakeButton(u"Other");
  {
    const RunInProgress run;
    EXPECT_EQ(Click(sink, AsArgument(button.Get())), S_OK);
    EXPECT_EQ(mineRuns_, 0) << "a click while a run sends";
  }
  // A click that reaches the toolbar while the first command's dialog is
  // open arrives inside that command.
  int nested = 0;
  commands_->commands.push_back({u"Nesting", [&](const CommandContext&) {
                                   ++nested;
                                   Click(sink, AsArgument(button.Get()));
                                 }});
  COutlookButton* nesting = NewSink(u"Nesting");
  EXPECT_EQ(Click(nesting, AsArgument(button.Get())), S_OK);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(mineRuns_, 0) << "a click inside another command";
  EXPECT_EQ(Click(sink, AsArgument(button.Get())), S_OK);
  EXPECT_EQ(mineRuns_, 1) << "once both have ended";
}

// The test prefix runs with code page 1252, where 0x80 is the euro sign and
// 0xE4 is a-umlaut: a byte-by-byte copy would show U+0080 instead.
TEST_F(OutlookButtonTest, AFailingCommandIsReportedInTheUsersCodePage) {
  ASSERT_EQ(GetACP(), 1252u);
  std::vector<std::u16string> reports;
  commands_->reportFailure = [&reports](HWND, const std::u16string& message) { reports.push_back(message); };
  commands_->commands.push_back({u"Failing", [](const CommandContext&) {
    throw std::runtime_error("Kosten \x80 5, Ger\xE4t fehlt");
  }});
  commands_->commands.push_back({u"Odd", [](const CommandContext&) { throw 42; }});
  COutlookButton* failing = NewSink(u"Failing");
  COutlookButton* odd = NewSink(u"Odd");
  outlook::Dispatch any = MakeButton(u"Any");
  EXPECT_EQ(Click(failing, AsArgument(any.Get())), S_OK);
  EXPECT_EQ(Click(odd, AsArgument(any.Get())), S_OK);
  EXPECT_EQ(reports, (std::vector<std::u16string>{
                         u"The command could not be completed: Kosten \u20AC 5, Ger\u00E4t fehlt",
                         u"The command could not be completed: unknown error"}));
}

TEST_F(OutlookButtonTest, StaysAdvisedUntilBothReferencesAreGone) {
  COutlookButton* sink = NewSink(u"Mine");
  EXPECT_EQ(client_->Toolbars().at(0).buttons.at(0).sinkCount, 1u);
  EXPECT_EQ(sink->Release(), 1u) << "the connection still holds it";
  EXPECT_EQ(client_->Click(u"Mine"), 1u);
  EXPECT_EQ(mineRuns_, 1);
}

// A button whose connection point keeps the sink without counting it and
// lets go of it again at Unadvise: the sink is destroyed while advised and
// then released once more, at a count of 0.
class UncountingButton : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
      *out = static_cast<IConnectionPointContainer*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
    if (iid != outlook::kDiidCommandBarButtonEvents) return CONNECT_E_NOCONNECTION;
    *out = this;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP GetConnectionInterface(IID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IUnknown* newSink, DWORD* cookie) override {
    sink = newSink;
    *cookie = 77;
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    unadvisedCookie = cookie;
    releaseAtZero = sink->Release();
    return S_OK;
  }
  STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  ULONG refs = 1;
  IUnknown* sink = nullptr;
  DWORD unadvisedCookie = 0;
  ULONG releaseAtZero = 99;
};

TEST_F(OutlookButtonTest, DestructionUnadvisesAndAReleaseAtZeroChangesNothing) {
  UncountingButton button;
  long moduleCount = ModuleLockCount();
  auto* sink = new COutlookButton(outlook::Dispatch(ComPtr<IDispatch>(&button)),
                                  outlook::Dispatch(client_->Application()), commands_);
  ASSERT_EQ(button.sink, static_cast<IDispatch*>(sink));
  ULONG heldByButton = button.refs;
  EXPECT_EQ(ModuleLockCount(), moduleCount + 1) << "a live sink keeps the library loaded";
  EXPECT_EQ(sink->Release(), 0u);
  EXPECT_EQ(ModuleLockCount(), moduleCount);
  EXPECT_EQ(button.unadvisedCookie, 77u);
  EXPECT_EQ(button.releaseAtZero, 0u);
  EXPECT_LT(button.refs, heldByButton) << "the sink let go of the button and its connection";
}

}  // namespace
