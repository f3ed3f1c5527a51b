#pragma once
// Named points the program passes on its way (a unit initialised, a form read, a skin applied), told to one
// listener: the benchmarks time the steps between them. Without a listener a milestone costs one test.
//
//   SetMilestoneListener([](const char* Step, const std::string& Subject) { ... });
//   ...
//   SetMilestoneListener(nullptr);

#include <functional>
#include <string>

using TMilestoneListener = std::function<void(const char* Step, const std::string& Subject)>;

// Sets the listener (empty: none) and returns the one it replaces.
TMilestoneListener SetMilestoneListener(TMilestoneListener Listener);
// Tells the listener, if there is one, that Step was reached (Subject: which unit, form or skin).
void Milestone(const char* Step, const std::string& Subject = std::string());
