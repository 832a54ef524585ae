#!/usr/bin/env bash
# The edges of the process that are not a game's state: no display at all or
# one that cannot be reached (Pomlets and manual say so in one line and exit
# 1, touching no file), one that Qt cannot start on (status 1, no abort), a file-size limit of 0 with standard error a regular
# file while Qt writes (the game still shows its window), and the help viewer
# on its own X server killed or sent SIGTERM (it ends by itself, no crash).
#
# Usage: display_and_limits.sh <program folder>
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb or xdotool).
set -uo pipefail

program_dir=$(cd "$1" && pwd) || { echo "E2E FAILED: no program folder $1" >&2; exit 1; }
fail() {
    echo "E2E FAILED: $*" >&2
    [[ -n ${work:-} && -f $work/stderr.txt ]] && { echo "--- program output ---" >&2; tail -n 20 "$work/stderr.txt" >&2; }
    exit 1
}
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)."
        exit 77
    fi
done
for program in Pomlets manual; do
    [[ -x $program_dir/$program ]] || fail "no $program executable in $program_dir"
done

work=$(mktemp -d /tmp/pomlets-edges-XXXXXX)
source "$(dirname "$0")/x_session.sh"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do stop "$pid"; done
    [[ -n ${xvfb_pid:-} ]] && stop "$xvfb_pid"
    rm -rf "$work"
}
trap cleanup EXIT
make_program_copy "$program_dir" "$work"
cp "$program_dir/manual" "$work/"
unset QT_QPA_PLATFORM SDL_VIDEODRIVER WAYLAND_DISPLAY
export SDL_AUDIODRIVER=dummy

# A display number that no server answers: one with no socket.
free_display=""
for n in $(seq 700 799); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || { free_display=":$n"; break; }
done
[[ -n $free_display ]] || fail "no free display number"

# No display: one line of the program's own, status 1, no file made.
for program in Pomlets manual; do
    name=$program
    [[ $program == manual ]] && name="The Pomlets manual"
    for display in "" "$free_display"; do
        rm -f "$work/log.txt" "$work/Pomlets.lock"
        (cd "$work" && if [[ -z $display ]]; then unset DISPLAY; else export DISPLAY=$display; fi
         exec "./$program") >"$work/stdout.txt" 2>"$work/stderr.txt"
        status=$?
        if [[ -z $display ]]; then
            expected="$name needs a graphical display, and none is set (DISPLAY is empty)."
        else
            expected="$name needs a graphical display and could not reach \"$display\"."
        fi
        [[ $status -eq 1 ]] || fail "$program without a display ('$display') ended with status $status"
        [[ $(cat "$work/stderr.txt") == "$expected" ]] ||
            fail "$program without a display ('$display') said: $(cat "$work/stderr.txt")"
        [[ ! -e $work/log.txt && ! -e $work/Pomlets.lock ]] || fail "$program without a display made files"
    done
done
echo "note: no display is told in one line, status 1"

start_x_server "$work"

# The display answers, but Qt cannot start on it (here: a platform it has not):
# Qt's fatal message, then status 1 as with no display, not an abort, and no
# file made.
for program in Pomlets manual; do
    rm -f "$work/log.txt" "$work/Pomlets.lock"
    (cd "$work" && QT_QPA_PLATFORM=nosuchplatform exec "./$program") >"$work/stdout.txt" 2>"$work/stderr.txt"
    status=$?
    [[ $status -eq 1 ]] || fail "$program on a platform Qt cannot load ended with status $status"
    grep -q "platform plugin" "$work/stderr.txt" || fail "$program did not pass on Qt's reason: $(cat "$work/stderr.txt")"
    [[ ! -e $work/log.txt && ! -e $work/Pomlets.lock ]] || fail "$program on a platform Qt cannot load made files"
done
echo "note: a display Qt cannot start on ends the start with status 1"

# A file-size limit of 0 with Qt writing to a regular standard error from
# its first step on: the game comes as far as its message box, which tells
# of the limit; SIGTERM then ends it without an answer, status 1.
(cd "$work" && ulimit -f 0 && QT_QPA_PLATFORM=xcb QT_DEBUG_PLUGINS=1 exec ./Pomlets) >"$work/stderr.txt" 2>&1 &
game=$!
pids+=("$game")
box=$(timeout 60 xdotool search --sync --onlyvisible --pid "$game" 2>/dev/null | head -n 1)
kill -0 "$game" 2>/dev/null || { wait "$game"; fail "under a file-size limit the game ended with status $? before a window"; }
[[ -n $box ]] || fail "under a file-size limit no window appeared"
kill -TERM "$game"
wait "$game"
status=$?
pids=()
[[ $status -eq 1 ]] || fail "the start under a file-size limit ended with status $status on SIGTERM"
echo "note: under ulimit -f 0 the game shows its box and ends on SIGTERM"

# The help viewer: SIGTERM, then the X server killed. Each ends by itself.
for cause in TERM xserver; do
    (cd "$work" && QT_QPA_PLATFORM=xcb exec ./manual) >"$work/stderr.txt" 2>&1 &
    viewer=$!
    pids=("$viewer")
    timeout 60 xdotool search --sync --onlyvisible --pid "$viewer" >/dev/null 2>&1 || fail "the manual's window did not appear"
    if [[ $cause == xserver ]]; then
        kill -KILL "$xvfb_pid"
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    else
        kill -TERM "$viewer"
    fi
    ended=""
    for _ in $(seq 1 400); do
        kill -0 "$viewer" 2>/dev/null || { ended=1; break; }
        [[ $(awk '{print $3}' "/proc/$viewer/stat" 2>/dev/null) == Z ]] && { ended=1; break; }
        sleep 0.05
    done
    [[ -n $ended ]] || fail "the manual still runs 20 s after $cause"
    wait "$viewer"
    status=$?
    pids=()
    (( status <= 1 )) || fail "the manual ended with status $status after $cause"
    echo "note: the manual ended with status $status after $cause"
done
echo "E2E PASSED: no display is told plainly, a file-size limit does not kill the start, the manual ends by itself."
exit 0
