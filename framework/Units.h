#pragma once
// Start-up and shut-down of the program's units in one explicit order (never the order of C++ static
// initialisation). The program registers its units in order before InitializeUnits(); FinalizeUnits()
// runs the framework's exit step first, then the finalisers of the initialised units in reverse, then the
// framework's own finaliser (which destroys the Application and the forms it owns) last, so unit finalisers
// run while forms still live.

#include <functional>
#include <string>

using TUnitProc = std::function<void()>;

// Adds a unit at the end of the order; a name already registered raises EInvalidOperation.
void RegisterUnit(const std::string& name, TUnitProc initialize, TUnitProc finalize);
bool UnitRegistered(const std::string& name);
// Runs the initialisers not run yet, in registration order. If one raises, the units initialised so far
// stay initialised (FinalizeUnits undoes them) and the exception propagates.
void InitializeUnits();
// The framework's exit step, finalisers of the initialised units in reverse order, then the framework finaliser, then the DLLs loaded
// for late binding are freed. An exception from a finaliser goes to the framework's exception hook and the
// rest still run. Afterwards the registry is empty.
void FinalizeUnits();
// The framework's own last step (the application module sets it: destroy Application).
void SetFrameworkFinalizer(TUnitProc finalize);
// The framework's own first step of the shut-down, while every unit still runs (the application module sets it:
// a closed application takes its windows off the screen).
void SetFrameworkExitStep(TUnitProc step);
