// The add-in's ribbon as the mail client meets it: the customUI documents
// for each kind of window, and the callbacks called by name through the
// add-in's IDispatch with a ribbon control.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "addin/access/bstr.h"
#include "addin/access/com_apartment.h"
#include "addin/office_ribbon.h"
#include "addin/quorval_addin_win.h"
#include "standin/ribbon_control.h"
#include "standin/stand_in.h"
#include "support/recording_commands.h"
#include "ui/run_in_progress.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr char kStore[] = R"({"contacts": [
  {"key": "ann", "fullName": "Ann Lee", "mobile": "+44 7700 900101"},
  {"key": "bo", "fullName": "Bo Chan", "mobile": "+44 7700 900102"},
  {"key": "eve", "fullName": "Eve Novak", "primary": "+44 20 7946 0105"}]})";

class Ribbon : public ::testing::Test {
 protected:
  Ribbon() : client_(standin::StandIn::FromJson(kStore)) {
    EXPECT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin_, RecordingCommands(log_)), S_OK);
    EXPECT_EQ(addin_.As(&ribbon_), S_OK);
    EXPECT_EQ(ribbon_.As(&dispatch_), S_OK);
  }
  void Connect() { ASSERT_EQ(addin_->OnConnection(client_->Application().Get(), 1, nullptr, nullptr), S_OK); }

  std::u16string CustomUi(const wchar_t* ribbonId) {
    outlook::Bstr id(ribbonId), xml;
    EXPECT_EQ(ribbon_->GetCustomUI(id.Get(), xml.Out()), S_OK);
    EXPECT_FALSE(xml.IsNull());
    return xml.Text();
  }
  HRESULT Call(const char16_t* callback, const char16_t* tag, ComPtr<IDispatch> context, VARIANT* result = nullptr) {
    ComPtr<IDispatch> control(new standin::RibbonControl(u"AControl", tag, std::move(context)));
    return standin::CallRibbonCallback(dispatch_.Get(), callback, control.Get(), result);
  }

  ComApartment apartment_;
  CommandLog log_;
  std::unique_ptr<standin::StandIn> client_;
  ComPtr<_IDTExtensibility2> addin_;
  ComPtr<IRibbonExtensibility> ribbon_;
  ComPtr<IDispatch> dispatch_;
};

TEST_F(Ribbon, GivesItsDocumentsToTheMainWindowAndTheContactFormOnly) {
  const std::u16string explorer = CustomUi(L"Microsoft.Outlook.Explorer");
  EXPECT_NE(explorer.find(u"xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\""), std::u16string::npos);
  for (const char16_t* part : {u"idMso=\"TabMail\"", u"idMso=\"TabCalendar\"", u"idMso=\"TabContacts\"",
                               u"idMso=\"ContextMenuContactItem\"", u"label=\"Batch Reminders\""}) {
    EXPECT_NE(explorer.find(part), std::u16string::npos) << part;
  }
  EXPECT_NE(CustomUi(L"Microsoft.Outlook.Contact").find(u"idMso=\"TabContact\""), std::u16string::npos);
  EXPECT_EQ(CustomUi(L"Microsoft.Outlook.Mail.Read"), u"");
  EXPECT_EQ(CustomUi(L""), u"");
  ComPtr<IDispatch> addinDispatch;
  ASSERT_EQ(addin_.As(&addinDispatch), S_OK);
  EXPECT_EQ(dispatch_.Get(), addinDispatch.Get()) << "callbacks reach the add-in's own IDispatch";
}

TEST_F(Ribbon, EachButtonRunsTheCommandOfItsTagAsTheToolbarDoes) {
  Connect();
  for (const char16_t* tag : {u"NewSMSMessage", u"NewBatchSMSMessage", u"SMSPluginOptions", u"newsmsmessage"}) {
    EXPECT_EQ(Call(u"OnSmsCommand", tag, client_->ActiveExplorer()), S_OK) << tag;
  }
  EXPECT_EQ(log_.ran, (std::vector<std::u16string>{u"NewSMSMessage", u"NewBatchSMSMessage", u"SMSPluginOptions"}));
  EXPECT_TRUE(log_.applicationGiven);
  EXPECT_EQ(client_->Click(u"SMSPluginOptions"), 1u) << "the toolbar is there as before";
  EXPECT_EQ(log_.ran.size(), 4u);
  EXPECT_EQ(Call(u"OnMissing", u"NewSMSMessage", client_->ActiveExplorer()), DISP_E_UNKNOWNNAME);
}

TEST_F(Ribbon, NothingStartsFromEitherWhileACommandRuns) {
  auto table = RecordingCommands(log_);
  table->commands[0].run = [&](const CommandContext&) {
    log_.ran.push_back(u"first");
    Call(u"OnSmsCommand", u"SMSPluginOptions", client_->ActiveExplorer());
    Call(u"OnSendSmsToContacts", u"NewSMSMessage", client_->Selection());
    client_->Click(u"NewBatchSMSMessage");
  };
  ASSERT_EQ(CQuorvalOAddin::Create(nullptr, IID__IDTExtensibility2, &addin_, table), S_OK);
  ASSERT_EQ(addin_.As(&dispatch_), S_OK);
  Connect();
  EXPECT_EQ(Call(u"OnSmsCommand", u"NewSMSMessage", client_->ActiveExplorer()), S_OK);
  EXPECT_EQ(log_.ran, std::vector<std::u16string>{u"first"});
  client_->Click(u"SMSPluginOptions");
  EXPECT_EQ(log_.ran.back(), u"SMSPluginOptions") << "and once it is over, commands run again";
}

TEST_F(Ribbon, SendSmsOnSelectedContactsOrAnOpenOneNamesThemInTheField) {
  Connect();
  client_->SelectContacts({2, 0});
  EXPECT_EQ(Call(u"OnSendSmsToContacts", u"NewSMSMessage", client_->Selection()), S_OK);
  EXPECT_EQ(Call(u"OnSendSmsToContacts", u"NewSMSMessage", client_->OpenContact(1)), S_OK);
  EXPECT_EQ(log_.ran, (std::vector<std::u16string>{u"NewSMSMessage", u"NewSMSMessage"}));
  EXPECT_EQ(log_.recipients, (std::vector<std::u16string>{u"Eve Novak; Ann Lee (+44 7700 900101); ",
                                                          u"Bo Chan (+44 7700 900102); "}));
}

TEST_F(Ribbon, CommandsAreGreyedWhileARunIsInProgressAndTheRibbonAsksAgainAsItBeginsAndEnds) {
  Connect();
  auto enabled = [&](const char16_t* tag) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Call(u"GetCommandEnabled", tag, client_->ActiveExplorer(), &result), S_OK);
    EXPECT_EQ(result.vt, VT_BOOL);
    return result.boolVal != VARIANT_FALSE;
  };
  std::vector<bool> askedAgain;
  ComPtr<standin::RibbonUi> window(new standin::RibbonUi);
  window->invalidated = [&] {
    askedAgain.push_back(enabled(u"NewSMSMessage"));
    EXPECT_EQ(enabled(u"NewBatchSMSMessage"), askedAgain.back());
    EXPECT_EQ(enabled(u"SMSPluginOptions"), askedAgain.back());
  };
  ASSERT_EQ(standin::CallRibbonCallback(dispatch_.Get(), u"OnRibbonLoad", window.Get(), nullptr), S_OK);
  EXPECT_TRUE(enabled(u"NewSMSMessage"));
  {
    const RunInProgress run;
    const RunInProgress inner;
  }
  EXPECT_EQ(askedAgain, (std::vector<bool>{false, true})) << "once as the run begins, once as it ends";
  EXPECT_EQ(standin::CallRibbonCallback(dispatch_.Get(), u"OnRibbonLoad", client_->ActiveExplorer().Get(), nullptr),
            E_NOINTERFACE);

  addin_->OnDisconnection(0, nullptr);
  { const RunInProgress run; }
  EXPECT_EQ(askedAgain.size(), 2u) << "a disconnected add-in lets go of the ribbon";
}

TEST_F(Ribbon, IconsAreTransparentBitmapsMadeOnce) {
  struct Case {
    const char16_t* callback;
    const char16_t* tag;
    LONG size;
  } cases[] = {{u"GetLargeIcon", u"NewSMSMessage", 32}, {u"GetSmallIcon", u"SMSPluginOptions", 16},
               {u"GetLargeIcon", u"NewBatchSMSMessage", 32}};
  for (const Case& c : cases) {
    VARIANT first, second;
    VariantInit(&first);
    VariantInit(&second);
    ASSERT_EQ(Call(c.callback, c.tag, client_->ActiveExplorer(), &first), S_OK) << c.tag;
    ASSERT_EQ(Call(c.callback, c.tag, client_->ActiveExplorer(), &second), S_OK);
    ASSERT_EQ(first.vt, VT_DISPATCH);
    EXPECT_EQ(first.pdispVal, second.pdispVal) << "one picture per icon";
    ComPtr<IPicture> picture;
    ASSERT_EQ(first.pdispVal->QueryInterface(IID_IPicture, reinterpret_cast<void**>(picture.GetAddressOf())), S_OK);
    SHORT type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_BITMAP);
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof dib, &dib),
              static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, c.size);
    EXPECT_EQ(dib.dsBm.bmHeight, c.size);
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 32);
    const auto* pixels = static_cast<const BYTE*>(dib.dsBm.bmBits);
    auto alpha = [&](LONG x, LONG y) { return pixels[(y * c.size + x) * 4 + 3]; };
    EXPECT_EQ(alpha(0, 0), 0) << "the corner shows the ribbon";
    EXPECT_EQ(alpha(c.size / 2, c.size / 2 + 2), 255) << "the middle is drawn";
    // Premultiplied: no colour channel exceeds its pixel's alpha.
    for (LONG i = 0; i < c.size * c.size; ++i) {
      ASSERT_LE(std::max({pixels[4 * i], pixels[4 * i + 1], pixels[4 * i + 2]}), pixels[4 * i + 3]);
    }
    VariantClear(&first);
    VariantClear(&second);
  }
  VARIANT none;
  VariantInit(&none);
  EXPECT_TRUE(FAILED(Call(u"GetLargeIcon", u"NoSuchCommand", client_->ActiveExplorer(), &none)));
}

}  // namespace
