// Data Execution Prevention for the whole run of a shipped program.
#pragma once

namespace varnelo {

// 32-bit Windows XP SP3 gives a program DEP only when the program asks for it
// (its default policy ignores the exe's NX flag). Vista SP1 and later already
// apply the flag for good, so the call fails there and changes nothing; the
// function is XP SP3's, hence the look-up, and a 64-bit process always has DEP.
void TurnOnDep();

}  // namespace varnelo
