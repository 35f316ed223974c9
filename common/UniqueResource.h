// The one owner of a handle that something must close: a module, a library, a COM interface,
// task-allocated text. Null is "nothing held": the destructor closes only a value it holds,
// and put() closes the old value before handing out the slot for a new one, so a second call
// through it cannot leak.
#pragma once

#include <utility>

namespace zekcommon {

// Handle is a pointer type; Close is the function that gives it back (its result, if any, is
// of no use to an owner that is letting go).
template <typename Handle, auto Close> class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Handle value) : value_(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    Handle get() const { return value_; }
    explicit operator bool() const { return value_ != nullptr; }

    // The slot for an out-parameter, emptied (and its value closed) first.
    Handle* put() {
        reset();
        return &value_;
    }
    // Gives the value up without closing it.
    Handle release() { return std::exchange(value_, nullptr); }
    // Closes the value held, if any, and holds the new one.
    void reset(Handle value = nullptr) {
        const Handle old = std::exchange(value_, value);
        if (old != nullptr) {
            static_cast<void>(Close(old));
        }
    }

private:
    Handle value_ = nullptr;
};

} // namespace zekcommon
