# ZERO: checks, the question (default NO), /NOCONFIRM, and /SYSTEM, which
# keeps blocks 7-55 out of the free area (3192 of an RK05 unit's 3248 blocks
# are free, from block 56). Only the current unit is zeroed.
=== setup
printf 'a\n' > a.txt
head -c 817408 /dev/zero > big.bin
head -c 817152 /dev/zero > exact.bin
=== stdin
ZERO
ZERO X
ZERO /FOO
MOUNT /RK05 /INITIALIZE disk
WRITE a.txt
ZERO

ZERO /CONFIRM
N
PARTITION B
WRITE a.txt
ZERO /SYSTEM
Y
WRITE big.bin,exact.bin /BYTE
DIR
PARTITION A
DIR
ZERO /NOCONFIRM /SYSTEM /NOSYSTEM
WRITE a.txt
DIR
DISMOUNT
MOUNT /RK05 /READ disk
ZERO /NOCONF
=== stderr
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, unknown qualifier FOO
ORVA>%ORVA-I, virtual disk file disk.rk5 initialized
ORVA>%ORVA-I, wrote a.txt to A.TX
ORVA>Initialize the current disk/partition ?ORVA>Initialize the current disk/partition ?ORVA>ORVA>%ORVA-I, wrote a.txt to A.TX
ORVA>Initialize the current disk/partition ?ORVA>%ORVA-W, not enough room for BIG.BI
%ORVA-I, wrote exact.bin to EXACT.BI
ORVA>
Directory of disk.rk5, partition 1
EXACT.BI  3192   @TODAY@  (0070)

Total of 3192 blocks in 1 files.
0 blocks free.
ORVA>ORVA>
Directory of disk.rk5, partition 0
A.TX         1   @TODAY@  (0007)

Total of 1 blocks in 1 files.
3240 blocks free.
ORVA>ORVA>%ORVA-I, wrote a.txt to A.TX
ORVA>
Directory of disk.rk5, partition 0
A.TX         1   @TODAY@  (0007)

Total of 1 blocks in 1 files.
3240 blocks free.
ORVA>%ORVA-I, dismounting disk disk.rk5
ORVA>%ORVA-I, mounted virtual disk on file disk.rk5
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk disk.rk5

