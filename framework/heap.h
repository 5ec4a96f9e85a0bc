// Owners of memory from the process heap. Running out of memory is a return value, never an
// exception; what is held goes back to the heap when its owner goes out of scope.
#pragma once

#include <windows.h>

#include <new>
#include <utility>

// A block from the process heap.
class HeapBlock {
public:
    explicit HeapBlock(SIZE_T size) : p_(Allocate(size)) {}
    ~HeapBlock() { reset(0); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    void* get() const { return p_; }
    explicit operator bool() const { return p_ != NULL; }
    // Gives the block back and takes a new one of `size` bytes (none for 0).
    void reset(SIZE_T size)
    {
        if (p_) ::HeapFree(::GetProcessHeap(), 0, p_);
        p_ = Allocate(size);
    }

private:
    static void* Allocate(SIZE_T size) { return size ? ::HeapAlloc(::GetProcessHeap(), 0, size) : NULL; }

    void* p_;
};

// An array of T on the process heap that grows on request. Running out of memory is a return value,
// never an exception: what cannot be had leaves the array as it was and gives false. Moving hands the
// elements over; copying is deleted.
template <class T>
class HeapArray {
public:
    HeapArray() : items_(NULL), size_(0), capacity_(0) {}
    ~HeapArray() { clear(); if (items_) ::HeapFree(::GetProcessHeap(), 0, items_); }
    HeapArray(HeapArray&& other) noexcept : items_(other.items_), size_(other.size_), capacity_(other.capacity_)
    {
        other.items_ = NULL;
        other.size_ = other.capacity_ = 0;
    }
    HeapArray& operator=(HeapArray&& other) noexcept { swap(other); return *this; }
    HeapArray(const HeapArray&) = delete;
    HeapArray& operator=(const HeapArray&) = delete;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() const { return items_; }
    T& operator[](size_t index) const { return items_[index]; }
    T* begin() const { return items_; }
    T* end() const { return items_ + size_; }
    T& back() const { return items_[size_ - 1]; }

    // Room for `count` elements in all, so that adding up to that many cannot fail.
    bool reserve(size_t count)
    {
        if (count <= capacity_) return true;
        if (count > static_cast<size_t>(-1) / sizeof(T)) return false;
        T* grown = static_cast<T*>(::HeapAlloc(::GetProcessHeap(), 0, count * sizeof(T)));
        if (!grown) return false;
        for (size_t i = 0; i < size_; ++i) {
            new (grown + i) T(std::move(items_[i]));
            items_[i].~T();
        }
        if (items_) ::HeapFree(::GetProcessHeap(), 0, items_);
        items_ = grown;
        capacity_ = count;
        return true;
    }
    // Exactly `count` elements: those added are value-initialised, those beyond are destroyed.
    bool resize(size_t count)
    {
        if (!reserve(count)) return false;
        while (size_ > count) pop();
        while (size_ < count) new (items_ + size_++) T();
        return true;
    }
    bool push(T item)
    {
        if (size_ == capacity_ && !reserve(size_ < 4 ? 4 : size_ + size_ / 2)) return false;
        new (items_ + size_++) T(std::move(item));
        return true;
    }
    void pop() { items_[--size_].~T(); }
    void clear() { while (size_) pop(); }
    void swap(HeapArray& other)
    {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    T* items_;
    size_t size_;
    size_t capacity_;
};

// One object on the process heap, made by make(); null when there was no memory for it. Moving hands
// it over; copying is deleted.
template <class T>
class HeapObject {
public:
    HeapObject() : p_(NULL) {}
    ~HeapObject() { reset(); }
    HeapObject(HeapObject&& other) noexcept : p_(other.p_) { other.p_ = NULL; }
    HeapObject& operator=(HeapObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = NULL;
        }
        return *this;
    }
    HeapObject(const HeapObject&) = delete;
    HeapObject& operator=(const HeapObject&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != NULL; }
    // A new object from `args` in place of the one held; false (and empty) without memory.
    template <class... Args>
    bool make(Args&&... args)
    {
        reset();
        void* memory = ::HeapAlloc(::GetProcessHeap(), 0, sizeof(T));
        if (memory) p_ = new (memory) T(std::forward<Args>(args)...);
        return p_ != NULL;
    }
    void reset()
    {
        if (!p_) return;
        p_->~T();
        ::HeapFree(::GetProcessHeap(), 0, p_);
        p_ = NULL;
    }

private:
    T* p_;
};
