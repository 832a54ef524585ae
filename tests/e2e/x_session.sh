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
