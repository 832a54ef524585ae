#!/usr/bin/env bash
# Every state of the game x every way the surroundings can end it: the built
# Pomlets, each run on an X server of its own (Xvfb), brought into a state by
# real X input (xdotool), then one cause: the X server killed, the top window's
# X client killed, the main window's X client killed, SIGTERM, SIGHUP, SIGINT.
# After each: the program ended by itself (no spinning: its CPU time is read),
# with its own exit status (no crash, no abort, no death by signal), its log
# closed, the high-score table and the profile whole and saved after the cause
# (as the exit steps save them), no scratch file left, the folder's lock free.
# The runs go side by side.
#
# Usage: leaving_matrix.sh <program folder> <e2e_datafile tool> [state ...]
# States: main panel0 panel1 panel2 panel3 panel4 panel5 panel6 msgbox namebox
#         loading freestyle paused arcade; all of them by default.
# POMLETS_E2E_JOBS sets how many runs go at once (default 6).
# Exit status: 0 passed, 1 failed, 77 skipped (no Xvfb or xdotool).
set -uo pipefail

program_dir=$(cd "$1" && pwd) || { echo "E2E FAILED: no program folder $1" >&2; exit 1; }
datafile_tool=$2
shift 2
states=("$@")
(( ${#states[@]} )) || states=(main panel0 panel1 panel2 panel3 panel4 panel5 panel6 msgbox namebox loading
                              freestyle paused arcade)
causes=(xserver topclient mainclient TERM HUP INT)
jobs_at_once=${POMLETS_E2E_JOBS:-6}
# Generous: the machine running the tests may be slow and busy, and the
# program built with the sanitizers is slower still. A process that spins is
# caught all the same: it never ends, and its CPU time shows it.
end_deadline=60

python=$(command -v /usr/bin/python3 || command -v python3)
for tool in Xvfb xdotool flock python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)."
        exit 77
    fi
done
[[ -x $program_dir/Pomlets ]] || { echo "E2E FAILED: no Pomlets executable in $program_dir" >&2; exit 1; }

results=$(mktemp -d /tmp/pomlets-leaving-XXXXXX)
trap 'rm -rf "$results"' EXIT

# Stops the process (SIGSTOP) as soon as the file holds the line: the file's
# changes are watched, not polled. Fails when the process ends first or after
# a minute.
hold_at_line() {  # <file> <line text> <pid>
    "$python" - "$@" <<'PYTHON'
import ctypes, os, select, signal, sys, time
path, text, pid = sys.argv[1], sys.argv[2].encode(), int(sys.argv[3])
libc = ctypes.CDLL(None, use_errno=True)
fd = libc.inotify_init1(os.O_NONBLOCK)
folder = os.path.dirname(path) or "."
libc.inotify_add_watch(fd, folder.encode(), 0x2 | 0x100)  # IN_MODIFY | IN_CREATE
deadline = time.monotonic() + 60
while time.monotonic() < deadline:
    try:
        with open(path, "rb") as f:
            if text in f.read():
                os.kill(pid, signal.SIGSTOP)
                sys.exit(0)
    except FileNotFoundError:
        pass
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        sys.exit(1)
    select.select([fd], [], [], 0.5)
    try:
        os.read(fd, 65536)
    except BlockingIOError:
        pass
sys.exit(1)
PYTHON
}

# One run: prints one line "state cause outcome details" into $results.
run_case() {  # <state> <cause>
    # Globals of the run's own subshell, for its exit trap.
    local state=$1 cause=$2
    game_pid="" xvfb_pid="" main_window="" menu_bar=0
    work=$(mktemp -d /tmp/pomlets-leave-XXXXXX)
    local out=$results/$state.$cause
    # Whether the cause has come: a failure before it is the run's failure to
    # reach its state ("SETUP"), which is tried again; one after it is the
    # program's.
    caused=""
    fail() {
        local outcome=SETUP
        [[ -n $caused ]] && outcome=FAILED
        echo "$state $cause $outcome $*" >"$out"
        {
            echo "--- $state $cause: $* ---"
            [[ -f $work/log.txt ]] && tail -n 5 "$work/log.txt"
            [[ -f $work/stderr.txt ]] && tail -n 5 "$work/stderr.txt"
        } >"$out.why" 2>/dev/null
        exit 1
    }
    source "$(dirname "$0")/x_session.sh"
    cleanup() {
        [[ -n $game_pid ]] && { kill -CONT "$game_pid" 2>/dev/null; stop "$game_pid"; }
        [[ -n $xvfb_pid ]] && stop "$xvfb_pid"
        rm -rf "$work"
    }
    trap cleanup EXIT
    make_program_copy "$program_dir" "$work"
    # Ten zero scores: any score of a short game enters the table.
    local plain=$work/scores.txt
    : >"$plain"
    for _ in 1 2 3 4 5 6 7 8 9 10; do printf '0,Nobody\r\n' >>"$plain"; done
    "$datafile_tool" encrypt "$plain" "$work/init/6095" || fail "cannot write the high-score table"
    rm -f "$plain"
    start_x_server "$work"
    unset QT_QPA_PLATFORM SDL_VIDEODRIVER
    export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
    # A job of a script starts with SIGINT ignored; the game gets it as from a terminal.
    (cd "$work" && exec env --default-signal=INT ./Pomlets) >"$work/stderr.txt" 2>&1 &
    game_pid=$!

    alive() { [[ -e /proc/$game_pid ]] && [[ $(awk '{print $3}' "/proc/$game_pid/stat" 2>/dev/null) != Z ]]; }
    # Its CPU time in ticks, user and system; the last one read once it is gone.
    ticks_now() {
        local t
        t=$(awk '{print $14 + $15}' "/proc/$game_pid/stat" 2>/dev/null) && [[ -n $t ]] && last_ticks=$t
        echo "$last_ticks"
    }
    # The first window of the game with that exact name (visible ones only
    # when a third argument is given); its id.
    wait_window() {
        local name=$1 seconds=$2 only=${3:+--onlyvisible} id
        for _ in $(seq 1 $((seconds * 10))); do
            for id in $(xdotool search $only --pid "$game_pid" 2>/dev/null); do
                [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$name" ]] && { echo "$id"; return 0; }
            done
            alive || return 1
            sleep 0.1
        done
        return 1
    }
    # A visible window of the game other than the main window and the game
    # display: a drop-down list, a menu, a message box, the input box.
    others() {
        local id
        for id in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
            [[ $id == "$main_window" ]] && continue
            [[ $(xdotool getwindowname "$id" 2>/dev/null) == "Click to resume play" ]] && continue
            echo "$id"
        done | tail -n 1
    }
    wait_other() {  # [seconds]: waits for one of those windows; prints its id
        local id
        for _ in $(seq 1 $((${1:-20} * 10))); do
            id=$(others)
            [[ -n $id ]] && { echo "$id"; return 0; }
            alive || return 1
            sleep 0.1
        done
        return 1
    }
    wait_no_other() {
        for _ in $(seq 1 200); do
            [[ -z $(others) ]] && return 0
            sleep 0.1
        done
        return 1
    }
    wait_log() {  # <line text> [seconds]
        for _ in $(seq 1 $((${2:-60} * 10))); do
            grep -q -- "$1" "$work/log.txt" 2>/dev/null && return 0
            alive || return 1
            sleep 0.1
        done
        return 1
    }
    click_client() { xdotool mousemove --sync --window "$main_window" "$1" $(($2 + menu_bar)) click 1; }
    # A menu of the menu bar (0 Game, 1 Options, 2 View) and its nth item.
    menu_item() {  # <menu> <item>
        local popup="" i
        for _ in 1 2 3 4 5; do
            xdotool mousemove --window "$main_window" 20 $((menu_bar / 2)) click 1
            popup=$(wait_other 5) && break
        done
        [[ -n $popup ]] || fail "the Game menu did not open"
        for ((i = 0; i < $1; i++)); do xdotool key Right; done
        for ((i = 0; i < $2; i++)); do xdotool key Down; done
        xdotool key Return
        wait_no_other || fail "the menu stayed open"
    }
    # Chooses the nth entry (0, 1 or 2) of the mode list on panel 0.
    choose_mode() {
        local popup=""
        for _ in 1 2 3 4 5 6; do
            click_client 120 50
            popup=$(wait_other 5) && break
        done
        [[ -n $popup ]] || fail "the mode list did not drop down"
        # The list may still be settling where it drops down: its place is
        # read again and the entry clicked again while it stays open.
        local attempt
        for attempt in 1 2 3; do
            eval "$(xdotool getwindowgeometry --shell "$popup" | sed 's/^/popup_/')"
            xdotool mousemove --sync $((popup_X + popup_WIDTH / 2)) $((popup_Y + popup_HEIGHT * (2 * $1 + 1) / 6)) click 1
            wait_no_other && return 0
        done
        fail "the mode list stayed open"
    }
    key_to_game() {  # <key>: one key-down, held a moment, to the game display
        xdotool windowfocus --sync "$game_window" 2>/dev/null || xdotool windowfocus "$game_window" 2>/dev/null
        xdotool keydown "$1"
        sleep 0.15
        xdotool keyup "$1"
    }
    start_game() {  # <mode entry>: Play from panel 0; sets game_window
        menu_item 0 1
        choose_mode "$1"
        # An Arcade level: the first entry of the level list.
        (( $1 == 1 )) && click_client 120 176
        click_client 188 320
    }

    main_window=$(wait_window Pomlets 60 visible) || fail "no main window"
    wait_log "LOG OPENED ON" 30 || fail "no run log"
    local height
    read -r height < <(xdotool getwindowgeometry --shell "$main_window" | awk -F= '/HEIGHT/{print $2}')
    menu_bar=$((height - 345))
    local top=$main_window game_window=""
    case $state in
    main) ;;
    panel0) menu_item 0 1 ;;
    panel1) menu_item 2 1 ;;
    panel2) menu_item 2 3 ;;
    panel3) menu_item 1 1 ;;
    panel4) menu_item 1 2 ;;
    panel5) menu_item 1 3 ;;
    panel6) menu_item 2 2 ;;
    msgbox)
        menu_item 0 1
        click_client 188 320  # Play with no mode chosen
        top=$(wait_other) || fail "no message box"
        ;;
    loading)
        # Held while the pictures and sounds load: the program is stopped
        # there the moment the log tells that they load.
        hold_at_line "$work/log.txt" "initVariables - erasing old variables" "$game_pid" &
        local holder=$!
        start_game 0
        wait "$holder" || fail "the game did not start loading"
        grep -q "play - entering main loop" "$work/log.txt" && { kill -CONT "$game_pid"; fail "the loading screen passed before it could be held"; }
        grep -q "initVariables - erasing old variables" "$work/log.txt" || fail "the game did not start loading"
        game_window=$(wait_window "Click to resume play" 5) || fail "no game window while loading"
        top=$game_window
        ;;
    freestyle | paused | namebox | arcade)
        if [[ $state == arcade ]]; then start_game 1; else start_game 0; fi
        wait_log "play - entering main loop" || fail "the game did not start"
        game_window=$(wait_window "Click to resume play" 30 visible) || fail "no game window"
        top=$game_window
        [[ $state == paused ]] && key_to_game p
        if [[ $state == namebox ]]; then
            # Escape until the game has ended (a key may fall in the gate);
            # no further key, which would go to the name box.
            local box=""
            for _ in $(seq 1 12); do
                key_to_game Escape
                wait_log "destroy - shutting down directx" 3 && break
            done
            box=$(wait_other 30) || fail "no name box after Escape"
            top=$box
        fi
        ;;
    *) fail "unknown state" ;;
    esac
    alive || fail "Pomlets ended before the cause"
    [[ $state == loading ]] || sleep 0.5  # the last input handled
    caused=yes
    touch "$work/before-cause"
    cp "$work/init/6095" "$work/before-cause.6095"
    cp "$work/init/6702" "$work/before-cause.6702"
    ls -A "$work" "$work/init" >"$work/before-files.txt"
    local ticks_before t0
    last_ticks=0
    ticks_before=$(ticks_now)
    last_ticks=$ticks_before
    t0=$(date +%s%N)
    case $cause in
    xserver) kill -KILL "$xvfb_pid"; wait "$xvfb_pid" 2>/dev/null; xvfb_pid="" ;;
    topclient) xdotool windowkill "$top" ;;
    mainclient) xdotool windowkill "$main_window" ;;
    *) kill -s "$cause" "$game_pid" ;;
    esac
    [[ $state == loading ]] && kill -CONT "$game_pid"
    local ended=""
    for _ in $(seq 1 $((end_deadline * 20))); do
        ticks_now >/dev/null
        alive || { ended=1; break; }
        sleep 0.05
    done
    local elapsed=$((($(date +%s%N) - t0) / 1000000)) ticks
    ticks=$(($(ticks_now) - ticks_before))
    if [[ -z $ended ]]; then
        kill -KILL "$game_pid"
        wait "$game_pid" 2>/dev/null
        game_pid=""
        fail "spins: still running ${end_deadline} s after the cause, ${ticks} CPU ticks"
    fi
    wait "$game_pid"
    local status=$?
    game_pid=""
    local detail="status $status, ${elapsed} ms, $ticks ticks"
    (( status == 134 )) && fail "aborted ($detail)"
    (( status == 139 )) && fail "crashed ($detail)"
    (( status > 128 )) && fail "killed by signal $((status - 128)) ($detail)"
    (( status <= 1 )) || fail "exit status $status ($detail)"
    local last
    last=$(tail -n 1 "$work/log.txt" | tr -d '\r')
    [[ $last == "LOG CLOSED ON "* ]] || fail "log not closed: '$last' ($detail)"
    local file lines
    for file in 6095 6702; do
        # Saved at the end, or holding already what there was to save (a save
        # whose bytes equal the file's writes nothing).
        [[ $work/init/$file -nt $work/before-cause ]] || cmp -s "$work/init/$file" "$work/before-cause.$file" ||
            fail "init/$file not saved at the end ($detail)"
        "$datafile_tool" decrypt "$work/init/$file" "$work/plain.$file" || fail "init/$file damaged ($detail)"
    done
    lines=$(wc -l <"$work/plain.6095")
    (( lines == 10 )) || fail "the high-score table holds $lines lines ($detail)"
    rm -f "$work"/plain.*
    # Every name in the folder as before the cause: no scratch file, no file
    # written beside another and left.
    local own=(-e before-cause -e before-cause.6095 -e before-cause.6702 -e before-files.txt -e after-files.txt)
    ls -A "$work" "$work/init" | grep -v -x "${own[@]}" >"$work/after-files.txt"
    local left
    left=$(grep -v -x "${own[@]}" "$work/before-files.txt" | diff - "$work/after-files.txt" | grep '^>' | tr '\n' ' ')
    [[ -z $left ]] || fail "files left: $left ($detail)"
    flock -n "$work/Pomlets.lock" true || fail "the lock is still held ($detail)"
    echo "$state $cause ok $detail" >"$out"
}

running=0
for state in "${states[@]}"; do
    for cause in "${causes[@]}"; do
        (
            # A run that could not reach its state on a busy machine is tried
            # again, twice at most; what a cause did is never tried again.
            for attempt in 1 2 3; do
                (run_case "$state" "$cause")
                read -r _ _ outcome _ <"$results/$state.$cause" 2>/dev/null || outcome=missing
                [[ $outcome == SETUP ]] || break
            done
        ) &
        running=$((running + 1))
        if (( running >= jobs_at_once )); then
            wait -n
            running=$((running - 1))
        fi
    done
done
wait

failed=0
printf '%-10s' state
printf ' %-11s' "${causes[@]}"
echo
for state in "${states[@]}"; do
    printf '%-10s' "$state"
    for cause in "${causes[@]}"; do
        read -r _ _ outcome _ <"$results/$state.$cause" 2>/dev/null || outcome=missing
        printf ' %-11s' "$outcome"
        [[ $outcome == ok ]] || failed=1
    done
    echo
done
for state in "${states[@]}"; do
    for cause in "${causes[@]}"; do
        [[ -f $results/$state.$cause ]] && sed 's/^/  /' "$results/$state.$cause"
        [[ -f $results/$state.$cause.why ]] && cat "$results/$state.$cause.why" >&2
    done
done
(( failed == 0 )) || { echo "E2E FAILED: a state x cause run did not end as Quit ends" >&2; exit 1; }
echo "E2E PASSED: every state x cause ended as Quit ends."
