// A pointer that one thread publishes and others read while it may change: every read sees a
// whole value, and what it points at was complete before it was published. It reads like a
// plain pointer; a reader that needs several fields of one entry takes one copy first.
#pragma once
#include <atomic>

template <typename T>
class AtomicPtr {
  public:
    AtomicPtr(T* p = nullptr) noexcept : m_p(p) {}
    AtomicPtr(const AtomicPtr& other) noexcept : m_p(other.get()) {}
    AtomicPtr& operator=(const AtomicPtr& other) noexcept { return *this = other.get(); }
    AtomicPtr& operator=(T* p) noexcept {
        m_p.store(p, std::memory_order_release);
        return *this;
    }

    T* get() const noexcept { return m_p.load(std::memory_order_acquire); }
    operator T*() const noexcept { return get(); }
    T* operator->() const noexcept { return get(); }

  private:
    std::atomic<T*> m_p;
};
