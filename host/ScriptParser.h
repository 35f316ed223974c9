// One line of a call script: a call, a directive, or nothing to run.
//
//   [name =] function(arg, ...)     a call by name
//   [name =] #ID(arg, ...)          a call by raw function id
//   @directive ...                  host control (failures, special requests, the stand-in)
//   # comment / blank line          skipped
#pragma once

#include "extender/HostInterface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zekhost {

struct Argument {
    enum class Kind {
        Integer,  // 42, -1, 0x10: type 1
        Wide,     // "text": type 0x80, or wide(TYPE, "text")
        Narrow,   // narrow("text"): type 2
        Float,    // float(1.5): type 0x20
        NullText, // nulltext(TYPE): the given type with a null text pointer
        Typed,    // typed(TYPE, N): integer N under the given type code
        Empty,    // empty: an all-zero value
        Variable, // a copy of a script variable's value
    };
    Kind kind = Kind::Empty;
    std::uint32_t type = 0;
    std::int32_t integer = 0;
    double real = 0;
    WString wide;
    std::string narrow;
    std::string variable;
};

struct Call {
    std::string assignTo; // empty: the result is not kept
    std::string function; // as written; empty for a raw id
    bool byId = false;
    std::int16_t id = 0;
    std::vector<Argument> arguments;
};

enum class DirectiveKind {
    FailArrayCreate,  // @fail array-create
    FailArrayElement, // @fail array-element N
    FailVariable,     // @fail variable
    FailNone,         // @fail none
    CallbackReturn,   // @callback-return N
    Count,            // @count
    Definition,       // @definition N
    Acknowledge,      // @acknowledge
    Query,            // @query N
    HostVersion,      // @host-version N
    Standin,          // @standin COMMAND
    Com,              // @com: the calling thread's COM apartment
    Exit,             // @exit: the process ends here, the extender still loaded
};

struct Directive {
    DirectiveKind kind = DirectiveKind::FailNone;
    std::int64_t number = 0; // already in the range the directive takes
    std::string text;        // @standin: the command, as written
};

struct Statement {
    enum class Kind { Skip, Call, Directive, Error };
    Kind kind = Kind::Skip;
    std::string text; // the trimmed line, as echoed
    Call call;
    Directive directive;
    std::string error;
};

// Parses one line (UTF-8, any line end already removed or a trailing CR left in place).
Statement ParseLine(const std::string& line);

// Names that denote argument forms and so cannot be variables.
bool IsReservedName(const std::string& name);

} // namespace zekhost
