// No exception leaves the stand-in: every entry point and method runs its body through this.
#pragma once

#include "platform/platform.h"
#include "standin/Accounting.h"

#include <new>

namespace standin {

template <class Body> HRESULT Guarded(Body&& body) noexcept {
    CheckCalledBeforeDetach();
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace standin
