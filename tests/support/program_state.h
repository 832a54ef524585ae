// One reset of the whole program for tests: every module's variables back to
// what they are when the program starts, so that no test leaves anything to
// the next one in the same process. Every test program runs it before and
// after each test (test_main.cpp); a fixture may run it again mid-test.
#pragma once

namespace pomlets::testing {

// Every variable of the program back to its start value, with what it holds
// given back (platform/start_values.h), the program folder the built one, and
// the sounds watched afresh (sound_watch.h).
void resetProgramState();

} // namespace pomlets::testing
