// The one owner of every handle-like resource (a kernel handle, a GDI object, a registry key, a COM
// pointer...). It gives back what it holds when it goes out of scope, so every return path (and an
// exception) gives back what was taken; copying is deleted. A traits type says what is held and how:
//   Handle          the handle's type
//   None()          the value an empty owner keeps
//   Holds(h)        whether `h` is something to give back (some kinds have more than one "none")
//   Free(h)         gives it back; false when the system reports a failure
// Free may use data of the traits object, which the owner keeps beside the handle (a window's device
// context goes back to its window).
#pragma once

#include <windows.h>

template <class Traits>
class Owner : private Traits {
public:
    typedef typename Traits::Handle Handle;

    Owner() : h_(Traits::None()) {}
    explicit Owner(Handle h) : h_(h) {}
    Owner(Handle h, const Traits& traits) : Traits(traits), h_(h) {}
    ~Owner() { reset(); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Handle get() const { return h_; }
    Handle operator->() const { return h_; }  // for a handle that points to an object (a COM interface)
    bool valid() const { return Traits::Holds(h_); }
    explicit operator bool() const { return valid(); }
    // For out-parameters: what is held is given back first.
    Handle* put() { reset(); return &h_; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    // The handle is the caller's now.
    Handle release() { const Handle h = h_; h_ = Traits::None(); return h; }
    // Gives back what is held and takes `h`; false when giving back failed (true when nothing was held).
    bool reset(Handle h = Traits::None())
    {
        const bool freed = !valid() || Traits::Free(h_);
        h_ = h;
        return freed;
    }

private:
    Handle h_;
};

// The traits of most kinds: NULL is none.
template <class H>
struct NullIsNone {
    typedef H Handle;
    static H None() { return NULL; }
    static bool Holds(H h) { return h != NULL; }
};
