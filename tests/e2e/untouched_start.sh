#!/usr/bin/env bash
# The built Pomlets started on its own X server (Xvfb) and closed with
# Game > Quit, nothing changed in between: every file of init/ keeps its
# bytes, its inode and its time, and no file comes or goes there. Run twice:
# with init/ as the build made it, and with init/ read-only, where no message
# box may appear either (there is nothing to save). The superuser writes into
# a read-only folder, so when the test runs as root it runs the game as the
# user "nobody" (setpriv), over a scratch folder that user owns.
#
# Usage: untouched_start.sh <program folder>
# Exit status: 0 passed, 1 failed, 77 skipped.
set -uo pipefail

program_dir=$(cd "$1" && pwd) || { echo "E2E FAILED: no program folder $1" >&2; exit 1; }

skip() { echo "SKIPPED: $*"; exit 77; }
fail() {
    echo "E2E FAILED: $*" >&2
    [[ -n ${work:-} && -f $work/stderr.txt ]] && tail -n 20 "$work/stderr.txt" >&2
    exit 1
}

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed; this test needs a real X server."
done
[[ -x $program_dir/Pomlets ]] || fail "no Pomlets executable in $program_dir"

as_player=()
if [[ $(id -u) -eq 0 ]]; then
    if command -v setpriv >/dev/null 2>&1 && player_uid=$(id -u nobody 2>/dev/null); then
        player_gid=$(id -g nobody)
        as_player=(setpriv --reuid="$player_uid" --regid="$player_gid" --clear-groups)
        echo "note: running the game as the user nobody ($player_uid)"
    fi
fi

work=$(mktemp -d /tmp/pomlets-untouched-XXXXXX)
source "$(dirname "$0")/x_session.sh"
trap cleanup_session EXIT
prepare_player_session "$program_dir"

# Every entry of init/: name, inode, size, modification time to the
# nanosecond, mode, and the bytes' digest.
snapshot() {
    (cd "$work/init" && find . -mindepth 1 -printf '%p %i %s %T@ %m\n' | sort)
    (cd "$work/init" && find . -mindepth 1 -type f -exec sha256sum {} + | sort)
}

run_once() {  # <description>
    local what=$1 before after boxes
    before=$(snapshot)
    (cd "$work" && exec "${as_player[@]}" ./Pomlets) >"$work/stderr.txt" 2>&1 &
    game_pid=$!
    wait_main_window "$what"
    quit_from_menu "$what"
    boxes=$((start_boxes + quit_boxes))
    after=$(snapshot)
    [[ $after == "$before" ]] || fail "$what: init/ changed:
$(diff <(echo "$before") <(echo "$after"))"
    [[ $boxes -eq 0 ]] || fail "$what: $boxes message box(es) appeared where there was nothing to tell"
    grep -q "LOG CLOSED ON" "$work/log.txt" || fail "$what: the run log was not closed"
    echo "note: $what: init/ unchanged after a start and a quit, no message box"
}

run_once "init/ as built"
if [[ $(id -u) -ne 0 || ${#as_player[@]} -gt 0 ]]; then
    chmod 555 "$work/init"
    run_once "init/ read-only"
    chmod 755 "$work/init"
else
    echo "note: running as root without a user to run the game as: the read-only run is left out"
fi
echo "E2E PASSED: a start and a quit with nothing changed leave init/ as it was."
exit 0
