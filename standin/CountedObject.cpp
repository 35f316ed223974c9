#include "standin/CountedObject.h"

#include <new>

namespace standin {
namespace {

class ValueObject final : public CountedObject<ValueObject, IUnknown> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return Answer(riid, kIidUnknown, object);
    }
    void Discard() {}
};

} // namespace

void KeepShell(const void* shell) {
    static auto* shells = new std::vector<const void*>;
    try {
        shells->push_back(shell);
    } catch (...) {
    }
}

IUnknown* NewValueObject() {
    return new (std::nothrow) ValueObject;
}

} // namespace standin
