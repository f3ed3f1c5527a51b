#include "framework/Milestones.h"

#include <utility>

namespace {
// Never destroyed: units finalising after static destruction may still pass a milestone.
TMilestoneListener& Listener() {
  static auto* listener = new TMilestoneListener;
  return *listener;
}
}  // namespace

TMilestoneListener SetMilestoneListener(TMilestoneListener listener) {
  std::swap(listener, Listener());
  return listener;
}

void Milestone(const char* step, const std::string& subject) {
  if (Listener()) Listener()(step, subject);
}
