#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_user.h"

// Plays one run of "Send batch SMS": clicks `button`, answers each question
// with `answers` in turn (No once they run out) and confirms the report;
// returns the questions asked and the report. Returns once the run has
// ended, so that the next click is not dropped as one made during the run.
struct BatchRunSeen {
  std::vector<std::wstring> questions;
  std::wstring report;
};
// Plays the rest of a run already started (by a click that closed
// another dialog, say): the questions, then the report.
inline BatchRunSeen PlayStartedBatchRun(DialogUser& user, HWND dialog, const std::vector<int>& answers = {},
                                        const std::wstring& title = L"Send batch SMS") {
  BatchRunSeen seen;
  for (;;) {
    HWND box = user.WaitForMessageBox(dialog, title);
    if (!box) return seen;
    const std::wstring text = user.MessageText(box);
    if (text.rfind(L"SMS delivery results:", 0) == 0 || text.rfind(L"There are no", 0) == 0) {
      seen.report = text;
      user.Click(box, IDOK);
      user.WaitUntilClosed(box);
      // The run ends after its report: a click sent before the caption is
      // back would land in the run's last look at the queue, and be dropped.
      wchar_t caption[128] = {};
      for (int waited = 0; waited < 15000; waited += 20) {
        if (GetWindowTextW(dialog, caption, 128) && title == caption) return seen;
        Sleep(20);
      }
      ADD_FAILURE() << "the run did not end after its report";
      return seen;
    }
    const int answer = seen.questions.size() < answers.size() ? answers[seen.questions.size()] : IDNO;
    seen.questions.push_back(text);
    user.Click(box, answer);
    user.WaitUntilClosed(box);
  }
}

inline BatchRunSeen PlayBatchRun(DialogUser& user, HWND dialog, int button, const std::vector<int>& answers = {},
                                 const std::wstring& title = L"Send batch SMS") {
  if (!user.Click(dialog, button)) return {};
  return PlayStartedBatchRun(user, dialog, answers, title);
}
