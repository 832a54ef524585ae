# Shared by the end-to-end scripts that play (sourced, after x_session.sh):
# the game started on the X server of DISPLAY, its windows found by name,
# and a Freestyle game started from the main window with real clicks. The
# sourcing script defines fail() and sets game_pid through start_game.

# Starts the game from the scratch folder with silent audio; sets game_pid.
start_game() {  # <scratch folder>
    unset QT_QPA_PLATFORM SDL_VIDEODRIVER
    export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
    (cd "$1" && exec ./Pomlets) >"$1/stderr.txt" 2>&1 &
    game_pid=$!
}

# Waits until a window of the game with that exact name exists (visible ones
# only when a third argument is given); prints its id. Names are compared as
# the window reports them, since SDL names its window in UTF-8 only.
wait_window() {
    local name=$1 seconds=$2 only=${3:+--onlyvisible} id
    for _ in $(seq 1 $((seconds * 10))); do
        for id in $(xdotool search $only --pid "$game_pid" 2>/dev/null); do
            if [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$name" ]]; then echo "$id"; return 0; fi
        done
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
alive() { kill -0 "$game_pid" 2>/dev/null || fail "Pomlets ended early ($1)"; }

# Any other visible window of the game besides the main window and the game
# display: a drop-down list, a message box, the input box.
others() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
        [[ $id == "$main_window" ]] && continue
        [[ $(xdotool getwindowname "$id" 2>/dev/null) == "Click to resume play" ]] && continue
        echo "$id"
    done | tail -n 1
}

# Waits for the main window; sets main_window and menu_bar.
find_main_window() {
    main_window=$(wait_window Pomlets 30 visible) || fail "the main window \"Pomlets\" did not appear within 30 s"
    sleep 2  # let start-up settle before the first click
    # The client area is 241 x 345 pixels under the menu bar.
    local width height
    read -r width height < <(xdotool getwindowgeometry --shell "$main_window" |
        awk -F= '/WIDTH/{w=$2} /HEIGHT/{h=$2} END{print w, h}')
    menu_bar=$((height - 345))
    # A window manager's frame may come round the window: the client area is what counts.
    (( menu_bar > 0 && menu_bar < 80 )) || fail "unexpected main window size ${width}x${height}"
    echo "note: main window ${width}x${height}, menu bar ${menu_bar} pixels"
}

click_client() {  # x y within the client area
    xdotool mousemove --window "$main_window" "$1" $(($2 + menu_bar)) click 1
    sleep 0.5
}

# From the welcome picture to Play with Freestyle chosen. The welcome
# picture's click area (2160, 4200, 1095, 495 twips) leads to the mode choice;
# there the mode list (240, 600, 3135, 315 twips) drops down when clicked. A
# click can be lost while the window settles, so both are retried until the
# list is open.
play_freestyle() {
    local popup="" attempt
    for attempt in 1 2 3 4 5 6; do
        click_client 180 296
        click_client 120 50
        for _ in $(seq 1 20); do popup=$(others); [[ -n $popup ]] && break; sleep 0.1; done
        [[ -n $popup ]] && break
        echo "note: the mode list did not drop down (attempt $attempt), trying again"
        sleep 1
    done
    [[ -n $popup ]] || fail "the mode list did not drop down"
    # Click its first entry, Freestyle (three entries).
    eval "$(xdotool getwindowgeometry --shell "$popup" | sed 's/^/popup_/')"
    xdotool mousemove $((popup_X + popup_WIDTH / 2)) $((popup_Y + popup_HEIGHT / 6)) click 1
    sleep 0.5
    [[ -z $(others) ]] || fail "the mode list stayed open, or a message box appeared"
    # Play (2280, 4560, 1095, 495 twips).
    click_client 188 320
    alive "after Play"
}

# Waits until the run log holds a line that ends in the text; false when the
# game ends first or 60 s pass.
wait_log() {  # <scratch folder> <text>
    for _ in $(seq 1 600); do
        tr -d '\r' <"$1/log.txt" 2>/dev/null | grep -q -F -e "$2" && return 0
        kill -0 "$game_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
