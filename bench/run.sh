#!/bin/sh
# Benchmark of orva on a fixed workload; prints, for each device and mode,
# the wall time, the peak memory, the system calls and the block transfers,
# and checks them against the targets below.
#
#   bench/run.sh [BUILD]      (BUILD: a configured build folder; default build)
#
# The workload: 200 host files of mixed sizes, 1 to 60 blocks each (3,081
# blocks in all, most files small), the same sizes in each transfer mode.
# For each device (RK05, RX01, NB03, RX50, HE02) and each mode (ASCII,
# image, byte), one run of orva: MOUNT /INITIALIZE a new image, WRITE every
# file, list the DIRECTORY, READ *.* back into a host folder, DELETE *.*.
# An RK05 unit takes all 200 files; the smaller devices take the first
# files of the list that fit (their free blocks, after a plain directory).
# A last run writes one file of 3,000 blocks into an RK05 unit in image mode
# and reads it back. Each run goes three times (the median wall time is
# shown), once under strace (every system call, and the transfers of the
# image file) and once as the counting build of orva (bench/transfers.cpp,
# the CMake target orva_transfers), which counts the block transfers and the
# blocks they moved.
#
# Work files go to BENCH_WORK, by default a new folder in /dev/shm (tmpfs)
# when it exists, else in TMPDIR: on a disk file system the host's cost of
# creating files hides the program's own. The folder is removed afterwards.
#
# Targets: the RK05 run in image mode in at most 6,000 system calls; peak
# memory under 4 MiB in every run. The script exits with status 1 when a
# target is missed.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
orva=$build/bin/orva
transfers=$build/bin/orva_transfers
[ -x "$orva" ] || { echo "bench: no $orva; build orva first" >&2; exit 2; }
for tool in strace /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is needed" >&2; exit 2; }
done
cmake --build "$build" --target orva_transfers >/dev/null ||
    { echo "bench: cannot build orva_transfers in $build" >&2; exit 2; }

SYSCALL_TARGET=6000
RSS_TARGET_KIB=4096

if [ -n "${BENCH_WORK:-}" ]; then
    work=$BENCH_WORK
    mkdir -p "$work"
else
    base=${TMPDIR:-/tmp}
    [ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
    work=$(mktemp -d "$base/orva-bench.XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi

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
mkdir -p ascii image byte big
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
# The large file: 3,000 image blocks.
i=0
while [ $i -lt 50 ]; do cat pattern.txt; i=$((i + 1)); done | head -c $(( 384 * 3000 )) > big/big.img

# The first files of the list that fit nFree blocks: their count and blocks.
files_that_fit() {
    echo "$sizes" | awk -v free="$1" '{ s = 0; for (i = 1; i <= NF; i++) { if (s + $i > free) break; s += $i } print i - 1, s }'
}

missed=0

# ---- One run -------------------------------------------------------------------
# measure LABEL DIR: runs DIR/script (in DIR) with DIR/prepare before each
# run, and prints one line of figures.
measure() {
    label=$1 dir=$2
    walls=
    for run in 1 2 3; do
        sh "$dir/prepare"
        (cd "$dir" && /usr/bin/time -o "$dir/time.$run" -f '%e %M' "$orva" <script >/dev/null 2>"$dir/console")
        walls="$walls $(cut -d' ' -f1 "$dir/time.$run")"
    done
    if grep -q -e '-E,' -e '-W,' "$dir/console"; then
        echo "bench: $label reported errors:" >&2
        grep -e '-E,' -e '-W,' "$dir/console" | head -5 >&2
        exit 1
    fi
    wall=$(echo "$walls" | tr ' ' '\n' | grep . | sort -n | sed -n 2p)
    rss=$(cut -d' ' -f2 "$dir/time.1" "$dir/time.2" "$dir/time.3" | sort -n | tail -n 1)

    sh "$dir/prepare"
    (cd "$dir" && strace -f -y -o "$dir/strace" "$orva" <script >/dev/null 2>/dev/null)
    syscalls=$(grep -c . "$dir/strace")
    image=$(grep -c "<[^>]*disk\.[a-z0-9]*>" "$dir/strace" || true)

    sh "$dir/prepare"
    set -- $(cd "$dir" && "$transfers" <script 2>/dev/null)
    ntransfers=$1 nblocks=$2

    awk -v label="$label" -v wall="$wall" -v rss="$rss" -v syscalls="$syscalls" -v image="$image" \
        -v transfers="$ntransfers" -v blocks="$nblocks" 'BEGIN {
        printf "  %-11s wall %5.2f s  peak %4.2f MiB  %6d system calls (%5d on the image)  %5d transfers for %6d blocks\n",
            label, wall, rss / 1024, syscalls, image, transfers, blocks
    }'
    if [ "$rss" -ge "$RSS_TARGET_KIB" ]; then
        echo "  ^ MISSED: peak memory $rss KiB, target under $RSS_TARGET_KIB KiB"
        missed=1
    fi
    last_syscalls=$syscalls
}

# ---- One device --------------------------------------------------------------
# run_device TYPE EXTENSION FREEBLOCKS
run_device() {
    type=$1 ext=$2
    set -- $(files_that_fit "$3")
    count=$1 total=$2
    echo "$type: $count files, $total blocks per mode"
    for mode in ascii image byte; do
        dir=$work/$type.$mode
        rm -rf "$dir"
        mkdir -p "$dir/in"
        i=0
        while [ $i -lt "$count" ]; do
            name=$(printf 'f%03d.dat' $i)
            ln "$work/$mode/$name" "$dir/in/$name"
            i=$((i + 1))
        done
        {
            echo "MOUNT /$type /INITIALIZE /NOCONFIRM disk.$ext"
            echo "WRITE in\\*.* /$mode"
            echo "DIRECTORY"
            echo "READ *.* out\\ /$mode"
            echo "DELETE *.*"
        } > "$dir/script"
        echo "cd '$dir' && rm -rf disk.$ext out && mkdir out" > "$dir/prepare"
        measure "$mode" "$dir"
        if [ "$type" = RK05 ] && [ "$mode" = image ] && [ "$last_syscalls" -gt "$SYSCALL_TARGET" ]; then
            echo "  ^ MISSED: $last_syscalls system calls, target at most $SYSCALL_TARGET"
            missed=1
        fi
    done
}

echo "orva benchmark: $orva (work folder $work)"
echo "targets: RK05 image run at most $SYSCALL_TARGET system calls; peak memory under $((RSS_TARGET_KIB / 1024)) MiB"
run_device RK05 rk5 3241
run_device RX01 rx1 487
run_device NB03 nb3 1337
run_device RX50 rx5 759
run_device HE02 he2 4089

dir=$work/big.run
mkdir -p "$dir"
ln "$work/big/big.img" "$dir/big.img"
{
    echo "MOUNT /RK05 /INITIALIZE /NOCONFIRM disk.rk5"
    echo "WRITE big.img /IMAGE"
    echo "READ BIG.IMG out\\ /IMAGE"
} > "$dir/script"
echo "cd '$dir' && rm -rf disk.rk5 out && mkdir out" > "$dir/prepare"
echo "RK05: one file of 3000 blocks"
measure "image" "$dir"

if [ "$missed" -ne 0 ]; then
    echo "bench: targets missed"
    exit 1
fi
echo "bench: all targets met"
