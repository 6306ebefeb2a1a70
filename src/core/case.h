#pragma once
// One case: the setup choices and the profile table. Everything the program computes, saves
// or reports starts from a Case.

#include "profile.h"
#include "setup.h"

namespace kvh::core {

/// The input of a run, as the main window holds it.
struct Case {
    SetupState setup;
    ProfileTable profile = ProfileTable::initial(setup.tempHeader(), setup.timeHeader());

    /// The unit choices also relabel the table's header; the numbers stay as they are.
    void selectTempUnit(int i);
    void selectTimeUnit(int i);

    bool operator==(const Case&) const = default;
};

} // namespace kvh::core
