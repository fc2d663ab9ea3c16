# MOUNT /INITIALIZE: a new image is created at full size without a question;
# an existing one is initialised only after the question (default YES) or
# with /NOCONFIRM, and NO leaves it as it was; an RK05 image gets a
# directory on both units; /INITIALIZE /READ is refused after the previous
# disk was dismounted; a file that cannot be created is reported.
=== setup
. "$TRANSCRIPTS/images.sh"
truncate -s 2097152 OLD.he2
{ segment 2 7; entry KEEP.TX 01563 1; empty 4088; } | put OLD.he2 1
cp OLD.he2 OLD2.he2
=== stdin
MOUNT /INITIALIZE NEW
DIR
MOUNT /HE02 /INITIALIZE OLD
N
DIR
MOUNT /HE02 /INITIALIZE OLD

DIR
MOUNT /RK05 /INITIALIZE /SYSTEM SYS
MOUNT /RK05 /INITIALIZE /NOSYSTEM PLAIN
MOUNT /HE02 /INITIALIZE /NOCONFIRM OLD2
MOUNT /INITIALIZE /READ OLD2.he2
DIR
MOUNT /INITIALIZE NODIR\NEW
=== stderr
ORVA>%ORVA-I, virtual disk file NEW.rx5 initialized
ORVA>
Directory of NEW.rx5
%ORVA-W, no files found to match *.*

Total of 0 blocks in 0 files.
759 blocks free.
ORVA>%ORVA-I, dismounting disk NEW.rx5
Initialize virtual disk file OLD.he2 ?%ORVA-I, mounted virtual disk on file OLD.he2
ORVA>
Directory of OLD.he2
KEEP.TX      1   14-MAR-89  (0007)

Total of 1 blocks in 1 files.
4088 blocks free.
ORVA>%ORVA-I, dismounting disk OLD.he2
Initialize virtual disk file OLD.he2 ?%ORVA-I, initialized virtual disk on file OLD.he2
ORVA>
Directory of OLD.he2
%ORVA-W, no files found to match *.*

Total of 0 blocks in 0 files.
4089 blocks free.
ORVA>%ORVA-I, dismounting disk OLD.he2
%ORVA-I, virtual disk file SYS.rk5 initialized
ORVA>%ORVA-I, dismounting disk SYS.rk5
%ORVA-I, virtual disk file PLAIN.rk5 initialized
ORVA>%ORVA-I, dismounting disk PLAIN.rk5
%ORVA-I, initialized virtual disk on file OLD2.he2
ORVA>%ORVA-I, dismounting disk OLD2.he2
%ORVA-E, /INITIALIZE is incompatible with /READ_ONLY
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-E, unable to create virtual disk file NODIR\NEW.rx5 (No such file or directory)
ORVA>
=== check
# The first seven words of a block: the header and the one free area.
head7() { echo $(od -An -tu2 -j $(($2 * 512)) -N 14 "$1"); }
test $(wc -c <NEW.rx5) -eq 409600
test $(wc -c <SYS.rk5) -eq 3325952
test "$(head7 SYS.rk5 1)" = "4095 56 0 0 4095 0 904"
test "$(head7 SYS.rk5 3249)" = "4095 56 0 0 4095 0 904"
test "$(head7 PLAIN.rk5 1)" = "4095 7 0 0 4095 0 855"
test "$(head7 PLAIN.rk5 3249)" = "4095 7 0 0 4095 0 855"
test "$(head7 OLD2.he2 1)" = "4095 7 0 0 4095 0 7"
test ! -e NODIR
