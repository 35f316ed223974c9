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

namespace {

struct Shell {
    void* object;
    void (*destroy)(void* object);
};

// Never destroyed: objects may be released by other libraries' static destructors at exit.
std::vector<Shell>& Shells() {
    static auto* shells = new std::vector<Shell>;
    return *shells;
}

} // namespace

void KeepShell(void* shell, void (*destroy)(void* shell)) {
    try {
        Shells().push_back({shell, destroy});
    } catch (...) {
        // Unreachable then, but still never freed: a later call on it stays harmless.
    }
}

std::size_t DropShells() {
    std::vector<Shell> shells;
    shells.swap(Shells());
    for (const Shell& shell : shells) {
        shell.destroy(shell.object);
    }
    return shells.size();
}

IUnknown* NewValueObject() {
    return new (std::nothrow) ValueObject;
}

} // namespace standin
