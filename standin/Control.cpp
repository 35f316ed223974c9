#include "standin/Control.h"

#include "standin/Accounting.h"
#include "standin/CommandWords.h"
#include "standin/CountedObject.h"
#include "standin/Failures.h"
#include "standin/FileBackend.h"
#include "standin/FileItem.h"
#include "standin/Handlers.h"
#include "standin/Items.h"
#include "standin/Keys.h"
#include "standin/Schema.h"
#include "standin/Text.h"
#include "standin/ValueText.h"

#include <charconv>
#include <cstdio>

namespace standin {
namespace {

using Words = std::vector<std::string>;

bool Refuse(std::string& reply, std::string reason) {
    reply = std::move(reason);
    return false;
}

bool Done(std::string& reply) {
    reply = "ok";
    return true;
}

// A quoted or bare word as UTF-16 text.
bool TextWord(const std::string& word, WString& text, std::string& reply) {
    std::string plain;
    if (!Unquote(word, plain)) {
        return Refuse(reply, "bad quoted text " + word);
    }
    text = Utf8ToUtf16(plain);
    return true;
}

std::string HexResult(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(result));
    return text;
}

bool Reset(const Words& words, std::string& reply) {
    if (words.size() != 1) {
        return Refuse(reply, "reset takes nothing more");
    }
    ForgetItems();
    ForgetFailures();
    ForgetKeyNames();
    ForgetStoredValues();
    ForgetFaults();
    ForgetHandlers();
    return Done(reply);
}

// item NAME [KEY=VALUE ...]
bool Item(const Words& words, std::string& reply) {
    WString name;
    if (words.size() < 2) {
        return Refuse(reply, "item needs a parsing name");
    }
    if (!TextWord(words[1], name, reply)) {
        return false;
    }
    if (name.empty()) {
        return Refuse(reply, "item needs a parsing name");
    }
    std::vector<Entry> entries;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            return Refuse(reply, "expected KEY=VALUE, got " + word);
        }
        Entry entry{};
        std::string error;
        if (!ParseKeyWord(std::string_view(word).substr(0, equals), entry.key, error) ||
            !ParseTypedValue(std::string_view(word).substr(equals + 1), entry.value, error)) {
            return Refuse(reply, error);
        }
        entries.push_back(std::move(entry));
    }
    DeclareItem(name, std::move(entries));
    return Done(reply);
}

// name KEY NAME
bool Name(const Words& words, std::string& reply) {
    PROPERTYKEY key{};
    WString name;
    std::string error;
    if (words.size() != 3) {
        return Refuse(reply, "name needs a key and a canonical name");
    }
    if (!ParseKey(words[1], key)) {
        return Refuse(reply, "bad key \"" + words[1] + "\" (expected {GUID},pid)");
    }
    if (!TextWord(words[2], name, reply)) {
        return false;
    }
    if (name.empty()) {
        return Refuse(reply, "name needs a canonical name");
    }
    if (!NameKey(key, name)) {
        return Refuse(reply, words[1] + " already has a name");
    }
    return Done(reply);
}

// handler .EXT [NAME ...]: the properties the handler of a file type writes; none takes the
// type's handler away.
bool Handler(const Words& words, std::string& reply) {
    WString extension;
    if (words.size() < 2 || !TextWord(words[1], extension, reply)) {
        return words.size() < 2 ? Refuse(reply, "handler needs an extension") : false;
    }
    if (extension.size() < 2 || extension[0] != '.' ||
        ExtensionOf(U16("x") + extension) != extension) {
        return Refuse(reply, "bad extension " + words[1] + " (expected .ext, lower case)");
    }
    std::vector<WString> names;
    for (std::size_t i = 2; i < words.size(); ++i) {
        WString name;
        if (!TextWord(words[i], name, reply)) {
            return false;
        }
        const PropertyInfo* info = FindProperty(name);
        if (info == nullptr || !info->writable) {
            return Refuse(reply, words[i] + " is not a writable property");
        }
        names.push_back(std::move(name));
    }
    DeclareHandler(extension, std::move(names));
    return Done(reply);
}

// nohandler NAME: a declared item becomes an item of a type without a handler.
bool NoHandler(const Words& words, std::string& reply) {
    WString name;
    if (words.size() != 2) {
        return Refuse(reply, "nohandler needs a parsing name");
    }
    if (!TextWord(words[1], name, reply)) {
        return false;
    }
    if (!TakeHandlerAway(name)) {
        return Refuse(reply, "no item is declared as " + words[1]);
    }
    return Done(reply);
}

bool ParseSelector(Selector kind, const std::string& word, Failure& failure, std::string& reply) {
    std::string error;
    failure.hasSelector = true;
    switch (kind) {
    case Selector::Index: {
        auto [end, problem] =
            std::from_chars(word.data(), word.data() + word.size(), failure.index);
        if (problem != std::errc() || end != word.data() + word.size()) {
            return Refuse(reply, "bad index " + word);
        }
        return true;
    }
    case Selector::Key:
        return ParseKeyWord(word, failure.key, error) || Refuse(reply, error);
    case Selector::Name:
        return TextWord(word, failure.name, reply);
    case Selector::None:
        break;
    }
    return Refuse(reply, "this call takes no index, key or name: " + word);
}

// fail POINT [SELECTOR] [RESULT] [null] [in NAME]
bool Fail(const Words& words, std::string& reply) {
    if (words.size() < 2) {
        return Refuse(reply, "fail needs a call");
    }
    const PointInfo* point = FindPoint(words[1]);
    if (point == nullptr) {
        return Refuse(reply, "unknown call \"" + words[1] + "\"");
    }
    Failure failure;
    failure.point = point->point;
    Words rest(words.begin() + 2, words.end());
    if (rest.size() >= 2 && rest[rest.size() - 2] == "in") {
        if (!point->storeScoped) {
            return Refuse(reply, words[1] + " cannot be narrowed to one item");
        }
        if (!TextWord(rest.back(), failure.item, reply)) {
            return false;
        }
        failure.hasItem = true;
        rest.resize(rest.size() - 2);
    }
    if (!rest.empty() && rest.back() == "null") {
        if (!point->textOut) {
            return Refuse(reply, words[1] + " hands out no text to leave null");
        }
        failure.leaveNull = true;
        rest.pop_back();
    }
    bool hasResult = false;
    if (!rest.empty() && ParseResultWord(rest.back(), failure.result)) {
        hasResult = true;
        rest.pop_back();
    }
    if (!hasResult && !failure.leaveNull) {
        return Refuse(reply, "fail needs a result (0x80004005, E_FAIL, ...) or null");
    }
    if (rest.size() > 1) {
        return Refuse(reply, "unexpected " + rest[1]);
    }
    if (rest.size() == 1 && !ParseSelector(point->selector, rest[0], failure, reply)) {
        return false;
    }
    AddFailure(failure);
    return Done(reply);
}

// unfail [POINT]
bool Unfail(const Words& words, std::string& reply) {
    if (words.size() > 2) {
        return Refuse(reply, "unfail takes at most a call");
    }
    if (words.size() == 1) {
        RemoveFailures(nullptr);
        return Done(reply);
    }
    const PointInfo* point = FindPoint(words[1]);
    if (point == nullptr) {
        return Refuse(reply, "unknown call \"" + words[1] + "\"");
    }
    RemoveFailures(&point->point);
    return Done(reply);
}

// show NAME: the values a declared item holds, or the written values of a file.
bool Show(const Words& words, std::string& reply) {
    WString name;
    if (words.size() != 2) {
        return Refuse(reply, "show needs a parsing name");
    }
    if (!TextWord(words[1], name, reply)) {
        return false;
    }
    std::vector<Entry> entries;
    if (const std::vector<Entry>* declared = FindItem(name)) {
        entries = *declared;
    } else {
        const HRESULT result = ReadFileItem(name, GPS_READWRITE, entries);
        if (FAILED(result)) {
            return Refuse(reply, "cannot open " + words[1] + ": " + HexResult(result));
        }
    }
    reply.clear();
    for (const Entry& entry : entries) {
        reply +=
            (reply.empty() ? "" : " ") + KeyWord(entry.key) + "=" + TypedValueText(entry.value);
    }
    if (reply.empty()) {
        reply = "no values";
    }
    return true;
}

bool ShowAccounting(const Words& words, std::string& reply) {
    if (words.size() != 1) {
        return Refuse(reply, "accounting takes nothing more");
    }
    reply = AccountingText(ReadAccounting());
    return true;
}

bool Check(const Words& words, std::string& reply) {
    if (words.size() != 1) {
        return Refuse(reply, "check takes nothing more");
    }
    const Accounting accounting = ReadAccounting();
    reply = IsBalanced(accounting) ? "balanced" : AccountingText(accounting);
    return IsBalanced(accounting);
}

// drop-shells: deletes the empty shells of released objects (between a long run's inputs).
bool DropReleasedShells(const Words& words, std::string& reply) {
    if (words.size() != 1) {
        return Refuse(reply, "drop-shells takes nothing more");
    }
    reply = "dropped " + std::to_string(DropShells());
    return true;
}

struct Command {
    const char* name;
    bool (*run)(const Words& words, std::string& reply);
};

constexpr Command kCommands[] = {
    {"reset", Reset},
    {"item", Item},
    {"name", Name},
    {"handler", Handler},
    {"nohandler", NoHandler},
    {"fail", Fail},
    {"unfail", Unfail},
    {"show", Show},
    {"accounting", ShowAccounting},
    {"check", Check},
    {"drop-shells", DropReleasedShells},
};

} // namespace

bool RunControlCommand(std::string_view command, std::string& reply) {
    Words words;
    std::string error;
    if (!SplitWords(command, words, error)) {
        return Refuse(reply, error);
    }
    if (words.empty()) {
        return Refuse(reply, "empty command");
    }
    for (const Command& entry : kCommands) {
        if (words[0] == entry.name) {
            return entry.run(words, reply);
        }
    }
    return Refuse(reply, "unknown command \"" + words[0] + "\"");
}

} // namespace standin
