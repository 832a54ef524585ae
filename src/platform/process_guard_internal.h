// The request to leave, noted and forgotten without a signal: what a signal
// and the putting back of the program's state do, for whatever stands in for
// the system. Nothing outside src/platform includes it.
#pragma once

namespace pomlets {

// Notes the request as a signal would.
void noteLeaveRequest();
// Forgets the request.
void forgetLeaveRequest();

} // namespace pomlets
