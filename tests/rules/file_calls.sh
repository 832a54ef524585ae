#!/usr/bin/env bash
# Every file call of the game goes through the table of platform/file_calls.h,
# so that a rule on files has one place and a test can fail any call. This
# reads the symbols that the game's compiled objects call and fails on a
# system file call made anywhere but in the table: a call added elsewhere
# fails the test suite, whatever way it is spelt in the source.
#
# Usage: file_calls.sh <static library>...
set -uo pipefail
(( $# > 0 )) || { echo "usage: $0 <static library>..." >&2; exit 2; }

# The C library's calls on files and folders, by the names they link under.
raw='open|open64|__open_2|__open64_2|openat|openat64|creat|creat64|fopen|fopen64|freopen|fdopen|'
raw+='unlink|unlinkat|rename|renameat|renameat2|remove|mkdir|mkdirat|mkdtemp|mkstemp|mkstemp64|rmdir|'
raw+='stat|stat64|lstat|lstat64|fstat|fstat64|fstatat|fstatat64|statx|__xstat|__lxstat|__fxstat|'
raw+='__xstat64|__lxstat64|__fxstat64|access|faccessat|euidaccess|eaccess|flock|lockf|fsync|fdatasync|'
raw+='truncate|ftruncate|chmod|fchmod|chown|symlink|link|readlink|realpath|opendir|fdopendir|scandir|'
raw+='read|write|close|pread|pwrite|pread64|pwrite64|lseek|lseek64'
# The same through a library: C++ streams and std::filesystem (its paths are
# only names), Qt's files, SDL's and its companions' loading by file name.
wrapped='std::basic_(i|o)?fstream|std::basic_filebuf|std::filesystem::([a-z_]+\(|(__cxx11::)?(directory_iterator|recursive_directory_iterator))'
wrapped+='|QFile::|QFileInfo::|QDir::|QSaveFile::|SDL_RWFromFile|Mix_LoadMUS$|Mix_LoadWAV$|TTF_OpenFont$|TTF_OpenFontIndex$|SDL_LoadBMP$|IMG_Load$'

# Calls on files that are not the program folder's, each with its reason.
allowed=(
    'directx.cpp.o TTF_OpenFontIndex'              # the system's fonts, where fontconfig finds them
    'sdl_window.cpp.o std::filesystem::status('    # whether the machine has a graphics device
    'sdl_window.cpp.o std::filesystem::__cxx11::directory_iterator'
    'runtime.cpp.o std::filesystem::read_symlink(' # where the program itself lies
    'runtime.cpp.o std::filesystem::current_path'
    'process_guard.cpp.o read'                     # the signals' pipe, no file: drained by the event loop
    'process_guard.cpp.o write'                    # the same pipe, written by the signal handler itself
)
is_allowed() {  # <object> <symbol>
    local entry object symbol
    for entry in "${allowed[@]}"; do
        object=${entry%% *}
        symbol=${entry#* }
        [[ $1 == "$object" && ($2 == "$symbol" || ($symbol == *[\(:]* && $2 == "$symbol"*)) ]] && return 0
    done
    return 1
}

found=0
for library in "$@"; do
    [[ -f $library ]] || { echo "no library $library" >&2; exit 2; }
    while IFS= read -r line; do
        object=${line%%:*}
        symbol=${line#*U }
        [[ $object == file_calls.cpp.o ]] && continue
        if [[ $symbol =~ ^($raw)$ || $symbol =~ ^($wrapped) ]]; then
            is_allowed "$object" "$symbol" && continue
            echo "a file call outside the table of platform/file_calls.h: $object calls $symbol"
            found=$((found + 1))
        fi
    done < <(nm -A -u -C "$library" 2>/dev/null | sed -E 's/^[^:]*://' | grep -E -- " U (($raw)\$|($wrapped))")
done
if (( found > 0 )); then
    echo "$found file call(s) outside the table; call them through fileCalls()" >&2
    exit 1
fi
echo "every file call of the game goes through the table"
