#include "fake_commdlg.h"

#include <algorithm>
#include <deque>

namespace {

struct State {
  std::deque<fakecc::Answer> script;
  std::vector<fakecc::Dialog> dialogs;
};

State& Current() {
  static State state;
  return state;
}

}  // namespace

namespace fakecc {

void Script(std::vector<Answer> answers) {
  Current().script.assign(answers.begin(), answers.end());
}
const std::vector<Dialog>& Dialogs() { return Current().dialogs; }
void Reset() { Current() = State{}; }

}  // namespace fakecc

BOOL ChooseColorA(LPCHOOSECOLORA request) {
  auto& state = Current();
  if (request->lStructSize != sizeof(CHOOSECOLORA) || request->lpCustColors == nullptr) {
    return FALSE;
  }
  fakecc::Dialog shown;
  shown.owner = request->hwndOwner;
  shown.initial = (request->Flags & CC_RGBINIT) != 0 ? request->rgbResult : 0;
  std::copy_n(request->lpCustColors, shown.customColors.size(), shown.customColors.begin());
  shown.plain = (request->Flags & ~CC_RGBINIT) == 0;
  state.dialogs.push_back(shown);

  if (state.script.empty()) return FALSE;
  const fakecc::Answer answer = state.script.front();
  state.script.pop_front();
  std::copy(answer.customColors.begin(), answer.customColors.end(), request->lpCustColors);
  if (answer.confirmed != FALSE) request->rgbResult = answer.colour;
  return answer.confirmed;
}
