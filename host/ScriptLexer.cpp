#include "host/ScriptLexer.h"

#include "common/HexDigits.h"
#include "host/Utf.h"

#include <cctype>

namespace zekhost {
namespace {

bool IsIdentifierStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsNumber(const std::string& line, std::size_t pos) {
    const char c = line[pos];
    const char next = pos + 1 < line.size() ? line[pos + 1] : '\0';
    return IsDigit(c) || ((c == '-' || c == '.') && (IsDigit(next) || next == '.'));
}

// Digits, letters, dots, and a sign right after an exponent letter: integers, hex and floats.
std::size_t NumberEnd(const std::string& line, std::size_t pos) {
    const std::size_t start = pos;
    ++pos;
    const bool hex = line.compare(start, 2, "0x") == 0 || line.compare(start, 2, "0X") == 0 ||
                     line.compare(start, 3, "-0x") == 0 || line.compare(start, 3, "-0X") == 0;
    while (pos < line.size()) {
        const char c = line[pos];
        const char previous = line[pos - 1];
        if (IsIdentifierChar(c) || c == '.' ||
            (!hex && (c == '+' || c == '-') && (previous == 'e' || previous == 'E'))) {
            ++pos;
        } else {
            break;
        }
    }
    return pos;
}

bool ReadHexUnit(const std::string& line, std::size_t& pos, std::size_t digits,
                 std::uint32_t& value) {
    std::uint64_t read = 0;
    if (!zekcommon::ReadHexDigits(line, pos, digits, read)) {
        return false;
    }
    pos += digits;
    value = static_cast<std::uint32_t>(read);
    return true;
}

// pos is at the opening quote; on success it is past the closing one.
bool ReadString(const std::string& line, std::size_t& pos, Token& token, std::string& error) {
    ++pos;
    while (pos < line.size() && line[pos] != '"') {
        if (line[pos] != '\\') {
            char32_t codePoint = 0;
            if (!DecodeUtf8(line, pos, codePoint)) {
                error = "malformed UTF-8 in string at column " + std::to_string(pos + 1);
                return false;
            }
            token.pieces.push_back({false, codePoint});
            continue;
        }
        const std::size_t escapeColumn = pos + 1;
        ++pos;
        const char escape = pos < line.size() ? line[pos++] : '\0';
        std::uint32_t unit = 0;
        switch (escape) {
        case '\\':
        case '"':
            token.pieces.push_back({false, static_cast<std::uint32_t>(escape)});
            break;
        case 'n':
            token.pieces.push_back({false, '\n'});
            break;
        case 't':
            token.pieces.push_back({false, '\t'});
            break;
        case 'r':
            token.pieces.push_back({false, '\r'});
            break;
        case 'x':
        case 'u':
            if (!ReadHexUnit(line, pos, escape == 'x' ? 2 : 4, unit)) {
                error = std::string("\\") + escape + " needs " + (escape == 'x' ? "2" : "4") +
                        " hex digits at column " + std::to_string(escapeColumn);
                return false;
            }
            token.pieces.push_back({true, unit});
            break;
        default:
            error = "unknown escape at column " + std::to_string(escapeColumn);
            return false;
        }
    }
    if (pos >= line.size()) {
        error = "unterminated string at column " + std::to_string(token.column);
        return false;
    }
    ++pos;
    return true;
}

} // namespace

bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    std::size_t pos = 0;
    while (true) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r')) {
            ++pos;
        }
        Token token;
        token.column = pos + 1;
        if (pos >= line.size()) {
            tokens.push_back(token);
            return true;
        }
        const char c = line[pos];
        if (IsIdentifierStart(c)) {
            const std::size_t start = pos;
            while (pos < line.size() && IsIdentifierChar(line[pos])) {
                ++pos;
            }
            token.kind = TokenKind::Identifier;
            token.text = line.substr(start, pos - start);
        } else if (StartsNumber(line, pos)) {
            const std::size_t end = NumberEnd(line, pos);
            token.kind = TokenKind::Number;
            token.text = line.substr(pos, end - pos);
            pos = end;
        } else if (c == '"') {
            token.kind = TokenKind::String;
            if (!ReadString(line, pos, token, error)) {
                return false;
            }
        } else {
            switch (c) {
            case '(':
                token.kind = TokenKind::LeftParen;
                break;
            case ')':
                token.kind = TokenKind::RightParen;
                break;
            case ',':
                token.kind = TokenKind::Comma;
                break;
            case '=':
                token.kind = TokenKind::Equals;
                break;
            case '#':
                token.kind = TokenKind::Hash;
                break;
            default:
                error = "unexpected character at column " + std::to_string(pos + 1);
                return false;
            }
            ++pos;
        }
        tokens.push_back(token);
    }
}

bool ParseIntegerLiteral(const std::string& text, IntegerLiteral& literal) {
    literal = IntegerLiteral{};
    std::size_t pos = 0;
    if (pos < text.size() && text[pos] == '-') {
        literal.negative = true;
        ++pos;
    }
    if (text.compare(pos, 2, "0x") == 0 || text.compare(pos, 2, "0X") == 0) {
        literal.hex = true;
        pos += 2;
    }
    if (pos >= text.size()) {
        return false;
    }
    const std::uint64_t base = literal.hex ? 16 : 10;
    constexpr std::uint64_t limit = 0xFFFFFFFFFFull; // far past any 32-bit value
    for (; pos < text.size(); ++pos) {
        const int digit = literal.hex ? zekcommon::HexDigitValue(text[pos])
                                      : (IsDigit(text[pos]) ? text[pos] - '0' : -1);
        if (digit < 0) {
            return false;
        }
        literal.magnitude = literal.magnitude * base + static_cast<std::uint64_t>(digit);
        if (literal.magnitude > limit) {
            return false;
        }
    }
    return true;
}

bool ToInt32(const IntegerLiteral& literal, std::int32_t& value) {
    constexpr std::uint64_t signedLimit = 0x80000000ull;
    if (literal.negative) {
        if (literal.magnitude > signedLimit) {
            return false;
        }
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(0u - literal.magnitude));
        return true;
    }
    if (literal.magnitude > (literal.hex ? 0xFFFFFFFFull : signedLimit - 1)) {
        return false;
    }
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(literal.magnitude));
    return true;
}

bool ToUint32(const IntegerLiteral& literal, std::uint32_t& value) {
    if (literal.negative || literal.magnitude > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<std::uint32_t>(literal.magnitude);
    return true;
}

bool ToInt16(const IntegerLiteral& literal, std::int16_t& value) {
    if (literal.negative ? literal.magnitude > 0x8000 : literal.magnitude > 0xFFFF) {
        return false;
    }
    const std::uint64_t bits = literal.negative ? 0u - literal.magnitude : literal.magnitude;
    value = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
    return true;
}

} // namespace zekhost
