#include "batch/message_template_manager_win.h"

#include "batch/new_message_template_name_win.h"
#include "platform/prompt_win.h"
#include "resource_ids.h"

namespace {

// The dialog's title, which its message boxes carry.
constexpr char16_t kTitle[] = u"Message templates";

LRESULT SendToList(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageW(dialog, IDC_TEMPLATE_NAMES, message, wParam, lParam);
}

void AddName(HWND dialog, const std::u16string& name) {
  SendToList(dialog, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

}  // namespace

CMessageTemplateManager::CMessageTemplateManager(Settings& settings)
    : ModalDialog(IDD_MESSAGE_TEMPLATES), settings_(settings) {}

// Always opens on template 1, whatever text the caller shows.
bool CMessageTemplateManager::OnInitDialog() {
  selected_ = 0;
  const HResult status = settings_.EnsureTemplateExists();
  if (status != kStatusOk) {
    // With no template stored and none storable there is nothing to pick.
    Tell(u"The default message template could not be saved, so there is no template to choose.", status, u"");
    Close(IDCANCEL);
    return true;
  }
  int count = settings_.TemplateCount();
  for (int n = 1; n <= count; ++n) AddName(Window(), settings_.GetTemplateName(n));
  SendToList(Window(), CB_SETCURSEL, 0, 0);
  selected_ = static_cast<int>(SendToList(Window(), CB_GETCURSEL, 0, 0));
  ShowSelectedTemplate();
  return true;
}

bool CMessageTemplateManager::OnCommand(int id, int notification) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      Close(id);
      return true;
    case IDC_TEMPLATE_NAMES:
      if (notification != CBN_SELCHANGE) return false;
      // Unsaved edits of the previous template are dropped without asking.
      selected_ = static_cast<int>(SendToList(Window(), CB_GETCURSEL, 0, 0));
      ShowSelectedTemplate();
      return true;
    case IDC_SAVE_CHANGES:
      SaveChanges();
      return true;
    case IDC_SAVE_AS_NEW:
      SaveAsNew();
      return true;
    default:
      return false;
  }
}

void CMessageTemplateManager::ShowSelectedTemplate() {
  currentText_ = settings_.GetTemplateText(selected_ + 1);
  SetItemText(IDC_TEMPLATE_TEXT, currentText_);
}

void CMessageTemplateManager::SaveChanges() {
  std::u16string text = ItemText(IDC_TEMPLATE_TEXT);
  const HResult status = settings_.SetTemplateText(selected_ + 1, text);
  if (status != kStatusOk) {
    Tell(u"The template text could not be saved.", status,
         u"The text is still in this window: press \"Save changes\" to try again.");
    return;
  }
  currentText_ = text;
}

void CMessageTemplateManager::SaveAsNew() {
  // It stores the template itself, so that a refused write leaves it open
  // with the typed name.
  CNewMessageTemplateName nameDialog(settings_, ItemText(IDC_TEMPLATE_TEXT));
  // Owned by this dialog, the active window when its button is pressed.
  if (nameDialog.DoModal(Window()) != IDOK) return;
  selected_ = settings_.TemplateCount() - 1;
  AddName(Window(), nameDialog.Name());
  SendToList(Window(), CB_SETCURSEL, static_cast<WPARAM>(selected_), 0);
  // The text shown is now what the store holds, as after a selection change.
  ShowSelectedTemplate();
}

void CMessageTemplateManager::Tell(const std::u16string& what, HResult status, const std::u16string& next) {
  std::u16string text = what + u"\n\n" + settings_.DescribeWriteFailure(status);
  if (!next.empty()) text += u"\n\n" + next;
  MessageBoxPrompt(Window()).Show(text, kTitle);
}
