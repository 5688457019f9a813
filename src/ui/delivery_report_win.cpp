#include "ui/delivery_report_win.h"

#include "gateway/report_summary.h"
#include "resource_ids.h"

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// An edit control breaks lines only at CR LF.
std::u16string WithCrLf(const std::u16string& text) {
  std::u16string result;
  result.reserve(text.size() + text.size() / 32);
  for (char16_t c : text) {
    if (c == u'\n') result += u'\r';
    result += c;
  }
  return result;
}

}  // namespace

DeliveryReportDialog::DeliveryReportDialog(std::u16string report, std::u16string caption)
    : ModalDialog(IDD_DELIVERY_REPORT), report_(std::move(report)), caption_(std::move(caption)) {}

bool DeliveryReportDialog::OnInitDialog() {
  SetWindowTextW(Window(), Wide(caption_));
  const std::u16string summary = SummaryLine(SummarizeReport(report_));
  SetItemText(IDC_REPORT_SUMMARY, summary);
  shown_ = WithCrLf(ProblemsFirst(report_));
  SetItemText(IDC_REPORT_TEXT, shown_);
  shown_ = summary + u"\r\n\r\n" + shown_;
  layout_.Capture(Window(), {{IDC_REPORT_SUMMARY, AnchoredLayout::kLeft | AnchoredLayout::kRight},
                             {IDC_REPORT_TEXT, AnchoredLayout::kLeft | AnchoredLayout::kTop | AnchoredLayout::kRight |
                                                   AnchoredLayout::kBottom},
                             {IDC_REPORT_COPY, AnchoredLayout::kLeft | AnchoredLayout::kBottom},
                             {IDOK, AnchoredLayout::kRight | AnchoredLayout::kBottom}});
  hook_.Attach(Window(), [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    return layout_.OnMessage(message, lParam, result);
  });
  // The text would otherwise open with all of it selected.
  SetFocus(GetDlgItem(Window(), IDOK));
  return false;
}

bool DeliveryReportDialog::OnCommand(int id, int) {
  switch (id) {
    case IDC_REPORT_COPY:
      CopyToClipboard();
      return true;
    case IDOK:
    case IDCANCEL:
      Close(id);
      return true;
    default:
      return false;
  }
}

void DeliveryReportDialog::CopyToClipboard() {
  const std::size_t bytes = (shown_.size() + 1) * sizeof(char16_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return;
  if (void* data = GlobalLock(memory)) {
    memcpy(data, shown_.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(Window())) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  // The clipboard owns the memory once it took it.
  if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  CloseClipboard();
}

bool ReportFitsMessageBox(HWND owner, const std::u16string& report) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  // A message box wraps its text at about three quarters of the screen.
  RECT text{0, 0, (work.right - work.left) * 3 / 4, 0};
  DrawTextW(dc, Wide(report), static_cast<int>(report.size()), &text,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  TEXTMETRICW line{};
  GetTextMetricsW(dc, &line);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  // Caption, borders, the margins around the text and the OK button's row.
  const int frame = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME) +
                    6 * (line.tmHeight + line.tmExternalLeading);
  return ReportFitsMessageBox(static_cast<int>(text.bottom - text.top), frame,
                              static_cast<int>(work.bottom - work.top));
}

void ReportingPrompt::ShowReport(const std::u16string& report, const std::u16string& caption) {
  if (ReportFitsMessageBox(owner_, report)) {
    Show(report, caption);
    return;
  }
  DeliveryReportDialog(report, caption).DoModal(owner_);
}
