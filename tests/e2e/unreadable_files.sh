#!/usr/bin/env bash
# Each of the player's three files made unreadable (mode 000) in turn, the
# built Pomlets started on its own X server (Xvfb) as an ordinary user, every
# message box answered, Game > Quit: the file must be byte for byte the same
# and keep its mode. The superuser reads any file, so when the test runs as
# root it runs the game as the user "nobody" (setpriv), over a scratch folder
# that user owns; it is skipped, saying why, where it cannot drop privileges.
#
# Usage: unreadable_files.sh <program folder>
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
    command -v setpriv >/dev/null 2>&1 ||
        skip "running as root without setpriv: the superuser reads a file of mode 000, so the test cannot show anything."
    player_uid=$(id -u nobody 2>/dev/null) || skip "running as root and there is no user \"nobody\" to run the game as."
    player_gid=$(id -g nobody)
    as_player=(setpriv --reuid="$player_uid" --regid="$player_gid" --clear-groups)
    echo "note: running the game as the user nobody ($player_uid)"
fi

source "$(dirname "$0")/x_session.sh"
work=$(scratch_folder pomlets-unreadable)
trap cleanup_session EXIT
prepare_player_session "$program_dir"

run_once() {  # <relative file>
    local file=$1 before mode_before
    before=$(sha256sum <"$work/$file")
    chmod 000 "$work/$file"
    mode_before=$(stat -c %a "$work/$file")
    (cd "$work" && exec "${as_player[@]}" ./Pomlets) >"$work/stderr.txt" 2>&1 &
    game_pid=$!
    # Every message box of the start is answered until the main window is
    # the only one left; a box at exit is answered too (and fails the checks
    # below only if the file changed).
    wait_main_window "$file"
    quit_from_menu "$file"
    [[ $(stat -c %a "$work/$file") == "$mode_before" ]] || fail "$file: its mode changed to $(stat -c %a "$work/$file")"
    chmod 644 "$work/$file"
    [[ $(sha256sum <"$work/$file") == "$before" ]] || fail "$file: its bytes changed"
    [[ ! -e $work/$file.damaged ]] || fail "$file: a copy was kept of a file that was never read"
    echo "note: $file at mode 000: unchanged after start and quit ($start_boxes message box(es) answered)"
}

for file in init/6095 init/6702 init/6537; do run_once "$file"; done
echo "E2E PASSED: each player file at mode 000 kept its bytes and its mode through a start and a quit."
exit 0
