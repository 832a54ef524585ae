// One reset of the whole program for tests: every module's variables back to
// what they are when the program starts, so that no test leaves anything to
// the next one in the same process. Every test program runs it before and
// after each test (test_main.cpp); a fixture may run it again mid-test.
#pragma once

namespace pomlets::testing {

// The shared game state, the display objects and the game window, the music
// output, the main window and its secondary windows, the run log, the
// scrambler's key tables, the generator and its seeding clock, the tick count,
// the cursor, the keyboard state, the message-box and opener stand-ins, the
// pictures' description records, and the program folder (the built one).
void resetProgramState();

} // namespace pomlets::testing
