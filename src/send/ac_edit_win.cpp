#include "send/ac_edit_win.h"

#include <commctrl.h>

#include "send/recipient_tokens.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x4143;

bool NavigationKey(WPARAM key, ListKey& move) {
  switch (key) {
    case VK_UP: move = ListKey::kUp; return true;
    case VK_DOWN: move = ListKey::kDown; return true;
    case VK_PRIOR: move = ListKey::kPageUp; return true;
    case VK_NEXT: move = ListKey::kPageDown; return true;
    case VK_HOME: move = ListKey::kHome; return true;
    case VK_END: move = ListKey::kEnd; return true;
    default: return false;
  }
}

}  // namespace

CACEdit::~CACEdit() {
  if (edit_ && IsWindow(edit_)) RemoveWindowSubclass(edit_, Procedure, kSubclassId);
}

void CACEdit::Init(HWND edit) {
  if (initialised_ || !edit) return;
  edit_ = edit;
  SetWindowSubclass(edit_, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  list_.Create(edit_);
  initialised_ = true;
}

void CACEdit::SetSeparatorMode(const std::u16string& separator) { separator_ = separator; }

void CACEdit::SetEntries(std::vector<std::u16string> entries) {
  if (!initialised_) return;
  list_.SetEntries(std::move(entries));
}

std::u16string CACEdit::Text() const {
  int length = GetWindowTextLengthW(edit_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(edit_, text.data(), length + 1);
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), static_cast<size_t>(copied));
}

size_t CACEdit::Caret() const {
  DWORD start = 0, end = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return end;
}

void CACEdit::Notify(WPARAM code) {
  SendMessageW(GetParent(edit_), kAutoCompleteNotify, code, GetDlgCtrlID(edit_));
}

void CACEdit::OnTextChanged() {
  if (!initialised_) return;
  if (!busy_) {
    text_ = Text();
    TokenBounds token = TokenAround(text_, Caret(), separator_);
    // A text set while the user is elsewhere (the chooser's result) is not
    // being typed: proposing for it would leave a list nobody looks at.
    if (token.end == token.start || GetFocus() != edit_) {
      list_.Hide();
    } else {
      list_.ShowMatches(text_.substr(token.start, token.end - token.start));
    }
  }
  Notify(kNotifyTextChanged);
}

void CACEdit::ApplySelectedEntry() {
  busy_ = true;
  text_ = Text();
  AppliedEntry applied = ApplyEntry(text_, Caret(), separator_, list_.SelectedEntry());
  SetWindowTextW(edit_, reinterpret_cast<const wchar_t*>(applied.text.c_str()));
  text_ = applied.text;
  Notify(kNotifyEntryApplied);
  SendMessageW(edit_, EM_SETMODIFY, TRUE, 0);
  SendMessageW(edit_, EM_SETSEL, applied.selectionStart, applied.selectionEnd);
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  busy_ = false;
}

// Enter or Escape with the list shown: the recipient is done as typed.
void CACEdit::FinishRecipient() {
  list_.Hide();
  SendMessageW(edit_, EM_SETSEL, GetWindowTextLengthW(edit_), -1);
  SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(separator_.c_str()));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK CACEdit::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
  bool handled = false;
  LRESULT result = reinterpret_cast<CACEdit*>(self)->Handle(message, wParam, lParam, handled);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, Procedure, kSubclassId);
  return handled ? result : DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CACEdit::Handle(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  switch (message) {
    case WM_GETDLGCODE: {
      // While the list is shown Enter and Escape belong to the field, not
      // to the dialog's default and cancel buttons.
      auto* key = reinterpret_cast<const MSG*>(lParam);
      if (list_.IsShown() && key && key->message == WM_KEYDOWN &&
          (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE)) {
        handled = true;
        return DefSubclassProc(edit_, message, wParam, lParam) | DLGC_WANTMESSAGE;
      }
      return 0;
    }
    case WM_KEYDOWN: {
      swallowChar_ = false;
      if (!list_.IsShown()) return 0;
      ListKey move;
      if (NavigationKey(wParam, move)) {
        list_.MoveSelection(move);
        ApplySelectedEntry();
        handled = true;
      } else if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        FinishRecipient();
        swallowChar_ = true;
        handled = true;
      }
      return 0;
    }
    case WM_CHAR:
      if (swallowChar_ && (wParam == L'\r' || wParam == 0x1B)) {
        swallowChar_ = false;
        handled = true;
      }
      return 0;
    case WM_KILLFOCUS:
      list_.Hide();
      return 0;
    case kAutoCompleteNotify:
      if (wParam == kNotifyEntryApplied && static_cast<int>(lParam) == kSuggestionListId) ApplySelectedEntry();
      handled = true;
      return 0;
    default:
      return 0;
  }
}
