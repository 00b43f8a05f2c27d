#pragma once

#include "tests/support/qt/FakeServices.h"
#include "windows/Registry.h"

namespace qel::testing {

// The program's windows over test doubles, fresh for each test: its own state, services and rules, with
// every window registered. Going away, it unloads whatever is still loaded.
struct ProgramUnderTest {
    ApplicationState state;
    FakeServices fakes;
    WindowRules rules;

    ProgramUnderTest() { RegisterWindows({state, rules, fakes.services}); }
    ~ProgramUnderTest() { rules.UnloadAll(); }
};

} // namespace qel::testing
