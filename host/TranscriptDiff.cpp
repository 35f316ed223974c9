#include "host/TranscriptDiff.h"

namespace zekhost {
namespace {

// The line starting at pos with its "\n" if it has one; pos moves past it.
std::string NextLine(const std::string& text, std::size_t& pos) {
    const std::size_t end = text.find('\n', pos);
    const std::size_t stop = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(pos, stop - pos);
    pos = stop;
    return line;
}

// For the report: the line without its "\n"; a missing one or a CR is said so.
std::string Describe(const std::string& line, bool atEnd) {
    if (atEnd) {
        return "<end of file>";
    }
    std::string shown = line;
    const bool terminated = !shown.empty() && shown.back() == '\n';
    if (terminated) {
        shown.pop_back();
    }
    if (!shown.empty() && shown.back() == '\r') {
        shown.pop_back();
        shown += "<CR>";
    }
    return terminated ? shown : shown + "<no newline at end>";
}

} // namespace

TranscriptDifference CompareTranscripts(const std::string& expected, const std::string& actual) {
    TranscriptDifference difference;
    std::size_t expectedPos = 0;
    std::size_t actualPos = 0;
    // An expected transcript may open with '#' lines that say what it depends on; a transcript
    // itself never has one.
    while (expectedPos < expected.size() && expected[expectedPos] == '#') {
        NextLine(expected, expectedPos);
    }
    for (std::size_t line = 1;; ++line) {
        const bool expectedEnd = expectedPos >= expected.size();
        const bool actualEnd = actualPos >= actual.size();
        if (expectedEnd && actualEnd) {
            return difference;
        }
        const std::string expectedLine = NextLine(expected, expectedPos);
        const std::string actualLine = NextLine(actual, actualPos);
        if (expectedEnd != actualEnd || expectedLine != actualLine) {
            difference.differs = true;
            difference.line = line;
            difference.expected = Describe(expectedLine, expectedEnd);
            difference.actual = Describe(actualLine, actualEnd);
            return difference;
        }
    }
}

} // namespace zekhost
