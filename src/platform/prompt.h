#pragma once
#include <string>

// Message boxes. The product shows them with MessageBoxW, owned by the
// dialog that asks and captioned with its title; tests answer them.
class Prompt {
 public:
  virtual ~Prompt() = default;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(const std::u16string& text, const std::u16string& caption) = 0;
  // The same question where No is the safe answer, which Enter gives.
  virtual bool AskYesNoDefaultNo(const std::u16string& text, const std::u16string& caption) {
    return AskYesNo(text, caption);
  }
  // A message with a single OK button.
  virtual void Show(const std::u16string& text, const std::u16string& caption) = 0;
  // A run's delivery report: a message like any other unless the screen
  // cannot hold it.
  virtual void ShowReport(const std::u16string& report, const std::u16string& caption) { Show(report, caption); }
};
