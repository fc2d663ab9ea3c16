# READ destinations: one directory for several files, one destination per
# file, a pattern, several files to one fixed name (ASCII replaces, image and
# byte refuse), existing host files, confirmation, and the modes.
=== setup
printf 'first file\n' > a.txt
printf 'second file\n' > b.txt
printf 'third file\n' > c.txt
mkdir out
printf 'precious\n' > keep.img
printf 'old text\n' > keep.txt
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE a.txt,b.txt,c.txt
READ A.TX,B.TX,C.TX out\
READ A.TX,B.TX,C.TX out\,other\
READ A.TX,B.TX one.txt,*.LST
READ *.TX same.txt
READ *.TX same.img /IMAGE
READ *.TX same.bin /BYTE
READ C.TX keep.img /IMAGE
READ C.TX keep.txt
READ Z.TX,A.TX *.asc
READ A.TX,B.TX /CONFIRM
N

READ A.TX nothere\
READ /IMAGE/BYTE A.TX
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.txt to A.TX
%ORVA-I, wrote b.txt to B.TX
%ORVA-I, wrote c.txt to C.TX
ORVA>%ORVA-I, read A.TX into ASCII file out\A.TX
%ORVA-I, read B.TX into ASCII file out\B.TX
%ORVA-I, read C.TX into ASCII file out\C.TX
ORVA>%ORVA-E, both lists must have the same number of items
ORVA>%ORVA-I, read A.TX into ASCII file one.txt
%ORVA-I, read B.TX into ASCII file B.LST
ORVA>%ORVA-I, read A.TX into ASCII file same.txt
%ORVA-I, read B.TX into ASCII file same.txt
%ORVA-I, read C.TX into ASCII file same.txt
ORVA>%ORVA-I, read A.TX into image file same.img
%ORVA-E, unable to write image file same.img (File exists)
%ORVA-E, unable to write image file same.img (File exists)
ORVA>%ORVA-I, read A.TX into byte file same.bin
%ORVA-E, unable to write image file same.bin (File exists)
%ORVA-E, unable to write image file same.bin (File exists)
ORVA>%ORVA-E, unable to write image file keep.img (File exists)
ORVA>%ORVA-I, read C.TX into ASCII file keep.txt
ORVA>%ORVA-W, no files found to match Z.TX
%ORVA-I, read A.TX into ASCII file A.asc
ORVA>Read A.TX into A.TX ?Read B.TX into B.TX ?%ORVA-I, read B.TX into ASCII file B.TX
ORVA>%ORVA-E, unable to write ASCII file nothere\A.TX (No such file or directory)
ORVA>%ORVA-I, read A.TX into byte file A.TX
ORVA>%ORVA-I, dismounting disk disk.rx1

=== check
host_text <a.txt | cmp - out/A.TX
host_text <b.txt | cmp - out/B.TX
host_text <c.txt | cmp - out/C.TX
host_text <a.txt | cmp - one.txt
host_text <b.txt | cmp - B.LST
host_text <c.txt | cmp - same.txt
host_text <c.txt | cmp - keep.txt
host_text <a.txt | cmp - A.asc
host_text <b.txt | cmp - B.TX
[ ! -e other ] && [ ! -e nothere ]
printf 'precious\n' | cmp - keep.img
[ "$(wc -c < same.img)" = 384 ] && [ "$(wc -c < same.bin)" = 256 ]
# The image holds the text as stored, bit 7 set: "fir" is E6 E9 F2.
[ "$(head -c 3 same.img | od -An -tx1 | tr -d ' ')" = e6e9f2 ]
[ "$(wc -c < A.TX)" = 256 ]
# Image and byte files are created for their owner alone (where the host
# has such permission bits).
@posix@[ "$(stat -c %a same.img)" = 600 ] && [ "$(stat -c %a same.bin)" = 600 ]
