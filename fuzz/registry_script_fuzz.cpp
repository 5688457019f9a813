// Registration data, and the replacements expanded into it.
#include <map>
#include <string>

#include "addin/registry_script.h"
#include "fuzz_check.h"

namespace {

std::size_t CountKeys(const std::vector<RegistryKey>& keys) {
  std::size_t count = keys.size();
  for (const RegistryKey& key : keys) count += CountKeys(key.subkeys);
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::u16string text = Utf16Of(data, size);
  const RegistryScriptParse parse = ParseRegistryScript(text);
  if (!parse.error.empty()) FUZZ_CHECK(parse.trees.empty());
  std::size_t keys = 0;
  for (const RegistryTree& tree : parse.trees) keys += CountKeys(tree.keys);
  // A key needs at least one character of text.
  FUZZ_CHECK(keys <= text.size());

  static const std::map<std::u16string, std::u16string> replacements{
      {u"MODULE", u"C:\\Program Files\\It's here\\addin.dll"}, {u"CLSID", u"{00000000-0000-0000-0000-000000000000}"}};
  const auto expanded = ExpandRegistryScript(text, replacements);
  if (text.find(u'%') == std::u16string::npos) FUZZ_CHECK(expanded && *expanded == text);
  if (expanded) ParseRegistryScript(*expanded);
  return 0;
}
