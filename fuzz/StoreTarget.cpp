// Fuzz target: the life of store handles. An input is a sequence of operations, each one
// byte naming it followed by its operand bytes (fuzz/corpus/README.md gives the encoding):
// open, close, list, read, write, commit, the four state queries and descriptions, against a
// few declared stand-in items, with property-system failures injected and lifted between
// them. A small model of the registry follows along, and every answer is checked against
// it: handles are the smallest free ones, a failed open takes none, a failed commit leaves
// the record reset (invalid, no file spec, flags 0, clean) under its handle, dirty is set by
// successful writes and cleared by successful commits only. After the input every handle is
// closed and the stand-in's accounts must balance.
#include "fuzz/FuzzHost.h"

#include <cstdlib>
#include <map>
#include <string>

namespace {

using namespace zekfuzz;
using zekextender::HostValue;
using zekhost::CallOutcome;

// Status codes the model predicts.
constexpr std::int32_t InvalidParameter = 9;
constexpr std::int32_t NotOpen = 13;
constexpr std::int32_t AccessDenied = 44;
constexpr std::int32_t ReadWrite = 0x2; // GPS_READWRITE

const char* const Items[] = {
    R"(item "doc:one" System.Title=lpwstr:"First" System.Rating=ui4:50 System.Keywords=strings:"red","green")",
    R"(item "doc:two" System.Title=lpwstr:"Second" {F29F85E0-4FF9-1068-AB91-08002B27B3D9},1=lpwstr:"hidden")",
    R"(item "doc:empty")",
    R"(item "doc:odd" System.Comment=unknown System.Size=ui8:1234 System.DateModified=filetime:2024-01-31T14:05:09Z)",
};

const char16_t* const Specs[] = {u"doc:one",     u"doc:two", u"doc:empty", u"doc:odd",
                                 u"doc:missing", u"",        u"/scratch"};
const std::int32_t Flags[] = {0, ReadWrite, 0x10, 0x12, 0x2000, 0x4, 0x6, -1};
const char16_t* const Names[] = {
    u"System.Title", u"System.Rating",       u"System.Keywords", u"System.Subject",
    u"System.Size",  u"System.Comment",      u"System.NoSuch",   u"",
    u"system.title", u"System.DateModified", u"System.Author",   u"System.Category"};
const char16_t* const Values[] = {
    u"x",  u"",       u"Changed", u"75", u"abc", u"1;2", u"2024-01-31T14:05:09Z",
    u"-1", u"\xD800", u"a; b; ;c"};
const std::int32_t ReadFlags[] = {0, 0x10000, 1, 0x3F, -1};
const char* const Failures[] = {
    "unfail",
    "fail open E_OUTOFMEMORY",
    "fail open E_FAIL in doc:one",
    "fail GetCount E_FAIL",
    "fail GetAt 1 E_FAIL",
    "fail GetAt S_FALSE",
    "fail GetValue System.Title E_FAIL",
    "fail SetValue System.Title E_FAIL",
    "fail SetValue System.Title INPLACE_S_TRUNCATED",
    "fail Commit 0x80070005",
    "fail Commit E_OUTOFMEMORY in doc:one",
    "fail PSGetNameFromPropertyKey E_FAIL",
    "fail PSGetNameFromPropertyKey null",
    "fail PSFormatForDisplayAlloc E_FAIL",
    "fail PSFormatForDisplayAlloc null",
    "fail PSGetPropertyKeyFromName E_FAIL",
    "fail PSGetPropertyDescriptionByName E_FAIL",
    "fail GetDisplayName null",
    "fail GetDisplayName E_FAIL",
    "fail PSGetPropertyDescriptionByName E_OUTOFMEMORY",
    "fail GetCount E_OUTOFMEMORY in doc:two",
    "unfail open",
};

template <class T, std::size_t N> const T& Pick(const T (&table)[N], std::uint8_t byte) {
    return table[byte % N];
}

struct Record {
    bool valid = true;
    bool dirty = false;
    std::int32_t flags = 0;
    WString spec;
};

class Run {
public:
    Run(const std::uint8_t* data, std::size_t size)
        : data_(data), size_(size), session_(CheckedApi(), zekextender::MinimumHostVersion) {}

    void Go() {
        for (const char* item : Items) {
            TheStandin().Must(item);
        }
        while (position_ < size_) {
            Step();
        }
        for (const auto& entry : model_) {
            Verify(entry.first, "at the end");
        }
        EndInput(session_);
    }

private:
    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

    std::string Where() const { return "operation ending at byte " + std::to_string(position_); }

    CallOutcome Call(const char* function, std::initializer_list<HostValue> arguments) {
        return CallFunction(session_, FunctionId(function), arguments.begin(), arguments.size());
    }

    const zekhost::Delivery& Answer(const CallOutcome& outcome) {
        if (outcome.deliveries.size() != 1) {
            Fail("no single answer", Where());
        }
        return outcome.deliveries[0];
    }

    void Expect(bool condition, const std::string& what) {
        if (!condition) {
            Fail(what, Where());
        }
    }

    // The error a call with an unregistered handle must give, or true when it is registered.
    bool Registered(std::uint32_t handle, const zekhost::Delivery& answer, const char* function) {
        if (model_.count(handle) != 0) {
            return true;
        }
        Expect(answer.resultCode != 0 && ErrorStatus(answer) == InvalidParameter,
               std::string(function) + " of an unregistered handle did not fail with 9");
        return false;
    }

    // The status code at the start of an error text "N: NAME: message".
    static std::int32_t ErrorStatus(const zekhost::Delivery& answer) {
        return std::atoi(answer.value.narrow.c_str());
    }

    std::uint32_t SmallestFree() const {
        std::uint32_t handle = 1;
        while (model_.count(handle) != 0) {
            ++handle;
        }
        return handle;
    }

    // Every observable part of a registered record against the model.
    void Verify(std::uint32_t handle, const char* when) {
        const Record& record = model_.at(handle);
        const HostValue argument = IntegerValue(static_cast<std::int32_t>(handle));
        const std::string name = "handle " + std::to_string(handle) + " " + when + ": ";
        const zekhost::Delivery valid = Answer(Call("vtoIsPSValid", {argument}));
        Expect(valid.resultCode == 0 && (valid.value.integer != 0) == record.valid,
               name + "validity differs from the model");
        const zekhost::Delivery dirty = Answer(Call("vtoIsPSDirty", {argument}));
        Expect(dirty.resultCode == 0 && (dirty.value.integer != 0) == record.dirty,
               name + "dirty flag differs from the model");
        const zekhost::Delivery spec = Answer(Call("vtoGetFileSpec", {argument}));
        Expect(spec.resultCode == 0 && spec.value.wide == (record.valid ? record.spec : WString()),
               name + "file spec differs from the model");
        const zekhost::Delivery flags = Answer(Call("vtoGetGPSFlags", {argument}));
        Expect(flags.resultCode == 0 && flags.value.integer == (record.valid ? record.flags : 0),
               name + "flags differ from the model");
    }

    void Step() {
        const std::uint8_t operation = Byte();
        switch (operation % 12) {
        case 0:
            return Open();
        case 1:
            return Close();
        case 2:
            return List();
        case 3:
            return Read();
        case 4:
            return Write();
        case 5:
            return Commit();
        case 6:
            return Query("vtoIsPSDirty");
        case 7:
            return Query("vtoIsPSValid");
        case 8:
            return Query("vtoGetFileSpec");
        case 9:
            return Query("vtoGetGPSFlags");
        case 10:
            return Describe();
        default:
            return Inject();
        }
    }

    std::uint32_t HandleOperand() { return Byte() % 8; }

    void Open() {
        const WCHAR* spec = Pick(Specs, Byte());
        const std::int32_t flags = Pick(Flags, Byte());
        const zekhost::Delivery answer =
            Answer(Call("vtoOpenPS", {TextValue(spec), IntegerValue(flags)}));
        if (answer.resultCode != 0) {
            Expect(spec[0] != 0 || ErrorStatus(answer) == InvalidParameter,
                   "an empty file spec did not fail with 9");
            return;
        }
        const auto handle = static_cast<std::uint32_t>(answer.value.integer);
        Expect(handle == SmallestFree(), "open gave handle " + std::to_string(handle) +
                                             ", not the smallest free " +
                                             std::to_string(SmallestFree()));
        // The scratch file stands in for every absolute path.
        const WString opened = Answer(Call("vtoGetFileSpec", {IntegerValue(handle)})).value.wide;
        model_[handle] = Record{true, false, flags, spec[0] == u'/' ? opened : WString(spec)};
        Verify(handle, "after its open");
    }

    void Close() {
        const std::uint32_t handle = HandleOperand();
        const zekhost::Delivery answer =
            Answer(Call("vtoClosePS", {IntegerValue(static_cast<std::int32_t>(handle))}));
        if (Registered(handle, answer, "close")) {
            Expect(answer.resultCode == 0 && answer.value.integer == 1,
                   "closing a registered handle failed");
            model_.erase(handle);
        }
    }

    void List() {
        const std::uint32_t handle = HandleOperand();
        const std::int32_t mode = Byte() % 3;
        const zekhost::Delivery answer =
            Answer(Call("vtoGetPropertyNames",
                        {IntegerValue(static_cast<std::int32_t>(handle)), IntegerValue(mode)}));
        Registered(handle, answer, "listing");
    }

    void Read() {
        const std::uint32_t handle = HandleOperand();
        const WCHAR* name = Pick(Names, Byte());
        const std::int32_t flags = Pick(ReadFlags, Byte());
        const zekhost::Delivery answer =
            Answer(Call("vtoGetPropertyValue", {IntegerValue(static_cast<std::int32_t>(handle)),
                                                TextValue(name), IntegerValue(flags)}));
        Registered(handle, answer, "reading");
    }

    void Write() {
        const std::uint32_t handle = HandleOperand();
        const WCHAR* name = Pick(Names, Byte());
        const WCHAR* value = Pick(Values, Byte());
        const zekhost::Delivery answer =
            Answer(Call("vtoSetPropertyValue", {IntegerValue(static_cast<std::int32_t>(handle)),
                                                TextValue(name), TextValue(value)}));
        if (!Registered(handle, answer, "writing")) {
            return;
        }
        Record& record = model_.at(handle);
        if (!record.valid) {
            Expect(answer.resultCode != 0 && ErrorStatus(answer) == NotOpen,
                   "a write to a reset record did not fail with 13");
        } else if ((record.flags & ReadWrite) == 0) {
            Expect(answer.resultCode != 0 && ErrorStatus(answer) == AccessDenied,
                   "a write to a read-only store did not fail with 44");
        } else if (answer.resultCode == 0) {
            record.dirty = true;
        }
        Verify(handle, "after a write");
    }

    void Commit() {
        const std::uint32_t handle = HandleOperand();
        const zekhost::Delivery answer =
            Answer(Call("vtoCommitChanges", {IntegerValue(static_cast<std::int32_t>(handle))}));
        if (!Registered(handle, answer, "commit")) {
            return;
        }
        Record& record = model_.at(handle);
        if (!record.valid) {
            Expect(answer.resultCode != 0 && ErrorStatus(answer) == NotOpen,
                   "a commit of a reset record did not fail with 13");
        } else if ((record.flags & ReadWrite) == 0) {
            Expect(answer.resultCode != 0 && ErrorStatus(answer) == AccessDenied,
                   "a commit of a read-only store did not fail with 44");
        } else if (!record.dirty) {
            Expect(answer.resultCode == 0, "a commit with nothing written failed");
        } else if (answer.resultCode == 0) {
            record.dirty = false;
        } else {
            record = Record{false, false, 0, {}};
        }
        Verify(handle, "after a commit");
    }

    void Query(const char* function) {
        const std::uint32_t handle = HandleOperand();
        const zekhost::Delivery answer =
            Answer(Call(function, {IntegerValue(static_cast<std::int32_t>(handle))}));
        if (function == std::string("vtoIsPSValid")) {
            Expect(answer.resultCode == 0, "vtoIsPSValid failed");
            Expect(model_.count(handle) != 0 || answer.value.integer == 0,
                   "an unregistered handle is valid");
            return;
        }
        Registered(handle, answer, function);
    }

    void Describe() { Answer(Call("vtoGetPropertyDescription", {TextValue(Pick(Names, Byte()))})); }

    void Inject() { TheStandin().Must(Pick(Failures, Byte())); }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    zekhost::HostSession session_;
    std::map<std::uint32_t, Record> model_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Handshake();
    Run(data, size).Go();
    return 0;
}
