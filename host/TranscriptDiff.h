// Byte-for-byte comparison of a transcript with the expected one, reporting the first line
// that differs.
#pragma once

#include <cstddef>
#include <string>

namespace zekhost {

struct TranscriptDifference {
    bool differs = false;
    std::size_t line = 0; // 1-based
    std::string expected; // the line as written, or a description such as "<end of file>"
    std::string actual;
};

TranscriptDifference CompareTranscripts(const std::string& expected, const std::string& actual);

} // namespace zekhost
