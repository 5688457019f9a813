#include "store/compound_file.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t kSector = 4096;
constexpr std::size_t kMiniSector = 64;
// Streams below this size live in the mini stream, in 64-byte sectors.
constexpr std::size_t kMiniCutoff = 4096;
constexpr std::size_t kEntriesPerSector = kSector / 4;
constexpr std::size_t kDirectoryEntry = 128;
constexpr std::size_t kHeaderFatSlots = 109;

constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

std::size_t Sectors(std::size_t bytes, std::size_t sector) { return (bytes + sector - 1) / sector; }

void Put16(unsigned char* at, std::uint16_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void Put64(unsigned char* at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

// Links `count` sectors from `first` into one chain of `table`.
void Chain(std::vector<std::uint32_t>& table, std::size_t first, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    table[first + i] = i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : kEndOfChain;
  }
}

// The directory's order: shorter names first, then by upper-case units.
bool NameBefore(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return upper(a[i]) < upper(b[i]);
  }
  return false;
}

void PutEntry(unsigned char* at, const std::u16string& name, unsigned char type, unsigned char colour,
              std::uint32_t right, std::uint32_t child, std::uint32_t start, std::uint64_t size) {
  for (std::size_t i = 0; i < name.size(); ++i) Put16(at + 2 * i, name[i]);
  Put16(at + 64, static_cast<std::uint16_t>(2 * (name.size() + 1)));
  at[66] = type;
  at[67] = colour;
  Put32(at + 68, kNoStream);
  Put32(at + 72, right);
  Put32(at + 76, child);
  Put32(at + 116, start);
  Put64(at + 120, size);
}

}  // namespace

std::vector<unsigned char> BuildCompoundFile(const std::vector<CompoundStream>& streams) {
  // Sectors in file order: the allocation table, the directory, the mini
  // allocation table, the mini stream and the large streams. The tables
  // come first so that a file cut short still shows its streams' starts.
  std::vector<std::size_t> start(streams.size());
  std::size_t largeSectors = 0;
  std::size_t miniSectors = 0;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (streams[i].size >= kMiniCutoff) {
      start[i] = largeSectors;
      largeSectors += Sectors(streams[i].size, kSector);
    } else {
      start[i] = miniSectors;
      miniSectors += Sectors(streams[i].size, kMiniSector);
    }
  }
  const std::size_t directorySectors = Sectors((1 + streams.size()) * kDirectoryEntry, kSector);
  const std::size_t miniFatSectors = Sectors(miniSectors, kEntriesPerSector);
  const std::size_t miniStreamSectors = Sectors(miniSectors * kMiniSector, kSector);
  const std::size_t others = directorySectors + miniFatSectors + miniStreamSectors + largeSectors;
  // The table also maps its own sectors.
  const std::size_t fatSectors = Sectors(others, kEntriesPerSector - 1);
  if (fatSectors > kHeaderFatSlots) return {};
  const std::size_t fat = 0;
  const std::size_t directory = fat + fatSectors;
  const std::size_t miniFat = directory + directorySectors;
  const std::size_t miniStream = miniFat + miniFatSectors;
  const std::size_t large = miniStream + miniStreamSectors;
  const std::size_t total = large + largeSectors;
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (streams[i].size >= kMiniCutoff) start[i] += large;
  }

  std::vector<unsigned char> file((1 + total) * kSector, 0);
  const auto sector = [&](std::size_t n) { return file.data() + (1 + n) * kSector; };

  std::vector<std::uint32_t> table(fatSectors * kEntriesPerSector, kFree);
  std::vector<std::uint32_t> miniTable(miniFatSectors * kEntriesPerSector, kFree);
  for (std::size_t i = 0; i < streams.size(); ++i) {
    if (streams[i].size >= kMiniCutoff) {
      Chain(table, start[i], Sectors(streams[i].size, kSector));
      streams[i].write(sector(start[i]));
    } else {
      Chain(miniTable, start[i], Sectors(streams[i].size, kMiniSector));
      streams[i].write(sector(miniStream) + start[i] * kMiniSector);
    }
  }
  Chain(table, miniStream, miniStreamSectors);
  Chain(table, miniFat, miniFatSectors);
  Chain(table, directory, directorySectors);
  for (std::size_t i = 0; i < fatSectors; ++i) table[fat + i] = kFatSector;
  for (std::size_t i = 0; i < table.size(); ++i) Put32(sector(fat) + 4 * i, table[i]);
  for (std::size_t i = 0; i < miniTable.size(); ++i) Put32(sector(miniFat) + 4 * i, miniTable[i]);

  // The root's children as a tree in name order: each the right sibling
  // of the one before, the first black and the rest red.
  std::vector<std::size_t> order(streams.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return NameBefore(streams[a].name, streams[b].name); });
  unsigned char* entries = sector(directory);
  const std::size_t slots = directorySectors * kSector / kDirectoryEntry;
  for (std::size_t slot = 0; slot < slots; ++slot) {
    for (int link = 68; link < 80; link += 4) Put32(entries + slot * kDirectoryEntry + link, kNoStream);
  }
  PutEntry(entries, u"Root Entry", 5, 1, kNoStream,
           order.empty() ? kNoStream : static_cast<std::uint32_t>(1 + order.front()),
           miniStreamSectors ? static_cast<std::uint32_t>(miniStream) : kEndOfChain, miniSectors * kMiniSector);
  for (std::size_t rank = 0; rank < order.size(); ++rank) {
    const std::size_t i = order[rank];
    const std::uint32_t right = rank + 1 < order.size() ? static_cast<std::uint32_t>(1 + order[rank + 1]) : kNoStream;
    PutEntry(entries + (1 + i) * kDirectoryEntry, streams[i].name, 2, rank == 0 ? 1 : 0, right, kNoStream,
             static_cast<std::uint32_t>(start[i]), streams[i].size);
  }

  unsigned char* header = file.data();
  static const unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(std::begin(kSignature), std::end(kSignature), header);
  Put16(header + 24, 0x003E);
  Put16(header + 26, 4);
  Put16(header + 28, 0xFFFE);
  Put16(header + 30, 12);
  Put16(header + 32, 6);
  Put32(header + 40, static_cast<std::uint32_t>(directorySectors));
  Put32(header + 44, static_cast<std::uint32_t>(fatSectors));
  Put32(header + 48, static_cast<std::uint32_t>(directory));
  Put32(header + 56, static_cast<std::uint32_t>(kMiniCutoff));
  Put32(header + 60, miniFatSectors ? static_cast<std::uint32_t>(miniFat) : kEndOfChain);
  Put32(header + 64, static_cast<std::uint32_t>(miniFatSectors));
  Put32(header + 68, kEndOfChain);
  for (std::size_t i = 0; i < kHeaderFatSlots; ++i) {
    Put32(header + 76 + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(fat + i) : kFree);
  }
  return file;
}
