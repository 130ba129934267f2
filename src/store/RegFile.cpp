#include "store/RegFile.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/Text.h"

namespace pm::store {

namespace reg_type = platform::reg_type;

namespace {

constexpr std::string_view kCrLf = "\r\n";
// Hex data wraps after this column, so no line is wider than 80.
constexpr std::size_t kWrapColumn = 76;
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;

bool HasLineBreakOrZero(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  return static_cast<std::uint32_t>(c - 'A' + 10);
}

// One to eight hex digits, as a 32-bit number.
std::optional<std::uint32_t> HexNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    if (!IsHexDigit(c)) return std::nullopt;
    value = (value << 4) | HexDigitValue(c);
  }
  return value;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Hive and key names of the root compare without case, as the registry's do.
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[i]) != AsciiLower(prefix[i])) return false;
  }
  return true;
}

bool IsHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Little-endian UTF-16 to UTF-8, refusing what is not well-formed text
// rather than replacing it: a damaged file must not import as something else.
bool DecodeUtf16(std::span<const std::uint8_t> bytes, std::string& out, std::string& error) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
  }
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (c == 0) {
      error = "the file holds a zero character, which no export has";
      return false;
    }
    const bool paired = IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1]);
    if ((IsHighSurrogate(c) && !paired) || IsLowSurrogate(c)) {
      error = "the file is not valid UTF-16 text (a surrogate without its pair)";
      return false;
    }
    if (paired) ++i;
  }
  // Well formed by now, so the shared conversion replaces nothing.
  out = platform::Utf16ToUtf8(units);
  return true;
}

// ---- Writing ----

std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

// The text of REG_SZ data that the quoted form gives back byte for byte:
// exactly one terminating zero, well-formed UTF-16, no line breaks (which the
// quoted form cannot hold). Other REG_SZ data is written as hex(1).
std::optional<std::string> PlainText(const ByteArray& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  std::u16string units(data.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  if (units.back() != 0) return std::nullopt;
  units.pop_back();
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    if (c == 0 || c == u'\r' || c == u'\n' || IsLowSurrogate(c)) return std::nullopt;
    if (IsHighSurrogate(c)) {
      if (i + 1 >= units.size() || !IsLowSurrogate(units[i + 1])) return std::nullopt;
      ++i;
    }
  }
  return platform::Utf16ToUtf8(units);
}

void AppendValue(std::string& out, const RegFileValue& value) {
  std::string line = value.name.empty() ? "@" : "\"" + Escaped(value.name) + "\"";
  line += '=';
  if (value.type == reg_type::kSz) {
    if (const std::optional<std::string> text = PlainText(value.data)) {
      out += line + "\"" + Escaped(*text) + "\"";
      out += kCrLf;
      return;
    }
  }
  char buffer[24];
  if (value.type == reg_type::kDword && value.data.size() == 4) {
    const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                 (static_cast<std::uint32_t>(value.data[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    out += line + buffer;
    out += kCrLf;
    return;
  }
  if (value.type == reg_type::kBinary) {
    line += "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
    line += buffer;
  }
  std::size_t column = platform::CodePointCount(line);
  for (std::size_t i = 0; i < value.data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", value.data[i]);
    line += buffer;
    column += 2;
    if (i + 1 < value.data.size()) {
      line += ',';
      ++column;
      if (column > kWrapColumn) {
        line += "\\\r\n  ";
        column = 2;
      }
    }
  }
  out += line;
  out += kCrLf;
}

bool AppendKey(std::string& out, std::string_view rootName, const RegFileKey& key,
               std::string& error) {
  std::size_t depth = 0;
  for (std::string_view rest = key.path; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\\'), rest.size());
    const std::string_view name = rest.substr(0, end);
    if (name.empty() || HasLineBreakOrZero(name)) {
      error = "the key name \"" + std::string(name) + "\" cannot be written";
      return false;
    }
    if (++depth > kMaxRegFileDepth) {
      error = "the keys are nested too deeply";
      return false;
    }
    if (end + 1 == rest.size()) {
      error = "the key name \"\" cannot be written";
      return false;
    }
    rest.remove_prefix(end == rest.size() ? end : end + 1);
  }
  out += "[" + std::string(rootName) + (key.path.empty() ? "" : "\\" + key.path) + "]";
  out += kCrLf;
  for (const RegFileValue& value : key.values) {
    if (HasLineBreakOrZero(value.name)) {
      error = "the value name \"" + value.name + "\" holds a line break";
      return false;
    }
    AppendValue(out, value);
  }
  out += kCrLf;
  return true;
}

// ---- Reading ----

// A quoted name or text starting at text[pos] == '"', with the escapes the
// registry editors write: \\ and \" (both), \n and \r (Wine's).
bool ParseQuoted(std::string_view text, std::size_t& pos, std::string& out, std::string& error) {
  ++pos;
  while (pos < text.size()) {
    const char c = text[pos++];
    if (c == '"') return true;
    if (c == '\0') {
      error = "a quoted text holds a zero character";
      return false;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (pos >= text.size()) break;
    switch (text[pos++]) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        error = "a quoted text holds an unknown escape after a backslash";
        return false;
    }
  }
  error = "a quoted text has no closing quote";
  return false;
}

std::string LineError(std::size_t lineIndex, std::string_view what) {
  return "line " + std::to_string(lineIndex + 1) + ": " + std::string(what);
}

// The key path below the root, or an error.
bool ParseKeyLine(std::string_view line, std::string_view rootName, std::string& path,
                  std::string& error) {
  if (line.size() < 2 || line.back() != ']') {
    error = "a key line must end with ']'";
    return false;
  }
  std::string_view name = line.substr(1, line.size() - 2);
  if (StartsWith(name, "-")) {
    error = "the file deletes a key; a settings export only holds keys and values";
    return false;
  }
  if (!StartsWithNoCase(name, rootName) ||
      (name.size() > rootName.size() && name[rootName.size()] != '\\')) {
    error = "the key [" + std::string(name) + "] is outside " + std::string(rootName);
    return false;
  }
  name.remove_prefix(rootName.size());
  path.clear();
  if (name.empty()) return true;
  name.remove_prefix(1);
  const std::string_view below = name;
  std::size_t depth = 0;
  while (true) {
    const std::size_t end = std::min(name.find('\\'), name.size());
    const std::string_view component = name.substr(0, end);
    if (component.empty()) {
      error = "a key name is empty";
      return false;
    }
    if (platform::CodePointCount(component) > kMaxKeyNameLength) {
      error = "a key name is longer than 255 characters";
      return false;
    }
    if (++depth > kMaxRegFileDepth) {
      error = "the keys are nested too deeply";
      return false;
    }
    if (end == name.size()) break;
    name.remove_prefix(end + 1);
  }
  path = std::string(below);
  return true;
}

// What the format refuses is said in words; no system call failed.
platform::Error Refusal(std::string why) {
  return {0, std::move(why)};
}

bool StartsLikeHex(std::string_view data) {
  return StartsWith(data, "hex:") || StartsWith(data, "hex(");
}

}  // namespace

platform::Result<ByteArray> WriteRegFile(std::string_view rootName, const RegFileContent& content) {
  std::string text(kRegFileHeader);
  text += kCrLf;
  text += kCrLf;
  std::string error;
  for (const RegFileKey& key : content.keys) {
    if (!AppendKey(text, rootName, key, error)) return Refusal(std::move(error));
  }
  text += kRegFileEndLine;
  text += kCrLf;
  const std::u16string units = platform::Utf8ToUtf16(text);
  ByteArray bytes;
  bytes.reserve(2 + units.size() * 2);
  bytes.push_back(0xFF);
  bytes.push_back(0xFE);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

platform::Result<RegData> DecodeRegData(std::string_view text) {
  RegData result;
  const auto fail = [](std::string error) { return Refusal(std::move(error)); };
  if (StartsWith(text, "\"")) {
    std::size_t pos = 0;
    std::string value;
    std::string error;
    if (!ParseQuoted(text, pos, value, error)) return fail(error);
    if (pos != text.size()) return fail("something follows the closing quote");
    for (char16_t unit : platform::Utf8ToUtf16(value)) {
      result.data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
      result.data.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    result.data.insert(result.data.end(), {0, 0});
    result.type = reg_type::kSz;
    return result;
  }
  if (StartsWith(text, "dword:")) {
    const std::optional<std::uint32_t> number = HexNumber(text.substr(6));
    if (!number) return fail("dword: needs one to eight hex digits");
    for (int shift = 0; shift < 32; shift += 8) {
      result.data.push_back(static_cast<std::uint8_t>(*number >> shift));
    }
    result.type = reg_type::kDword;
    return result;
  }
  std::string_view list;
  if (StartsWith(text, "hex:")) {
    result.type = reg_type::kBinary;
    list = text.substr(4);
  } else if (StartsWith(text, "hex(")) {
    const std::size_t close = text.find("):");
    const std::optional<std::uint32_t> type =
        close == std::string_view::npos ? std::nullopt : HexNumber(text.substr(4, close - 4));
    if (!type) return fail("hex( needs a type of one to eight hex digits and \"):\"");
    result.type = *type;
    list = text.substr(close + 2);
  } else {
    return fail("the data is none of \"text\", dword:, hex: and hex(type):");
  }
  result.data.reserve(list.size() / 3 + 1);
  for (std::size_t pos = 0; pos < list.size();) {
    if (pos + 2 > list.size() || !IsHexDigit(list[pos]) || !IsHexDigit(list[pos + 1])) {
      return fail("hex data must be two-digit hex bytes separated by commas");
    }
    result.data.push_back(
        static_cast<std::uint8_t>(HexDigitValue(list[pos]) << 4 | HexDigitValue(list[pos + 1])));
    pos += 2;
    if (pos == list.size()) break;
    if (list[pos] != ',' || pos + 1 == list.size()) {
      return fail("hex data must be two-digit hex bytes separated by commas");
    }
    ++pos;
  }
  return result;
}

platform::Result<RegFileRead> ParseRegFile(std::span<const std::uint8_t> bytes,
                                           std::string_view rootName) {
  RegFileRead result;
  const auto fail = [](std::string error) { return Refusal(std::move(error)); };
  if (bytes.size() > kMaxRegFileBytes) return fail("the file is larger than any settings export");
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) {
    return fail("the file is not the registry editor's UTF-16 text (no byte-order mark)");
  }
  if (bytes.size() % 2 != 0) return fail("the file ends inside a character: it is truncated");
  std::string text;
  std::string error;
  if (!DecodeUtf16(bytes.subspan(2), text, error)) return fail(error);

  std::vector<std::string_view> lines;
  const std::string_view all(text);
  for (std::size_t start = 0; start < all.size();) {
    const std::size_t end = all.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      return fail("the last line has no line end: the file is truncated");
    }
    if (all[end] != '\r' || end + 1 >= all.size() || all[end + 1] != '\n') {
      return fail(LineError(lines.size(), "the line does not end with CR LF"));
    }
    lines.push_back(all.substr(start, end - start));
    start = end + 2;
  }
  if (lines.empty() || lines[0] != kRegFileHeader) {
    return fail("the first line is not \"" + std::string(kRegFileHeader) + "\"");
  }

  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (!line.empty()) result.endsWithEndLine = line == kRegFileEndLine;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      std::string path;
      if (!ParseKeyLine(line, rootName, path, error)) return fail(LineError(i, error));
      if (result.content.keys.empty() && !path.empty()) {
        return fail(LineError(i, "the file does not begin with the key " + std::string(rootName)));
      }
      result.content.keys.push_back({std::move(path), {}});
      continue;
    }
    if (line[0] != '"' && line[0] != '@') {
      return fail(LineError(i, "the line is neither a [key] nor a \"name\"=data value"));
    }
    if (result.content.keys.empty()) return fail(LineError(i, "a value comes before any key"));
    const std::size_t first = i;
    RegFileValue value;
    std::size_t pos = 1;
    if (line[0] == '"') {
      pos = 0;
      if (!ParseQuoted(line, pos, value.name, error)) return fail(LineError(i, error));
      if (platform::CodePointCount(value.name) > kMaxValueNameLength) {
        return fail(LineError(i, "a value name is longer than 16383 characters"));
      }
    }
    if (pos >= line.size() || line[pos] != '=') {
      return fail(LineError(i, "a value name must be followed by '='"));
    }
    std::string data(line.substr(pos + 1));
    if (data == "-") {
      return fail(LineError(i, "the file deletes a value; a settings export only holds values"));
    }
    if (StartsLikeHex(data)) {
      while (!data.empty() && data.back() == '\\') {
        data.pop_back();
        if (++i >= lines.size()) return fail("the file ends inside a value: it is truncated");
        std::string_view next = lines[i];
        while (!next.empty() && (next.front() == ' ' || next.front() == '\t')) {
          next.remove_prefix(1);
        }
        data += next;
      }
    }
    platform::Result<RegData> decoded = DecodeRegData(data);
    if (!decoded) return fail(LineError(first, decoded.error().message));
    value.type = decoded->type;
    value.data = std::move(decoded->data);
    result.content.keys.back().values.push_back(std::move(value));
  }
  if (result.content.keys.empty()) {
    return fail("the file holds no key: it is empty or truncated");
  }
  return result;
}

}  // namespace pm::store
