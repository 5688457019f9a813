// The memory settings store that portable tests use reads numbers by its
// own code; the same table run against the real profile functions keeps
// the two from drifting apart.
#include <gtest/gtest.h>

#include "store/settings_manager.h"
#include "store_files_win.h"
#include "support/memory_settings.h"

namespace {

struct NumberCase {
  const char16_t* stored;
  unsigned expected;  // read with a default of 7
};

const NumberCase kNumberCases[] = {
    {u"", 7},
    {u"   ", 7},
    {u"0", 0},
    {u"12", 12},
    {u" 1", 1},
    {u"\t4 ", 4},
    {u"1abc", 1},
    {u"12 34", 12},
    {u"abc", 0},
    {u"-1", 4294967295u},
    {u"+3", 3},
    {u"- 3", 0},
    {u"+-3", 0},
    {u"4294967295", 4294967295u},
    {u"4294967296", 0},
    {u"4294967301", 5},
    {u"99999999999", 99999999999ull % 4294967296ull},
    {u"0x10", 16},
    {u"0X10", 0},
    {u"0x1G", 1},
    {u"-0x10", 0u - 16u},
    {u"0o17", 15},
    {u"0b101", 5},
    {u"0b2", 0},
    {u"0x", 0},
    {u"010", 10},
    {u"\uFF11", 0},  // a full-width digit is no digit
};

TEST(MemorySettings, ReadsNumbersAsTheProfileFunctionsDo) {
  TempFolder temp;
  SettingsManager real(temp.path());
  MemorySettings fake;
  for (const NumberCase& c : kNumberCases) {
    real.SetString(u"Number", c.stored);
    fake.SetString(u"Number", c.stored);
    const std::string label(c.stored, c.stored + std::char_traits<char16_t>::length(c.stored));
    EXPECT_EQ(real.GetInt(u"Number", 7), c.expected) << "profile functions, \"" << label << "\"";
    EXPECT_EQ(fake.GetInt(u"Number", 7), c.expected) << "memory settings, \"" << label << "\"";
  }
  EXPECT_EQ(real.GetInt(u"Missing", 7), 7u);
  EXPECT_EQ(fake.GetInt(u"Missing", 7), 7u);
}

}  // namespace
