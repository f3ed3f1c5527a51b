// Framework objects held for a scope: freed the framework's way (Free) however the scope is left.
#pragma once
#include <memory>

struct TFreeObject {
  template <class T> void operator()(T* Obj) const { Obj->Free(); }
};
template <class T> using TFreeHolder = std::unique_ptr<T, TFreeObject>;
