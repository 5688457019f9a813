#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gateway/gateway_address.h"
#include "gateway/http_exchange.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/status.h"
#include "store/settings.h"

// The gateway client: turns one message into one GET of "/smsgateway.pl"
// on the configured gateway and hands back the reply. The same manager may
// send several messages in turn.
class HTTPManager {
 public:
  // Reads the gateway's address (setting "GatewayHost") once, here.
  HTTPManager(Settings& settings, const CodePage& codePage, const Clock& clock,
              std::unique_ptr<HttpExchange> exchange);
  virtual ~HTTPManager();
  HTTPManager(const HTTPManager&) = delete;
  HTTPManager& operator=(const HTTPManager&) = delete;

  // Appends the reply body to `reply` and returns 0 when the gateway
  // answered with status 200; otherwise E_FAIL, and FailureDetails() says
  // why in words for the delivery report. `sendTime` is the local delivery
  // time as an OLE Automation date, 0 for at once.
  HResult SendRequest(const std::string& phoneNumber, const std::string& text, double sendTime,
                   std::string& reply);
  const std::string& FailureDetails() const { return failureDetails_; }
  // How the latest exchange ended; nullopt when SendRequest failed before
  // reaching the gateway (no gateway configured, a message too long...).
  const std::optional<HttpReply::Outcome>& LastOutcome() const { return lastOutcome_; }
  // After a failed SendRequest: whether the request went out, so that the
  // gateway may have taken the message although no acceptance came back.
  bool RequestMayHaveArrived() const { return requestSent_; }

  // The request target of the latest SendRequest.
  const std::string& ObjectPath() const { return objectPath_; }

 private:
  HResult Fail(std::string details);
  std::string DescribeExchangeFailure(const HttpReply& answer) const;

  Settings& settings_;
  const CodePage& codePage_;
  const Clock& clock_;
  std::unique_ptr<HttpExchange> exchange_;
  std::string hostSetting_;
  std::optional<GatewayAddress> address_;
  std::string verb_;
  std::string objectPath_;
  std::string failureDetails_;
  std::optional<HttpReply::Outcome> lastOutcome_;
  bool requestSent_ = false;
};
