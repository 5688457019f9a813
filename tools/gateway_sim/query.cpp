#include "query.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Decode(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i] == '+' ? ' ' : text[i];
    }
  }
  return decoded;
}

}  // namespace

QueryParameters ParseQuery(const std::string& target) {
  QueryParameters parameters;
  const auto question = target.find('?');
  if (question == std::string::npos) return parameters;
  const std::string query = target.substr(question + 1);
  std::size_t start = 0;
  while (start <= query.size()) {
    auto end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string pair = query.substr(start, end - start);
    if (!pair.empty()) {
      const auto equals = pair.find('=');
      parameters.emplace_back(Decode(pair.substr(0, equals)),
                              equals == std::string::npos ? std::string() : Decode(pair.substr(equals + 1)));
    }
    start = end + 1;
  }
  return parameters;
}

std::string ParameterValue(const QueryParameters& parameters, const std::string& name) {
  for (const auto& [key, value] : parameters) {
    if (key == name) return value;
  }
  return {};
}
