#!/usr/bin/env bash
# The mutation score of the native tests: tools/mutate.sh [N] [seed] seeds N small faults (60 by
# default, from seed 1) into the platform-free library, one at a time in a scratch copy of the
# repository, and runs the native tier against each. --list prints the sample without running it.
set -euo pipefail
cd "$(dirname "$0")/.."
exec /usr/bin/python3 tools/mutate.py "$@"
