#include "base/dep_policy.h"

#include "base/system_library.h"

namespace varnelo {

void TurnOnDep() {
#ifndef _WIN64
  using SetProcessDepPolicyFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kDepEnable = 0x00000001;  // PROCESS_DEP_ENABLE
  if (const auto turnOn =
          SystemFunctionAs<SetProcessDepPolicyFn>(L"kernel32.dll", "SetProcessDEPPolicy")) {
    turnOn(kDepEnable);
  }
#endif
}

}  // namespace varnelo
