#include "addin/registry_script.h"

#include <cstddef>

namespace {

enum class TokenKind { Word, Quoted, Open, Close, Equals, End };

struct Token {
  TokenKind kind = TokenKind::End;
  std::u16string text;
  int line = 1;
};

class Tokenizer {
 public:
  explicit Tokenizer(const std::u16string& text) : text_(text) {}

  // False with `error` set for an unterminated quoted text.
  bool Next(Token& token, std::string& error) {
    SkipBlanksAndComments();
    token = Token{TokenKind::End, {}, line_};
    if (pos_ >= text_.size()) return true;
    char16_t c = text_[pos_];
    if (c == u'{' || c == u'}' || c == u'=') {
      token.kind = c == u'{' ? TokenKind::Open : c == u'}' ? TokenKind::Close : TokenKind::Equals;
      ++pos_;
      return true;
    }
    if (c == u'\'') return ReadQuoted(token, error);
    token.kind = TokenKind::Word;
    while (pos_ < text_.size() && !IsDelimiter(text_[pos_])) token.text += text_[pos_++];
    return true;
  }

 private:
  static bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
  static bool IsDelimiter(char16_t c) {
    return IsBlank(c) || c == u'{' || c == u'}' || c == u'=' || c == u'\'' || c == u';';
  }

  void SkipBlanksAndComments() {
    while (pos_ < text_.size()) {
      char16_t c = text_[pos_];
      if (c == u'\n') ++line_;
      if (c == u';') {
        while (pos_ < text_.size() && text_[pos_] != u'\n') ++pos_;
      } else if (IsBlank(c)) {
        ++pos_;
      } else {
        return;
      }
    }
  }

  bool ReadQuoted(Token& token, std::string& error) {
    token.kind = TokenKind::Quoted;
    ++pos_;
    while (pos_ < text_.size()) {
      char16_t c = text_[pos_++];
      if (c == u'\'') {
        if (pos_ < text_.size() && text_[pos_] == u'\'') {
          token.text += u'\'';
          ++pos_;
          continue;
        }
        return true;
      }
      if (c == u'\n') ++line_;
      token.text += c;
    }
    error = "line " + std::to_string(token.line) + ": quoted text is not closed";
    return false;
  }

  const std::u16string& text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

class Parser {
 public:
  explicit Parser(const std::u16string& text) : tokens_(text) {}

  RegistryScriptParse Run() {
    RegistryScriptParse result;
    if (Advance()) {
      while (current_.kind != TokenKind::End && error_.empty()) {
        RegistryTree tree;
        if (!ParseRoot(tree)) break;
        result.trees.push_back(std::move(tree));
      }
    }
    if (!error_.empty()) {
      result.trees.clear();
      result.error = error_;
    }
    return result;
  }

 private:
  bool Advance() { return tokens_.Next(current_, error_); }

  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = "line " + std::to_string(current_.line) + ": " + what;
    return false;
  }

  bool Expect(TokenKind kind, const char* what) {
    if (current_.kind != kind) return Fail(std::string("expected ") + what);
    return Advance();
  }

  bool IsName() const { return current_.kind == TokenKind::Word || current_.kind == TokenKind::Quoted; }

  bool ParseRoot(RegistryTree& tree) {
    if (current_.kind != TokenKind::Word) return Fail("expected a root key");
    if (current_.text == u"HKCR") {
      tree.root = RegistryRoot::ClassesRoot;
    } else if (current_.text == u"HKCU") {
      tree.root = RegistryRoot::CurrentUser;
    } else if (current_.text == u"HKLM") {
      tree.root = RegistryRoot::LocalMachine;
    } else {
      return Fail("unknown root key");
    }
    if (!Advance() || !Expect(TokenKind::Open, "'{'")) return false;
    return ParseBody(tree.keys, nullptr);
  }

  // Keys and values up to and including the closing brace; values belong
  // to `owner` (none at root level).
  bool ParseBody(std::vector<RegistryKey>& keys, RegistryKey* owner) {
    while (current_.kind != TokenKind::Close) {
      if (current_.kind == TokenKind::End) return Fail("expected '}'");
      if (current_.kind == TokenKind::Word && current_.text == u"val") {
        if (!owner) return Fail("a value needs a key");
        if (!Advance() || !ParseNamedValue(*owner)) return false;
        continue;
      }
      RegistryKey key;
      if (!ParseKey(key)) return false;
      keys.push_back(std::move(key));
    }
    return Advance();
  }

  bool ParseNamedValue(RegistryKey& owner) {
    if (!IsName()) return Fail("expected a value name");
    RegistryValue value;
    value.name = current_.text;
    if (!Advance() || !Expect(TokenKind::Equals, "'='") || !ParseData(value)) return false;
    owner.values.push_back(std::move(value));
    return true;
  }

  bool ParseKey(RegistryKey& key) {
    if (current_.kind == TokenKind::Word && (current_.text == u"ForceRemove" || current_.text == u"NoRemove")) {
      key.removal = current_.text == u"ForceRemove" ? KeyRemoval::Force : KeyRemoval::Never;
      if (!Advance()) return false;
    }
    if (!IsName() || current_.text.empty()) return Fail("expected a key name");
    key.name = current_.text;
    if (!Advance()) return false;
    if (current_.kind == TokenKind::Equals) {
      RegistryValue value;
      if (!Advance() || !ParseData(value)) return false;
      key.values.push_back(std::move(value));
    }
    if (current_.kind != TokenKind::Open) return true;
    return Advance() && ParseBody(key.subkeys, &key);
  }

  bool ParseData(RegistryValue& value) {
    if (current_.kind != TokenKind::Word || (current_.text != u"s" && current_.text != u"d")) {
      return Fail("expected a value type, s or d");
    }
    value.isNumber = current_.text == u"d";
    if (!Advance()) return false;
    if (!value.isNumber) {
      if (current_.kind != TokenKind::Quoted) return Fail("expected quoted text");
      value.text = current_.text;
      return Advance();
    }
    return ParseNumber(value) && Advance();
  }

  bool ParseNumber(RegistryValue& value) {
    const std::u16string& digits = current_.text;
    if (current_.kind != TokenKind::Word || digits.empty() || digits.size() > 10) {
      return Fail("expected a number");
    }
    std::uint64_t number = 0;
    for (char16_t c : digits) {
      if (c < u'0' || c > u'9') return Fail("expected a number");
      number = number * 10 + static_cast<unsigned>(c - u'0');
    }
    if (number > 0xFFFFFFFFu) return Fail("number out of range");
    value.number = static_cast<std::uint32_t>(number);
    return true;
  }

  Tokenizer tokens_;
  Token current_;
  std::string error_;
};

std::u16string DoubleQuotes(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    out += c;
    if (c == u'\'') out += u'\'';
  }
  return out;
}

}  // namespace

RegistryScriptParse ParseRegistryScript(const std::u16string& text) { return Parser(text).Run(); }

std::optional<std::u16string> ExpandRegistryScript(
    const std::u16string& text, const std::map<std::u16string, std::u16string>& replacements) {
  std::u16string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t open = text.find(u'%', pos);
    if (open == std::u16string::npos) break;
    std::size_t close = text.find(u'%', open + 1);
    if (close == std::u16string::npos) return std::nullopt;
    out.append(text, pos, open - pos);
    std::u16string name = text.substr(open + 1, close - open - 1);
    if (name.empty()) {
      out += u'%';
    } else {
      auto found = replacements.find(name);
      if (found == replacements.end()) return std::nullopt;
      out += DoubleQuotes(found->second);
    }
    pos = close + 1;
  }
  out.append(text, pos, std::u16string::npos);
  return out;
}
