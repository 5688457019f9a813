// The add-in connected to the mail-client stand-in: toolbar, buttons,
// faults of the host, and clicks dispatched to commands.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "addin/access/office_access.h"
#include "addin/access/outlook_access.h"
#include "addin/module_lock.h"
#include "addin/quorval_addin_win.h"
#include "addin/access/com_apartment.h"
#include "standin/stand_in.h"
#include "support/recording_commands.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr long kRefused = static_cast<long>(0x800A01A8);
// What the host answers for a toolbar name that is taken.
constexpr long kInvalidName = static_cast<long>(0x800A0005);
// The mail client's reasons for a disconnection.
constexpr int kHostShutdown = 0;
constexpr int kUserClosed = 1;

class AddinConnection : public ::testing::Test {
 protected:
  AddinConnection() : client_(standin::StandIn::FromJson("{}")) {}

  ComPtr<_IDTExtensibility2> NewAddin() {
    ComPtr<_IDTExtensibility2> addin;
    EXPECT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin, RecordingCommands(log_)), S_OK);
    return addin;
  }
  HRESULT Connect(const ComPtr<_IDTExtensibility2>& addin) {
    return addin->OnConnection(client_->Application().Get(), 1, nullptr, nullptr);
  }
  void Fail(const char* member, long result, const char16_t* tag = nullptr, long skip = 0) {
    standin::FaultRule rule{member, result, skip, -1, std::nullopt};
    if (tag) rule.tag = tag;
    client_->Faults().Add(rule);
  }
  std::vector<standin::ToolbarState> Toolbars() const { return client_->Toolbars(); }

  ComApartment apartment_;
  CommandLog log_;
  std::unique_ptr<standin::StandIn> client_;
};

TEST_F(AddinConnection, PutsTheToolbarWithItsThreeButtonsOnTheExplorer) {
  ComPtr<_IDTExtensibility2> addin = NewAddin();
  ASSERT_EQ(Connect(addin), S_OK);
  std::vector<standin::ToolbarState> bars = Toolbars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].name, u"SMS sender Toolbar");
  EXPECT_EQ(bars[0].position, 1);
  EXPECT_TRUE(bars[0].visible);
  EXPECT_TRUE(bars[0].temporary);
  struct Expected {
    const char16_t *caption, *tooltip, *tag;
    long face;
  } rows[] = {
      {u"Send SMS to contact", u"Allows you to send an SMS message to a list of contacts.", u"NewSMSMessage",
       3738},
      {u"Send Batch SMS",
       u"Allows you to send a batch SMS messages to a list of contacts for all meetings in a specified "
       u"timeframe.",
       u"NewBatchSMSMessage", 3852},
      {u"SMS Options", u"Allows you to configure functionality of SMS plugin.", u"SMSPluginOptions", 3359},
  };
  ASSERT_EQ(bars[0].buttons.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const standin::ButtonState& button = bars[0].buttons[i];
    EXPECT_EQ(button.caption, rows[i].caption);
    EXPECT_EQ(button.tooltipText, rows[i].tooltip);
    EXPECT_EQ(button.tag, rows[i].tag);
    EXPECT_EQ(button.faceId, rows[i].face);
    EXPECT_EQ(button.style, 3) << "image and caption";
    EXPECT_TRUE(button.visible);
    EXPECT_TRUE(button.enabled);
    EXPECT_EQ(button.sinkCount, 1u);
  }
}

// The add-in never looks for its toolbar: every connection asks the host
// for a new one, and the host decides.
TEST_F(AddinConnection, EachConnectionAsksTheHostForAToolbarOfItsOwn) {
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  EXPECT_EQ(Connect(NewAddin()), kInvalidName) << "the host refuses a second bar of that name";
  EXPECT_EQ(client_->Calls().Of("CommandBars.Add"), 2);
  std::vector<standin::ToolbarState> bars = Toolbars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].buttons.size(), 3u);

  client_->Close();
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  bars = Toolbars();
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].buttons.size(), 3u);

  Fail("CommandBars.Add", kRefused);
  client_->Close();
  EXPECT_EQ(Connect(NewAddin()), kRefused) << "a refused toolbar fails with the host's code";
  EXPECT_TRUE(Toolbars().empty());
}

TEST_F(AddinConnection, AHostThatAllowsTheNameTwiceGetsASecondToolbar) {
  client_->SetUniqueToolbarNames(false);
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  const std::vector<standin::ToolbarState> bars = Toolbars();
  ASSERT_EQ(bars.size(), 2u);
  for (const auto& bar : bars) {
    EXPECT_EQ(bar.name, u"SMS sender Toolbar");
    ASSERT_EQ(bar.buttons.size(), 3u);
    EXPECT_EQ(bar.buttons[0].tag, u"NewSMSMessage");
    EXPECT_EQ(bar.buttons[2].tag, u"SMSPluginOptions");
    EXPECT_EQ(bar.buttons[2].sinkCount, 1u);
  }
}

TEST_F(AddinConnection, WithoutAMailClientOrAWindowThereIsNoToolbar) {
  ComPtr<_IDTExtensibility2> addin = NewAddin();
  EXPECT_TRUE(FAILED(addin->OnConnection(nullptr, 1, nullptr, nullptr)));
  ComPtr<IDispatch> notTheClient;
  ASSERT_EQ(addin.As(&notTheClient), S_OK);
  EXPECT_TRUE(FAILED(addin->OnConnection(notTheClient.Get(), 1, nullptr, nullptr)));
  client_->SetActiveExplorer(false);
  EXPECT_TRUE(FAILED(Connect(addin)));
  EXPECT_TRUE(Toolbars().empty());
}

TEST_F(AddinConnection, AFailedCommandBarLookupIsReturnedWithNoToolbar) {
  Fail("Explorer.CommandBars", E_ACCESSDENIED);
  EXPECT_EQ(Connect(NewAddin()), E_ACCESSDENIED);
  EXPECT_TRUE(Toolbars().empty());
}

TEST_F(AddinConnection, AFaceThatCannotBeSetKeepsTheDefaultImage) {
  Fail("CommandBarButton.FaceId", kRefused, u"NewBatchSMSMessage");
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  std::vector<standin::ButtonState> buttons = Toolbars().at(0).buttons;
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].faceId, 3738);
  EXPECT_EQ(buttons[1].faceId, 0);
  EXPECT_EQ(buttons[1].style, 3);
  EXPECT_EQ(buttons[1].sinkCount, 1u);
  EXPECT_EQ(buttons[2].faceId, 3359);
}

TEST_F(AddinConnection, AFailureWhileMakingAButtonEndsTheConnectionKeepingEarlierButtons) {
  struct Case {
    const char* member;
    const char16_t* tag;
    long skip;
    size_t buttonsLeft;
  } cases[] = {
      {"CommandBarButton.Style", u"NewBatchSMSMessage", 0, 2},
      {"CommandBarControls.Add", nullptr, 2, 2},
      {"CommandBarButton.Caption", nullptr, 0, 1},
      {"CommandBarButton.TooltipText", nullptr, 1, 2},
      {"CommandBar.Visible", nullptr, 0, 0},
  };
  for (const Case& c : cases) {
    client_ = standin::StandIn::FromJson("{}");
    Fail(c.member, kRefused, c.tag, c.skip);
    EXPECT_EQ(Connect(NewAddin()), kRefused) << c.member;
    std::vector<standin::ToolbarState> bars = Toolbars();
    ASSERT_EQ(bars.size(), 1u) << c.member;
    EXPECT_EQ(bars[0].buttons.size(), c.buttonsLeft) << c.member;
  }
}

TEST_F(AddinConnection, ClicksRunTheCommandOfEachButton) {
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  EXPECT_EQ(client_->Click(u"SMSPluginOptions"), 1u);
  EXPECT_EQ(client_->Click(u"NewSMSMessage"), 1u);
  EXPECT_EQ(client_->Click(u"NewBatchSMSMessage"), 1u);
  std::vector<std::u16string> expected{u"SMSPluginOptions", u"NewSMSMessage", u"NewBatchSMSMessage"};
  EXPECT_EQ(log_.ran, expected);
  EXPECT_TRUE(log_.applicationGiven);
  EXPECT_TRUE(log_.failures.empty());
}

// The count a COM object gives back after one more reference and its release.
ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

TEST_F(AddinConnection, TurnedOffAndOnThreeTimesItLeavesOneToolbarAndHoldsNothingOnceOff) {
  const long moduleCount = ModuleLockCount();
  IDispatch* application = client_->Application().Get();
  const ULONG applicationReferences = References(application);
  for (int cycle = 0; cycle < 3; ++cycle) {
    ComPtr<_IDTExtensibility2> addin = NewAddin();
    ASSERT_EQ(Connect(addin), S_OK) << "cycle " << cycle;
    EXPECT_EQ(addin->OnDisconnection(kUserClosed, nullptr), E_NOTIMPL);
    EXPECT_TRUE(Toolbars().empty()) << "turned off, its toolbar goes";
    EXPECT_EQ(References(application), applicationReferences) << "while the add-in object still lives";
    EXPECT_EQ(ModuleLockCount(), moduleCount + 1) << "the add-in object alone";
  }
  EXPECT_EQ(client_->Calls().Of("CommandBarButton.Unadvise"), 9);

  ComPtr<_IDTExtensibility2> addin = NewAddin();
  ASSERT_EQ(Connect(addin), S_OK);
  ASSERT_EQ(Toolbars().size(), 1u);
  for (const auto& button : Toolbars()[0].buttons) EXPECT_EQ(button.sinkCount, 1u);

  // At shutdown the temporary toolbar is the host's to take, but nothing on it answers.
  EXPECT_EQ(addin->OnDisconnection(kHostShutdown, nullptr), E_NOTIMPL);
  ASSERT_EQ(Toolbars().size(), 1u);
  for (const auto& button : Toolbars()[0].buttons) EXPECT_EQ(button.sinkCount, 0u);
  EXPECT_EQ(client_->Click(u"SMSPluginOptions"), 0u);
  EXPECT_TRUE(log_.ran.empty());
  addin.Reset();
  EXPECT_EQ(ModuleLockCount(), moduleCount) << "the library may go";
  EXPECT_EQ(References(application), applicationReferences);
}

// A command's dialog runs a message loop, and the user may turn the add-in
// off from there.
TEST_F(AddinConnection, TurnedOffDuringACommandTheCommandEndsAndThenEverythingGoes) {
  const long moduleCount = ModuleLockCount();
  ComPtr<_IDTExtensibility2> addin;
  auto table = RecordingCommands(log_);
  bool applicationKept = false;
  table->commands[1].run = [&](const CommandContext& context) {
    addin->OnDisconnection(kUserClosed, nullptr);
    addin.Reset();
    applicationKept = context.application && outlook::ActiveExplorer(context.application);
    log_.ran.push_back(u"ran on");
  };
  ASSERT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin, table), S_OK);
  ASSERT_EQ(Connect(addin), S_OK);
  EXPECT_EQ(client_->Click(u"NewBatchSMSMessage"), 1u);
  EXPECT_EQ(log_.ran, std::vector<std::u16string>{u"ran on"});
  EXPECT_TRUE(applicationKept) << "the command keeps its own reference";
  EXPECT_TRUE(Toolbars().empty());
  EXPECT_EQ(ModuleLockCount(), moduleCount);
}

TEST_F(AddinConnection, AButtonWhoseSinkCannotBeAdvisedDoesNothing) {
  Fail("CommandBarButton.Advise", CONNECT_E_ADVISELIMIT, u"SMSPluginOptions");
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  std::vector<standin::ButtonState> buttons = Toolbars().at(0).buttons;
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[2].sinkCount, 0u);
  EXPECT_EQ(client_->Click(u"SMSPluginOptions"), 0u);
  EXPECT_EQ(client_->Click(u"NewSMSMessage"), 1u);
  EXPECT_EQ(log_.ran, std::vector<std::u16string>{u"NewSMSMessage"});
}

TEST_F(AddinConnection, TagsAreComparedExactly) {
  ASSERT_EQ(Connect(NewAddin()), S_OK);
  outlook::Dispatch button(client_->Button(u"NewSMSMessage"));
  for (const char16_t* tag : {u"newsmsmessage", u"NewSMSMessage ", u" NewSMSMessage", u""}) {
    ASSERT_EQ(outlook::SetTag(button, tag), S_OK);
    EXPECT_EQ(client_->Click(0, 0), 1u);
  }
  EXPECT_TRUE(log_.ran.empty());
  ASSERT_EQ(outlook::SetTag(button, u"NewBatchSMSMessage"), S_OK);
  client_->Click(0, 0);
  EXPECT_EQ(log_.ran, std::vector<std::u16string>{u"NewBatchSMSMessage"}) << "the button's tag now";
}

TEST_F(AddinConnection, AFailingCommandIsReportedAndTheClickCarriesOn) {
  auto table = RecordingCommands(log_);
  table->commands[2].run = [](const CommandContext&) { throw std::runtime_error("settings unreadable"); };
  table->commands[0].run = [](const CommandContext&) { throw 42; };
  ComPtr<_IDTExtensibility2> addin;
  ASSERT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin, table), S_OK);
  ASSERT_EQ(Connect(addin), S_OK);
  EXPECT_EQ(client_->Click(u"SMSPluginOptions"), 1u);
  EXPECT_EQ(client_->Click(u"NewSMSMessage"), 1u);
  ASSERT_EQ(log_.failures.size(), 2u);
  EXPECT_EQ(log_.failures[0], u"The command could not be completed: settings unreadable");
  EXPECT_EQ(log_.failures[1], u"The command could not be completed: unknown error");
}

}  // namespace
