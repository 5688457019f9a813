#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gateway/http_manager.h"
#include "gateway/send_run.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/prompt.h"
#include "send/contact_directory.h"
#include "send/opt_out.h"
#include "store/settings.h"

// One press of "Send" in the single-message dialog: the text encoded once,
// with the alphabet of that moment, for every recipient; one message per
// recipient token that is a directory key, all through one gateway client;
// a report line for every token; then the report, which the dialog shows
// once its run has ended.
class SendFlow {
 public:
  struct Ports {
    Settings& settings;
    Prompt& prompt;
    const CodePage& codePage;
    const Clock& clock;
  };
  using MakeGateway = std::function<std::unique_ptr<HTTPManager>()>;

  // `caption` is the dialog's title as it reads without the busy suffix.
  SendFlow(Ports ports, std::u16string caption) : ports_(ports), caption_(std::move(caption)) {}

  // Sends `text` to each recipient token of `recipientsText` in order and
  // gives one report line per token: the message's line for a directory
  // key, else a line saying that nothing was sent to it. An empty or
  // blank token gets no line. Once `run` has stopped,
  // the remaining messages are not attempted and say why. Recipients in
  // the opt-out category are named in one question before anything is
  // sent; unless it is answered Yes, each gets the opt-out line instead.
  std::vector<std::u16string> Send(const std::u16string& recipientsText, const std::u16string& text,
                                   const ContactDirectory& directory, SendRun& run,
                                   const MakeGateway& makeGateway) const;

  // The report of `lines`, captioned with the dialog's title, when the
  // options show delivery results.
  void ShowReport(const std::vector<std::u16string>& lines) const;

 private:
  static std::map<std::u16string, std::u16string> OptedOut(const std::vector<std::u16string>& tokens,
                                                           const ContactDirectory& directory,
                                                           const OptOut& optOut);

  Ports ports_;
  std::u16string caption_;
};

std::u16string NotAContactLine(const std::u16string& token);
std::u16string UnreadableContactLine(const std::u16string& key);
