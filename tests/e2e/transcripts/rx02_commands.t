# Every command on an RX02 floppy image. /RX02 selects the type and .rx2 is
# its default extension; /INITIALIZE makes a 512,512-byte image with a
# directory of 988 blocks; WRITE, TYPE, READ, RENAME, DELETE and DIRECTORY
# work on it; DUMP stops after block 987; ZERO /SYSTEM leaves blocks 7-55 to
# the system head, which goes out and back with the boot block; /PHYSICAL,
# /RX0 and PARTITION are refused, and a read-only floppy takes no writes.
=== setup
printf 'HELLO FLOPPY\nSECOND LINE\n' > a.txt
head -c 18816 /dev/urandom > head.img
head -c 384 /dev/urandom > boot.img
=== stdin
MOUNT /PHYSICAL /RX02 X
MOUNT /RX0 /INITIALIZE floppy
MOUNT /RX02 /INITIALIZE floppy
WRITE a.txt
TYPE A.TX
READ A.TX back.txt
RENAME A.TX B.TX
DIR
PARTITION B
DUMP 988
DELETE B.TX
DIR /BRIEF
ZERO /SYSTEM
Y
WRITE /SYSTEM head.img
WRITE /BOOT boot.img
READ /SYSTEM head2.img
READ /BOOT boot2.img
DUMP 1
DISMOUNT
MOUNT /RX02 /READ floppy
WRITE a.txt
=== stderr
ORVA>%ORVA-E, /PHYSICAL can be used only with RX01, RX50 or HE02
ORVA>%ORVA-E, unknown qualifier RX0
ORVA>%ORVA-I, virtual disk file floppy.rx2 initialized
ORVA>%ORVA-I, wrote a.txt to A.TX
ORVA>
[A.TX]

HELLO FLOPPY
SECOND LINE

ORVA>%ORVA-I, read A.TX into ASCII file back.txt
ORVA>%ORVA-I, Renamed A.TX to B.TX
ORVA>
Directory of floppy.rx2
B.TX         1   @TODAY@  (0007)

Total of 1 blocks in 1 files.
980 blocks free.
ORVA>%ORVA-E, invalid partition name B
ORVA>%ORVA-E, block number is too large for disk
ORVA>%ORVA-I, deleted file B.TX
ORVA>
Directory of floppy.rx2
%ORVA-W, no files found to match *.*

Total of 0 files.
ORVA>Initialize the current disk/partition ?ORVA>%ORVA-I, OS/8 system head written from head.img
ORVA>%ORVA-I, boot block written from boot.img
ORVA>%ORVA-I, OS/8 system head copied to head2.img
ORVA>%ORVA-I, boot block copied to boot2.img
ORVA>
Dump of OS/8 LBN 1 (0001)
0000/ 7777 0070 0000 0000 7777 0000 6134 0000  ?? 8    ??  1\    .8p.....p\.@
0010/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0020/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0030/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0040/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0050/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0060/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0070/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0100/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0110/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0120/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0130/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0140/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0150/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0160/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0170/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0200/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0210/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0220/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0230/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0240/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0250/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0260/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0270/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0300/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0310/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0320/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0330/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0340/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0350/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0360/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............
0370/ 0000 0000 0000 0000 0000 0000 0000 0000                    ............

ORVA>%ORVA-I, dismounting disk floppy.rx2
ORVA>%ORVA-I, mounted virtual disk on file floppy.rx2
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk floppy.rx2

=== check
# Block 1 is records 2 and 3: track 1, sectors 7 and 10 (bytes 8192 and
# 8960). Its first two words, 7777 and 0070, are packed into three bytes;
# the last 64 bytes of each sector are zero.
test $(wc -c <floppy.rx2) -eq 512512
test "$(echo $(od -An -v -tx1 -j 8192 -N 3 floppy.rx2))" = "ff f0 38"
test "$(echo $(od -An -v -tx1 -j 8384 -N 64 floppy.rx2) | tr -d ' 0')" = ""
host_text <a.txt | cmp - back.txt
cmp head.img head2.img
cmp boot.img boot2.img
