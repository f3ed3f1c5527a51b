#include "SkinTestOwners.h"

namespace skin_owners {
IMPLEMENT_CLASS(TTestSkinOwner)
IMPLEMENT_CLASS(TTestGraphicOwner)
}  // namespace skin_owners
