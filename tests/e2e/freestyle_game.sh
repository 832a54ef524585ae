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
work=$(mktemp -d /tmp/pomlets-e2e-XXXXXX)
source "$(dirname "$0")/x_session.sh"
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

[[ -z $(others) ]] || fail "a message box appeared instead of the game"
game_window=$(wait_window "Click to resume play" 30) || fail "the game window did not appear within 30 s of Play"
sleep 3  # the loading screen and the first frames
alive "during the game"
xdotool windowfocus --sync "$game_window" 2>/dev/null || xdotool windowfocus "$game_window"
# Each key is held a moment, as a player's finger would: the game reads the
# whole keyboard state when a key-down arrives.
tap() {
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.3
}
for key in Left Right Up Down Left Right; do tap "$key"; done
tap p  # pause
sleep 1
tap p  # resume
sleep 1
alive "after the pause"
# Escape ends the game; a key is not taken while paused or right after
# another, so it is pressed again until the game display is gone.
game_visible() { xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | grep -q -x -e "$game_window"; }
for attempt in $(seq 1 12); do
    game_visible || break
    tap Escape
    sleep 1
    game_visible || break
    if (( attempt % 4 == 0 )); then
        echo "note: Escape not taken yet (attempt $attempt); pressing P in case the game is paused"
        tap p
    fi
done
game_visible && fail "the game did not end on Escape"

# The high-score box: a second window named Pomlets, with the input focus.
score_box=""
for _ in $(seq 1 200); do
    alive "waiting for the high-score box"
    score_box=$(others)
    [[ -n $score_box ]] && break
    sleep 0.1
done
[[ -n $score_box ]] || fail "no high-score box appeared within 20 s of Escape"
sleep 0.5
xdotool windowfocus --sync "$score_box" 2>/dev/null || xdotool windowfocus "$score_box"
xdotool type --delay 50 "$player"
xdotool key Return
sleep 1

# Quit: Game > Quit from the menu bar.
xdotool mousemove --window "$main_window" 20 $((menu_bar / 2)) click 1
sleep 0.5
xdotool key Down Down Return
for _ in $(seq 1 200); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game_pid" 2>/dev/null; then fail "Pomlets did not end within 20 s of Game > Quit"; fi
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
