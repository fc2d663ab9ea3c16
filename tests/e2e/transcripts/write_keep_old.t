# WRITE over an existing file keeps the old version when the new data would
# not fit even in the room the purge would leave; when it fits, the old file
# is purged and the new one goes to the largest free area as before. A data
# set too large with no older file, and a full directory, change nothing.
=== setup
head -c 115200 /dev/urandom > big.img
head -c 38400 /dev/urandom > other.img
head -c 153600 /dev/zero > bigger.img
head -c 96000 /dev/urandom > mid.img
head -c 22272 /dev/zero > fill87.bin
head -c 12800 /dev/zero > fill50.bin
printf 'a\n' > a.txt
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE big.img,other.img BIG.IM,OTHER.IM /IMAGE
WRITE bigger.img BIG.IM /IMAGE
WRITE bigger.img NEW.IM /IMAGE
DIR
READ BIG.IM kept.img /IMAGE
WRITE mid.img BIG.IM /IMAGE
WRITE fill87.bin,fill50.bin /BYTE
DIR
WRITE a.txt
WRITE a.txt OTHER.IM
DIR
READ BIG.IM new.img /IMAGE
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote big.img to BIG.IM
%ORVA-I, wrote other.img to OTHER.IM
ORVA>%ORVA-W, not enough room for BIG.IM
ORVA>%ORVA-W, not enough room for NEW.IM
ORVA>
Directory of disk.rx1
BIG.IM     300   @TODAY@  (0007)
OTHER.IM   100   @TODAY@  (0463)

Total of 400 blocks in 2 files.
87 blocks free.
ORVA>%ORVA-I, read BIG.IM into image file kept.img
ORVA>%ORVA-I, purging existing version of BIG.IM
%ORVA-I, wrote mid.img to BIG.IM
ORVA>%ORVA-I, wrote fill87.bin to FILL87.BI
%ORVA-I, wrote fill50.bin to FILL50.BI
ORVA>
Directory of disk.rx1
BIG.IM     250   @TODAY@  (0007)
FILL50.BI   50   @TODAY@  (0401)
OTHER.IM   100   @TODAY@  (0463)
FILL87.BI   87   @TODAY@  (0627)

Total of 487 blocks in 4 files.
0 blocks free.
ORVA>%ORVA-W, no room (disk full) for A.TX
ORVA>%ORVA-I, purging existing version of OTHER.IM
%ORVA-I, wrote a.txt to OTHER.IM
ORVA>
Directory of disk.rx1
BIG.IM     250   @TODAY@  (0007)
FILL50.BI   50   @TODAY@  (0401)
OTHER.IM     1   @TODAY@  (0463)
FILL87.BI   87   @TODAY@  (0627)

Total of 388 blocks in 4 files.
99 blocks free.
ORVA>%ORVA-I, read BIG.IM into image file new.img
ORVA>%ORVA-I, dismounting disk disk.rx1

=== check
cmp kept.img big.img
cmp new.img mid.img
