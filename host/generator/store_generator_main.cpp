// Writes a large mail store for benchmarks:
//   store_generator [--contacts N] [--meetings N] [--attendees N] [--days N]
//                   [--seed N] [--output file]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "generator/store_generator.h"

int main(int argc, char** argv) {
  standin::GeneratedStoreShape shape;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s needs a value\n", arg.c_str());
      return 64;
    }
    const char* value = argv[++i];
    if (arg == "--output") {
      output = value;
      continue;
    }
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    if (*end || n < 0) {
      std::fprintf(stderr, "%s needs a whole number, not \"%s\"\n", arg.c_str(), value);
      return 64;
    }
    if (arg == "--contacts") shape.contacts = static_cast<int>(n);
    else if (arg == "--meetings") shape.meetings = static_cast<int>(n);
    else if (arg == "--attendees") shape.attendees = static_cast<int>(n);
    else if (arg == "--days") shape.days = static_cast<int>(n);
    else if (arg == "--seed") shape.seed = static_cast<uint32_t>(n);
    else {
      std::fprintf(stderr, "unknown option %s\n", arg.c_str());
      return 64;
    }
  }
  const std::string store = standin::GenerateStore(shape);
  if (output.empty()) {
    std::cout << store << "\n";
    return 0;
  }
  std::ofstream file(output, std::ios::binary);
  file << store << "\n";
  if (!file) {
    std::fprintf(stderr, "%s: cannot write the store\n", output.c_str());
    return 1;
  }
  return 0;
}
