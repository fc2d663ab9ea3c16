# MOUNT /PHYSICAL /HE02 of a whole-drive image file of three partitions:
# the boot-block check and its question (default NO), /NOCONFIRM,
# /INITIALIZE on every partition, PARTITION by number and by letter, and
# the partition in the DIRECTORY header; the next MOUNT starts at
# partition 0. On Windows a physical drive is named by its drive letter
# alone ("X:"), so there an image file is refused and a letter without a
# drive fails with the host's reason (in wine's words).
=== run image_file
=== setup
test "$HOST" = posix || { echo "a physical drive is a drive letter on Windows"; exit 77; }
. "$TRANSCRIPTS/images.sh"
truncate -s $((3 * 4096 * 512)) DRIVE.IMG
cp DRIVE.IMG BOOT.IMG
words 0302 0317 0317 0324 0 | put BOOT.IMG 0
{ segment 2 7; entry P2.TX 01563 1; empty 4088; } | put BOOT.IMG $((2 * 4096 + 1))
=== stdin
MOUNT /PHYSICAL /HE02 DRIVE.IMG

MOUNT /PHYSICAL /HE02 DRIVE.IMG
Y
DISMOUNT
MOUNT /PHYSICAL /HE02 /NOCONFIRM DRIVE.IMG
MOUNT /PHYSICAL /HE02 BOOT.IMG
PARTITION 2
DIR
PARTITION 3
PARTITION 1A
PARTITION a
DIR
PARTITION C
DIR
PARTITION AB
PARTITION
PARTITION /X 1
PARTITION 1,2
MOUNT /PHYSICAL /HE02 /INITIALIZE /NOCONFIRM DRIVE.IMG
PARTITION 1
MOUNT /PHYSICAL /HE02 /INITIALIZE BOOT.IMG
N
DIR
MOUNT /PHYSICAL /HE02 NOSUCH.IMG
=== stderr
ORVA>%ORVA-I, HE02 supports 3 OS/8 partitions
%ORVA-W, IDE unit DRIVE.IMG does not contain a KESTRIL boot block
Really mount IDE unit DRIVE.IMG ?%ORVA-I, dismounting disk DRIVE.IMG
ORVA>%ORVA-I, HE02 supports 3 OS/8 partitions
%ORVA-W, IDE unit DRIVE.IMG does not contain a KESTRIL boot block
Really mount IDE unit DRIVE.IMG ?%ORVA-I, mounted physical disk DRIVE.IMG
ORVA>%ORVA-I, dismounting disk DRIVE.IMG
ORVA>%ORVA-I, HE02 supports 3 OS/8 partitions
%ORVA-W, IDE unit DRIVE.IMG does not contain a KESTRIL boot block
%ORVA-I, mounted physical disk DRIVE.IMG
ORVA>%ORVA-I, dismounting disk DRIVE.IMG
%ORVA-I, HE02 supports 3 OS/8 partitions
%ORVA-I, mounted physical disk BOOT.IMG
ORVA>ORVA>
Directory of BOOT.IMG, partition 2
P2.TX        1   14-MAR-89  (0007)

Total of 1 blocks in 1 files.
4088 blocks free.
ORVA>%ORVA-E, invalid partition name 3
ORVA>%ORVA-E, invalid partition name 1A
ORVA>ORVA>
Directory of BOOT.IMG, partition 0
%ORVA-W, no files found to match *.*

Total of 0 blocks in 0 files.
0 blocks free.
ORVA>ORVA>
Directory of BOOT.IMG, partition 2
P2.TX        1   14-MAR-89  (0007)

Total of 1 blocks in 1 files.
4088 blocks free.
ORVA>%ORVA-E, invalid partition name AB
ORVA>%ORVA-E, additional parameters required
ORVA>%ORVA-E, no qualifiers allowed - /X
ORVA>%ORVA-E, list not allowed - 1,2
ORVA>%ORVA-I, dismounting disk BOOT.IMG
%ORVA-I, HE02 supports 3 OS/8 partitions
%ORVA-W, IDE unit DRIVE.IMG does not contain a KESTRIL boot block
%ORVA-I, initialized physical disk DRIVE.IMG
ORVA>ORVA>%ORVA-I, dismounting disk DRIVE.IMG
%ORVA-I, HE02 supports 3 OS/8 partitions
Initialize physical disk BOOT.IMG ?%ORVA-I, mounted physical disk BOOT.IMG
ORVA>
Directory of BOOT.IMG, partition 0
%ORVA-W, no files found to match *.*

Total of 0 blocks in 0 files.
0 blocks free.
ORVA>%ORVA-I, dismounting disk BOOT.IMG
%ORVA-E, Error opening the drive: No such file or directory
%ORVA-E, unable to access physical disk drive NOSUCH.IMG (No such file or directory)
ORVA>
=== check
# The first seven words of a block.
head7() { echo $(od -An -tu2 -j $(($2 * 512)) -N 14 "$1"); }
for block in 1 4097 8193; do
    test "$(head7 DRIVE.IMG $block)" = "4095 7 0 0 4095 0 7"
done
test "$(head7 BOOT.IMG 8193)" = "4094 7 0 0 4095 1074 0"
test $(wc -c <DRIVE.IMG) -eq $((3 * 4096 * 512))
=== run drive_letter
=== setup
test "$HOST" = windows || { echo "drive letters name physical drives on Windows only"; exit 77; }
truncate -s $((3 * 4096 * 512)) DRIVE.IMG
=== stdin
MOUNT /PHYSICAL /HE02 DRIVE.IMG
MOUNT /PHYSICAL /HE02 Q:
PARTITION 1
=== stderr
ORVA>%ORVA-E, Use <drive letter>: as the device name to open a physical drive
%ORVA-E, unable to access physical disk drive DRIVE.IMG
ORVA>%ORVA-E, Error opening the drive: File not found.
%ORVA-E, unable to access physical disk drive Q:
ORVA>%ORVA-E, invalid partition name 1
ORVA>
=== check
test $(wc -c <DRIVE.IMG) -eq $((3 * 4096 * 512))
