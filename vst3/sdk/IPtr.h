// Counted interface pointers: IPtr holds one reference to an object and
// releases it when it goes; FUnknownPtr obtains an interface by queryInterface.
#pragma once

#include "vst3/sdk/FUnknown.h"

#include <utility>

namespace Steinberg {

template <class I>
class IPtr {
public:
  IPtr() = default;
  // Takes a new reference on `ptr`.
  IPtr(I* ptr) : ptr_(ptr) {
    if (ptr_)
      ptr_->addRef();
  }
  IPtr(const IPtr& other) : IPtr(other.ptr_) {}
  IPtr(IPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ~IPtr() { reset(); }

  IPtr& operator=(IPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  // Wraps a pointer whose reference the caller already owns (a freshly
  // created object, or an out-parameter of queryInterface/createInstance).
  static IPtr adopt(I* ptr) {
    IPtr result;
    result.ptr_ = ptr;
    return result;
  }

  void reset() {
    if (ptr_)
      std::exchange(ptr_, nullptr)->release();
  }

  I* get() const { return ptr_; }
  I* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  bool operator==(const I* other) const { return ptr_ == other; }
  bool operator!=(const I* other) const { return ptr_ != other; }

private:
  I* ptr_ = nullptr;
};

// Asks `unknown` for interface I; empty when it is null or does not answer.
template <class I>
class FUnknownPtr : public IPtr<I> {
public:
  explicit FUnknownPtr(FUnknown* unknown) {
    void* answer = nullptr;
    if (unknown && unknown->queryInterface(I::iid, &answer) == kResultOk && answer)
      IPtr<I>::operator=(IPtr<I>::adopt(static_cast<I*>(answer)));
  }
};

} // namespace Steinberg
