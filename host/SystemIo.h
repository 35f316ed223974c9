// What the host needs from the operating system besides the extender: its arguments, its own
// location, files read as bytes and a byte-exact stdout.
#pragma once

#include <string>
#include <vector>

namespace zekhost {

// The arguments after the program name, as UTF-8 (from wmain's UTF-16 ones on Windows).
#ifdef _WIN32
std::vector<std::string> ProgramArguments(int argc, wchar_t** argv);
#else
std::vector<std::string> ProgramArguments(int argc, char** argv);
#endif

// The folder holding the running program, as UTF-8 without a trailing separator.
std::string ProgramDirectory();

// The platform's folder separator.
char PathSeparator();

// Reads a whole file. Under Wine a Unix path ("/work/x.zek") is tried through drive Z: when
// the current drive does not resolve it.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// stdout without newline translation.
void WriteStdout(const std::string& bytes);
void WriteStderr(const std::string& text);

} // namespace zekhost
