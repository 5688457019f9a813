#include "gateway/http_manager.h"

#include "gateway/request_target.h"

HTTPManager::HTTPManager(Settings& settings, const CodePage& codePage, const Clock& clock,
                         std::unique_ptr<HttpExchange> exchange)
    : settings_(settings),
      codePage_(codePage),
      clock_(clock),
      exchange_(std::move(exchange)),
      hostSetting_(codePage.ToAnsi(settings.ReadSection()->GetString(settings_key::kGatewayHost))),
      address_(ParseGatewayAddress(hostSetting_)) {}

HTTPManager::~HTTPManager() = default;

HResult HTTPManager::Fail(std::string details) {
  failureDetails_ = std::move(details);
  return kStatusFail;
}

HResult HTTPManager::SendRequest(const std::string& phoneNumber, const std::string& text,
                              double sendTime, std::string& reply) {
  failureDetails_.clear();
  lastOutcome_.reset();
  requestSent_ = false;
  verb_ = "GET";
  const std::string query = BuildGatewayQuery(ReadGatewayAccount(settings_, codePage_), phoneNumber, text);
  objectPath_ = kGatewayScript + query;
  if (sendTime != 0) {
    const auto utc = clock_.LocalToUtc(sendTime);
    if (!utc) return Fail("The delivery time could not be converted to UTC.");
    objectPath_ += ScheduleSuffix(*utc);
  }
  if (hostSetting_.find_first_not_of(" \t\r\n") == std::string::npos) {
    return Fail("No SMS gateway is configured.");
  }
  if (!address_) {
    return Fail("The SMS gateway setting \"" + hostSetting_ + "\" is not a host name or host:port.");
  }
  if (query.size() > kMaxQueryLength) {
    return Fail("The message is too long to send in one request.");
  }
  const HttpReply answer = exchange_->Get(address_->host, address_->port, objectPath_);
  lastOutcome_ = answer.outcome;
  requestSent_ = answer.requestSent || answer.outcome == HttpReply::Outcome::kAnswered;
  reply += answer.body;
  if (answer.outcome == HttpReply::Outcome::kAnswered && answer.status == 200) return kStatusOk;
  return Fail(DescribeExchangeFailure(answer));
}

std::string HTTPManager::DescribeExchangeFailure(const HttpReply& answer) const {
  const std::string gateway = "The SMS gateway at " + DescribeGatewayAddress(*address_);
  switch (answer.outcome) {
    case HttpReply::Outcome::kAnswered:
      return gateway + " answered with HTTP status " + std::to_string(answer.status) + ".";
    case HttpReply::Outcome::kTimedOut:
      return gateway + " did not answer in time.";
    case HttpReply::Outcome::kInvalidAnswer:
      return gateway + " did not give a valid HTTP answer.";
    case HttpReply::Outcome::kNoAnswer:
      return gateway + " closed the connection without answering.";
    case HttpReply::Outcome::kUnreachable:
      break;
  }
  return gateway + " could not be reached.";
}
