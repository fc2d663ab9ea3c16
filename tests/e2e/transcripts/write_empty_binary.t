# An empty host file in image or byte mode would make a file of no blocks:
# it is refused before an older version of the same name is purged. In
# ASCII mode an empty file still makes a one-block text file.
=== setup
printf 'old data\n' > empty.bin
: > new.bin
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE empty.bin /IMAGE
@posix@!cp new.bin empty.bin
@windows@!copy /y new.bin empty.bin >NUL
WRITE empty.bin /IMAGE
WRITE empty.bin /BYTE
WRITE empty.bin
DIR
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-W, Partial last block written (not an image file?)
%ORVA-I, wrote empty.bin to EMPTY.BI
ORVA>ORVA>%ORVA-W, host file empty.bin is empty, nothing written
ORVA>%ORVA-W, host file empty.bin is empty, nothing written
ORVA>%ORVA-I, purging existing version of EMPTY.BI
%ORVA-I, wrote empty.bin to EMPTY.BI
ORVA>
Directory of disk.rx1
EMPTY.BI     1   @TODAY@  (0010)

Total of 1 blocks in 1 files.
486 blocks free.
ORVA>%ORVA-I, dismounting disk disk.rx1

