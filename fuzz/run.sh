#!/bin/sh
# Fuzzes orva and vorlent with libFuzzer, each target for a bounded time.
#
#   fuzz/run.sh [SECONDS [TARGET...]]
#
# SECONDS per target (default 60, or FUZZ_SECONDS); TARGETs from command,
# image and vorlent (default all). Builds the fuzz build in build-fuzz
# (clang++, -DORVA_FUZZ=ON; FUZZ_BUILD to move it), seeds a corpus for each
# target in a work folder outside the repository (FUZZ_WORK, default a new
# temporary folder; give the same one again to go on from its corpus) from
# the kept inputs in fuzz/regressions/, the command scripts of the
# end-to-end transcripts and, when present, the fixture images
# (ORVA_FIXTURES, default ../shared/fixtures beside the repository). Every
# input must finish within a second; leaks are reported. Exits 1 when a
# target found anything (crash, sanitizer report, leak, slow input); the
# input that did it is in WORK/findings/. Copy it to fuzz/regressions/TARGET/
# once the fault is fixed.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-${FUZZ_SECONDS:-60}}
[ $# -gt 0 ] && shift
targets=${*:-command image vorlent}
build=${FUZZ_BUILD:-$root/build-fuzz}
work=${FUZZ_WORK:-$(mktemp -d "${TMPDIR:-/tmp}/orva-fuzz-work.XXXXXX")}
fixtures=${ORVA_FIXTURES:-$root/../shared/fixtures}

echo "fuzz: build in $build, work folder $work, $seconds s per target"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DORVA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
for target in $targets; do
    cmake --build "$build" -j2 --target "fuzz_$target" >/dev/null
done

mkdir -p "$work/findings"
# The targets make their private folders under TMPDIR; a memory file
# system keeps the many small files of every input cheap.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    sandbox=$(mktemp -d /dev/shm/orva-fuzz.XXXXXX)
else
    sandbox=$(mktemp -d "$work/tmp.XXXXXX")
fi
trap 'rm -rf "$sandbox"' EXIT
for target in $targets; do
    corpus=$work/corpus/$target
    mkdir -p "$corpus"
    cp "$root/fuzz/regressions/$target"/* "$corpus/" 2>/dev/null || true
done

# The command scripts of the transcripts.
case " $targets " in *" command "*)
    for t in "$root"/tests/e2e/transcripts/*.t; do
        [ -f "$t" ] || continue
        awk '/^=== /{on = ($2 == "stdin"); next} on' "$t" \
            > "$work/corpus/command/transcript-$(basename "$t" .t)"
    done ;;
esac

# The fixture images, cut as the image target lays out its input: the RX01
# tracks 1 and 2, then blocks 0 to 12 of each RK05 unit, then the start of
# the DECtape (flags, in octal: 014 picks the tape, 057 also makes every
# image full size).
case " $targets " in *" image "*)
    if [ -f "$fixtures/os8-made.rx01" ] && [ -f "$fixtures/os8-v3d.rk05" ] &&
       [ -f "$fixtures/os8-v3d-dist1.tu56" ]; then
        for flags in 014 057; do
            {
                printf "\\$flags"
                dd if="$fixtures/os8-made.rx01" bs=128 skip=26 count=52 status=none
                dd if="$fixtures/os8-v3d.rk05" bs=512 skip=0 count=13 status=none
                dd if="$fixtures/os8-v3d.rk05" bs=512 skip=3248 count=13 status=none
                dd if="$fixtures/os8-v3d-dist1.tu56" bs=512 count=13 status=none
            } > "$work/corpus/image/fixtures-$flags"
        done
    else
        echo "fuzz: no fixtures in $fixtures; the image corpus starts from the kept inputs"
    fi ;;
esac

status=0
for target in $targets; do
    case $target in
        command) options="-max_len=1024 -dict=$root/fuzz/command.dict" ;;
        image) options="-max_len=26625" ;;
        vorlent) options="-max_len=32768" ;;
        *) echo "fuzz: unknown target $target"; exit 2 ;;
    esac
    echo "fuzz: $target for $seconds s"
    # shellcheck disable=SC2086
    if ! TMPDIR=$sandbox "$build/fuzz/fuzz_$target" $options \
            -max_total_time="$seconds" -timeout=1 -detect_leaks=1 \
            -close_fd_mask=3 -print_final_stats=1 \
            -artifact_prefix="$work/findings/$target-" \
            "$work/corpus/$target" >"$work/$target.log" 2>&1; then
        status=1
        echo "fuzz: $target FAILED; log $work/$target.log"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*check failed|artifact_prefix|Test unit written)' \
            "$work/$target.log" | head -20 || true
    else
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$work/$target.log" || true
    fi
done

if [ "$status" -ne 0 ]; then
    echo "fuzz: findings in $work/findings:"
    ls -l "$work/findings"
else
    echo "fuzz: no findings"
    # A work folder of our own making is not needed once nothing was found.
    [ -n "${FUZZ_WORK:-}" ] || rm -rf "$work"
fi
exit "$status"
