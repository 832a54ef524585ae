#!/usr/bin/env bash
# The game's headers declare what the game calls: none holds a declaration
# marked as one for the tests ("// Tests: ..."). What tests need of the
# platform they reach through their own port (tests/support/platform_port.h).
#
# Usage: test_hooks.sh <source root>
set -uo pipefail
root=${1:?usage: test_hooks.sh <source root>}
[[ -d $root/src ]] || { echo "no $root/src" >&2; exit 2; }
if found=$(grep -rnE '//[[:space:]]*Tests:' "$root/src" --include='*.h'); then
    echo "declarations for the tests in the game's headers:" >&2
    echo "$found" >&2
    exit 1
fi
echo "no declarations for the tests in the game's headers"
