# Shell functions that build OS/8 disk images for the transcripts, written
# byte by byte so that the tests do not rely on orva to make their input.
# Source it in a setup section:  . "$TRANSCRIPTS/images.sh"
#
# They write the 16-bit little-endian words of HE02 and RK05 images, where
# block n of the image (of RK05 unit 0) is the 512 bytes at n * 512 and
# RK05 unit 1 begins at block 3248.

# words W...: the words as 16-bit little-endian values (octal with a
# leading 0).
words() {
    for w in "$@"; do
        lo=$((w & 255))
        hi=$((w >> 8 & 255))
        # Octal escapes built without a subshell per byte.
        printf "\\$((lo >> 6))$((lo >> 3 & 7))$((lo & 7))\\$((hi >> 6))$((hi >> 3 & 7))$((hi & 7))"
    done
}

# put IMAGE BLOCK: standard input into the image from that block on.
put() {
    dd of="$1" bs=512 seek="$2" conv=notrunc 2>/dev/null
}

# name_words NAME.EX: the four SIXBIT words of a file name.
name_words() {
    base=${1%%.*}
    ext=${1#*.}
    [ "$ext" != "$1" ] || ext=
    set -- $({ printf %-6.6s "$base"; printf %-2.2s "$ext"; } | od -An -v -tu1)
    while [ $# -gt 0 ]; do
        printf '%d ' $(( ($1 == 32 ? 0 : $1 & 63) << 6 | ($2 == 32 ? 0 : $2 & 63) ))
        shift 2
    done
}

# segment ENTRIES FIRST-BLOCK [TENTATIVE-WORD]: a directory segment header
# with one date word per entry and no further segment.
segment() {
    words $((-$1 & 07777)) "$2" 0 "${3:-0}" 07777
}

# entry NAME.EX DATE LENGTH: a file entry.
entry() {
    words $(name_words "$1") "$2" $((-$3 & 07777))
}

# empty LENGTH: an empty entry.
empty() {
    words 0 $((-$1 & 07777))
}

# text LINE...: OS/8 text of the lines, each ended by CR LF, then a
# control-Z; three characters (bit 7 set) in two words.
text() {
    set -- $({ printf '%s\r\n' "$@"; printf '\032'; } | od -An -v -tu1)
    while [ $# -gt 0 ]; do
        a=$(($1 | 128))
        b=$(($# >= 2 ? ${2:-0} | 128 : 0))
        c=$(($# >= 3 ? ${3:-0} | 128 : 0))
        words $((a | (c >> 4) << 8)) $((b | (c & 15) << 8))
        if [ $# -ge 3 ]; then shift 3; else shift $#; fi
    done
}
