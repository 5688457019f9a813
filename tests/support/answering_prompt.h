#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/prompt.h"

// Message boxes answered in memory: every box must carry `caption` (the
// asking dialog's title); questions get `answers` in turn (No when there
// are none); what was asked and shown is kept in order.
class AnsweringPrompt : public Prompt {
 public:
  explicit AnsweringPrompt(std::u16string caption) : caption_(std::move(caption)) {}

  bool AskYesNo(const std::u16string& text, const std::u16string& caption) override {
    questions.push_back(text);
    EXPECT_EQ(caption, caption_);
    return answers.empty() ? false : answers[(questions.size() - 1) % answers.size()];
  }
  void Show(const std::u16string& text, const std::u16string& caption) override {
    shown.push_back(text);
    EXPECT_EQ(caption, caption_);
  }

  std::vector<bool> answers;
  std::vector<std::u16string> questions;
  std::vector<std::u16string> shown;

 private:
  std::u16string caption_;
};
