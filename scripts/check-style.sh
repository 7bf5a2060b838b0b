#!/usr/bin/env bash
# Checks that the sources are as the house writes them: every C++ file
# formatted by clang-format with the project's .clang-format (a difference is
# an error; `clang-format -i FILE` fixes it), and every shell script clean
# under shellcheck (a check that does not apply is disabled on its line, with
# the reason). test.sh runs it first.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$ROOT"

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
shellcheck -x -P SCRIPTDIR scripts/*.sh bench/*.sh .ci/run
echo "style: $(git ls-files '*.cpp' '*.h' | wc -l) C++ files formatted, scripts clean under shellcheck"
