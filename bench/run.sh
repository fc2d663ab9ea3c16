#!/bin/sh
# Benchmark of orva on a fixed workload; prints wall time, system calls per
# block transferred and peak memory for each device.
#
#   bench/run.sh [BUILD]      (BUILD: a build folder with bin/orva; default build)
#
# The workload: 200 host files of mixed sizes, 1 to 60 blocks each (3,081
# blocks in all, most files small), the same sizes in each transfer mode.
# On each device (RK05, RX01 and NB03, and for the transfer counts RX50
# and HE02 too), in one run of orva and for each mode in turn (ASCII,
# image, byte): WRITE every file into a fresh unit (new, then ZERO), list
# the DIRECTORY, READ *.* back into a host folder, DELETE *.*. An RK05 unit takes all 200 files;
# RX01 and NB03 take the first files of the list that fit (their free
# blocks, after a plain directory). Each device runs three times; the
# median wall time is shown. Then the same run goes once under strace
# (every system call, and the reads and writes of the image file) and once
# through bench/transfers.cpp, a build of orva that counts the block
# transfers (ReadBlock and WriteBlock calls). Work files go to BENCH_WORK
# (default a new temporary folder, removed afterwards).
#
# Targets: image transfers per block as the storage layer lists them (RK05,
# RX50, HE02: 1; RX01: 4; NB03: 1 or 2 bank reads, and for a written block
# as many bank writes as reads), peak memory under 4 MiB, the RK05 run
# under one second.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
orva=$build/bin/orva
[ -x "$orva" ] || { echo "bench: no $orva; build orva first" >&2; exit 2; }
for tool in strace /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is needed" >&2; exit 2; }
done
if [ -n "${BENCH_WORK:-}" ]; then
    work=$BENCH_WORK
    mkdir -p "$work"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/orva-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi

# The counting build of orva, from the libraries of the same build.
libs=
for lib in orva_loop orva_commands orva_os8 orva_disk orva_shell; do
    file=$(find "$build" -name "lib$lib.a" | head -n 1)
    [ -n "$file" ] || { echo "bench: lib$lib.a not found in $build" >&2; exit 2; }
    libs="$libs $file"
done
# shellcheck disable=SC2086
${CXX:-c++} -std=c++20 -O2 -I"$root/src/orva" -I"$root/src/disk" "$root/bench/transfers.cpp" \
    -Wl,--start-group $libs -Wl,--end-group -o "$work/transfers"

# ---- The host files ----------------------------------------------------------
# File i (0-199) takes 1 + u^3/3481 blocks with u = 37i mod 60: 1 to 60
# blocks, most of them small. Text files are lines of 62 characters (64
# stored with CR LF), as many as fit the blocks with the closing control-Z.
cd "$work"
awk 'BEGIN {
    for (l = 0; l < 400; l++) {
        line = ""
        for (c = 0; c < 62; c++) line = line sprintf("%c", 33 + (l * 7 + c * 3) % 94)
        print line
    }
}' > pattern.txt
mkdir -p ascii image byte
i=0
sizes=
while [ $i -lt 200 ]; do
    u=$(( (37 * i) % 60 ))
    blocks=$(( 1 + u * u * u / 3481 ))
    sizes="$sizes $blocks"
    name=$(printf 'f%03d.dat' $i)
    head -c $(( (384 * blocks - 1) / 64 * 63 )) pattern.txt > "ascii/$name"
    head -c $(( 384 * blocks )) pattern.txt > "image/$name"
    head -c $(( 256 * blocks )) pattern.txt > "byte/$name"
    i=$((i + 1))
done

# The first files of the list that fit nFree blocks: their count.
files_that_fit() {
    echo "$sizes" | awk -v free="$1" '{ s = 0; for (i = 1; i <= NF; i++) { if (s + $i > free) break; s += $i } print i - 1, s }'
}

# ---- One device --------------------------------------------------------------
# run_device TYPE EXTENSION FREEBLOCKS
run_device() {
    type=$1 ext=$2
    set -- $(files_that_fit "$3")
    count=$1 total=$2
    dev=$work/$type
    rm -rf "$dev"
    mkdir -p "$dev"
    for mode in ascii image byte; do
        mkdir -p "$dev/in_$mode"
        i=0
        while [ $i -lt "$count" ]; do
            name=$(printf 'f%03d.dat' $i)
            ln "$work/$mode/$name" "$dev/in_$mode/$name"
            i=$((i + 1))
        done
    done
    (cd "$dev" && "$orva" >/dev/null 2>&1 <<END
MOUNT /$type /INITIALIZE /NOCONFIRM fresh.$ext
END
    )
    {
        echo "MOUNT /$type disk.$ext"
        for mode in ascii image byte; do
            [ $mode = ascii ] || echo "ZERO /NOCONFIRM"
            echo "WRITE in_$mode\\*.* /$mode"
            echo "DIRECTORY"
            echo "READ *.* out_$mode\\ /$mode"
            echo "DELETE *.*"
        done
    } > "$dev/script"

    # A clean start for each run: the fresh image, empty output folders.
    prepare() {
        cp "$dev/fresh.$ext" "$dev/disk.$ext"
        for mode in ascii image byte; do rm -rf "$dev/out_$mode"; mkdir "$dev/out_$mode"; done
    }

    walls=
    for run in 1 2 3; do
        prepare
        (cd "$dev" && /usr/bin/time -o "$dev/time.$run" -f '%e %M' "$orva" <script >/dev/null 2>"$dev/console")
        walls="$walls $(cut -d' ' -f1 "$dev/time.$run")"
    done
    if grep -q -e '-E,' -e '-W,' "$dev/console"; then
        echo "bench: $type run reported errors:" >&2
        grep -e '-E,' -e '-W,' "$dev/console" | head -5 >&2
        exit 1
    fi
    wall=$(echo "$walls" | tr ' ' '\n' | grep . | sort -n | sed -n 2p)
    rss=$(cut -d' ' -f2 "$dev/time.2")

    prepare
    (cd "$dev" && strace -f -y -o "$dev/strace" "$orva" <script >/dev/null 2>/dev/null)
    syscalls=$(grep -c . "$dev/strace")
    reads=$(grep -c "^[0-9]* *pread64([0-9]*<[^>]*disk\.$ext>" "$dev/strace" || true)
    writes=$(grep -c "^[0-9]* *pwrite64([0-9]*<[^>]*disk\.$ext>" "$dev/strace" || true)
    other=$(grep "<[^>]*disk\.$ext>" "$dev/strace" | grep -c -v -e '^[0-9]* *pread64(' -e '^[0-9]* *pwrite64(' -e '^[0-9]* *close(' || true)

    prepare
    transfers=$(cd "$dev" && "$work/transfers" <script 2>/dev/null)

    awk -v type="$type" -v count="$count" -v total="$total" -v wall="$wall" -v rss="$rss" \
        -v syscalls="$syscalls" -v reads="$reads" -v writes="$writes" -v other="$other" \
        -v transfers="$transfers" 'BEGIN {
        printf "%-5s %3d files, %4d blocks per mode: wall %.2f s, peak %.2f MiB\n", type, count, total, wall, rss / 1024
        printf "      %d block transfers: image reads %d (%.3f per block), writes %d (%.3f per block),\n", transfers, reads, reads / transfers, writes, writes / transfers
        printf "      %.3f image transfers per block, %d other calls on the image; %d system calls in all, %.2f per block\n", (reads + writes) / transfers, other, syscalls, syscalls / transfers
    }'
}

echo "orva benchmark: $orva"
run_device RK05 rk5 3241
run_device RX01 rx1 487
run_device NB03 nb3 1337
run_device RX50 rx5 759
run_device HE02 he2 4089
