#include "fake_commdlg.h"

#include <deque>

namespace {

struct Dialog {
  std::deque<fakecc::Answer> script;
  std::vector<fakecc::Request> requests;
};

Dialog& State() {
  static Dialog dialog;
  return dialog;
}

}  // namespace

namespace fakecc {

void Script(std::vector<Answer> answers) { State().script.assign(answers.begin(), answers.end()); }
const std::vector<Request>& Requests() { return State().requests; }
void Reset() { State() = Dialog{}; }

}  // namespace fakecc

BOOL ChooseColorA(LPCHOOSECOLORA request) {
  auto& state = State();
  fakecc::Request seen{*request, {}};
  if (request->lpCustColors != nullptr) {
    for (std::size_t i = 0; i < seen.customColorsIn.size(); ++i) {
      seen.customColorsIn[i] = request->lpCustColors[i];
    }
  }
  state.requests.push_back(seen);
  if (state.script.empty()) return FALSE;
  const fakecc::Answer answer = state.script.front();
  state.script.pop_front();
  if (request->lpCustColors != nullptr) {
    for (std::size_t i = 0; i < answer.customColors.size(); ++i) {
      request->lpCustColors[i] = answer.customColors[i];
    }
  }
  if (answer.confirmed != FALSE) request->rgbResult = answer.colour;
  return answer.confirmed;
}
