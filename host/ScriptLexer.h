// Tokens of one call line: names, numbers, string literals and punctuation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zekhost {

enum class TokenKind {
    Identifier,
    Number,
    String,
    LeftParen,
    RightParen,
    Comma,
    Equals,
    Hash,
    End
};

// One character of a string literal. A literal character or a named escape is a code point;
// \xHH and \uXXXX give one code unit exactly as written, so a script can build any UTF-16
// sequence (lone surrogates included) or any byte of a narrow string.
struct StringPiece {
    bool isUnit;
    std::uint32_t value;
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // identifier or number as written
    std::vector<StringPiece> pieces;
    std::size_t column = 0; // 1-based, for messages
};

// Splits a line into tokens ending with End. False with a message on a malformed literal or
// an unexpected character.
bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string& error);

// An integer literal: decimal or 0x hexadecimal, with an optional leading minus.
struct IntegerLiteral {
    bool negative = false;
    bool hex = false;
    std::uint64_t magnitude = 0;
};

// False when text is not an integer literal or its magnitude exceeds 64 bits' worth.
bool ParseIntegerLiteral(const std::string& text, IntegerLiteral& literal);

// A signed 32-bit value: decimal within the signed range; hex up to 0xFFFFFFFF wraps.
bool ToInt32(const IntegerLiteral& literal, std::int32_t& value);

// An unsigned 32-bit value, any base, no sign.
bool ToUint32(const IntegerLiteral& literal, std::uint32_t& value);

// A 16-bit value given either way: -32768 to 65535, wrapping above 32767.
bool ToInt16(const IntegerLiteral& literal, std::int16_t& value);

} // namespace zekhost
