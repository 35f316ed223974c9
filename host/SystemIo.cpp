#include "host/SystemIo.h"

#include <cstdio>

#ifdef _WIN32
#include "host/Utf.h"
#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>
#else
#include <climits>
#include <unistd.h>
#endif

namespace zekhost {
namespace {

bool ReadAll(std::FILE* file, std::string& bytes) {
    bytes.clear();
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
    WString wide;
    Utf8ToUtf16(utf8, wide);
    return wide;
}
#endif

} // namespace

#ifdef _WIN32

std::vector<std::string> ProgramArguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Utf16ToUtf8(argv[i]));
    }
    return arguments;
}

std::string ProgramDirectory() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return Utf16ToUtf8(slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash));
}

char PathSeparator() {
    return '\\';
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    std::FILE* file = _wfopen(Wide(path).c_str(), L"rb");
    if (file == nullptr && !path.empty() && path[0] == '/') {
        file = _wfopen(Wide("Z:" + path).c_str(), L"rb");
    }
    return file != nullptr && ReadAll(file, bytes);
}

void WriteStdout(const std::string& bytes) {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

#else

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string ProgramDirectory() {
    char path[PATH_MAX + 1] = {};
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    const std::string program =
        length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "";
    const std::size_t slash = program.find_last_of('/');
    return slash == std::string::npos ? "." : program.substr(0, slash);
}

char PathSeparator() {
    return '/';
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    return file != nullptr && ReadAll(file, bytes);
}

void WriteStdout(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

#endif

void WriteStderr(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace zekhost
