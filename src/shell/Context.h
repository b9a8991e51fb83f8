#pragma once

#include "Forms.h"
#include "Resources.h"
#include "data/ProgramState.h"

class Ui;

// What every window works with: the program-wide state, the Ui, and the other windows.
class Context {
public:
    explicit Context(Ui& userInterface) : ui(userInterface), forms(*this) { InitResources(); }

    ProgramState state;
    Ui& ui;
    Forms forms;  // declared last: windows go before the state they use
};
