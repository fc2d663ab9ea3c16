# A host output that is the mounted image, under whatever name, is refused
# before it is opened: READ in every mode, READ /SYSTEM and /BOOT, and a
# DIRECTORY listing; the command goes on with its next item. A host
# wildcard of WRITE passes over the image silently; named on its own it is
# refused. The image keeps its size and its files.
=== setup
printf 'a\n' > a.txt
=== stdin
MOUNT /RX01 /INITIALIZE /SYSTEM disk
WRITE a.txt
@posix@!ln disk.rx1 link.rx1
@windows@!mklink /H link.rx1 disk.rx1
READ A.TX disk.rx1
READ A.TX,A.TX .\disk.rx1,copy.txt /IMAGE
READ A.TX link.rx1 /BYTE
READ /SYSTEM disk.rx1
READ /BOOT link.rx1
DIRECTORY *.* disk.rx1
WRITE *
WRITE disk.rx1
DIR /BRIEF
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.txt to A.TX
ORVA>ORVA>%ORVA-E, disk.rx1 is the mounted disk
ORVA>%ORVA-E, .\disk.rx1 is the mounted disk
%ORVA-I, read A.TX into image file copy.txt
ORVA>%ORVA-E, link.rx1 is the mounted disk
ORVA>%ORVA-E, disk.rx1 is the mounted disk
ORVA>%ORVA-E, link.rx1 is the mounted disk
ORVA>%ORVA-E, disk.rx1 is the mounted disk
ORVA>%ORVA-I, purging existing version of A.TX
%ORVA-I, wrote a.txt to A.TX
%ORVA-I, wrote copy.txt to COPY.TX
%ORVA-W, copy.txt: 4 characters outside 7-bit ASCII were changed
ORVA>%ORVA-E, disk.rx1 is the mounted disk
ORVA>
Directory of disk.rx1
A.TX         COPY.TX      

Total of 2 files.
ORVA>%ORVA-I, dismounting disk disk.rx1

=== check
test "$(wc -c < disk.rx1)" = 256256
