// The stand-in's store file as a test author may get it wrong: every
// input is a store or a StoreError, never another exception or a crash.
#include <string>

#include "fuzz_check.h"
#include "mailstore/store_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  try {
    standin::ParseStore(json, "fuzz.json", 45000.5);
  } catch (const standin::StoreError& error) {
    FUZZ_CHECK(std::string(error.what()).rfind("fuzz.json: ", 0) == 0);
  }
  return 0;
}
