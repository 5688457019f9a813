// The main job's guided tour: hosts the registered add-in in the stand-in
// mail client (the host program's own window, ribbon and toolbar, in this
// process), presses its ribbon buttons (and once a toolbar button) and
// plays the user in the real dialogs with the tests' dialog harness. Each step tells what it does,
// checks what the dialogs show and what the gateway simulator received,
// prints the delivery reports and the requests, decoded, and saves a
// screenshot of every dialog it passes through (TOUR_SHOTS).
// Exit status 0 only when every check held.
//
// usage: tour.exe --store FILE [--addin PROGID]
// The gateway simulator's request log is named by GATEWAY_SIM_LOG.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <ole2.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dialog_user.h"
#include "program/addin_ribbon_win.h"
#include "program/connected_addin_win.h"
#include "program/main_window_win.h"
#include "resource_ids.h"
#include "simulator_log.h"
#include "support/host_buttons.h"
#include "support/wait.h"
#include "standin/stand_in.h"
#include "ui/delivery_report_win.h"

namespace {
using namespace std::chrono_literals;


const std::wstring kHostTitle = L"Mail stand-in - sample store";
const std::wstring kOptionsTitle = L"SMS plugin options";
const std::wstring kSendTitle = L"Send SMS to contact";
const std::wstring kChooserTitle = L"Choose Contacts";
const std::wstring kBatchTitle = L"Send batch SMS";
const std::wstring kTemplatesTitle = L"Message templates";
const std::wstring kHistoryTitle = L"Sent messages";
const std::wstring kPreviewTitle = L"Preview of the reminders";
// Settings.ini (written by run_tour.sh) holds this second template.
const std::wstring kTemplateName = L"Meeting reminder";
const std::wstring kTemplateText = L"Hi [[first name]], a reminder of our meeting on [[appt date]] at [[appt time]].";
const std::wstring kAccount = L"demo";

std::atomic<int> failures{0};

std::string Utf8(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

void Say(const std::wstring& line) {
  std::fputs(Utf8(line + L"\n").c_str(), stdout);
  std::fflush(stdout);
}

// Prints each line of a multi-line text (a report, a question) indented.
void Quote(const std::wstring& text, const std::wstring& indent = L"      | ") {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    Say(indent + line);
    start = end + 1;
  }
}

bool Check(bool held, const std::wstring& what) {
  Say((held ? L"    ok    " : L"    FAILED  ") + what);
  if (!held) ++failures;
  return held;
}

// The harness reports through GoogleTest; its failures count as the tour's.
class HarnessFailures : public testing::EmptyTestEventListener {
  void OnTestPartResult(const testing::TestPartResult& result) override {
    if (!result.failed()) return;
    // GoogleTest puts "Failed" on a line of its own before the reason.
    std::wstring message = Wide(result.message());
    if (message.rfind(L"Failed\n", 0) == 0) message.erase(0, 7);
    for (auto& c : message) {
      if (c == L'\n') c = L' ';
    }
    Say(L"    FAILED  " + message + L" (" + Wide(result.file_name() ? result.file_name() : "") + L":" +
        std::to_wstring(result.line_number()) + L")");
    ++failures;
  }
};

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring Join(const std::vector<std::wstring>& texts) {
  std::wstring all;
  for (const auto& text : texts) all += text + L"\n";
  return all;
}

size_t CountOf(const std::wstring& text, const std::wstring& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The tour's screenshots, numbered in the order taken. TOUR_SHOTS names
// the (Unix) folder; run_tour.sh watches it: the tour asks for a shot with
// the file ".shoot" naming it, the script takes it with ImageMagick's
// `import` of the whole display and the picture appears as <name>.png.
class Camera {
 public:
  Camera() {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TOUR_SHOTS", folder, MAX_PATH)) folder_ = folder;
  }

  void Shoot(const std::wstring& name, const std::wstring& what) {
    if (folder_.empty()) return;
    Sleep(500);  // the windows had a moment to paint
    wchar_t number[8];
    swprintf(number, 8, L"%02d-", ++count_);
    const std::wstring file = number + name;
    // Wine sees the Unix folder on drive Z:.
    const std::wstring folder = L"Z:" + folder_ + L"/";
    const std::wstring request = folder + L".shoot", part = request + L".part", png = folder + file + L".png";
    {
      FILE* out = _wfopen(part.c_str(), L"wb");
      if (out) {
        std::fputs(Utf8(file).c_str(), out);
        std::fclose(out);
      }
    }
    MoveFileExW(part.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
    const bool taken = WaitUntil([&] { return GetFileAttributesW(png.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000ms);
    Check(taken, L"screenshot " + file + L".png: " + what);
  }

 private:
  std::wstring folder_;
  int count_ = 0;
};

BOOL CALLBACK FindOpenDialog(HWND window, LPARAM param) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

HWND SuggestionList() { return FindWindowW(L"QuorvalSuggestionList", nullptr); }

// What the gateway received since the last look, printed decoded.
class Gateway {
 public:
  Gateway() : seen_(log_.Requests().size()) {}

  std::vector<LoggedRequest> TakeNew() {
    auto all = log_.Requests();
    std::vector<LoggedRequest> fresh(all.begin() + static_cast<long>(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }

  static std::wstring Message(const LoggedRequest& request) {
    const std::string message = request.Param("message");
    if (request.Param("unicode") != "true") return Wide(message);
    std::wstring decoded;
    for (size_t i = 0; i + 4 <= message.size(); i += 4) {
      decoded += static_cast<wchar_t>(std::stoul(message.substr(i, 4), nullptr, 16));
    }
    return decoded;
  }

  static void Print(const std::vector<LoggedRequest>& requests) {
    Say(L"  The gateway received " + std::to_wstring(requests.size()) +
        (requests.size() == 1 ? L" request:" : L" requests:"));
    int number = 0;
    for (const auto& request : requests) {
      std::wstring line = L"    " + std::to_wstring(++number) + L". to " + Wide(request.Param("to")) + L" as " +
                          Wide(request.Param("user")) + L": \"" + Message(request) + L"\"";
      if (request.Param("unicode") == "true") line += L" (Unicode)";
      if (!request.Param("yy").empty()) line += L" (scheduled)";
      // The reply: status,number,message id,... (the simulator's verbose form).
      std::vector<std::wstring> fields;
      std::wstring reply = Wide(request.reply), field;
      for (wchar_t c : reply + L",") {
        if (c == L',') {
          fields.push_back(field);
          field.clear();
        } else if (c != L'\r' && c != L'\n') {
          field += c;
        }
      }
      if (fields.size() >= 3) {
        line += L" -> " + fields[0] + L", message id " + fields[2];
      } else {
        line += L" -> \"" + reply + L"\"";
      }
      Say(line);
    }
  }

 private:
  SimulatorLog log_;
  size_t seen_;
};

// The digits a gateway number is given: the phone number's digits without
// leading zeros (an international "+" and a trunk "0" go).
std::string GatewayNumber(const std::wstring& phone) {
  std::string digits;
  for (wchar_t c : phone) {
    if (c >= L'0' && c <= L'9') digits += static_cast<char>(c);
  }
  const size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "" : digits.substr(first);
}

class Tour {
 public:
  Tour(HWND host, DWORD hostThread) : host_(host), user_(hostThread) {}

  void Run() {
    Say(L"");
    Say(L"The stand-in mail client is open on the sample store (it plays version 16), with the");
    Say(L"add-in's \"SMS\" group on the ribbon's home tab and its toolbar below it.");
    camera_.Shoot(L"host-ribbon-and-toolbar", L"the mail client's window with the add-in's ribbon group and toolbar");
    Options();
    SendToContacts();
    BatchReminders();
    LongReport();
    ContextMenu();
    CloseLeftOverDialogs();
    Say(L"");
    Say(L"Closing the mail client.");
    PostMessageW(host_, WM_CLOSE, 0, 0);
  }

 private:
  bool Press(const std::wstring& caption, HostButtonKind kind = HostButtonKind::kRibbon) {
    HWND button = HostButton(host_, caption, kind);
    const std::wstring where = kind == HostButtonKind::kRibbon ? L"the ribbon's SMS group" : L"the toolbar";
    if (!Check(button != nullptr, where + L" has \"" + caption + L"\"")) return false;
    user_.PostClick(button);
    return true;
  }

  bool RibbonEnabled() const {
    for (const wchar_t* label : {L"Send SMS", L"Batch Reminders", L"SMS Options"}) {
      HWND button = HostButton(host_, label, HostButtonKind::kRibbon);
      if (!button || !IsWindowEnabled(button)) return false;
    }
    return true;
  }

  bool RibbonGreyed() const {
    for (const wchar_t* label : {L"Send SMS", L"Batch Reminders", L"SMS Options"}) {
      HWND button = HostButton(host_, label, HostButtonKind::kRibbon);
      if (!button || IsWindowEnabled(button)) return false;
    }
    return true;
  }

  void Options() {
    Say(L"");
    Say(L"Step 1. \"SMS Options\" in the ribbon's SMS group: the account the add-in sends with.");
    if (!Press(L"SMS Options")) return;
    HWND dialog = user_.WaitForDialog(kOptionsTitle, 20000);
    if (!Check(dialog != nullptr, L"the options dialog opened")) return;
    const std::wstring name = user_.Text(dialog, IDC_USER_NAME);
    const std::wstring password = user_.Text(dialog, IDC_PASSWORD);
    Say(L"  It shows the user name \"" + name + L"\" and a password of " + std::to_wstring(password.size()) +
        L" characters, hidden; delivery results are " +
        (user_.IsChecked(dialog, IDC_SHOW_DELIVERY_RESULTS) ? L"shown" : L"not shown") + L"; the alphabet is " +
        (user_.IsChecked(dialog, IDC_ALPHABET_UNICODE) ? L"Unicode." : L"GSM."));
    Check(name == kAccount, L"the account is \"" + kAccount + L"\", as Settings.ini says");
    Check(!password.empty(), L"a password is set");
    Check(user_.IsChecked(dialog, IDC_SHOW_DELIVERY_RESULTS), L"\"Show delivery results\" is ticked");
    camera_.Shoot(L"options", L"the options dialog");
    Say(L"  The user leaves it with Cancel.");
    user_.Click(dialog, IDCANCEL);
    Check(user_.WaitUntilClosed(dialog), L"the options dialog closed");

    Say(L"  The toolbar below the ribbon offers the same commands: its \"SMS Options\" button opens");
    Say(L"  the same dialog, which the user leaves with Cancel again.");
    if (!Press(L"SMS Options", HostButtonKind::kToolbar)) return;
    dialog = user_.WaitForDialog(kOptionsTitle, 20000);
    if (!Check(dialog != nullptr, L"the toolbar's button opened the options dialog")) return;
    Check(user_.Text(dialog, IDC_USER_NAME) == kAccount, L"it shows the same account");
    user_.Click(dialog, IDCANCEL);
    Check(user_.WaitUntilClosed(dialog), L"the options dialog closed");
  }

  void SendToContacts() {
    Say(L"");
    Say(L"Step 2. \"Send SMS\" in the ribbon's SMS group: two recipients, a text, Send.");
    if (!Press(L"Send SMS")) return;
    HWND dialog = user_.WaitForDialog(kSendTitle, 20000);
    if (!Check(dialog != nullptr, L"the send dialog opened")) return;

    Say(L"  The user types \"ca\" into the To field; the add-in suggests matching contacts.");
    user_.Type(dialog, IDC_RECIPIENTS, L"ca");
    const bool shown = WaitUntil([] { return SuggestionList() && IsWindowVisible(SuggestionList()); }, 10000ms);
    Check(shown, L"a suggestion list appeared below the field");
    camera_.Shoot(L"send-suggestions", L"the suggestion list under the To field");
    Say(L"  Down arrow picks the first suggestion, Enter takes it.");
    user_.PressKey(VK_DOWN);
    const std::wstring carla = L"Carla Mendes (07700 900103)";
    Check(WaitUntil([&] { return user_.Text(dialog, IDC_RECIPIENTS) == carla; }, 10000ms),
          L"the field reads \"" + carla + L"\"");
    user_.PressKey(VK_RETURN);
    Check(WaitUntil([&] { return user_.Text(dialog, IDC_RECIPIENTS) == carla + L"; "; }, 10000ms),
          L"Enter took the suggestion and did not send");

    Say(L"  \"To:\" opens the contact chooser; the user picks Greta Sørensen and presses \"To-->\".");
    user_.Click(dialog, IDC_TO_BUTTON);
    HWND chooser = user_.WaitForDialog(kChooserTitle);
    if (Check(chooser != nullptr, L"the contact chooser opened")) {
      const int rows = ListView_GetItemCount(GetDlgItem(chooser, IDC_CONTACT_LIST));
      Say(L"  It lists " + std::to_wstring(rows) + L" contacts with a phone number.");
      user_.Select(chooser, IDC_CONTACT_LIST, L"Greta Sørensen");
      user_.Click(chooser, IDC_ADD_RECIPIENT);
      const std::wstring chosen = user_.Text(chooser, IDC_CHOSEN_RECIPIENTS);
      Check(Contains(chosen, L"Greta Sørensen (+45 20 55 01 07)"), L"the chooser's field holds \"" + chosen + L"\"");
      camera_.Shoot(L"send-chooser", L"the contact chooser with Greta Sørensen chosen");
      user_.Click(chooser, IDOK);
      Check(user_.WaitUntilClosed(chooser), L"the chooser closed with OK");
    }
    const std::wstring both = user_.Text(dialog, IDC_RECIPIENTS);
    Check(Contains(both, carla) && Contains(both, L"Greta Sørensen (+45 20 55 01 07)"),
          L"the To field holds both: \"" + both + L"\"");

    const std::wstring text = L"Hello from the tour! The slides for Thursday are ready.";
    Say(L"  The user writes the text and presses Send.");
    user_.Type(dialog, IDC_MESSAGE_TEXT, text);
    Check(user_.Text(dialog, IDC_CHAR_COUNT) == std::to_wstring(text.size()),
          L"the character count reads " + user_.Text(dialog, IDC_CHAR_COUNT) + L", message count " +
              user_.Text(dialog, IDC_MESSAGE_COUNT));
    camera_.Shoot(L"send-filled", L"the send dialog, filled in");
    user_.Click(dialog, IDOK);
    HWND box = user_.WaitForMessageBox(dialog, kSendTitle, 30000);
    if (Check(box != nullptr, L"a delivery report came")) {
      const std::wstring report = user_.MessageText(box);
      Say(L"  The delivery report:");
      Quote(report);
      Check(Contains(report, L"Message for Carla Mendes was sent successfully."), L"Carla's message was sent");
      Check(Contains(report, L"Message for Greta Sørensen was sent successfully."), L"Greta's message was sent");
      Say(L"  While the report is open the run is still in progress: the ribbon's SMS group is greyed,");
      Say(L"  so no second command starts; the toolbar's buttons stay as they were.");
      Check(RibbonGreyed(), L"the ribbon's three buttons are greyed");
      camera_.Shoot(L"send-report-ribbon-greyed", L"the send's delivery report, the ribbon greyed behind it");
      user_.Click(box, IDOK);
      Check(user_.WaitUntilClosed(dialog), L"the send dialog closed after the report");
      Check(WaitUntil([&] { return RibbonEnabled(); }, 5000ms), L"the ribbon's buttons are enabled again");
    }
    const auto requests = gateway_.TakeNew();
    Gateway::Print(requests);
    if (Check(requests.size() == 2, L"two requests, one per recipient")) {
      Check(requests[0].Param("to") == GatewayNumber(L"07700 900103") && Gateway::Message(requests[0]) == text,
            L"Carla's number and the text");
      Check(requests[1].Param("to") == GatewayNumber(L"+45 20 55 01 07") && Gateway::Message(requests[1]) == text,
            L"Greta's number and the text");
      Check(requests[0].Param("user") == Utf8(kAccount), L"sent with the account \"demo\"");
    }
  }

  struct RunSeen {
    std::vector<std::wstring> questions;
    std::wstring report;
  };

  // Presses a send button of the batch dialog and answers its questions:
  // `answer` decides each, the first screenshot of a question is taken
  // with `questionShot` at the first containing `shotOf`. Ends with the
  // report, shot as `reportShot`.
  RunSeen PlayRun(HWND dialog, const std::function<int(const std::wstring&)>& answer, const std::wstring& shotOf,
                  const std::wstring& questionShot, const std::wstring& reportShot) {
    RunSeen seen;
    user_.Click(dialog, IDC_SEND_NOW);
    bool questionShotTaken = false;
    for (;;) {
      HWND box = user_.WaitForMessageBox(dialog, kBatchTitle, 30000);
      if (!box) {
        Check(false, L"the batch dialog answered the run with a question or a report");
        return seen;
      }
      const std::wstring text = user_.MessageText(box);
      if (text.rfind(L"SMS delivery results:", 0) == 0 || text.rfind(L"There are no", 0) == 0) {
        seen.report = text;
        Say(L"  The delivery report:");
        Quote(text);
        camera_.Shoot(reportShot, L"the batch run's delivery report");
        user_.Click(box, IDOK);
        user_.WaitUntilClosed(box);
        wchar_t caption[128] = {};
        Check(WaitUntil([&] { return GetWindowTextW(dialog, caption, 128) && kBatchTitle == caption; }, 3000ms),
              L"the run is over: the dialog's caption no longer says to wait");
        return seen;
      }
      const int button = answer(text);
      const std::wstring said = button == IDYES ? L"Yes" : L"No";
      const std::wstring again = L"was already sent to ";
      const size_t at = text.find(again);
      if (at != std::wstring::npos && repeatsShown_ > 0) {
        // The same question for another reminder: one line each.
        const size_t end = text.find(L".\n", at);
        Say(L"    ...already sent to " + text.substr(at + again.size(), end - at - again.size()) + L": again? " +
            said + L".");
      } else {
        if (at != std::wstring::npos) ++repeatsShown_;
        Say(L"  The add-in asks:");
        Quote(text);
        Say(L"  The user answers " + said + L".");
      }
      if (!questionShotTaken && Contains(text, shotOf)) {
        camera_.Shoot(questionShot, L"a question of the batch run");
        questionShotTaken = true;
      }
      seen.questions.push_back(text);
      user_.Click(box, button);
      user_.WaitUntilClosed(box);
    }
  }

  void BatchReminders() {
    Say(L"");
    Say(L"Step 3. \"Batch Reminders\" in the ribbon's SMS group: reminders for the week's meetings.");
    if (!Press(L"Batch Reminders")) return;
    HWND dialog = user_.WaitForDialog(kBatchTitle, 20000);
    if (!Check(dialog != nullptr, L"the batch dialog opened")) return;
    Say(L"  It covers the meetings of the next " + user_.Text(dialog, IDC_TIME_FRAME_COUNT) + L" " +
        Lower(user_.Text(dialog, IDC_TIME_FRAME_UNIT)) +
        L". No template is chosen yet, so its send buttons are disabled.");
    Check(user_.Text(dialog, IDC_TEMPLATE_TEXT).empty() && !user_.IsEnabled(dialog, IDC_SEND_NOW),
          L"no template, \"Send now\" disabled");
    camera_.Shoot(L"batch", L"the batch dialog as it opens");

    Say(L"  \"Choose template...\": the user picks \"" + kTemplateName + L"\" and presses OK.");
    user_.Click(dialog, IDC_CHOOSE_TEMPLATE);
    HWND manager = user_.WaitForDialog(kTemplatesTitle);
    if (Check(manager != nullptr, L"the template manager opened")) {
      user_.Select(manager, IDC_TEMPLATE_NAMES, kTemplateName);
      Check(WaitUntil([&] { return user_.Text(manager, IDC_TEMPLATE_TEXT) == kTemplateText; }, 3000ms),
            L"it shows the template's text");
      camera_.Shoot(L"batch-templates", L"the template manager with \"" + kTemplateName + L"\"");
      user_.Click(manager, IDOK);
      Check(user_.WaitUntilClosed(manager), L"the template manager closed");
    }
    Check(user_.Text(dialog, IDC_TEMPLATE_TEXT) == kTemplateText && user_.IsEnabled(dialog, IDC_SEND_NOW),
          L"the batch dialog took the template; \"Send now\" is enabled");
    camera_.Shoot(L"batch-template-chosen", L"the batch dialog with the chosen template");

    Say(L"  The user presses \"Send now\". For a recurring meeting the add-in asks whether");
    Say(L"  every instance gets a reminder; the user says No: only the next one.");
    const RunSeen first = PlayRun(
        dialog, [](const std::wstring&) { return IDNO; }, L"is a recurring one", L"batch-recurring-question",
        L"batch-report");
    const auto firstRequests = gateway_.TakeNew();
    Gateway::Print(firstRequests);
    const size_t sent = CountOf(first.report, L"was sent successfully");
    Check(!firstRequests.empty() && sent == firstRequests.size(),
          L"each of the " + std::to_wstring(sent) + L" reminders reported sent reached the gateway");
    bool filled = true;
    for (const auto& request : firstRequests) {
      const std::wstring message = Gateway::Message(request);
      filled = filled && message.rfind(L"Hi ", 0) == 0 && !Contains(message, L"[[") && request.Param("yy").empty();
    }
    Check(filled, L"every reminder is the chosen template, filled in, sent at once");
    Check(Contains(first.report, L"Message for Inès Dubois was not sent. Details: Contact does not have a phone number assigned!"),
          L"Inès Dubois, who has no phone number, is reported as not sent");
    Check(!Contains(first.report, L"Message for  ") && Contains(first.report, L"Message for +44 7700 900108 was sent"),
          L"every report line names its attendee: the contact without a name by its number");
    for (const auto& request : firstRequests) {
      if (request.Param("to") != GatewayNumber(L"+7 912 555 0104")) continue;
      Say(L"  Note: \"SMS Options\" has the GSM alphabet chosen, which has no Cyrillic letters, so");
      Say(L"  Дмитрий's reminder reads \"" + Gateway::Message(request) + L"\"; the Unicode alphabet keeps them.");
    }

    Say(L"");
    Say(L"  The user presses \"Send now\" again. The add-in remembers what it sent and asks");
    Say(L"  before sending a reminder a second time; the user says Yes once, No otherwise.");
    int repeats = 0;
    const RunSeen second = PlayRun(
        dialog,
        [&](const std::wstring& question) {
          if (!Contains(question, L"Do you want to send it again?")) return IDNO;
          return ++repeats == 1 ? IDYES : IDNO;
        },
        L"Do you want to send it again?", L"batch-repeat-question", L"batch-second-report");
    const auto secondRequests = gateway_.TakeNew();
    historyRowsExpected_ = sent;
    Gateway::Print(secondRequests);
    Check(static_cast<size_t>(repeats) == sent,
          L"the add-in asked once for each of the " + std::to_wstring(sent) + L" reminders already sent");
    Check(secondRequests.size() == 1 && CountOf(second.report, L"was sent successfully") == 1,
          L"only the reminder answered Yes went out again");
    if (!secondRequests.empty() && !firstRequests.empty()) {
      Check(secondRequests[0].target == firstRequests[0].target, L"it is the same reminder as the first one sent");
    }
    SentMessages(dialog);
    PreviewAndSendChecked(dialog, CountOf(Join(first.questions), L"is a recurring one"));
    Say(L"  The user closes the dialog.");
    user_.Click(dialog, IDC_BATCH_CLOSE);
    Check(user_.WaitUntilClosed(dialog), L"the batch dialog closed");
  }

  // "Preview...": what a run would send now that every reminder went out
  // once. The user checks two rows, unchecks one of them again and sends
  // the one left checked, which goes without a repeat question.
  void PreviewAndSendChecked(HWND batch, size_t recurringQuestions) {
    Say(L"");
    Say(L"  \"Preview...\" lists what a run would send, without sending anything. It asks about the");
    Say(L"  recurring meeting as a run does; the user says No again.");
    user_.Click(batch, IDC_BATCH_PREVIEW);
    for (size_t asked = 0; asked < recurringQuestions; ++asked) {
      HWND box = user_.WaitForMessageBox(batch, kBatchTitle, 30000);
      if (!Check(box != nullptr && Contains(user_.MessageText(box), L"is a recurring one"),
                 L"the preview asks about the recurring meeting")) {
        return;
      }
      user_.Click(box, IDNO);
      user_.WaitUntilClosed(box);
    }
    HWND preview = user_.WaitForDialog(kPreviewTitle, 20000);
    if (!Check(preview != nullptr, L"the preview opened")) return;
    HWND list = GetDlgItem(preview, IDC_PREVIEW_LIST);
    const int rows = ListView_GetItemCount(list);
    Say(L"  It lists " + std::to_wstring(rows) + L" reminders: " + user_.Text(preview, IDC_PREVIEW_TOTALS) + L".");
    // Two rows the gateway took before, for two different people.
    std::vector<int> sentBefore;
    for (int row = 0; row < rows && sentBefore.size() < 2; ++row) {
      if (user_.CellText(preview, IDC_PREVIEW_LIST, row, 5).rfind(L"sent before on ", 0) != 0) continue;
      if (!sentBefore.empty() && user_.CellText(preview, IDC_PREVIEW_LIST, sentBefore[0], 0) ==
                                     user_.CellText(preview, IDC_PREVIEW_LIST, row, 0)) {
        continue;
      }
      sentBefore.push_back(row);
    }
    Check(rows > 0 && user_.Text(preview, IDC_PREVIEW_TOTALS).find(L" 0 checked") != std::wstring::npos,
          L"every reminder was sent before, so none is checked");
    if (!Check(sentBefore.size() == 2, L"two rows say \"sent before on <date>\"")) {
      user_.Click(preview, IDCANCEL);
      return;
    }
    const std::wstring keep = user_.CellText(preview, IDC_PREVIEW_LIST, sentBefore[0], 0),
                       other = user_.CellText(preview, IDC_PREVIEW_LIST, sentBefore[1], 0);
    const std::wstring keepNumber = user_.CellText(preview, IDC_PREVIEW_LIST, sentBefore[0], 1);
    Say(L"  The user checks " + keep + L" and " + other + L" with the space bar, then unchecks " + other + L".");
    for (const std::wstring* name : {&keep, &other, &other}) {
      user_.Select(preview, IDC_PREVIEW_LIST, *name);
      user_.PressKey(VK_SPACE);
    }
    Say(L"  The totals now read: " + user_.Text(preview, IDC_PREVIEW_TOTALS) + L".");
    Check(user_.Text(preview, IDC_PREVIEW_TOTALS).find(L" 1 checked") != std::wstring::npos, L"one row is checked");
    camera_.Shoot(L"batch-preview", L"the preview with one row checked");
    Check(gateway_.TakeNew().empty(), L"the preview sent nothing");
    Say(L"  \"Send checked\".");
    user_.Click(preview, IDC_PREVIEW_SEND);
    Check(user_.WaitUntilClosed(preview), L"the preview closed");
    HWND box = user_.WaitForMessageBox(batch, kBatchTitle, 30000);
    if (!Check(box != nullptr, L"the run reported")) return;
    const std::wstring report = user_.MessageText(box);
    Say(L"  The delivery report:");
    Quote(report);
    Check(report.rfind(L"SMS delivery results:", 0) == 0 && CountOf(report, L"was sent successfully") == 1 &&
              Contains(report, L"Message for " + keep + L" was sent successfully"),
          L"no repeat question; only " + keep + L" was sent");
    camera_.Shoot(L"batch-preview-report", L"the report of the checked row");
    user_.Click(box, IDOK);
    user_.WaitUntilClosed(box);
    const auto requests = gateway_.TakeNew();
    Gateway::Print(requests);
    Check(requests.size() == 1 && requests[0].Param("to") == GatewayNumber(keepNumber),
          L"the gateway got one request, to " + keepNumber);
    wchar_t caption[128] = {};
    Check(WaitUntil([&] { return GetWindowTextW(batch, caption, 128) && kBatchTitle == caption; }, 3000ms),
          L"the run is over");
  }

  // "History..." of the batch dialog: the reminders sent so far, a search,
  // and an export through the system's save dialog, whose file's first
  // lines are shown.
  void SentMessages(HWND batch) {
    Say(L"");
    Say(L"  \"History...\" shows what the add-in has sent.");
    user_.Click(batch, IDC_BATCH_HISTORY);
    HWND dialog = user_.WaitForDialog(kHistoryTitle);
    if (!Check(dialog != nullptr, L"\"Sent messages\" opened")) return;
    HWND list = GetDlgItem(dialog, IDC_HISTORY_LIST);
    const int rows = ListView_GetItemCount(list);
    Say(L"  It lists " + user_.Text(dialog, IDC_HISTORY_COUNT) + L", newest first.");
    Check(rows > 0 && rows == static_cast<int>(historyRowsExpected_),
          L"one row per reminder the gateway accepted (" + std::to_wstring(historyRowsExpected_) + L")");
    camera_.Shoot(L"batch-history", L"\"Sent messages\" after the two runs");
    Say(L"  The user types \"dmitr\" into the search box.");
    user_.Type(dialog, IDC_HISTORY_SEARCH, L"\u0434\u043C\u0438\u0442\u0440");
    Say(L"  It now reads " + user_.Text(dialog, IDC_HISTORY_COUNT) + L".");
    user_.Clear(dialog, IDC_HISTORY_SEARCH);

    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"Sent messages.csv";
    DeleteFileW(path.c_str());
    Say(L"  \"Export...\" opens the system's save dialog; the user saves as " + path + L".");
    user_.Click(dialog, IDC_HISTORY_EXPORT);
    HWND save = user_.WaitForDialog(L"Save As");
    if (Check(save != nullptr, L"the save dialog opened")) {
      // The file name field of the system's save dialog (cmb13).
      SetDlgItemTextW(save, 0x47C, path.c_str());
      camera_.Shoot(L"batch-history-export", L"the save dialog of \"Export...\"");
      user_.Click(save, IDOK);
      Check(user_.WaitUntilClosed(save), L"the save dialog closed");
    }
    if (Check(WaitUntil([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000ms),
              L"the file was written")) {
      std::string bytes;
      if (FILE* in = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        const size_t got = std::fread(buffer, 1, sizeof buffer, in);
        bytes.assign(buffer, got);
        std::fclose(in);
      }
      Check(bytes.rfind("\xEF\xBB\xBF", 0) == 0, L"it begins with the UTF-8 byte-order mark");
      std::wstring lines;
      size_t from = 3;
      for (int line = 0; line < 4 && from < bytes.size(); ++line) {
        const size_t end = bytes.find("\r\n", from);
        lines += Wide(bytes.substr(from, end - from)) + L"\n";
        from = end == std::string::npos ? bytes.size() : end + 2;
      }
      Say(L"  Its first lines, as a spreadsheet opens them:");
      Quote(lines);
    }
    user_.Click(dialog, IDCANCEL);
    Check(user_.WaitUntilClosed(dialog), L"\"Sent messages\" closed");
  }

  // The sample week has too few reminders to fill the screen, so the
  // report of a 200-reminder run is shown the way both send dialogs show
  // theirs (ReportingPrompt), with two that did not go out.
  void LongReport() {
    Say(L"");
    Say(L"Step 4. The report of a 200-reminder run, too tall for a message box.");
    std::u16string report = u"SMS delivery results:\n\n";
    for (int i = 1; i <= 200; ++i) {
      const std::string n = std::to_string(i);
      const std::u16string name = u"Patient " + std::u16string(n.begin(), n.end());
      if (i == 57) {
        report += u"Message for " + name + u" was not sent. Details: Invalid number\n";
      } else if (i == 143) {
        report += u"Message for " + name + u" may not have been sent. Details: The connection was closed\n";
      } else {
        report += u"Message for " + name + u" was sent successfully. Details: Message queued for delivery\n";
      }
    }
    RunWithUser(
        [&] {
          ReportingPrompt(nullptr).ShowReport(report, u"Send batch SMS");
          return INT_PTR{0};
        },
        [&](DialogUser& user) {
          HWND dialog = user.WaitForDialog(kBatchTitle);
          if (!Check(dialog != nullptr && GetDlgItem(dialog, IDC_REPORT_TEXT) != nullptr,
                     L"the report opened in its scrolling dialog")) {
            return;
          }
          const std::wstring summary = user.Text(dialog, IDC_REPORT_SUMMARY);
          Say(L"  Above the text: \"" + summary + L"\"; the two that did not go out come first:");
          const std::wstring text = user.Text(dialog, IDC_REPORT_TEXT);
          Quote(text.substr(0, text.find(L"\r\n\r\nAll results")));
          Check(summary == L"198 sent, 1 not sent, 1 may not have been sent", L"the summary counts every line");
          camera_.Shoot(L"long-report", L"a 200-line delivery report");
          Say(L"  The user presses Enter (OK).");
          user.PressKey(VK_RETURN);
          Check(user.WaitUntilClosed(dialog), L"the report closed");
        });
  }

  void ContextMenu() {
    Say(L"");
    Say(L"Step 5. The user selects Carla Mendes and Ann Lee in the contacts list, right-clicks and");
    Say(L"  chooses \"Send SMS\" on the context menu.");
    HWND list = FindWindowExW(host_, nullptr, L"ListBox", nullptr);
    if (!Check(list != nullptr, L"the mail client shows its contacts")) return;
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (const wchar_t* name : {L"Carla Mendes", L"Ann Lee"}) {
      const LRESULT row = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
      SendMessageW(list, LB_SETSEL, TRUE, row);
      SendMessageW(host_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    PostMessageW(host_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    if (!Check(user_.WaitForPopupMenu() != nullptr, L"the context menu opened")) return;
    // The menu's modal loop takes the keys of its thread: Down highlights
    // "Send SMS" for the picture, Enter chooses it.
    PostMessageW(host_, WM_KEYDOWN, VK_DOWN, 0);
    camera_.Shoot(L"contact-context-menu", L"the context menu of two selected contacts, \"Send SMS\" highlighted");
    PostMessageW(host_, WM_KEYDOWN, VK_RETURN, 0);
    HWND dialog = user_.WaitForDialog(kSendTitle, 20000);
    if (!Check(dialog != nullptr, L"\"Send SMS\" opened the send dialog")) return;
    const std::wstring recipients = user_.Text(dialog, IDC_RECIPIENTS);
    Say(L"  The To field reads \"" + recipients + L"\".");
    Check(recipients == L"Ann Lee (+44 7700 900101); Carla Mendes (07700 900103); ",
          L"both selected contacts are in the To field");
    camera_.Shoot(L"send-from-context-menu", L"the send dialog opened for the two selected contacts");
    Say(L"  The user leaves it with Cancel.");
    user_.Click(dialog, IDCANCEL);
    Check(user_.WaitUntilClosed(dialog), L"the send dialog closed");
  }

  // After a failed step a dialog or message box may still be open; the
  // mail client only closes once they are gone, so they are dismissed.
  void CloseLeftOverDialogs() {
    const DWORD thread = GetWindowThreadProcessId(host_, nullptr);
    for (int round = 0; round < 50; ++round) {
      HWND left = nullptr;
      EnumThreadWindows(thread, FindOpenDialog, reinterpret_cast<LPARAM>(&left));
      if (!left) return;
      if (round == 0) Check(false, L"every dialog was closed by the step that opened it");
      for (WPARAM button : {IDCANCEL, IDNO, IDOK}) {
        if (IsWindow(left) && IsWindowVisible(left)) PostMessageW(left, WM_COMMAND, button, 0);
        Sleep(200);
      }
    }
  }

  HWND host_;
  int repeatsShown_ = 0;
  size_t historyRowsExpected_ = 0;
  DialogUser user_;
  Camera camera_;
  Gateway gateway_;
};

std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args(argv + (count > 0 ? 1 : 0), argv + count);
  LocalFree(argv);
  return args;
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  std::wstring store, progId = L"QuorvalSmsOutlookAddin.QuorvalOAddin";
  const auto args = Arguments();
  for (size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == L"--store") store = args[i + 1];
    if (args[i] == L"--addin") progId = args[i + 1];
  }
  if (store.empty()) {
    Say(L"usage: tour --store FILE [--addin PROGID]");
    return 64;
  }
  int argc = 1;
  char name[] = "tour";
  char* argv[] = {name, nullptr};
  testing::InitGoogleTest(&argc, argv);
  auto& listeners = testing::UnitTest::GetInstance()->listeners();
  delete listeners.Release(listeners.default_result_printer());
  listeners.Append(new HarnessFailures);

  OleInitialize(nullptr);
  int status = 0;
  {
    std::unique_ptr<standin::StandIn> client;
    try {
      client = standin::StandIn::FromFile(std::filesystem::path(store));
    } catch (const standin::StoreError& e) {
      Say(L"The sample store cannot be read: " + Wide(e.what()));
      return 2;
    }
    auto addin = std::make_unique<host::ConnectedAddin>(progId);
    std::wstring step;
    const HRESULT hr = addin->Connect(client->Application().Get(), step);
    if (!Check(SUCCEEDED(hr), L"the mail client loaded the registered add-in " + progId)) {
      Say(L"  (" + step + L" failed)");
      return 1;
    }
    std::vector<std::wstring> errors;
    auto ribbon = host::AddinRibbon::Load(addin->Object(), progId, errors);
    for (const auto& error : errors) Say(L"  " + error);
    Check(ribbon && ribbon->Explorer() && errors.empty(), L"the add-in's ribbon loaded without a custom UI error");
    host::MainWindow window(*client);
    if (ribbon) window.AddRibbon(*ribbon);
    if (!Check(window.Create(kHostTitle), L"the mail client's window opened")) return 1;
    Say(L"  It shows the toolbar the add-in made:");
    for (const auto& caption : window.ShownCaptions()) Say(L"    [" + caption + L"]");
    ShowWindow(window.Handle(), SW_SHOWNORMAL);
    UpdateWindow(window.Handle());

    std::thread person([&, hostThread = GetCurrentThreadId(), host = window.Handle()] {
      Tour tour(host, hostThread);
      tour.Run();
    });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    person.join();
    ribbon.reset();
    addin.reset();  // disconnects, as the client does at exit
    client->Close();
  }
  OleUninitialize();
  Say(L"");
  if (failures == 0) {
    Say(L"The tour is over: every step did what it should.");
  } else {
    Say(L"The tour is over: " + std::to_wstring(failures.load()) + L" check(s) FAILED (see above).");
    status = 1;
  }
  return status;
}
