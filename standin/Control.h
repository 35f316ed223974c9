// The control commands of the stand-in (ZekStandinControl): declared items, injected failures,
// names for keys, and the accounting. standin/README.md documents the language.
#pragma once

#include <string>
#include <string_view>

namespace standin {

// Carries out one command; false when it is refused. The reply says what happened or why not.
bool RunControlCommand(std::string_view command, std::string& reply);

} // namespace standin
