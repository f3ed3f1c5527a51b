#pragma once
// Framework objects held by a test until the end of a scope; they are freed the framework's way (Free).
#include <memory>

#include "framework/System.h"

namespace testing_support {

struct Freer {
  void operator()(TObject* object) const {
    if (object) object->Free();
  }
};
template <class T> using Owned = std::unique_ptr<T, Freer>;

}  // namespace testing_support
