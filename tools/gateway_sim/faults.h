#pragma once
#include <map>
#include <optional>
#include <string>

// How the simulated gateway misbehaves.
enum class Fault {
  kNone,
  kRefuse,     // nothing listens: connections are refused
  kStall,      // takes the request and never answers: no status line
  kStatus500,  // HTTP 500 with a body
  kHtml,       // status 200, an HTML page instead of a gateway reply
  kGarbage,    // status 200, binary junk
  kHuge,       // status 200, the reply followed by filler, 10 MB in all
  kChunked,    // the reply in small chunks sent apart in time
  kNul,        // the reply, a NUL byte, then more text
  kStallBody,  // status 200 and half the reply's announced length, then silence
  kReset,      // status 200 and half the reply, then the connection is reset
  kTrickle,    // status 200, then the reply one byte per second
  kClose,      // takes the request and closes the connection without a byte
};

std::optional<Fault> ParseFault(const std::string& name);
const char* FaultName(Fault fault);

// Faults for single recipients: lines "<to> <fault>"; blank lines and
// lines starting with "#" are ignored. nullopt when the file cannot be read
// or a line is malformed (`error` says which).
std::optional<std::map<std::string, Fault>> ReadFaultScript(const std::string& path, std::string& error);
