#!/usr/bin/env bash
# A Freestyle game under a window manager without a task bar (openbox): the
# player leaves the game with Alt+Tab, by minimising its window, or by giving
# another window the focus, and each time gets back to the paused game with a
# click or a key, in the program's own windows; P then plays on. At the end of
# the game the game window leaves the screen without ever showing in a frame
# of the window manager (its title bar, "Click to resume play").
#
# Usage: window_manager.sh <program folder> <e2e_screen_probe>
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb, xdotool or openbox).
set -uo pipefail

program_dir=$(cd "$1" && pwd) || { echo "E2E FAILED: no program folder $1" >&2; exit 1; }
probe=$2
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "E2E FAILED: $*" >&2
    [[ -n ${work:-} && -f $work/log.txt ]] && { echo "--- run log ---" >&2; tail -n 20 "$work/log.txt" >&2; }
    [[ -n ${work:-} && -f $work/stderr.txt ]] && { echo "--- program output ---" >&2; tail -n 20 "$work/stderr.txt" >&2; }
    exit 1
}
for tool in Xvfb xdotool openbox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)."
        exit 77
    fi
done
[[ -x $program_dir/Pomlets ]] || fail "no Pomlets executable in $program_dir"

work=$(mktemp -d /tmp/pomlets-wm-XXXXXX)
source "$here/x_session.sh"
source "$here/game_session.sh"
cleanup() {
    [[ -n ${watch_pid:-} ]] && stop "$watch_pid"
    [[ -n ${game_pid:-} ]] && stop "$game_pid"
    [[ -n ${wm_pid:-} ]] && stop "$wm_pid"
    [[ -n ${xvfb_pid:-} ]] && stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
make_program_copy "$program_dir" "$work"
start_x_server "$work"

# The window manager, its settings and caches kept in the scratch folder.
mkdir -p "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/home XDG_CACHE_HOME=$work/home openbox --sm-disable >"$work/openbox.txt" 2>&1 &
wm_pid=$!
for _ in $(seq 1 600); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    kill -0 "$wm_pid" 2>/dev/null || fail "openbox did not start: $(cat "$work/openbox.txt")"
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || fail "openbox did not start within 60 s"

start_game "$work"
find_main_window
play_freestyle
wait_log "$work" "play - entering main loop" || fail "the game did not start"
game_window=$(wait_window "Click to resume play" 30 visible) || fail "no game window on the screen"

# The frame around the game window, logged from the start of the game on.
"$probe" frames "$game_window" >"$work/frames.txt" 2>&1 &
watch_pid=$!

active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"; }
# Waits up to 60 s for a condition; false when it never holds.
within_60s() {
    for _ in $(seq 1 600); do
        "$@" && return 0
        alive "waiting for: $*"
        sleep 0.1
    done
    return 1
}
game_back() { active "$game_window" && viewable "$game_window"; }
game_gone() { ! active "$game_window"; }
# The field as the screen shows it: black while paused, the game's colours otherwise.
field_black() {
    local r g b
    read -r r g b < <("$probe" mean 112 140 1050 700)
    (( r + g + b < 30 ))
}
field_shown() { ! field_black; }

within_60s game_back || fail "the game window never had the focus"
within_60s field_shown || fail "the field never showed"

# Each way out, each way back, twice over.
ways_out=(alt-tab minimise focus)
ways_back=(key click-main click-game)
trials=0
for round in 1 2; do
    for out in "${ways_out[@]}"; do
        for back in "${ways_back[@]}"; do
            # A minimised game window has nothing to click on.
            [[ $out == minimise && $back == click-game ]] && continue
            case $out in
                alt-tab) xdotool key alt+Tab ;;
                minimise) xdotool windowminimize "$game_window" ;;
                focus) xdotool windowactivate "$main_window" 2>/dev/null || xdotool windowfocus "$main_window" ;;
            esac
            within_60s game_gone || fail "$out: the game kept the focus (round $round)"
            case $back in
                key) xdotool key space ;;
                click-main) xdotool mousemove --window "$main_window" 120 $((200 + menu_bar)) click 1 ;;
                click-game) xdotool mousemove 1270 1015 click 1 ;;
            esac
            within_60s game_back || fail "$out, then $back: the game did not come back (round $round)"
            within_60s field_black || fail "$out, then $back: the game came back unpaused (round $round)"
            xdotool key p
            within_60s field_shown || fail "$out, then $back: P did not resume the game (round $round)"
            trials=$((trials + 1))
            echo "note: $out, then $back: back to the paused game, P plays on"
        done
    done
done

# Escape ends the game; the window leaves the screen.
for _ in $(seq 1 40); do
    viewable "$game_window" || break
    xdotool key Escape
    sleep 0.5
done
viewable "$game_window" && fail "the game did not end on Escape"
alive "after the game"
# The game window is destroyed once the display is given back; its frame log
# then ends, and holds no moment with a title bar.
window_gone() { grep -q -x gone "$work/frames.txt"; }
within_60s window_gone || fail "the game window was not destroyed after the game: $(cat "$work/frames.txt")"
if grep -q decorated "$work/frames.txt"; then
    cat "$work/frames.txt" >&2
    fail "the game window showed in a frame with its title"
fi
echo "E2E PASSED: $trials times back to the paused game under openbox; the game window never showed in a frame."
exit 0
