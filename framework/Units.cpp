#include "framework/Units.h"

#include <vector>

#include "framework/LateBinding.h"
#include "framework/Milestones.h"
#include "framework/SysUtils.h"

namespace {
struct Unit {
  std::string name;
  TUnitProc initialize;
  TUnitProc finalize;
  bool initialized = false;
};
// Never destroyed: finalisation may run from code that outlives static destruction.
std::vector<Unit>& Units() {
  static auto* units = new std::vector<Unit>;
  return *units;
}
TUnitProc& FrameworkFinalizer() {
  static auto* f = new TUnitProc;
  return *f;
}
TUnitProc& FrameworkExitStep() {
  static auto* f = new TUnitProc;
  return *f;
}
// Runs a framework step once, its exception going to the framework's hook.
void RunFrameworkStep(TUnitProc& Step) {
  TUnitProc step;
  step.swap(Step);
  if (!step) return;
  try {
    step();
  } catch (...) {
    HandleCurrentException();
  }
}
}  // namespace

void RegisterUnit(const std::string& name, TUnitProc initialize, TUnitProc finalize) {
  if (UnitRegistered(name)) throw EInvalidOperation(Format("Unit %s registered twice", {name}));
  Units().push_back(Unit{name, std::move(initialize), std::move(finalize), false});
}

bool UnitRegistered(const std::string& name) {
  for (const Unit& u : Units())
    if (u.name == name) return true;
  return false;
}

void InitializeUnits() {
  // By index: an initialiser may register further units, which then run in turn.
  for (size_t i = 0; i < Units().size(); ++i) {
    if (Units()[i].initialized) continue;
    TUnitProc init = Units()[i].initialize;
    if (init) init();
    Units()[i].initialized = true;
    Milestone("unit", Units()[i].name);
  }
}

void FinalizeUnits() {
  RunFrameworkStep(FrameworkExitStep());
  std::vector<Unit> units;
  units.swap(Units());
  for (size_t i = units.size(); i-- > 0;) {
    if (!units[i].initialized || !units[i].finalize) continue;
    try {
      units[i].finalize();
    } catch (...) {
      HandleCurrentException();
    }
  }
  TUnitProc last;
  last.swap(FrameworkFinalizer());
  if (last) {
    try {
      last();
    } catch (...) {
      HandleCurrentException();
    }
  }
  // Last: the forms freed above may still have called late-bound entries.
  FreeLateBoundLibraries();
}

void SetFrameworkFinalizer(TUnitProc finalize) { FrameworkFinalizer() = std::move(finalize); }

void SetFrameworkExitStep(TUnitProc step) { FrameworkExitStep() = std::move(step); }
