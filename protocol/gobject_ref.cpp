#include "protocol/gobject_ref.h"

#include <gmime/gmime.h>

namespace plumex {

template <typename T>
GObjectRef<T> GObjectRef<T>::Share(T* object) {
  if (object) g_object_ref(object);
  return GObjectRef(object);
}

template <typename T>
GObjectRef<T>::GObjectRef(const GObjectRef& other) : object_(other.object_) {
  if (object_) g_object_ref(object_);
}

template <typename T>
GObjectRef<T>::~GObjectRef() {
  if (object_) g_object_unref(object_);
}

template class GObjectRef<GMimeObject>;
template class GObjectRef<GMimeStream>;
template class GObjectRef<GMimeParser>;

}  // namespace plumex
