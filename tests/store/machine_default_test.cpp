#include <gtest/gtest.h>

#include "store/settings.h"

namespace {

TEST(MachineDefault, OnlyABlankGatewayTakesTheMachinesAndOnlyThenItIsAsked) {
  int asked = 0;
  auto machine = [&asked] {
    ++asked;
    return std::u16string(u"gw.corp.example:8080");
  };
  EXPECT_EQ(WithMachineDefault(settings_key::kGatewayHost, u"own.example", machine), u"own.example");
  EXPECT_EQ(WithMachineDefault(settings_key::kUserName, u"", machine), u"");
  EXPECT_EQ(WithMachineDefault(settings_key::kPassword, u" ", machine), u" ");
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(WithMachineDefault(settings_key::kGatewayHost, u"", machine), u"gw.corp.example:8080");
  EXPECT_EQ(WithMachineDefault(settings_key::kGatewayHost, u" \t", machine), u"gw.corp.example:8080");
  EXPECT_EQ(asked, 2);
}

}  // namespace
