// The stand-in client's check of an add-in's customUI document, with the
// platform's XML parser: what Office accepts it shows, what Office rejects
// it reports.
#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

#include "program/custom_ui_win.h"

namespace {

// An add-in's IDispatch that knows the callback names "OnAction" and
// "GetImage" only.
class KnownNames : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    if (wcscmp(names[0], L"OnAction") == 0 || wcscmp(names[0], L"GetImage") == 0) {
      ids[0] = 7;
      return S_OK;
    }
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
};

std::wstring Document(const std::wstring& ns, const std::wstring& tab, const std::wstring& menu,
                      const std::wstring& secondId, const std::wstring& action) {
  return L"<customUI xmlns='" + ns + L"'><ribbon><tabs><tab idMso='" + tab +
         L"'><group id='G' label='SMS'>"
         L"<button id='Send' tag='T1' size='large' label='Send SMS' keytip='Q1' screentip='Tip' supertip='More'"
         L" getImage='GetImage' onAction='" + action + L"'/>"
         L"<button id='" + secondId + L"' label='Options' onAction='OnAction'/>"
         L"</group></tab></tabs></ribbon><contextMenus><contextMenu idMso='" + menu +
         L"'><button id='Menu' label='Send SMS' onAction='OnAction'/></contextMenu></contextMenus></customUI>";
}

class CustomUiCheck : public ::testing::Test {
 protected:
  CustomUiCheck() { CoInitialize(nullptr); }
  ~CustomUiCheck() override { CoUninitialize(); }
  KnownNames addin_;
};

const std::wstring k2009 = L"http://schemas.microsoft.com/office/2009/07/customui";

TEST_F(CustomUiCheck, AnAcceptableDocumentGivesItsGroupsButtonsAndMenus) {
  std::vector<std::wstring> errors;
  const auto ui =
      host::LoadCustomUi(Document(k2009, L"TabMail", L"ContextMenuContactItem", L"Options", L"OnAction"), &addin_,
                         errors);
  ASSERT_TRUE(ui) << (errors.empty() ? L"" : errors[0]).c_str();
  ASSERT_EQ(ui->groups.size(), 1u);
  EXPECT_EQ(ui->groups[0].place, L"TabMail");
  EXPECT_EQ(ui->groups[0].label, L"SMS");
  ASSERT_EQ(ui->groups[0].buttons.size(), 2u);
  const host::CustomUiButton& send = ui->groups[0].buttons[0];
  EXPECT_EQ(send.id, L"Send");
  EXPECT_EQ(send.tag, L"T1");
  EXPECT_TRUE(send.large);
  EXPECT_EQ(send.keytip, L"Q1");
  EXPECT_EQ(send.supertip, L"More");
  EXPECT_EQ(send.getImage, L"GetImage");
  EXPECT_FALSE(ui->groups[0].buttons[1].large);
  ASSERT_EQ(ui->contextMenus.size(), 1u);
  EXPECT_EQ(ui->contextMenus[0].place, L"ContextMenuContactItem");
  EXPECT_EQ(ui->contextMenus[0].buttons.at(0).id, L"Menu");
}

TEST_F(CustomUiCheck, WhatOfficeRejectsIsReportedAndNotShown) {
  struct Case {
    std::wstring document, reason;
  } cases[] = {
      {Document(L"http://example.com/customui", L"TabMail", L"ContextMenuContactItem", L"Options", L"OnAction"),
       L"not customUI of a customUI namespace"},
      {Document(k2009, L"TabNoSuch", L"ContextMenuContactItem", L"Options", L"OnAction"),
       L"Unknown Office control ID: TabNoSuch"},
      {Document(k2009, L"TabMail", L"ContextMenuNoSuch", L"Options", L"OnAction"),
       L"Unknown Office control ID: ContextMenuNoSuch"},
      {Document(k2009, L"TabMail", L"ContextMenuContactItem", L"Send", L"OnAction"),
       L"The ID \"Send\" is used more than once"},
      {Document(k2009, L"TabMail", L"ContextMenuContactItem", L"Options", L"OnMisspelt"),
       L"The callback function \"OnMisspelt\" was not found"},
      {L"<customUI xmlns='" + k2009 + L"'><ribbon>", L"not well-formed"},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> errors;
    EXPECT_FALSE(host::LoadCustomUi(c.document, &addin_, errors)) << c.reason.c_str();
    ASSERT_EQ(errors.size(), 1u) << c.reason.c_str();
    EXPECT_NE(errors[0].find(c.reason), std::wstring::npos) << errors[0].c_str();
  }
}

}  // namespace
