#!/usr/bin/env bash
# A Freestyle game on every screen depth Xvfb offers (8, 15, 16, 24 and 30
# bits a pixel), each on an X server of its own, side by side: the game
# starts, and its first frames on the screen, read back from the root window,
# show the field as the 24-bit screen shows it. Then Escape ends the game.
#
# Usage: screen_depths.sh <program folder> <e2e_screen_probe>
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb or xdotool).
set -uo pipefail

program_dir=$(cd "$1" && pwd) || { echo "E2E FAILED: no program folder $1" >&2; exit 1; }
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)."
        exit 77
    fi
done
[[ -x $program_dir/Pomlets ]] || { echo "E2E FAILED: no Pomlets executable in $program_dir" >&2; exit 1; }
top=$(mktemp -d /tmp/pomlets-depths-XXXXXX)
trap 'rm -rf "$top"' EXIT

# Parts of the 1280 x 1024 screen (the 1024 x 768 frame scaled by 1.25, 32
# rows of black above it) that the frame's overlay covers, the same in every
# game whichever theme plate it draws: the field's right border, the logo
# below the field, the score panel.
regions=("1178 130 16 760" "840 930 220 50" "100 60 220 50")

# Whether two mean colours ("r g b") differ by more than 24 in a channel.
differs() {
    local r g b R G B d
    read -r r g b <<<"$1"
    read -r R G B <<<"$2"
    for d in $((r - R)) $((g - G)) $((b - B)); do (( d > 24 || d < -24 )) && return 0; done
    return 1
}

# The names of the game's visible windows: a message box tells what went wrong.
window_names() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
        printf '"%s" ' "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
}

# One game at one depth; writes the mean colours of the regions, one line
# each, to <folder>/colours.txt. Runs in a subshell of its own.
play_at_depth() {  # <depth> <folder>
    local depth=$1 work=$2
    fail() {
        echo "depth $depth: $*" >"$work/failure.txt"
        [[ -f $work/log.txt ]] && tail -n 5 "$work/log.txt" >>"$work/failure.txt"
        [[ -f $work/stderr.txt ]] && tail -n 10 "$work/stderr.txt" >>"$work/failure.txt"
        exit 1
    }
    source "$here/x_session.sh"
    source "$here/game_session.sh"
    trap '[[ -n ${game_pid:-} ]] && stop "$game_pid"; [[ -n ${xvfb_pid:-} ]] && stop "$xvfb_pid"' EXIT
    make_program_copy "$program_dir" "$work"
    start_x_server "$work" "1280x1024x$depth"
    start_game "$work"
    find_main_window
    play_freestyle
    # The loading picture is on the screen while the first stage runs.
    wait_log "$work" "initVariables - erasing old variables" || fail "no loading screen: $(window_names)"
    local loading now _ region
    loading=$("$probe" mean ${regions[0]}) || fail "cannot read the screen"
    wait_log "$work" "play - entering main loop" || fail "no game started: $(window_names)"
    # The loop's frames replace it: the first on a background still black,
    # the next ones on the field's.
    field() { differs "$now" "$loading" && differs "$now" "0 0 0"; }
    for _ in $(seq 1 600); do
        now=$("$probe" mean ${regions[0]}) || fail "cannot read the screen"
        field && break
        alive "waiting for the field"
        sleep 0.1
    done
    field || fail "the field did not show within 60 s: the screen shows $now, the loading screen showed $loading"
    : >"$work/colours.txt"
    for region in "${regions[@]}"; do "$probe" mean $region >>"$work/colours.txt" || fail "cannot read the screen"; done
    echo "$loading" >"$work/loading.txt"
    "$probe" shot "$work/screen.png" 2>/dev/null
    # Escape ends the game, if it has not ended by itself meanwhile.
    local game_window
    if game_window=$(wait_window "Click to resume play" 1 visible); then
        xdotool windowfocus "$game_window" 2>/dev/null
        for _ in $(seq 1 20); do
            xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | grep -q -x -e "$game_window" || break
            xdotool key Escape
            sleep 0.5
        done
    fi
    alive "after the game"
    exit 0
}

depths=(8 15 16 24 30)
pids=()
for depth in "${depths[@]}"; do
    mkdir -p "$top/$depth"
    (play_at_depth "$depth" "$top/$depth") >"$top/$depth/output.txt" 2>&1 &
    pids+=($!)
done
failed=0
for i in "${!depths[@]}"; do
    wait "${pids[$i]}" || failed=1
done
for depth in "${depths[@]}"; do
    [[ -f $top/$depth/failure.txt ]] && { echo "E2E FAILED:" >&2; cat "$top/$depth/failure.txt" >&2; }
done
(( failed == 0 )) || exit 1

# Every depth shows what 24 bits show, within what its fewer colours allow:
# the mean of each region within 48 of each channel (an 8-bit screen holds a
# cube of six levels a channel).
mapfile -t reference <"$top/24/colours.txt"
for depth in "${depths[@]}"; do
    mapfile -t colours <"$top/$depth/colours.txt"
    echo "depth $depth: ${colours[*]}"
    for i in "${!regions[@]}"; do
        read -r r g b <<<"${colours[$i]}"
        read -r R G B <<<"${reference[$i]}"
        for d in $((r - R)) $((g - G)) $((b - B)); do
            if (( d > 48 || d < -48 )); then
                echo "E2E FAILED: at depth $depth the region ${regions[$i]} shows ${colours[$i]}, at 24 bits ${reference[$i]}" >&2
                exit 1
            fi
        done
    done
done
echo "E2E PASSED: a Freestyle game shows its field at every depth (${depths[*]})."
exit 0
