# Shared by the end-to-end scripts that play (sourced, after x_session.sh):
# the game started on the X server of DISPLAY, its windows found by name,
# and a Freestyle game started from the main window with real clicks. The
# sourcing script defines fail() and sets game_pid through start_game.
#
# Every wait here is for an event (a window, a line of the run log, the end
# of the process), checked every tenth of a second up to a generous deadline
# (the machine may be busy); none sleeps a fixed time for the game to get on.
deadline=${deadline:-60}

# Starts the game from the scratch folder with silent audio; sets game_pid
# and game_folder.
start_game() {  # <scratch folder>
    unset QT_QPA_PLATFORM SDL_VIDEODRIVER
    export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
    game_folder=$1
    (cd "$1" && exec ./Pomlets) >"$1/stderr.txt" 2>&1 &
    game_pid=$!
}

# Waits until the condition (a command) holds; fails with the message at the
# deadline or when the game ends meanwhile.
await() {  # <message> <command...>
    local message=$1 tick
    shift
    for tick in $(seq 1 $((deadline * 10))); do
        "$@" && return 0
        kill -0 "$game_pid" 2>/dev/null || fail "Pomlets ended early ($message)"
        sleep 0.1
    done
    fail "$message within $deadline s"
}

# The id of the game's window with that exact name (visible ones only when a
# second argument is given). Names are compared as the window reports them,
# since SDL names its window in UTF-8 only.
window_named() {  # <name> [visible]
    local id
    for id in $(xdotool search ${2:+--onlyvisible} --pid "$game_pid" 2>/dev/null); do
        [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$1" ]] && { echo "$id"; return 0; }
    done
    return 1
}

# Waits until a window of the game with that exact name exists (visible ones
# only when a third argument is given); prints its id. False when the game
# ends first or the seconds pass.
wait_window() {  # <name> <seconds> [visible]
    local tick
    for tick in $(seq 1 $(($2 * 10))); do
        window_named "$1" ${3:+visible} && return 0
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
alive() { kill -0 "$game_pid" 2>/dev/null || fail "Pomlets ended early ($1)"; }

# Any other visible window of the game besides the main window and the game
# display: a drop-down list, a menu, a message box, the input box.
others() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
        [[ $id == "$main_window" ]] && continue
        [[ $(xdotool getwindowname "$id" 2>/dev/null) == "Click to resume play" ]] && continue
        echo "$id"
    done | tail -n 1
}
has_other() { [[ -n $(others) ]]; }
no_other() { [[ -z $(others) ]]; }
# The game's run log holds a line with the text.
logged() { tr -d '\r' <"$game_folder/log.txt" 2>/dev/null | grep -q -F -e "$1"; }

# Waits for the main window; sets main_window and menu_bar. The main window is
# mapped once start-up has shown the welcome panel, and has the height of its
# layout: the client area is 241 x 345 pixels under the menu bar (a window
# manager's frame may come round it: the client area is what counts).
main_ready() {
    main_window=$(window_named Pomlets visible) || return 1
    read -r main_width main_height < <(xdotool getwindowgeometry --shell "$main_window" |
        awk -F= '/WIDTH/{w=$2} /HEIGHT/{h=$2} END{print w, h}')
    menu_bar=$((main_height - 345))
    (( menu_bar > 0 && menu_bar < 80 ))
}
find_main_window() {
    await 'the main window "Pomlets" did not appear' main_ready
    await "the main window is up but the run log was not opened" logged "LOG OPENED ON "
    echo "note: main window ${main_width}x${main_height}, menu bar ${menu_bar} pixels"
}

click_client() {  # x y within the client area
    xdotool mousemove --sync --window "$main_window" "$1" $(($2 + menu_bar)) click 1
}

# From the welcome picture to Play with Freestyle chosen. The welcome
# picture's click area (2160, 4200, 1095, 495 twips) leads to the mode choice;
# there the mode list (240, 600, 3135, 315 twips) drops down when clicked.
play_freestyle() {
    click_client 180 296
    click_client 120 50
    await "the mode list did not drop down" has_other
    local popup
    popup=$(others)
    # Click its first entry, Freestyle (three entries).
    eval "$(xdotool getwindowgeometry --shell "$popup" | sed 's/^/popup_/')"
    xdotool mousemove --sync $((popup_X + popup_WIDTH / 2)) $((popup_Y + popup_HEIGHT / 6)) click 1
    await "the mode list did not close" no_other
    # Play (2280, 4560, 1095, 495 twips).
    click_client 188 320
    alive "after Play"
}

# Waits until the run log holds a line with the text; false when the game
# ends first or the deadline passes.
wait_log() {  # <scratch folder> <text>
    local tick
    for tick in $(seq 1 $((deadline * 10))); do
        tr -d '\r' <"$1/log.txt" 2>/dev/null | grep -q -F -e "$2" && return 0
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
