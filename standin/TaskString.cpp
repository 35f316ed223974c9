#include "standin/TaskMemory.h"

#include <cstring>

namespace standin {

WCHAR* TaskString(const WString& text) {
    auto* copy = static_cast<WCHAR*>(TaskAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    }
    return copy;
}

} // namespace standin
