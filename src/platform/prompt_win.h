#pragma once
#include <windows.h>

#include "platform/prompt.h"

// The product's message boxes: MessageBoxW owned by the asking dialog.
class MessageBoxPrompt : public Prompt {
 public:
  explicit MessageBoxPrompt(HWND owner) : owner_(owner) {}
  bool AskYesNo(const std::u16string& text, const std::u16string& caption) override;
  bool AskYesNoDefaultNo(const std::u16string& text, const std::u16string& caption) override;
  void Show(const std::u16string& text, const std::u16string& caption) override;

 private:
  HWND owner_;
};
