// Owns one reference to a GObject (GMime's streams, parsers and MIME objects): a copy takes a
// reference of its own, and the reference is dropped when its owner goes. No GLib header is
// needed to hold one; the types in use are instantiated in gobject_ref.cpp.
#pragma once

#include <utility>

namespace plumex {

template <typename T>
class GObjectRef {
 public:
  GObjectRef() = default;
  // Takes over the reference the caller holds (what a g_mime_..._new function returns).
  static GObjectRef Adopt(T* object) { return GObjectRef(object); }
  // Takes a reference of its own to an object that another owner keeps.
  static GObjectRef Share(T* object);

  GObjectRef(const GObjectRef& other);
  GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GObjectRef& operator=(GObjectRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~GObjectRef();

  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset() { *this = GObjectRef(); }

 private:
  explicit GObjectRef(T* object) : object_(object) {}
  T* object_ = nullptr;
};

}  // namespace plumex
