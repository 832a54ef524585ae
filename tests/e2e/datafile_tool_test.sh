#!/usr/bin/env bash
# The data-file tool writes "-" to the standard output and any other
# destination in place: a link stays a link, a FIFO stays a FIFO, and the
# tool removes nothing but the files it made itself.
# Usage: datafile_tool_test.sh <e2e_datafile tool>
set -uo pipefail
tool=$1
# In memory where the machine has it: nothing here is about the disk.
base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && base=/dev/shm
work=$(mktemp -d "$base/pomlets-datafile-XXXXXX")
trap 'rm -rf "$work"' EXIT
export TMPDIR=$work/tmp
mkdir "$TMPDIR"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

printf 'Varnock,https://varnock.example.com/\r\nQuillo,mailto:quillo@example.net\r\n' >"$work/plain"
"$tool" encrypt "$work/plain" "$work/expected" || fail "encrypt to a new file"
[[ -f $work/expected && -s $work/expected ]] || fail "no scrambled file made"

# "-": the standard output, no file of that name.
(cd "$work" && "$tool" encrypt plain - >stdout) || fail "encrypt to -"
cmp -s "$work/stdout" "$work/expected" || fail "the standard output differs from the file"
[[ ! -e $work/- ]] || fail "a file named - was made"

# A link to a file: the file it names is written, the link stays.
echo old >"$work/target"
ln -s target "$work/link"
"$tool" encrypt "$work/plain" "$work/link" || fail "encrypt through a link"
[[ -L $work/link ]] || fail "the link was replaced"
cmp -s "$work/target" "$work/expected" || fail "the linked file was not written"

# A link to a device: written to, the link stays.
ln -s /dev/null "$work/null"
"$tool" decrypt "$work/expected" "$work/null" || fail "decrypt into a link to /dev/null"
[[ -L $work/null && $(readlink "$work/null") == /dev/null ]] || fail "the link to /dev/null was replaced"

# A FIFO: written to, it stays a FIFO.
mkfifo "$work/fifo"
# (A tool that replaced the FIFO would leave the reader waiting: it gives up.)
timeout 20 cat "$work/fifo" >"$work/from-fifo" &
reader=$!
"$tool" decrypt "$work/expected" "$work/fifo" || fail "decrypt into a FIFO"
wait "$reader"
[[ -p $work/fifo ]] || fail "the FIFO was replaced"
cmp -s "$work/from-fifo" "$work/plain" || fail "the FIFO did not get the plain form"

# A file already there: written over.
echo old >"$work/existing"
"$tool" decrypt "$work/expected" "$work/existing" || fail "decrypt over a file"
cmp -s "$work/existing" "$work/plain" || fail "the file was not written over"

# A failing run leaves the destination as it was.
echo keep >"$work/kept"
"$tool" decrypt "$work/no-such-file" "$work/kept" 2>/dev/null && fail "a missing source passed"
[[ $(cat "$work/kept") == keep ]] || fail "a failed run touched the destination"

# Nothing of the tool's own is left behind.
[[ -z $(ls -A "$TMPDIR") ]] || fail "the tool left files: $(ls -A "$TMPDIR")"

if (( failures )); then exit 1; fi
echo "datafile tool: every destination written in place"
