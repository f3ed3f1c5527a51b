// Published properties reached through dotted paths of object properties.
#include "framework/TypInfo.h"

TPropRef FindPropPath(TObject* obj, const std::string& path) {
  TObject* target = obj;
  size_t start = 0;
  for (;;) {
    if (!target) return {};
    const size_t dot = path.find('.', start);
    const std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    const TPropInfo* p = GetPropInfo(target, part);
    if (!p) return {};
    if (dot == std::string::npos) return TPropRef{target, p};
    if (p->kind != TPropKind::Object) return {};
    target = p->getObj(target);
    start = dot + 1;
  }
}
