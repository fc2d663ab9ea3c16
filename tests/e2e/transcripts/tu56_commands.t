# Every command on a TU56 DECtape image. /TU selects the type and .tu56 is
# its default extension; /INITIALIZE makes the simulator's 129-word form
# (380,292 bytes) with a directory of 737 blocks; WRITE, TYPE, READ, RENAME,
# DELETE and DIRECTORY work on it; DUMP stops after block 736; ZERO /SYSTEM
# leaves blocks 7-55 to the system head, which goes out and back with the
# boot block; /PHYSICAL and PARTITION are refused, and a read-only tape
# takes no writes.
=== setup
printf 'HELLO TAPE\nSECOND LINE\n' > a.txt
head -c 18816 /dev/urandom > head.img
head -c 384 /dev/urandom > boot.img
=== stdin
MOUNT /PHYSICAL /TU56 X
MOUNT /TU /INITIALIZE tape
WRITE a.txt
TYPE A.TX
READ A.TX back.txt
RENAME A.TX B.TX
DIR
PARTITION 1
DUMP 737
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
MOUNT /TU56 /READ tape
WRITE a.txt
=== stderr
ORVA>%ORVA-E, /PHYSICAL can be used only with RX01, RX50 or HE02
ORVA>%ORVA-I, virtual disk file tape.tu56 initialized
ORVA>%ORVA-I, wrote a.txt to A.TX
ORVA>
[A.TX]

HELLO TAPE
SECOND LINE

ORVA>%ORVA-I, read A.TX into ASCII file back.txt
ORVA>%ORVA-I, Renamed A.TX to B.TX
ORVA>
Directory of tape.tu56
B.TX         1   @TODAY@  (0007)

Total of 1 blocks in 1 files.
729 blocks free.
ORVA>%ORVA-E, invalid partition name 1
ORVA>%ORVA-E, block number is too large for disk
ORVA>%ORVA-I, deleted file B.TX
ORVA>
Directory of tape.tu56
%ORVA-W, no files found to match *.*

Total of 0 files.
ORVA>Initialize the current disk/partition ?ORVA>%ORVA-I, OS/8 system head written from head.img
ORVA>%ORVA-I, boot block written from boot.img
ORVA>%ORVA-I, OS/8 system head copied to head2.img
ORVA>%ORVA-I, boot block copied to boot2.img
ORVA>
Dump of OS/8 LBN 1 (0001)
0000/ 7777 0070 0000 0000 7777 0000 6527 0000  ?? 8    ??  5W    .8p.....pW.P
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

ORVA>%ORVA-I, dismounting disk tape.tu56
ORVA>%ORVA-I, mounted virtual disk on file tape.tu56
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk tape.tu56

=== check
# The first seven words of block 1: tape block 2, at byte 516.
test $(wc -c <tape.tu56) -eq 380292
test "$(echo $(od -An -v -tu2 -j 516 -N 14 tape.tu56))" = "4095 56 0 0 4095 0 3415"
host_text <a.txt | cmp - back.txt
cmp head.img head2.img
cmp boot.img boot2.img
