#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken property is a finding: say which and abort, so that libFuzzer
// keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                        \
  do {                                                                               \
    if (!(condition)) {                                                              \
      std::fprintf(stderr, "property broken at %s:%d: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                  \
    }                                                                                \
  } while (0)

// Fuzz bytes as UTF-16 text, two bytes (little-endian) per unit; an odd last
// byte is dropped.
inline std::u16string Utf16Of(const unsigned char* data, std::size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  }
  return text;
}
