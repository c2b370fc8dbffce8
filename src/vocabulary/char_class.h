#pragma once
// Character classes: one 256-entry table decides what kind of token a byte
// can start, a second marks the characters that primitive glyphs are made
// of. The letter, digit and name-character tests of every reader of source
// text come from here, so all of them agree on what a name is.
#include <array>
#include <cstdint>
#include <string_view>

namespace wox::vocabulary {

enum class CharClass : std::uint8_t {
    Other,       // blank, and every byte that starts nothing
    Glyph,       // ! " # $ % & * + , - / < = > ? @ \ ^ | ~
    Quote,       // ' and `
    Open,        // ( [
    Close,       // ) ]
    Dot,         // .
    Digit,       // 0-9
    Colon,       // :
    Semicolon,   // ;
    Letter,      // A-Z a-z
    Underscore,  // _
    Brace,       // { }
};

namespace detail {
constexpr std::array<CharClass, 256> makeClasses() {
    std::array<CharClass, 256> c{};
    for (auto& x : c) x = CharClass::Other;
    for (unsigned char g : std::string_view("!\"#$%&*+,-/<=>?@\\^|~")) c[g] = CharClass::Glyph;
    c['\''] = c['`'] = CharClass::Quote;
    c['('] = c['['] = CharClass::Open;
    c[')'] = c[']'] = CharClass::Close;
    c['.'] = CharClass::Dot;
    for (int d = '0'; d <= '9'; ++d) c[d] = CharClass::Digit;
    c[':'] = CharClass::Colon;
    c[';'] = CharClass::Semicolon;
    for (int l = 'A'; l <= 'Z'; ++l) c[l] = c[l + 32] = CharClass::Letter;
    c['_'] = CharClass::Underscore;
    c['{'] = c['}'] = CharClass::Brace;
    return c;
}
constexpr std::array<bool, 256> makePrimitiveChars() {
    std::array<bool, 256> p{};
    for (unsigned char g : std::string_view("+&?*%#$^!,/\\\"=@:->|._~<'")) p[g] = true;
    return p;
}
}  // namespace detail

inline constexpr std::array<CharClass, 256> kCharClass = detail::makeClasses();
inline constexpr std::array<bool, 256> kPrimitiveChar = detail::makePrimitiveChars();

static_assert(kCharClass['a'] == CharClass::Letter && kCharClass['Z'] == CharClass::Letter);
static_assert(kCharClass['|'] == CharClass::Glyph && kCharClass['\\'] == CharClass::Glyph);
static_assert(kCharClass[' '] == CharClass::Other && kCharClass['\t'] == CharClass::Other);

inline CharClass charClass(char c) { return kCharClass[static_cast<unsigned char>(c)]; }
inline bool isPrimitiveChar(char c) { return kPrimitiveChar[static_cast<unsigned char>(c)]; }
inline constexpr bool isLetter(char c) { return kCharClass[static_cast<unsigned char>(c)] == CharClass::Letter; }
inline constexpr bool isDigit(char c) { return kCharClass[static_cast<unsigned char>(c)] == CharClass::Digit; }
// Names are made of letters, digits and "_".
inline constexpr bool isNameChar(char c) {
    return isLetter(c) || isDigit(c) || kCharClass[static_cast<unsigned char>(c)] == CharClass::Underscore;
}
static_assert(isLetter('q') && !isLetter('_') && isDigit('7') && isNameChar('_') && !isNameChar('.'));
// Characters a translated line may hold: blank to "~".
inline bool isLineChar(char c) { return c >= ' ' && c <= '~'; }
// Characters a quoted text may hold besides: a tab, and every byte from 128
// on, so that UTF-8 passes through as its bytes.
inline bool isTextChar(char c) { return isLineChar(c) || c == '\t' || static_cast<unsigned char>(c) >= 128; }

// End of the run of primitive characters that starts at pos.
inline std::size_t primitiveRunEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isPrimitiveChar(text[pos])) ++pos;
    return pos;
}

}  // namespace wox::vocabulary
