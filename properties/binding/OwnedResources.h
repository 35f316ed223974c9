// Owners of what the property system hands out: COM interfaces and task-allocated text.
// A destructor releases only a held value; put() releases the old value before handing out
// the slot for a new one, so a second call through it cannot leak.
#pragma once

#include "platform/platform.h"

#include <cstring>
#include <utility>

namespace zekextender {

// One reference to a COM interface.
template <typename Interface> class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer(std::exchange(other.pointer, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer = std::exchange(other.pointer, nullptr);
        }
        return *this;
    }

    Interface* get() const { return pointer; }
    Interface* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    Interface** put() {
        reset();
        return &pointer;
    }
    // The slot as the void** of the functions that take an interface identifier.
    void** put_void() { return reinterpret_cast<void**>(put()); }

    void reset() {
        if (pointer != nullptr) {
            std::exchange(pointer, nullptr)->Release();
        }
    }

private:
    Interface* pointer = nullptr;
};

// Text allocated with the COM task allocator, freed with CoTaskMemFree.
class TaskText {
public:
    TaskText() = default;
    ~TaskText() { reset(); }
    TaskText(const TaskText&) = delete;
    TaskText& operator=(const TaskText&) = delete;

    WCHAR* get() const { return text; }
    WCHAR** put() {
        reset();
        return &text;
    }
    // A copy of the text; a null pointer reads as empty.
    WString str() const { return text != nullptr ? WString(text) : WString(); }

    void reset() {
        if (text != nullptr) {
            CoTaskMemFree(std::exchange(text, nullptr));
        }
    }

private:
    WCHAR* text = nullptr;
};

} // namespace zekextender

namespace zekextender {

// A PROPVARIANT that starts zeroed (VT_EMPTY) and is cleared, through the bound property
// system, when it is destroyed.
class PropVariantValue {
public:
    PropVariantValue() { std::memset(&value, 0, sizeof value); }
    ~PropVariantValue() { clear(); }
    PropVariantValue(const PropVariantValue&) = delete;
    PropVariantValue& operator=(const PropVariantValue&) = delete;

    PROPVARIANT* put() {
        clear();
        return &value;
    }
    const PROPVARIANT& get() const { return value; }

    void clear();

private:
    PROPVARIANT value;
};

} // namespace zekextender
