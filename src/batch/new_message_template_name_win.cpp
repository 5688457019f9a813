#include "batch/new_message_template_name_win.h"

#include "resource_ids.h"

CNewMessageTemplateName::CNewMessageTemplateName() : ModalDialog(IDD_NEW_TEMPLATE_NAME) {}

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
      Close(IDOK);
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
