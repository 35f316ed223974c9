#include "standin/Store.h"

#include "standin/CountedObject.h"
#include "standin/Failures.h"
#include "standin/Guarded.h"
#include "standin/FileItem.h"
#include "standin/Items.h"
#include "standin/Keys.h"
#include "standin/Schema.h"
#include "standin/ValueText.h"

#include <cstring>
#include <new>

namespace standin {
namespace {

class StoreObject final : public CountedObject<StoreObject, IPropertyStore> {
public:
    StoreObject(WString name, bool declared, DWORD flags, std::vector<Entry> entries)
        : name_(std::move(name)), declared_(declared), writable_((flags & GPS_READWRITE) != 0),
          entries_(std::move(entries)) {}

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
        entries_ = {};
        pending_ = {};
        name_ = {};
    }

private:
    HRESULT DoGetCount(DWORD* count) {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
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
        const auto injected = InjectedFor(Point::SetValue, &name_, key);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        if (!writable_) {
            return STG_E_ACCESSDENIED;
        }
        // Declared items take any key a test gave them; files only what a handler could write.
        const PropertyInfo* info = FindProperty(key);
        if (info != nullptr ? !info->writable : !declared_) {
            return STG_E_ACCESSDENIED;
        }
        Value given;
        Value coerced;
        if (FAILED(FromVariant(value, given)) ||
            FAILED(
                CoerceToType(info != nullptr ? info->type : VARTYPE(VT_EMPTY), given, coerced))) {
            return E_INVALIDARG;
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

    HRESULT DoCommit() {
        const auto injected = InjectedInStore(Point::Commit, name_);
        if (injected && FAILED(injected->result)) {
            return injected->result;
        }
        if (!writable_) {
            return STG_E_ACCESSDENIED;
        }
        if (!pending_.empty()) {
            HRESULT result = S_OK;
            if (declared_) {
                // The item may have been forgotten since the store was opened.
                result =
                    CommitToItem(name_, pending_) ? S_OK : HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
            } else {
                result = CommitFileItem(name_, pending_);
            }
            if (FAILED(result)) {
                return result; // nothing stored changed; the changes stay pending
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
    bool declared_;
    bool writable_;
    std::vector<Entry> entries_;
    std::vector<Entry> pending_; // an empty value clears the property
};

} // namespace

HRESULT OpenStore(PCWSTR parsingName, DWORD flags, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (parsingName == nullptr || parsingName[0] == 0 || (flags & ~DWORD(GPS_MASK_VALID)) != 0) {
        return E_INVALIDARG;
    }
    if (!SameGuid(riid, kIidPropertyStore)) {
        return E_NOINTERFACE;
    }
    const WString name(parsingName);
    const auto injected = InjectedInStore(Point::Open, name);
    if (injected && FAILED(injected->result)) {
        return injected->result;
    }
    std::vector<Entry> entries;
    const std::vector<Entry>* declared = FindItem(name);
    if (declared != nullptr) {
        entries = *declared;
    } else {
        const HRESULT result = ReadFileItem(name, flags, entries);
        if (FAILED(result)) {
            return result;
        }
    }
    auto* store =
        new (std::nothrow) StoreObject(name, declared != nullptr, flags, std::move(entries));
    if (store == nullptr) {
        return E_OUTOFMEMORY;
    }
    *object = static_cast<IPropertyStore*>(store);
    return injected ? injected->result : S_OK;
}

} // namespace standin
