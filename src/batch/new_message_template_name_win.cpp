#include "batch/new_message_template_name_win.h"

#include <utility>

#include "platform/prompt_win.h"
#include "resource_ids.h"

namespace {

// The dialog's title, which its message boxes carry.
constexpr char16_t kTitle[] = u"New message template name";

}  // namespace

CNewMessageTemplateName::CNewMessageTemplateName(Settings& settings, std::u16string text)
    : ModalDialog(IDD_NEW_TEMPLATE_NAME), settings_(settings), text_(std::move(text)) {}

bool CNewMessageTemplateName::OnInitDialog() {
  UpdateOkButton();
  return true;
}

bool CNewMessageTemplateName::OnCommand(int id, int notification) {
  switch (id) {
    case IDOK:
      name_ = ItemText(IDC_NEW_TEMPLATE_NAME);
      // Enter is an IDOK too; a disabled OK button must not let an empty
      // name through that way.
      if (name_.empty()) return true;
      Store();
      return true;
    case IDCANCEL:
      Close(IDCANCEL);
      return true;
    case IDC_NEW_TEMPLATE_NAME:
      if (notification != EN_CHANGE) return false;
      UpdateOkButton();
      return true;
    default:
      return false;
  }
}

// Nothing is trimmed: a name of blanks is a name.
void CNewMessageTemplateName::UpdateOkButton() { EnableItem(IDOK, !ItemText(IDC_NEW_TEMPLATE_NAME).empty()); }

void CNewMessageTemplateName::Store() {
  const HResult status = settings_.AddTemplate(name_, text_);
  if (status == kStatusOk) {
    Close(IDOK);
    return;
  }
  MessageBoxPrompt(Window()).Show(u"The new template could not be saved.\n\n" + settings_.DescribeWriteFailure(status) +
                                      u"\n\nPress OK to try again, or Cancel to go back to the templates.",
                                  kTitle);
}
