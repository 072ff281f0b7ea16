#pragma once
// A value that one thread writes and another reads, one 32-bit store at a
// time. The engine's controls are set on whichever thread the host calls
// setParameter on while the audio thread reads them; relaxed ordering is all
// such a single value needs, and on every target it compiles to plain moves.
//
// Deliberately no compound operators: `x += y` on a shared value would be a
// read-modify-write that another thread can interleave. Read into a local,
// compute, store.

#include <atomic>

namespace sarnel {

template <typename T>
class TRelaxed {
 public:
  static_assert(std::atomic<T>::is_always_lock_free, "a shared value must be lock-free");

  constexpr TRelaxed(T initial = T{}) noexcept : value(initial) {}
  TRelaxed(const TRelaxed&) = delete;
  TRelaxed& operator=(const TRelaxed& other) noexcept {
    store(other.load());
    return *this;
  }

  // Any thread.
  T load() const noexcept { return value.load(std::memory_order_relaxed); }
  // Any thread.
  void store(T next) noexcept { value.store(next, std::memory_order_relaxed); }

  operator T() const noexcept { return load(); }
  TRelaxed& operator=(T next) noexcept {
    store(next);
    return *this;
  }

 private:
  std::atomic<T> value;
};

}  // namespace sarnel
