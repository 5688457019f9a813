#include <gtest/gtest.h>

#include "addin/access/office_access.h"
// After office_access.h, which brings windows.h.
#include <olectl.h>
#include "addin/access/outlook_access.h"
#include "click_sink.h"
#include "com_apartment.h"
#include "standin/stand_in.h"

namespace outlook {
namespace {

constexpr long kRefused = static_cast<long>(0x800A01A8);

class AccessOfficeTest : public ::testing::Test {
 protected:
  AccessOfficeTest() : client_(standin::StandIn::FromJson("{}")), application_(client_->Application()) {}

  void Fail(const char* member, long result, long skip = 0, const char16_t* tag = nullptr) {
    standin::FaultRule rule{member, result, skip, -1, std::nullopt};
    if (tag) rule.tag = tag;
    client_->Faults().Add(rule);
  }
  HRESULT CommandBars(Dispatch& bars) { return ExplorerCommandBars(ActiveExplorer(application_), bars); }
  // A toolbar and one button on it with the given tag.
  Dispatch MakeButton(const std::u16string& tag) {
    Dispatch bars, bar, controls, control;
    EXPECT_EQ(CommandBars(bars), S_OK);
    EXPECT_EQ(AddCommandBar(bars, u"Bar " + tag, 1, true, bar), S_OK);
    EXPECT_EQ(BarControls(bar, controls), S_OK);
    EXPECT_EQ(AddControl(controls, 1, true, control), S_OK);
    EXPECT_EQ(SetTag(control, tag), S_OK);
    return control;
  }

  ComApartment apartment_;
  ClickSink sink_;  // outlives the client, which releases it when closing
  std::unique_ptr<standin::StandIn> client_;
  Dispatch application_;
};

TEST_F(AccessOfficeTest, ToolbarAndButtonAsTheClientShowsThem) {
  Dispatch bars, bar, controls, control;
  ASSERT_EQ(CommandBars(bars), S_OK);
  ASSERT_EQ(AddCommandBar(bars, u"SMS sender Toolbar", 1, true, bar), S_OK);
  EXPECT_EQ(SetVisible(bar, true), S_OK);
  ASSERT_EQ(BarControls(bar, controls), S_OK);
  ASSERT_EQ(AddControl(controls, 1, true, control), S_OK);
  EXPECT_EQ(SetVisible(control, true), S_OK);
  EXPECT_EQ(SetCaption(control, u"Send SMS to contact"), S_OK);
  EXPECT_EQ(SetEnabled(control, true), S_OK);
  EXPECT_EQ(SetTooltipText(control, u"Allows you to send an SMS message."), S_OK);
  EXPECT_EQ(SetTag(control, u"NewSMSMessage"), S_OK);
  Dispatch button = AsCommandBarButton(control);
  ASSERT_TRUE(button);
  EXPECT_EQ(SetFaceId(button, 3738), S_OK);
  EXPECT_EQ(SetStyle(button, 3), S_OK);
  std::u16string tag;
  EXPECT_EQ(GetTag(control, tag), S_OK);
  EXPECT_EQ(tag, u"NewSMSMessage");

  const auto toolbars = client_->Toolbars();
  ASSERT_EQ(toolbars.size(), 1u);
  EXPECT_EQ(toolbars[0].name, u"SMS sender Toolbar");
  EXPECT_EQ(toolbars[0].position, 1);
  EXPECT_TRUE(toolbars[0].visible);
  EXPECT_TRUE(toolbars[0].temporary);
  ASSERT_EQ(toolbars[0].buttons.size(), 1u);
  const auto& b = toolbars[0].buttons[0];
  EXPECT_EQ(b.caption, u"Send SMS to contact");
  EXPECT_EQ(b.tooltipText, u"Allows you to send an SMS message.");
  EXPECT_EQ(b.tag, u"NewSMSMessage");
  EXPECT_TRUE(b.visible);
  EXPECT_TRUE(b.enabled);
  EXPECT_EQ(b.faceId, 3738);
  EXPECT_EQ(b.style, 3);
  EXPECT_EQ(client_->Calls().Of("CommandBarButton.Caption"), 1);
  EXPECT_EQ(client_->Calls().Of("CommandBars.Add"), 1);
}

TEST_F(AccessOfficeTest, ClickReachesAdvisedSinksWithTheButtonAndACancelFlag) {
  Dispatch control = MakeButton(u"T");
  Microsoft::WRL::ComPtr<IConnectionPoint> connection;
  ASSERT_EQ(ButtonEventsConnection(control, connection), S_OK);
  ClickSink sink;
  sink.setCancel = true;
  DWORD cookie = 0;
  ASSERT_EQ(connection->Advise(&sink, &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  EXPECT_EQ(client_->Toolbars()[0].buttons[0].sinkCount, 1u);

  bool cancel = false;
  EXPECT_EQ(client_->Click(u"T", &cancel), 1u);
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(sink.lastArgCount, 2u);
  EXPECT_EQ(sink.lastButtonType, VT_DISPATCH);
  EXPECT_EQ(sink.lastCancelType, VT_BOOL | VT_BYREF);
  EXPECT_TRUE(cancel);
  std::u16string tag;
  EXPECT_EQ(GetTag(Dispatch(sink.lastButton), tag), S_OK);
  EXPECT_EQ(tag, u"T");

  EXPECT_EQ(client_->Click(u"no such tag"), 0u);
  EXPECT_EQ(connection->Unadvise(cookie), S_OK);
  EXPECT_EQ(connection->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(client_->Click(u"T"), 0u);
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(sink.refs, 1u);  // the button let go of it
}

TEST_F(AccessOfficeTest, ClosingTheClientReleasesSinksStillAdvised) {
  Dispatch control = MakeButton(u"T");
  Microsoft::WRL::ComPtr<IConnectionPoint> connection;
  ASSERT_EQ(ButtonEventsConnection(control, connection), S_OK);
  ClickSink sink;
  DWORD cookie = 0;
  ASSERT_EQ(connection->Advise(&sink, &cookie), S_OK);
  EXPECT_GT(sink.refs, 1u);
  client_->Close();
  EXPECT_EQ(sink.refs, 1u);
  EXPECT_TRUE(client_->Toolbars().empty());
}

TEST_F(AccessOfficeTest, SinksMustAnswerTheEventInterface) {
  Dispatch control = MakeButton(u"T");
  Microsoft::WRL::ComPtr<IConnectionPoint> connection;
  ASSERT_EQ(ButtonEventsConnection(control, connection), S_OK);
  ClickSink plain(false);
  DWORD cookie = 7;
  EXPECT_EQ(connection->Advise(&plain, &cookie), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(cookie, 0u);
}

TEST_F(AccessOfficeTest, NoActiveExplorerAndFailingCommandBars) {
  client_->SetActiveExplorer(false);
  EXPECT_FALSE(ActiveExplorer(application_));
  Dispatch bars;
  EXPECT_EQ(ExplorerCommandBars(ActiveExplorer(application_), bars), E_POINTER);
  client_->SetActiveExplorer(true);
  Fail("Explorer.CommandBars", kRefused);
  EXPECT_EQ(CommandBars(bars), kRefused);
  EXPECT_FALSE(bars);
}

TEST_F(AccessOfficeTest, RefusedAddsReturnTheClientsCode) {
  Dispatch bars, bar, controls, first, second;
  ASSERT_EQ(CommandBars(bars), S_OK);
  Fail("CommandBars.Add", kRefused, 1);
  ASSERT_EQ(AddCommandBar(bars, u"One", 1, true, bar), S_OK);
  Dispatch refused;
  EXPECT_EQ(AddCommandBar(bars, u"Two", 1, true, refused), kRefused);
  EXPECT_FALSE(refused);
  client_->Faults().Clear();
  // The same name twice is refused as Office does.
  EXPECT_EQ(AddCommandBar(bars, u"One", 1, true, refused), static_cast<HRESULT>(0x800A0005));

  ASSERT_EQ(BarControls(bar, controls), S_OK);
  Fail("CommandBarControls.Add", E_ACCESSDENIED, 1);
  EXPECT_EQ(AddControl(controls, 1, true, first), S_OK);
  EXPECT_EQ(AddControl(controls, 1, true, second), E_ACCESSDENIED);
  EXPECT_EQ(client_->Toolbars()[0].buttons.size(), 1u);
}

TEST_F(AccessOfficeTest, FaceAndStyleFailuresAndAFailingAdvise) {
  Dispatch a = MakeButton(u"A");
  Dispatch b = MakeButton(u"B");
  Fail("CommandBarButton.FaceId", E_FAIL);
  Fail("CommandBarButton.Style", kRefused);
  Fail("CommandBarButton.Advise", CONNECT_E_ADVISELIMIT, 0, u"B");
  EXPECT_EQ(SetFaceId(AsCommandBarButton(a), 3852), E_FAIL);
  EXPECT_EQ(SetStyle(AsCommandBarButton(a), 3), kRefused);
  EXPECT_EQ(client_->Toolbars()[0].buttons[0].faceId, 0);

  DWORD cookie = 0;
  Microsoft::WRL::ComPtr<IConnectionPoint> connection;
  ASSERT_EQ(ButtonEventsConnection(a, connection), S_OK);
  EXPECT_EQ(connection->Advise(&sink_, &cookie), S_OK);
  ASSERT_EQ(ButtonEventsConnection(b, connection), S_OK);
  EXPECT_EQ(connection->Advise(&sink_, &cookie), CONNECT_E_ADVISELIMIT);
  EXPECT_EQ(client_->Click(u"B"), 0u);
  EXPECT_EQ(client_->Click(u"A"), 1u);
  EXPECT_EQ(client_->Calls().Of("CommandBarButton.Advise"), 2);
}

}  // namespace
}  // namespace outlook
