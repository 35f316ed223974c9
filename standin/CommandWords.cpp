#include "standin/CommandWords.h"

#include "standin/Keys.h"
#include "standin/Schema.h"
#include "standin/Text.h"

#include <charconv>

namespace standin {
namespace {

struct NamedResult {
    const char* name;
    HRESULT result;
};

constexpr NamedResult kResults[] = {
    {"S_OK", S_OK},
    {"S_FALSE", S_FALSE},
    {"E_FAIL", E_FAIL},
    {"E_INVALIDARG", E_INVALIDARG},
    {"E_OUTOFMEMORY", E_OUTOFMEMORY},
    {"E_NOTIMPL", E_NOTIMPL},
    {"E_POINTER", E_POINTER},
    {"E_UNEXPECTED", E_UNEXPECTED},
    {"E_ACCESSDENIED", E_ACCESSDENIED},
    {"E_NOINTERFACE", E_NOINTERFACE},
    {"STG_E_ACCESSDENIED", STG_E_ACCESSDENIED},
    {"TYPE_E_ELEMENTNOTFOUND", TYPE_E_ELEMENTNOTFOUND},
    {"TYPE_E_TYPEMISMATCH", TYPE_E_TYPEMISMATCH},
    {"INPLACE_S_TRUNCATED", INPLACE_S_TRUNCATED},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool SplitWords(std::string_view command, std::vector<std::string>& words, std::string& error) {
    words.clear();
    std::size_t pos = 0;
    while (pos < command.size()) {
        if (IsBlank(command[pos])) {
            ++pos;
            continue;
        }
        std::string word;
        bool quoted = false;
        while (pos < command.size() && (quoted || !IsBlank(command[pos]))) {
            if (command[pos] == '"') {
                // A doubled quote inside quotes is text; any other quote opens or closes.
                if (quoted && pos + 1 < command.size() && command[pos + 1] == '"') {
                    word += "\"\"";
                    pos += 2;
                    continue;
                }
                quoted = !quoted;
            }
            word += command[pos++];
        }
        if (quoted) {
            error = "unclosed quote in " + word;
            return false;
        }
        words.push_back(std::move(word));
    }
    return true;
}

bool ParseKeyWord(std::string_view word, PROPERTYKEY& key, std::string& error) {
    if (!word.empty() && word.front() == '{') {
        if (ParseKey(word, key)) {
            return true;
        }
        error = "bad key \"" + std::string(word) + "\" (expected {GUID},pid)";
        return false;
    }
    const PropertyInfo* info = FindProperty(Utf8ToUtf16(word));
    if (info == nullptr) {
        error = "unknown property name \"" + std::string(word) + "\"";
        return false;
    }
    key = info->key;
    return true;
}

std::string KeyWord(const PROPERTYKEY& key) {
    const PropertyInfo* info = FindProperty(key);
    return info != nullptr ? Utf16ToUtf8(info->name) : KeyText(key);
}

bool ParseResultWord(std::string_view word, HRESULT& result) {
    for (const NamedResult& named : kResults) {
        if (word == named.name) {
            result = named.result;
            return true;
        }
    }
    if (word.size() < 3 || word.size() > 10 || word[0] != '0' ||
        (word[1] != 'x' && word[1] != 'X')) {
        return false;
    }
    std::uint32_t value = 0;
    auto [end, problem] = std::from_chars(word.data() + 2, word.data() + word.size(), value, 16);
    if (problem != std::errc() || end != word.data() + word.size()) {
        return false;
    }
    result = static_cast<HRESULT>(value);
    return true;
}

} // namespace standin
