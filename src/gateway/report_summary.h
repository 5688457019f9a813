#pragma once
#include <string>

// What a delivery report says, counted from its lines: each "Message for
// ..." line is sent, not sent or may not have been sent.
struct ReportSummary {
  int sent = 0;
  int notSent = 0;
  int uncertain = 0;
};
ReportSummary SummarizeReport(const std::u16string& report);

// "198 sent, 1 not sent, 1 may not have been sent"; counts of 0 are left
// out, except that of the sent ones.
std::u16string SummaryLine(const ReportSummary& summary);

// The report for a long run: the lines that did not say "sent
// successfully" first, under their own heading, then the whole report.
// The report as it is when every line was sent.
std::u16string ProblemsFirst(const std::u16string& report);

// A message box holds the report while its text, with the box's caption,
// margins and button row, is no taller than the monitor's work area (all
// in pixels).
bool ReportFitsMessageBox(int textHeight, int frameHeight, int workAreaHeight);
