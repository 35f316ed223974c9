#include "host/ScriptParser.h"

#include "host/ScriptLexer.h"
#include "host/Utf.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace zekhost {
namespace {

std::string Trim(const std::string& line) {
    const char* blanks = " \t\r\n";
    const std::size_t first = line.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return line.substr(first, line.find_last_not_of(blanks) - first + 1);
}

// "#12(" or "#-1 (" starts a raw-id call; any other '#' line is a comment.
bool IsRawIdCall(const std::string& text) {
    std::size_t pos = 1;
    if (pos < text.size() && text[pos] == '-') {
        ++pos;
    }
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) {
        return false;
    }
    while (pos < text.size() && (std::isxdigit(static_cast<unsigned char>(text[pos])) ||
                                 text[pos] == 'x' || text[pos] == 'X')) {
        ++pos;
    }
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    return pos < text.size() && text[pos] == '(';
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool ParseCall(Call& call, std::string& error) {
        if (Peek().kind == TokenKind::Identifier && Peek(1).kind == TokenKind::Equals) {
            call.assignTo = Take().text;
            Take();
            if (IsReservedName(call.assignTo)) {
                return Fail(error, "'" + call.assignTo + "' is reserved");
            }
        }
        if (Peek().kind == TokenKind::Hash) {
            Take();
            IntegerLiteral literal;
            if (Peek().kind != TokenKind::Number || !ParseIntegerLiteral(Peek().text, literal) ||
                !ToInt16(literal, call.id)) {
                return Fail(error, "expected a 16-bit function id after '#'");
            }
            Take();
            call.byId = true;
        } else if (Peek().kind == TokenKind::Identifier) {
            call.function = Take().text;
        } else {
            return Fail(error, "expected a function name");
        }
        if (!Expect(TokenKind::LeftParen, "'('", error)) {
            return false;
        }
        if (Peek().kind != TokenKind::RightParen) {
            do {
                Argument argument;
                if (!ParseArgument(argument, error)) {
                    return false;
                }
                call.arguments.push_back(std::move(argument));
            } while (Accept(TokenKind::Comma));
        }
        return Expect(TokenKind::RightParen, "',' or ')'", error) &&
               Expect(TokenKind::End, "end of line", error);
    }

private:
    const Token& Peek(std::size_t ahead = 0) const {
        const std::size_t index = position_ + ahead;
        return index < tokens_.size() ? tokens_[index] : tokens_.back();
    }

    const Token& Take() {
        const Token& token = Peek();
        if (position_ + 1 < tokens_.size()) {
            ++position_;
        }
        return token;
    }

    bool Accept(TokenKind kind) {
        if (Peek().kind != kind) {
            return false;
        }
        Take();
        return true;
    }

    bool Fail(std::string& error, const std::string& message) const {
        error = message + " at column " + std::to_string(Peek().column);
        return false;
    }

    bool Expect(TokenKind kind, const char* what, std::string& error) {
        return Accept(kind) || Fail(error, std::string("expected ") + what);
    }

    bool Int32(std::int32_t& value, std::string& error) {
        IntegerLiteral literal;
        if (Peek().kind != TokenKind::Number || !ParseIntegerLiteral(Peek().text, literal) ||
            !ToInt32(literal, value)) {
            return Fail(error, "expected a 32-bit integer");
        }
        Take();
        return true;
    }

    bool TypeCode(std::uint32_t& type, std::string& error) {
        IntegerLiteral literal;
        if (Peek().kind != TokenKind::Number || !ParseIntegerLiteral(Peek().text, literal) ||
            !ToUint32(literal, type)) {
            return Fail(error, "expected a type code");
        }
        Take();
        return true;
    }

    bool WideText(WString& text, std::string& error) {
        if (Peek().kind != TokenKind::String) {
            return Fail(error, "expected a string");
        }
        text.clear();
        for (const StringPiece& piece : Take().pieces) {
            if (piece.isUnit) {
                text.push_back(static_cast<WCHAR>(piece.value));
            } else {
                AppendUtf16(text, piece.value);
            }
        }
        return true;
    }

    // Narrow strings are 8-bit text: every character must fit in one byte.
    bool NarrowText(std::string& text, std::string& error) {
        if (Peek().kind != TokenKind::String) {
            return Fail(error, "expected a string");
        }
        text.clear();
        for (const StringPiece& piece : Peek().pieces) {
            if (piece.value > 0xFF) {
                return Fail(error, "narrow string character above 0xFF");
            }
            text.push_back(static_cast<char>(piece.value));
        }
        Take();
        return true;
    }

    bool Real(double& value, std::string& error) {
        if (Peek().kind != TokenKind::Number) {
            return Fail(error, "expected a number");
        }
        const std::string& text = Peek().text;
        char* end = nullptr;
        value = std::strtod(text.c_str(), &end);
        if (end != text.c_str() + text.size()) {
            return Fail(error, "expected a number");
        }
        Take();
        return true;
    }

    bool ParseArgument(Argument& argument, std::string& error) {
        const Token& token = Peek();
        if (token.kind == TokenKind::Number) {
            argument.kind = Argument::Kind::Integer;
            argument.type = zekextender::HostValueInteger;
            return Int32(argument.integer, error);
        }
        if (token.kind == TokenKind::String) {
            argument.kind = Argument::Kind::Wide;
            argument.type = zekextender::HostValueWideString;
            return WideText(argument.wide, error);
        }
        if (token.kind != TokenKind::Identifier) {
            return Fail(error, "expected an argument");
        }
        const std::string name = Take().text;
        if (name == "empty") {
            argument.kind = Argument::Kind::Empty;
            return true;
        }
        if (!IsReservedName(name)) {
            if (Peek().kind == TokenKind::LeftParen) {
                return Fail(error, "unknown argument form '" + name + "'");
            }
            argument.kind = Argument::Kind::Variable;
            argument.variable = name;
            return true;
        }
        if (!Expect(TokenKind::LeftParen, "'('", error)) {
            return false;
        }
        bool ok = false;
        if (name == "narrow") {
            argument.kind = Argument::Kind::Narrow;
            argument.type = zekextender::HostValueNarrowString;
            ok = NarrowText(argument.narrow, error);
        } else if (name == "float") {
            argument.kind = Argument::Kind::Float;
            argument.type = zekextender::HostValueFloat;
            ok = Real(argument.real, error);
        } else if (name == "wide") {
            argument.kind = Argument::Kind::Wide;
            ok = TypeCode(argument.type, error) && Expect(TokenKind::Comma, "','", error) &&
                 WideText(argument.wide, error);
        } else if (name == "nulltext") {
            argument.kind = Argument::Kind::NullText;
            ok = TypeCode(argument.type, error);
        } else {
            argument.kind = Argument::Kind::Typed;
            ok = TypeCode(argument.type, error) && Expect(TokenKind::Comma, "','", error) &&
                 Int32(argument.integer, error);
        }
        return ok && Expect(TokenKind::RightParen, "')'", error);
    }

    std::vector<Token> tokens_;
    std::size_t position_ = 0;
};

bool ParseDirective(const std::string& text, Directive& directive, std::string& error) {
    std::istringstream words(text.substr(1));
    std::vector<std::string> parts;
    for (std::string word; words >> word;) {
        parts.push_back(word);
    }
    const std::string name = parts.empty() ? std::string() : parts[0];
    const std::string tail = parts.size() > 1 ? parts[1] : std::string();
    const std::string last = parts.empty() ? std::string() : parts.back();
    IntegerLiteral literal;
    const bool lastIsNumber = parts.size() > 1 && ParseIntegerLiteral(last, literal);
    std::int32_t int32 = 0;
    std::uint32_t uint32 = 0;
    std::int16_t int16 = 0;

    if (name == "standin") {
        // The command goes to the stand-in as written: its spacing is its own business.
        const std::size_t start = text.find_first_not_of(" \t", text.find(name) + name.size());
        if (start == std::string::npos) {
            error = "@standin takes a command";
            return false;
        }
        directive.kind = DirectiveKind::Standin;
        directive.text = text.substr(start);
    } else if (name == "fail" && parts.size() == 2 && tail == "array-create") {
        directive.kind = DirectiveKind::FailArrayCreate;
    } else if (name == "fail" && parts.size() == 2 && tail == "variable") {
        directive.kind = DirectiveKind::FailVariable;
    } else if (name == "fail" && parts.size() == 2 && tail == "none") {
        directive.kind = DirectiveKind::FailNone;
    } else if (name == "fail" && parts.size() == 3 && tail == "array-element" && lastIsNumber &&
               ToInt32(literal, int32)) {
        directive.kind = DirectiveKind::FailArrayElement;
        directive.number = int32;
    } else if (name == "fail") {
        error = "@fail takes array-create, array-element N, variable or none";
        return false;
    } else if ((name == "com" || name == "exit") && parts.size() == 1) {
        directive.kind = name == "com" ? DirectiveKind::Com : DirectiveKind::Exit;
    } else if ((name == "count" || name == "acknowledge") && parts.size() == 1) {
        directive.kind = name == "count" ? DirectiveKind::Count : DirectiveKind::Acknowledge;
    } else if (name == "callback-return" && parts.size() == 2 && lastIsNumber &&
               ToInt32(literal, int32)) {
        directive.kind = DirectiveKind::CallbackReturn;
        directive.number = int32;
    } else if (name == "definition" && parts.size() == 2 && lastIsNumber &&
               ToInt32(literal, int32)) {
        directive.kind = DirectiveKind::Definition;
        directive.number = static_cast<std::uint32_t>(int32);
    } else if (name == "query" && parts.size() == 2 && lastIsNumber && ToInt16(literal, int16)) {
        directive.kind = DirectiveKind::Query;
        directive.number = int16;
    } else if (name == "host-version" && parts.size() == 2 && lastIsNumber &&
               ToUint32(literal, uint32)) {
        directive.kind = DirectiveKind::HostVersion;
        directive.number = uint32;
    } else if (name == "count" || name == "acknowledge" || name == "com" || name == "exit") {
        error = "@" + name + " takes no argument";
        return false;
    } else if (name == "callback-return" || name == "definition" || name == "query" ||
               name == "host-version") {
        error = "@" + name + " takes one number in range";
        return false;
    } else {
        error = "unknown directive @" + name;
        return false;
    }
    return true;
}

} // namespace

bool IsReservedName(const std::string& name) {
    return name == "empty" || name == "narrow" || name == "float" || name == "wide" ||
           name == "nulltext" || name == "typed";
}

Statement ParseLine(const std::string& line) {
    Statement statement;
    statement.text = Trim(line);
    const std::string& text = statement.text;
    if (text.empty() || (text[0] == '#' && !IsRawIdCall(text))) {
        statement.kind = Statement::Kind::Skip;
        return statement;
    }
    if (text[0] == '@') {
        statement.kind = ParseDirective(text, statement.directive, statement.error)
                             ? Statement::Kind::Directive
                             : Statement::Kind::Error;
        return statement;
    }
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens, statement.error)) {
        statement.kind = Statement::Kind::Error;
        return statement;
    }
    Parser parser(std::move(tokens));
    statement.kind = parser.ParseCall(statement.call, statement.error) ? Statement::Kind::Call
                                                                       : Statement::Kind::Error;
    return statement;
}

} // namespace zekhost
