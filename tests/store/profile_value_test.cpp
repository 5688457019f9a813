#include "store/profile_value.h"

#include <gtest/gtest.h>

namespace {

const std::u16string kMarker(1, kEncodedValueMarker);

TEST(ProfileValue, ValuesWithoutLineBreaksAreStoredAsGiven) {
  for (const std::u16string& value :
       {std::u16string(), std::u16string(u"plain"), std::u16string(u"back\\slash \\n not a break"),
        std::u16string(u"ends with marker") + kMarker, std::u16string(u"\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439"),
        std::u16string(u"  padded\t")}) {
    EXPECT_EQ(EncodeProfileValue(value), value);
    EXPECT_EQ(DecodeProfileValue(value), value);
  }
}

TEST(ProfileValue, MultiLineValuesBecomeOneLineAndReadBackUnchanged) {
  struct Case {
    std::u16string value;
    std::u16string stored;
  };
  const Case cases[] = {
      {u"Dear [[first name]],\r\nsee you.", kMarker + u"Dear [[first name]],\\r\\nsee you." + kMarker},
      {u"a\nb", kMarker + u"a\\nb" + kMarker},
      {u"\\n literal\nnext", kMarker + u"\\\\n literal\\nnext" + kMarker},
      {u"trailing blanks\n  ", kMarker + u"trailing blanks\\n  " + kMarker},
      {u"\r", kMarker + u"\\r" + kMarker},
  };
  for (const Case& c : cases) {
    std::u16string stored = EncodeProfileValue(c.value);
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(stored.find_first_of(u"\r\n"), std::u16string::npos);
    EXPECT_EQ(DecodeProfileValue(stored), c.value);
  }
}

TEST(ProfileValue, ValueThatLooksEncodedIsEncodedAgain) {
  // Without this, a stored text that happens to start and end with the
  // marker would read back as something else.
  for (const std::u16string& value :
       {kMarker, kMarker + kMarker, kMarker + u"a\\nb" + kMarker, kMarker + u"x"}) {
    std::u16string stored = EncodeProfileValue(value);
    EXPECT_NE(stored, value);
    EXPECT_EQ(DecodeProfileValue(stored), value);
  }
}

TEST(ProfileValue, DamagedOrHandEditedStoredTextsDecodeSafely) {
  // Cut before its closing marker: shown as it stands rather than guessed at.
  EXPECT_EQ(DecodeProfileValue(kMarker + u"a\\nb"), kMarker + u"a\\nb");
  // Stray or trailing backslashes stay as typed.
  EXPECT_EQ(DecodeProfileValue(kMarker + u"a\\tb\\" + kMarker), u"a\\tb\\");
  EXPECT_EQ(DecodeProfileValue(kMarker + kMarker), u"");
}

}  // namespace
