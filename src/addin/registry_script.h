#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The registration data: registry keys nested as they are written, each
// with how unregistration treats it. The text form nests keys in braces
// under a root (HKCR, HKCU, HKLM):
//   [ForceRemove|NoRemove] name [= s 'text' | = d number] [{ ... }]
//   val name = s 'text' | d number
// Names and texts are bare words or single-quoted with '' for a quote;
// ';' starts a comment.

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

enum class KeyRemoval {
  WhenEmpty,  // deleted at unregistration once it has no subkeys
  Force,      // deleted with its subtree before writing and at unregistration
  Never,
};

struct RegistryValue {
  std::u16string name;  // empty for the key's default value
  bool isNumber = false;
  std::u16string text;
  std::uint32_t number = 0;
};

struct RegistryKey {
  std::u16string name;
  KeyRemoval removal = KeyRemoval::WhenEmpty;
  std::vector<RegistryValue> values;
  std::vector<RegistryKey> subkeys;
};

struct RegistryTree {
  RegistryRoot root = RegistryRoot::ClassesRoot;
  std::vector<RegistryKey> keys;
};

struct RegistryScriptParse {
  std::vector<RegistryTree> trees;
  std::string error;  // empty on success
};

RegistryScriptParse ParseRegistryScript(const std::u16string& text);

// Replaces each %NAME% by its replacement with every single quote doubled,
// so that a path with a quote survives the quoting; "%%" stands for "%".
// nullopt when the script names a replacement it is not given.
std::optional<std::u16string> ExpandRegistryScript(
    const std::u16string& text, const std::map<std::u16string, std::u16string>& replacements);
