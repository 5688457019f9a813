#include "platform/prompt_win.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

bool MessageBoxPrompt::AskYesNo(const std::u16string& text, const std::u16string& caption) {
  return MessageBoxW(owner_, Wide(text), Wide(caption), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool MessageBoxPrompt::AskYesNoDefaultNo(const std::u16string& text, const std::u16string& caption) {
  return MessageBoxW(owner_, Wide(text), Wide(caption), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void MessageBoxPrompt::Show(const std::u16string& text, const std::u16string& caption) {
  MessageBoxW(owner_, Wide(text), Wide(caption), MB_OK);
}
