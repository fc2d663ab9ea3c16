#!/bin/sh
# The Windows programs, run under wine, against the POSIX ones on the same
# work: one command script (WRITE of a text, an image and a byte file, DIR,
# READ back) run by the POSIX orva with relative paths and by orva.exe with
# Z:\ paths must leave identical disk images; image and byte files come back
# exact, and ASCII host files with the host's line ends (CR LF on Windows).
# vorlent.exe must write the same ROM file as vorlent and print its summary
# with single CR LF line ends.
#
# usage: same_results.sh NATIVE_BIN_DIR ORVA_EXE VORLENT_EXE
set -eu
native=$(cd "$1" && pwd)
orva_exe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
vorlent_exe=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
wine=${WINE:-wine}

work=$(mktemp -d "${TMPDIR:-/tmp}/orva-same-XXXXXX")
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

for host in posix win; do
    mkdir -p "$work/$host/out"
    printf 'First line of the text.\n\tA tabbed line.\n\nLast line.\n' > "$work/$host/notes.txt"
    # 768 bytes: two whole image blocks; 512 bytes: two byte blocks.
    awk 'BEGIN { for (i = 0; i < 768; i++) printf "%c", (i * 37 + 11) % 256 }' > "$work/$host/prog.bin"
    awk 'BEGIN { for (i = 0; i < 512; i++) printf "%c", (i * 53 + 7) % 256 }' > "$work/$host/data.byt"
done

# One script, written for a directory prefix D ("" or "Z:\...\").
script() {
    printf '%s\n' \
        "MOUNT /RX01 /INITIALIZE $1disk" \
        "WRITE $1notes.txt" \
        "WRITE $1prog.bin /IMAGE" \
        "WRITE $1data.byt /BYTE" \
        "DIR" \
        "READ NOTES.TX $1out$2" \
        "READ PROG.BI $1out$2 /IMAGE" \
        "READ DATA.BY $1out$2 /BYTE" \
        "EXIT"
}

(cd "$work/posix" && script "" "\\" | "$native/orva" > stdout.txt 2> stderr.txt) ||
    fail "orva ended with status $?"
windir=$("${WINEPATH:-winepath}" -w "$work/win")
(cd "$work/win" && script "$windir\\" "\\" | "$wine" "$orva_exe" > stdout.txt 2> stderr.txt) ||
    fail "orva.exe ended with status $?"
case "$windir" in
    [A-Za-z]:\\*) ;;
    *) fail "no drive-letter path for the work folder: $windir" ;;
esac

cmp "$work/posix/disk.rx1" "$work/win/disk.rx1" || fail "the disk images differ"
for host in posix win; do
    cmp "$work/$host/prog.bin" "$work/$host/out/PROG.BI" || fail "$host: image file not exact"
    cmp "$work/$host/data.byt" "$work/$host/out/DATA.BY" || fail "$host: byte file not exact"
done
cmp "$work/posix/notes.txt" "$work/posix/out/NOTES.TX" || fail "posix: text not as written"
sed 's/$/\r/' "$work/posix/notes.txt" > "$work/crlf.txt"
cmp "$work/crlf.txt" "$work/win/out/NOTES.TX" || fail "win: text not with CR LF line ends"
grep -q 'wrote .*notes.txt to NOTES.TX' "$work/win/stderr.txt" || fail "orva.exe: $(cat "$work/win/stderr.txt")"

# vorlent: the same ROM file, and summary lines ending in one CR LF.
awk 'BEGIN { for (i = 0; i < 5000; i++) printf "%c", (i % 7 == 0) ? 0 : (i * 13) % 256 }' > "$work/disk.rdi"
awk 'BEGIN { for (i = 0; i < 300; i++) printf "%c", (i * 29 + 3) % 256 }' > "$work/fpga.bit"
(cd "$work" && "$native/vorlent" - fpga.bit disk.rdi rom-posix.txt > vorlent-posix.out) ||
    fail "vorlent ended with status $?"
(cd "$work" && "$wine" "$vorlent_exe" - fpga.bit disk.rdi rom-win.txt > vorlent-win.out) ||
    fail "vorlent.exe ended with status $?"
cmp "$work/rom-posix.txt" "$work/rom-win.txt" || fail "the ROM files differ"
cmp "$work/vorlent-posix.out" "$work/vorlent-win.out" || fail "vorlent.exe printed other bytes"
printf 'BIT written -  1 ROM fields\r\nRDI written -  2 ROM fields\r\n' > "$work/summary.expected"
cmp "$work/summary.expected" "$work/vorlent-win.out" || fail "vorlent.exe summary: $(od -c "$work/vorlent-win.out")"
echo "same results on both hosts"
