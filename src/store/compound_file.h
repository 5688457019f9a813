#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// A stream of a compound file to be made: its name and size, and what
// writes its `size` bytes, in order, to the place given.
struct CompoundStream {
  std::u16string name;
  std::size_t size = 0;
  std::function<void(unsigned char* out)> write;
};

// The bytes of a compound file (version 4, 4096-byte sectors) whose root
// storage holds `streams`, which have different names of at most 31 units.
// Made in memory, to be written with one call: the platform's storage
// writes sector by sector, and on a file each sector is a system call of
// its own. Empty when the streams need more sectors than a header-only
// allocation table addresses (about 450 MB).
std::vector<unsigned char> BuildCompoundFile(const std::vector<CompoundStream>& streams);
