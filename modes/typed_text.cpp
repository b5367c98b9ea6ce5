#include "modes/typed_text.h"

#include <array>

namespace zarn::modes {
namespace {

// The length of the well-formed UTF-8 sequence at the start of text, or 0.
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  // C1 control characters (U+0080 to U+009F) are escaped like the others.
  if (lead == 0xC2 && byte(1) <= 0x9F) return 0;
  return length;
}

}  // namespace

std::string Quoted(std::string_view typed, char quote) {
  static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  std::string text(1, quote);
  while (!typed.empty()) {
    const auto c = static_cast<unsigned char>(typed.front());
    std::size_t length = 1;
    if (c == '\n') {
      text += "\\n";
    } else if (c == '\t') {
      text += "\\t";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c >= 0x20 && c < 0x7F) {
      text += static_cast<char>(c);
    } else if (c >= 0x80 && (length = Utf8Length(typed)) > 0) {
      text.append(typed.substr(0, length));
    } else {
      length = 1;
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 0x0F];
    }
    typed.remove_prefix(length);
  }
  return text + quote;
}

}  // namespace zarn::modes
