#pragma once
// A value read and written from more than one thread where each access stands
// alone (a parameter's value, the current program, the bypass flag): atomic
// without ordering, so a reader on another thread sees a whole old or new
// value, never a torn one, at the cost of a plain load or store. Copyable, so
// that objects holding one stay copyable.

#include <atomic>

template <class T>
class RelaxedAtomic
{
public:
  RelaxedAtomic(T initial = T()) : value(initial) {}
  RelaxedAtomic(const RelaxedAtomic& other) : value(other.load()) {}
  RelaxedAtomic& operator=(const RelaxedAtomic& other)
  {
    store(other.load());
    return *this;
  }
  RelaxedAtomic& operator=(T v)
  {
    store(v);
    return *this;
  }
  operator T() const { return load(); }

  T load() const { return value.load(std::memory_order_relaxed); }
  void store(T v) { value.store(v, std::memory_order_relaxed); }

private:
  std::atomic<T> value;
};
