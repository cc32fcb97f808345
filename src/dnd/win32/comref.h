// Owners of a COM reference, a global memory block and a lock on one; each lets go
// of what it holds when it leaves scope.
#pragma once

#include <windows.h>

template <class T>
class com_ref {
 public:
  com_ref() = default;
  explicit com_ref(T* p) : p_(p) {}  // takes over the caller's reference
  com_ref(const com_ref&) = delete;
  com_ref& operator=(const com_ref&) = delete;
  com_ref(com_ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  com_ref& operator=(com_ref&& o) noexcept {
    if (this != &o) reset(o.detach());
    return *this;
  }
  ~com_ref() { reset(); }

  void reset(T* p = nullptr) {
    T* old = p_;
    p_ = p;
    if (old) old->Release();
  }
  // A new reference of its own to p.
  void share(T* p) {
    if (p) p->AddRef();
    reset(p);
  }
  T* detach() {
    T* p = p_;
    p_ = nullptr;
    return p;
  }
  T** put() {
    reset();
    return &p_;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

class hglobal_ref {
 public:
  explicit hglobal_ref(HGLOBAL h = nullptr) : h_(h) {}
  hglobal_ref(const hglobal_ref&) = delete;
  hglobal_ref& operator=(const hglobal_ref&) = delete;
  ~hglobal_ref() {
    if (h_) GlobalFree(h_);
  }
  HGLOBAL get() const { return h_; }
  HGLOBAL detach() {
    HGLOBAL h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HGLOBAL h_;
};

// Logs "GlobalLock() failed [%p]." and "GlobalUnlock() failed [%p]." where they happen.
class global_lock {
 public:
  explicit global_lock(HGLOBAL h);
  global_lock(const global_lock&) = delete;
  global_lock& operator=(const global_lock&) = delete;
  ~global_lock();
  void* get() const { return p_; }
  SIZE_T size() const { return p_ ? GlobalSize(h_) : 0; }

 private:
  HGLOBAL h_;
  void* p_;
};
