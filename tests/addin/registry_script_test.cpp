#include "addin/registry_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::u16string ShippedScript() {
  std::ifstream file(REGISTRATION_SCRIPT_PATH, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return Widen(content.str());
}

const RegistryKey* Child(const std::vector<RegistryKey>& keys, const std::u16string& name) {
  for (const RegistryKey& key : keys) {
    if (key.name == name) return &key;
  }
  return nullptr;
}

const RegistryKey* Path(const RegistryTree& tree, std::initializer_list<std::u16string> names) {
  const std::vector<RegistryKey>* level = &tree.keys;
  const RegistryKey* key = nullptr;
  for (const std::u16string& name : names) {
    key = Child(*level, name);
    if (!key) return nullptr;
    level = &key->subkeys;
  }
  return key;
}

std::u16string DefaultText(const RegistryKey& key) {
  for (const RegistryValue& value : key.values) {
    if (value.name.empty()) return value.text;
  }
  return u"<none>";
}

constexpr char16_t kClsid[] = u"{B8F298BE-C41F-4BAF-A5A7-55D952714F2E}";

TEST(RegistrationScript, ShippedScriptHoldsTheClassKeysWithTheirMarkings) {
  auto expanded = ExpandRegistryScript(ShippedScript(), {{u"MODULE", u"C:\\Add-ins\\Bob's\\addin.dll"}});
  ASSERT_TRUE(expanded);
  RegistryScriptParse parsed = ParseRegistryScript(*expanded);
  ASSERT_EQ(parsed.error, "");
  ASSERT_EQ(parsed.trees.size(), 3u);
  const RegistryTree& classes = parsed.trees[0];
  ASSERT_EQ(classes.root, RegistryRoot::ClassesRoot);

  const RegistryKey* clsid = Path(classes, {u"CLSID"});
  ASSERT_TRUE(clsid);
  EXPECT_EQ(clsid->removal, KeyRemoval::Never);
  const RegistryKey* classKey = Path(classes, {u"CLSID", kClsid});
  ASSERT_TRUE(classKey);
  EXPECT_EQ(classKey->removal, KeyRemoval::Force);
  EXPECT_EQ(DefaultText(*classKey), u"QuorvalOAddin Class");
  EXPECT_EQ(Path(classes, {u"CLSID", kClsid, u"Programmable"})->removal, KeyRemoval::Force);
  EXPECT_TRUE(Path(classes, {u"CLSID", kClsid, u"Programmable"})->values.empty());

  const RegistryKey* server = Path(classes, {u"CLSID", kClsid, u"InprocServer32"});
  ASSERT_TRUE(server);
  EXPECT_EQ(server->removal, KeyRemoval::WhenEmpty);
  EXPECT_EQ(DefaultText(*server), u"C:\\Add-ins\\Bob's\\addin.dll");
  ASSERT_EQ(server->values.size(), 2u);
  EXPECT_EQ(server->values[1].name, u"ThreadingModel");
  EXPECT_EQ(server->values[1].text, u"Apartment");

  EXPECT_EQ(DefaultText(*Path(classes, {u"QuorvalSmsOutlookAddin.QuorvalOAddin", u"CurVer"})),
            u"QuorvalSmsOutlookAddin.QuorvalOAddin.1");
  EXPECT_EQ(DefaultText(*Path(classes, {u"QuorvalSmsOutlookAddin.QuorvalOAddin.1", u"CLSID"})), kClsid);
  EXPECT_EQ(DefaultText(*Path(classes, {u"CLSID", kClsid, u"TypeLib"})),
            u"{CEB11373-BE5B-49D1-B715-FEB995E22826}");
}

TEST(RegistrationScript, ShippedScriptRegistersTheAddinForUserAndMachineAlike) {
  RegistryScriptParse parsed = ParseRegistryScript(*ExpandRegistryScript(ShippedScript(), {{u"MODULE", u"x"}}));
  ASSERT_EQ(parsed.trees.size(), 3u);
  EXPECT_EQ(parsed.trees[1].root, RegistryRoot::CurrentUser);
  EXPECT_EQ(parsed.trees[2].root, RegistryRoot::LocalMachine);
  for (int i : {1, 2}) {
    const RegistryKey* addin = Path(parsed.trees[i], {u"Software", u"Microsoft", u"Office", u"Outlook",
                                                      u"Addins", u"QuorvalSmsOutlookAddin.QuorvalOAddin"});
    ASSERT_TRUE(addin);
    ASSERT_EQ(addin->values.size(), 4u);
    EXPECT_EQ(addin->values[0].text, u"Quorval SMS Plugin for Outlook");
    EXPECT_EQ(addin->values[1].text, u"ATLCOM Quorval SMS Plugin for Outlook");
    EXPECT_EQ(addin->values[2].name, u"LoadBehavior");
    EXPECT_TRUE(addin->values[2].isNumber);
    EXPECT_EQ(addin->values[2].number, 3u);
    EXPECT_EQ(addin->values[3].name, u"CommandLineSafe");
    EXPECT_TRUE(addin->values[3].isNumber);
    EXPECT_EQ(addin->values[3].number, 0u);
    // Shared parents are plain keys: removed only when nothing else is left.
    EXPECT_EQ(Path(parsed.trees[i], {u"Software"})->removal, KeyRemoval::WhenEmpty);
  }
}

TEST(RegistrationScript, ExpansionDoublesQuotesAndRefusesUnknownNames) {
  EXPECT_EQ(ExpandRegistryScript(u"a '%MODULE%' 100%% b", {{u"MODULE", u"it's"}}), u"a 'it''s' 100% b");
  EXPECT_FALSE(ExpandRegistryScript(u"'%APPID%'", {{u"MODULE", u"x"}}));
  EXPECT_FALSE(ExpandRegistryScript(u"'%MODULE", {{u"MODULE", u"x"}}));
}

TEST(RegistrationScript, QuotedNamesKeepBracesBlanksAndQuotes) {
  RegistryScriptParse parsed = ParseRegistryScript(
      u"HKCU { 'a {b} ''c''' = s 'x ; not a comment' { val 'n m' = d 4294967295 } } ; end");
  ASSERT_EQ(parsed.error, "");
  const RegistryKey& key = parsed.trees[0].keys[0];
  EXPECT_EQ(key.name, u"a {b} 'c'");
  EXPECT_EQ(key.values[0].text, u"x ; not a comment");
  EXPECT_EQ(key.values[1].name, u"n m");
  EXPECT_EQ(key.values[1].number, 4294967295u);
}

TEST(RegistrationScript, DamagedScriptsAreRefusedWithTheLine) {
  struct Case {
    const char16_t* text;
    const char* error;
  } cases[] = {
      {u"HKXX { a }", "line 1: unknown root key"},
      {u"HKCU {\n a = s 'open\n}", "line 2: quoted text is not closed"},
      {u"HKCU { a = s 'x' ", "line 1: expected '}'"},
      {u"HKCU { a = q 'x' }", "line 1: expected a value type, s or d"},
      {u"HKCU {\n\n a = d 4294967296 }", "line 3: number out of range"},
      {u"HKCU { a = d -1 }", "line 1: expected a number"},
      {u"HKCU { val a = s 'x' }", "line 1: a value needs a key"},
      {u"HKCU { '' }", "line 1: expected a key name"},
      {u"HKCU { a = s bare }", "line 1: expected quoted text"},
  };
  for (const Case& c : cases) {
    RegistryScriptParse parsed = ParseRegistryScript(c.text);
    EXPECT_EQ(parsed.error, c.error) << std::string(c.error);
    EXPECT_TRUE(parsed.trees.empty());
  }
}

TEST(RegistrationScript, EveryCutInsideABlockIsRefused) {
  std::u16string script = *ExpandRegistryScript(ShippedScript(), {{u"MODULE", u"C:\\a.dll"}});
  std::size_t firstRootEnd = script.find(u"\n}\n");
  ASSERT_NE(firstRootEnd, std::u16string::npos);
  std::size_t firstBrace = script.find(u'{');
  for (std::size_t cut = firstBrace + 1; cut <= firstRootEnd; ++cut) {
    RegistryScriptParse parsed = ParseRegistryScript(script.substr(0, cut));
    EXPECT_NE(parsed.error, "") << "accepted a script cut at " << cut;
  }
  EXPECT_EQ(ParseRegistryScript(script.substr(0, firstRootEnd + 2)).error, "");
}

}  // namespace
