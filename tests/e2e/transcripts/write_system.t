# The system head (blocks 7-55) and the boot block (block 0) out and back on
# a disk zeroed for a system: exact files round trip; a short file has
# written what it covered when "length wrong" is reported; a long one fills
# the area and runs out of room; a plain directory is not a system disk; and
# ZERO /SYSTEM leaves both areas alone. A host folder given as the boot
# block fails to read (Windows refuses to open it at all).
=== setup
head -c 18816 /dev/urandom > head.img
head -c 384 /dev/urandom > short.img
head -c 18817 /dev/urandom > long.img
head -c 18500 /dev/urandom > partial.img
head -c 384 /dev/urandom > boot.img
: > empty.img
mkdir adir
=== stdin
MOUNT /RX50 /INITIALIZE disk
READ /SYSTEM head.img
READ /BOOT boot.img
WRITE /SYSTEM nothere.img
WRITE /BOOT boot.img
ZERO /SYSTEM /NOCONFIRM
WRITE /SYSTEM head.img
READ /SYSTEM head2.img
WRITE /SYSTEM short.img
READ /SYSTEM head3.img
WRITE /SYSTEM long.img
WRITE /SYSTEM partial.img
WRITE /SYSTEM nothere.img
WRITE /SYSTEM head.img
WRITE /BOOT boot.img
READ /BOOT boot2.img
READ /BOOT boot2.img
WRITE /BOOT empty.img
WRITE /BOOT adir
ZERO /SYSTEM /NOCONFIRM
READ /SYSTEM head4.img
READ /BOOT boot3.img
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx5 initialized
ORVA>%ORVA-E, not a system disk
ORVA>%ORVA-E, not a system disk
ORVA>%ORVA-E, not a system disk
ORVA>%ORVA-E, not a system disk
ORVA>ORVA>%ORVA-I, OS/8 system head written from head.img
ORVA>%ORVA-I, OS/8 system head copied to head2.img
ORVA>%ORVA-E, OS/8 system head length wrong short.img
ORVA>%ORVA-I, OS/8 system head copied to head3.img
ORVA>%ORVA-W, Partial last block written (not an image file?)
%ORVA-W, not enough room for SYSTEM
ORVA>%ORVA-W, Partial last block written (not an image file?)
%ORVA-I, OS/8 system head written from partial.img
ORVA>%ORVA-E, unable to read image file nothere.img (No such file or directory)
ORVA>%ORVA-I, OS/8 system head written from head.img
ORVA>%ORVA-I, boot block written from boot.img
ORVA>%ORVA-I, boot block copied to boot2.img
ORVA>%ORVA-E, unable to write image file boot2.img (File exists)
ORVA>%ORVA-E, boot block length wrong empty.img
@posix@ORVA>%ORVA-E, error reading file adir (Is a directory)
@windows@ORVA>%ORVA-E, unable to read image file adir (Permission denied)
ORVA>ORVA>%ORVA-I, OS/8 system head copied to head4.img
ORVA>%ORVA-I, boot block copied to boot3.img
ORVA>%ORVA-I, dismounting disk disk.rx5

=== check
[ ! -e nothere.img ]
cmp head.img head2.img
# The short file replaced block 7 only.
(head -c 384 short.img; tail -c +385 head.img) | cmp - head3.img
cmp head.img head4.img
cmp boot.img boot2.img
cmp boot.img boot3.img
