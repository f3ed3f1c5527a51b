#pragma once
// The program's units in their start-up order: the framework's forms, the PNG picture format, the
// port component, the About unit and the main unit. Finalised in reverse by FinalizeUnits().
void RegisterLoaderUnits();
