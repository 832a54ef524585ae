#!/usr/bin/env bash
# One Freestyle game end to end: the built Pomlets on its own X server (Xvfb),
# driven by real X input events (xdotool). Start, click through to the mode
# choice, choose Freestyle, Play, press the arrows, pause and resume, end the
# game with Escape, type a name into the high-score box, quit; then check the
# run log, the saved high-score table and that no scratch file remains.
#
# Usage: freestyle_game.sh <program folder> <e2e_datafile tool>
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb or xdotool).
set -uo pipefail

program_dir=$(cd "$1" && pwd) || { echo "E2E FAILED: no program folder $1" >&2; exit 1; }
datafile_tool=$2
player="Xvfb Tester"

fail() {
    echo "E2E FAILED: $*" >&2
    if [[ -n ${work:-} && -f $work/log.txt ]]; then
        echo "--- run log ---" >&2
        cat "$work/log.txt" >&2
    fi
    if [[ -n ${work:-} && -f $work/stderr.txt ]]; then
        echo "--- program output ---" >&2
        tail -n 40 "$work/stderr.txt" >&2
    fi
    exit 1
}

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed; the end-to-end test needs a real X server (scripts/install-deps installs it)."
        exit 77
    fi
done
[[ -x $program_dir/Pomlets ]] || fail "no Pomlets executable in $program_dir"

# A scratch program folder, the large asset folders linked.
source "$(dirname "$0")/x_session.sh"
work=$(scratch_folder pomlets-e2e)
cleanup() {
    [[ -n ${game_pid:-} ]] && stop "$game_pid"
    [[ -n ${xvfb_pid:-} ]] && stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
make_program_copy "$program_dir" "$work"

# A high-score table of ten zero scores, so that any score of the short game enters it at the top.
scores_plain=$work/scores.txt
: >"$scores_plain"
for _ in 1 2 3 4 5 6 7 8 9 10; do printf '0,Nobody\r\n' >>"$scores_plain"; done
"$datafile_tool" encrypt "$scores_plain" "$work/init/6095" || fail "cannot write the high-score table"
rm -f "$scores_plain"

# Our own X server.
start_x_server "$work"

# The game, on that server, with silent audio.
source "$(dirname "$0")/game_session.sh"
start_game "$work"
find_main_window
play_freestyle

game_window=""
game_up() { game_window=$(window_named "Click to resume play"); }
await "the game window did not appear after Play" game_up
no_other || fail "a message box appeared besides the game"
await "the game did not enter its main loop" logged "play - entering main loop"
xdotool windowfocus --sync "$game_window" 2>/dev/null || xdotool windowfocus "$game_window"
# Each key is held a moment and let go a moment before the next, as a
# player's finger would: the game reads the whole keyboard state when a
# key-down arrives and takes a key at most once per 150 ms.
tap() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.3
}
for key in Left Right Up Down Left Right; do tap "$key"; done
tap p  # pause
tap p  # resume
kill -0 "$game_pid" 2>/dev/null || fail "Pomlets ended early (after the pause)"
# Escape ends the game. A key is not taken while paused or within 150 ms of
# another, and the game pauses itself when its display loses the focus, so
# Escape is pressed again when the game display stays up for some seconds,
# and every fourth time P too, in case the game is paused.
game_visible() { xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | grep -q -x -e "$game_window"; }
game_gone() { ! game_visible; }
gone_within() {  # <seconds>
    local tick
    for tick in $(seq 1 $(($1 * 10))); do
        game_gone && return 0
        sleep 0.1
    done
    return 1
}
for attempt in $(seq 1 12); do
    tap Escape
    gone_within 5 && break
    if (( attempt % 4 == 0 )); then
        echo "note: Escape not taken yet (attempt $attempt); pressing P in case the game is paused"
        tap p
    fi
done
game_visible && fail "the game did not end on Escape"

# The high-score box: a second window named Pomlets, with the input focus.
await "no high-score box appeared after Escape" has_other
score_box=$(others)
xdotool windowfocus --sync "$score_box" 2>/dev/null || xdotool windowfocus "$score_box"
xdotool type --delay 50 "$player"
xdotool key Return
await "the high-score box did not close" no_other

# Quit: Game > Quit from the menu bar.
xdotool mousemove --sync --window "$main_window" 20 $((menu_bar / 2)) click 1
await "the Game menu did not open" has_other
xdotool key Down Down Return
ended() { ! kill -0 "$game_pid" 2>/dev/null; }
for _ in $(seq 1 $((deadline * 10))); do
    ended && break
    sleep 0.1
done
ended || fail "Pomlets did not end within $deadline s of Game > Quit"
wait "$game_pid"
status=$?
game_pid=""
[[ $status -eq 0 ]] || fail "Pomlets ended with status $status"

# The run log: its lines in order, without their time stamps.
[[ -f $work/log.txt ]] || fail "no run log"
mapfile -t lines < <(tr -d '\r' <"$work/log.txt" | sed -E 's/^(   )?[^ ].* :: //')
expected=(
    "initDX - getting screen resolution"
    "initDX - initializing directdraw"
    "initDX - setting up the primary surface"
    "initDX - setting up the back buffer"
    "initDX - test flipping..."
    "initDX - setting up directinput"
    "initDX - setting up the keyboard"
    "initDX - setting up the mouse"
    "initDX - setting up the source color key"
    "initDX - setting up sound system"
    "initVariables - erasing old variables"
    "initVariables - resetting counters"
    "play - initializing variables"
    "play - entering main loop"
    "destroy - shutting down directx"
)
[[ ${lines[0]:-} == "LOG OPENED ON "* ]] || fail "the log's first line is not the opening line: '${lines[0]:-}'"
last=$((${#lines[@]} - 1))
[[ ${lines[$last]} == "LOG CLOSED ON "* ]] || fail "the log's last line is not the closing line: '${lines[$last]}'"
middle=("${lines[@]:1:$((${#lines[@]} - 2))}")
if [[ "${middle[*]}" != "${expected[*]}" ]]; then
    printf 'expected:\n' >&2; printf '  %s\n' "${expected[@]}" >&2
    printf 'found:\n' >&2; printf '  %s\n' "${middle[@]}" >&2
    fail "the run log's lines differ"
fi
grep -q "^   [^ ].* :: initDX - getting screen resolution" <(tr -d '\r' <"$work/log.txt") ||
    fail "the initDX lines are not indented by three blanks"

# The new high score at the top of the saved table.
"$datafile_tool" decrypt "$work/init/6095" "$work/scores.txt" || fail "cannot read the saved high-score table"
first=$(head -n 1 "$work/scores.txt" | tr -d '\r')
[[ $first == *"$player"* ]] || fail "the saved table does not start with the new name: '$first'"
[[ $(wc -l <"$work/scores.txt") -eq 10 ]] || fail "the saved table does not hold ten entries"
grep -q "Nobody" "$work/scores.txt" || fail "the older entries are gone from the table"

[[ ! -e $work/temp ]] || fail "the scratch file \\temp remains in the program folder"
echo "E2E PASSED: the game ran, the log holds its lines in order, '$first' tops the high scores."
exit 0
