# Shared by the end-to-end scripts (sourced): a scratch program folder and an
# X server of our own. The sourcing script defines fail().

# Ends a process we started, by its id: politely, then for good.
stop() {
    local pid=$1
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 1 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# A scratch folder in memory where the machine has one (the game's saves wait
# for the disk otherwise), else in the temporary folder; prints its path.
scratch_folder() {  # <name prefix>
    local base=${TMPDIR:-/tmp}
    [[ -d /dev/shm && -w /dev/shm ]] && base=/dev/shm
    mktemp -d "$base/$1-XXXXXX"
}

# Copies the executable and the data files into the scratch folder (the game
# finds its files beside its own executable and writes into init/); the large
# asset folders are linked. The data files come as the build made them
# (program-data beside the program folder), never with what a player changed
# in the program folder.
make_program_copy() {  # <program folder> <scratch folder>
    local data=${POMLETS_DATA_DIR:-$(dirname "$1")/program-data}
    [[ -d $data/init && -d $data/levels ]] || fail "no data files as the build makes them in $data"
    cp "$1/Pomlets" "$2/" || fail "cannot copy the program"
    cp -r "$data/init" "$data/levels" "$2/" || fail "cannot copy the data files"
    local linked
    for linked in images sounds music themes; do
        [[ -e $1/$linked ]] && ln -s "$1/$linked" "$2/$linked"
    done
}

# Starts Xvfb and points DISPLAY at it; sets xvfb_pid. Xvfb picks a free
# display number itself and writes it to fd 3, so that servers started side
# by side never race for the same number.
start_x_server() {  # <scratch folder> [screen, width x height x depth] [further Xvfb options...]
    local folder=$1 screen=${2:-1280x1024x24}
    shift $(( $# < 2 ? $# : 2 ))
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp "$@" 3>"$folder/display.txt" >"$folder/xvfb.txt" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        [[ -s $folder/display.txt ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$folder/xvfb.txt")"
        sleep 0.1
    done
    local display_number
    display_number=$(head -n 1 "$folder/display.txt")
    [[ -n $display_number ]] || fail "Xvfb gave no display number"
    export DISPLAY=":$display_number"
    # A busy machine may take long to let the first client in.
    for _ in $(seq 1 600); do
        xdotool getmouselocation >/dev/null 2>&1 && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$folder/xvfb.txt")"
        sleep 0.1
    done
    xdotool getmouselocation >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY"
}

# The running game's windows (game_pid), visible ones only.
game_windows() { xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null; }

# Waits for the started game's main window, answering every message box
# before it with Return; sets main_window and start_boxes (the boxes
# answered). The sourcing script's fail() ends the test.
wait_main_window() {  # <what, for messages>
    local id others
    main_window="" start_boxes=0
    for _ in $(seq 1 300); do
        kill -0 "$game_pid" 2>/dev/null || fail "$1: Pomlets ended during start-up"
        others=""
        for id in $(game_windows); do
            if [[ -z $main_window && $(xdotool getwindowname "$id" 2>/dev/null) == Pomlets ]] &&
                xdotool getwindowgeometry "$id" | grep -q "Geometry: 241x"; then
                main_window=$id
            elif [[ $id != "$main_window" ]]; then
                others=$id
            fi
        done
        if [[ -n $others ]]; then
            xdotool windowfocus --sync "$others" 2>/dev/null || xdotool windowfocus "$others" 2>/dev/null
            xdotool key Return
            start_boxes=$((start_boxes + 1))
            sleep 0.5
            continue
        fi
        [[ -n $main_window ]] && return 0
        sleep 0.1
    done
    fail "$1: the main window did not appear"
}

# Game > Quit in the main window, then waits for the game to end, answering
# any box at exit with Return; sets quit_boxes (the boxes answered).
quit_from_menu() {  # <what, for messages>
    local id height menu_bar
    quit_boxes=0
    sleep 1
    read -r height < <(xdotool getwindowgeometry --shell "$main_window" | awk -F= '/HEIGHT/{print $2}')
    menu_bar=$((height - 345))
    xdotool mousemove --window "$main_window" 20 $((menu_bar / 2)) click 1
    sleep 0.5
    xdotool key Down Down Return
    for _ in $(seq 1 200); do
        kill -0 "$game_pid" 2>/dev/null || break
        for id in $(game_windows); do
            [[ $id == "$main_window" ]] && continue
            xdotool windowfocus "$id" 2>/dev/null && xdotool key Return
            quit_boxes=$((quit_boxes + 1))
        done
        sleep 0.1
    done
    kill -0 "$game_pid" 2>/dev/null && fail "$1: Pomlets did not end on Game > Quit"
    wait "$game_pid"
    game_pid=""
}

# Ends what the test started and removes the scratch folder (work); for
# trap ... EXIT.
cleanup_session() {
    [[ -n ${game_pid:-} ]] && stop "$game_pid"
    [[ -n ${xvfb_pid:-} ]] && stop "$xvfb_pid"
    chmod -R u+rwX "$work" 2>/dev/null
    rm -rf "$work"
}

# The scratch program copy in work, owned by the user of as_player (the
# setpriv command, when the test runs the game as another user; player_uid
# and player_gid), an X server of its own, and the environment of a real
# desktop session.
prepare_player_session() {  # <program folder>
    chmod 755 "$work"
    make_program_copy "$1" "$work"
    [[ ${#as_player[@]} -gt 0 ]] && chown -R "$player_uid:$player_gid" "$work"
    start_x_server "$work"
    unset QT_QPA_PLATFORM SDL_VIDEODRIVER
    export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR=$work/runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    [[ ${#as_player[@]} -gt 0 ]] && chown "$player_uid:$player_gid" "$XDG_RUNTIME_DIR"
}
