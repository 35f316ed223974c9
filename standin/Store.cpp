#include "standin/Store.h"

#include "standin/Accounting.h"
#include "standin/CountedObject.h"
#include "standin/Failures.h"
#include "standin/FileBackend.h"
#include "standin/FileItem.h"
#include "standin/Guarded.h"
#include "standin/Handlers.h"
#include "standin/Items.h"
#include "standin/Keys.h"
#include "standin/Schema.h"
#include "standin/ValueText.h"

#include <cstring>
#include <new>
#include <set>

namespace standin {
namespace {

// Files that a store opened for writing holds until it commits or is released.
std::set<WString>& HeldFiles() {
    static std::set<WString> files;
    return files;
}

// The combinations the documentation of GETPROPERTYSTOREFLAGS rules out, each flag with those
// it cannot be combined with; GPS_TEMPORARY combines with nothing.
struct Exclusion {
    DWORD flag;
    DWORD excluded;
};

const Exclusion kExclusions[] = {
    {GPS_HANDLERPROPERTIESONLY, GPS_TEMPORARY | GPS_FASTPROPERTIESONLY | GPS_BESTEFFORT},
    {GPS_READWRITE, GPS_TEMPORARY | GPS_FASTPROPERTIESONLY | GPS_BESTEFFORT | GPS_DELAYCREATION},
    {GPS_TEMPORARY, GPS_MASK_VALID & ~DWORD(GPS_TEMPORARY)},
    {GPS_FASTPROPERTIESONLY,
     GPS_TEMPORARY | GPS_READWRITE | GPS_HANDLERPROPERTIESONLY | GPS_DELAYCREATION},
    {GPS_OPENSLOWITEM, GPS_TEMPORARY | GPS_FASTPROPERTIESONLY},
    {GPS_DELAYCREATION, GPS_TEMPORARY | GPS_READWRITE},
    {GPS_BESTEFFORT, GPS_TEMPORARY | GPS_READWRITE | GPS_HANDLERPROPERTIESONLY},
};

bool FlagsCombine(DWORD flags) {
    for (const Exclusion& rule : kExclusions) {
        if ((flags & rule.flag) && (flags & rule.excluded)) {
            return false;
        }
    }
    return true;
}

// Where a store's writes may go: a declared item (any key), a real file (what its handler
// writes, as the handler was when the store was opened), or nowhere: a GPS_TEMPORARY store is
// a property bag of its own that takes any key and lasts as long as the store.
struct Target {
    bool declared = false;
    bool temporary = false;
    std::vector<WString> handler; // files only; empty when the type has none
};

class StoreObject final : public CountedObject<StoreObject, IPropertyStore> {
public:
    StoreObject(WString name, Target target, DWORD flags, std::vector<Entry> entries, WString held)
        : name_(std::move(name)), target_(std::move(target)),
          writable_((flags & (GPS_READWRITE | GPS_TEMPORARY)) != 0), entries_(std::move(entries)),
          held_(std::move(held)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return Answer(riid, kIidPropertyStore, object);
    }

    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override {
        return Guarded([&] { return DoGetCount(count); });
    }

    HRESULT STDMETHODCALLTYPE GetAt(DWORD index, PROPERTYKEY* key) override {
        return Guarded([&] { return DoGetAt(index, key); });
    }

    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override {
        return Guarded([&] { return DoGetValue(key, value); });
    }

    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) override {
        return Guarded([&] { return DoSetValue(key, value); });
    }

    HRESULT STDMETHODCALLTYPE Commit() override {
        return Guarded([&] { return DoCommit(); });
    }

    void Discard() {
        Unhold();
        entries_ = {};
        pending_ = {};
        name_ = {};
    }

private:
    // Commit released the file: every later call fails, and is counted as a fault of the
    // caller.
    bool Spent() const {
        if (spent_) {
            CountUseAfterCommit();
        }
        return spent_;
    }

    void Unhold() {
        if (!held_.empty()) {
            HeldFiles().erase(held_);
            held_.clear();
        }
    }

    HRESULT DoGetCount(DWORD* count) {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        if (Spent()) {
            return E_FAIL;
        }
        const auto injected = InjectedInStore(Point::GetCount, name_);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        *count = static_cast<DWORD>(Listed().size());
        return injected ? injected->result : S_OK;
    }

    HRESULT DoGetAt(DWORD index, PROPERTYKEY* key) {
        if (key == nullptr) {
            return E_POINTER;
        }
        std::memset(key, 0, sizeof *key);
        if (Spent()) {
            return E_FAIL;
        }
        const auto injected = InjectedAt(Point::GetAt, name_, index);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const std::vector<PROPERTYKEY> listed = Listed();
        if (index >= listed.size()) {
            return E_INVALIDARG;
        }
        *key = listed[index];
        return injected ? injected->result : S_OK;
    }

    HRESULT DoGetValue(REFPROPERTYKEY key, PROPVARIANT* value) {
        if (value == nullptr) {
            return E_POINTER;
        }
        std::memset(value, 0, sizeof *value);
        if (Spent()) {
            return E_FAIL;
        }
        const auto injected = InjectedFor(Point::GetValue, &name_, key);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        const HRESULT result = ToVariant(Current(key), value);
        if (FAILED(result)) {
            return result;
        }
        return injected ? injected->result : S_OK;
    }

    HRESULT DoSetValue(REFPROPERTYKEY key, REFPROPVARIANT value) {
        if (Spent()) {
            return E_FAIL;
        }
        const auto injected = InjectedFor(Point::SetValue, &name_, key);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        if (!writable_) {
            return STG_E_ACCESSDENIED;
        }
        // Declared items take any key a test gave them; files what their handler writes; a
        // property bag anything. A key the handler cannot store is the caller's mistake.
        const PropertyInfo* info = FindProperty(key);
        const bool takes =
            target_.temporary || (target_.declared ? info == nullptr || info->writable
                                                   : info != nullptr && info->writable &&
                                                         HandlerTakes(target_.handler, key));
        if (!takes) {
            return STG_E_INVALIDPARAMETER;
        }
        Value given;
        Value coerced;
        if (FAILED(FromVariant(value, given))) {
            return E_INVALIDARG;
        }
        const HRESULT coercion =
            CoerceToType(key, info != nullptr ? info->type : VARTYPE(VT_EMPTY), given, coerced);
        if (FAILED(coercion)) {
            return coercion;
        }
        for (Entry& change : pending_) {
            if (SameKey(change.key, key)) {
                change.value = std::move(coerced);
                return injected ? injected->result : S_OK;
            }
        }
        pending_.push_back({key, std::move(coerced)});
        return injected ? injected->result : S_OK;
    }

    // Documented: Commit releases the file before it returns, whatever its result, and no
    // method succeeds afterwards. A store opened without GPS_READWRITE refuses at once and
    // stays usable (assumed).
    HRESULT DoCommit() {
        if (Spent()) {
            return E_FAIL;
        }
        const HRESULT result = Write();
        if (writable_) {
            spent_ = true;
            Unhold();
        }
        return result;
    }

    HRESULT Write() {
        const auto injected = InjectedInStore(Point::Commit, name_);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        if (!writable_) {
            return STG_E_ACCESSDENIED;
        }
        if (!pending_.empty()) {
            HRESULT result = S_OK;
            if (target_.declared) {
                // The item may have been forgotten since the store was opened.
                result =
                    CommitToItem(name_, pending_) ? S_OK : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
            } else if (!target_.temporary) { // a bag has nothing to write to
                result = CommitFileItem(name_, pending_);
            }
            if (FAILED(result)) {
                return result; // nothing stored changed
            }
            for (const Entry& change : pending_) {
                ApplyChange(entries_, change);
            }
            pending_.clear();
        }
        return injected ? injected->result : S_OK;
    }

    // The keys held at opening, then keys written since that they did not include.
    std::vector<PROPERTYKEY> Listed() const {
        std::vector<PROPERTYKEY> keys;
        for (const Entry& entry : entries_) {
            keys.push_back(entry.key);
        }
        for (const Entry& change : pending_) {
            bool listed = false;
            for (const Entry& entry : entries_) {
                listed = listed || SameKey(entry.key, change.key);
            }
            if (!listed) {
                keys.push_back(change.key);
            }
        }
        return keys;
    }

    // What the store holds for a key now: a pending write, else the first entry, else empty.
    const Value& Current(const PROPERTYKEY& key) const {
        static const Value kEmpty;
        for (const Entry& change : pending_) {
            if (SameKey(change.key, key)) {
                return change.value;
            }
        }
        for (const Entry& entry : entries_) {
            if (SameKey(entry.key, key)) {
                return entry.value;
            }
        }
        return kEmpty;
    }

    WString name_;
    Target target_;
    bool writable_;
    std::vector<Entry> entries_;
    std::vector<Entry> pending_; // an empty value clears the property
    WString held_;               // the file this store holds, if any
    bool spent_ = false;         // committed: the store serves nothing more
};

} // namespace

HRESULT OpenStore(PCWSTR parsingName, DWORD flags, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (parsingName == nullptr || parsingName[0] == 0 || (flags & ~DWORD(GPS_MASK_VALID)) != 0 ||
        !FlagsCombine(flags)) {
        return E_INVALIDARG;
    }
    if (!SameGuid(riid, kIidPropertyStore)) {
        return E_NOINTERFACE;
    }
    // (assumed: the function's page names no COM requirement; the Shell makes the item and its
    // handler through COM, and CoCreateInstance answers CO_E_NOTINITIALIZED on a thread that
    // has not initialised it)
    if (!ComInitialisedOnThisThread()) {
        return CO_E_NOTINITIALIZED;
    }
    const WString name(parsingName);
    const auto injected = InjectedInStore(Point::Open, name);
    if (injected && FAILED(injected->result)) {
        return injected->result;
    }
    const bool forWriting = (flags & GPS_READWRITE) != 0;
    std::vector<Entry> entries;
    Target target;
    WString held;
    bool hasHandler = true;
    if (flags == GPS_TEMPORARY) {
        // A writable bag without initial properties, for an item that must exist; its file is
        // not opened, so nothing is held and a held file does not stand in the way.
        if (FindItem(name) == nullptr) {
            const HRESULT result = ReadFileItem(name, flags, entries);
            if (FAILED(result)) {
                return result;
            }
            entries.clear();
        }
        target.temporary = true;
    } else if (const std::vector<Entry>* declared = FindItem(name)) {
        entries = *declared;
        target.declared = true;
        hasHandler = ItemHasHandler(name);
    } else {
        const std::vector<WString>* handler = nullptr;
        const HRESULT result = ReadFileItem(name, flags, entries, &handler);
        if (FAILED(result)) {
            return result;
        }
        hasHandler = handler != nullptr;
        if (hasHandler) {
            target.handler = *handler;
            // The handler is given the file opened for reading at least, so a file its user
            // may not read fails here, not at the first read (documented:
            // IInitializeWithStream::Initialize, IInitializeWithFile::Initialize, "If the file
            // cannot be opened ... returns a suitable error code"; the code is the file
            // system's, E_ACCESSDENIED, assumed).
            const HRESULT readable = CheckReadable(name);
            if (FAILED(readable)) {
                return readable;
            }
        }
        // A handler opened for writing holds its file exclusively until it lets go.
        const WString identity = FileIdentity(name);
        if (HeldFiles().count(identity) != 0) {
            return HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
        }
        if (forWriting && hasHandler) {
            held = identity;
        }
    }
    // Nothing can write to a type without a handler (assumed: the open fails).
    if (forWriting && !hasHandler) {
        return E_FAIL;
    }
    auto* store =
        new (std::nothrow) StoreObject(name, std::move(target), flags, std::move(entries), held);
    if (store == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (!held.empty()) {
        HeldFiles().insert(held);
    }
    *object = static_cast<IPropertyStore*>(store);
    return injected ? injected->result : S_OK;
}

} // namespace standin
