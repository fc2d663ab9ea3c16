# WRITE purges only the file stored under exactly the new name: makefile
# (MAKEFI) leaves MAKEFI.SV alone and x.c (X.C) leaves X.CM alone; writing
# them again replaces them. A file without extension reads back to a host
# name without the trailing dot.
=== setup
printf 'old\n' > old.txt
printf 'make\n' > makefile
printf 'int x;\n' > x.c
mkdir out
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE old.txt,old.txt MAKEFI.SV,X.CM
WRITE makefile,x.c
DIR
WRITE makefile,x.c
DIR
READ MAKEFI. out\
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote old.txt to MAKEFI.SV
%ORVA-I, wrote old.txt to X.CM
ORVA>%ORVA-I, wrote makefile to MAKEFI
%ORVA-I, wrote x.c to X.C
ORVA>
Directory of disk.rx1
MAKEFI.SV    1   @TODAY@  (0007)
X.CM         1   @TODAY@  (0010)
MAKEFI.      1   @TODAY@  (0011)
X.C          1   @TODAY@  (0012)

Total of 4 blocks in 4 files.
483 blocks free.
ORVA>%ORVA-I, purging existing version of MAKEFI.
%ORVA-I, wrote makefile to MAKEFI
%ORVA-I, purging existing version of X.C
%ORVA-I, wrote x.c to X.C
ORVA>
Directory of disk.rx1
MAKEFI.SV    1   @TODAY@  (0007)
X.CM         1   @TODAY@  (0010)
MAKEFI.      1   @TODAY@  (0013)
X.C          1   @TODAY@  (0014)

Total of 4 blocks in 4 files.
483 blocks free.
ORVA>%ORVA-I, read MAKEFI.SV into ASCII file out\MAKEFI.SV
%ORVA-I, read MAKEFI. into ASCII file out\MAKEFI.
ORVA>%ORVA-I, dismounting disk disk.rx1

=== check
host_text <makefile | cmp - out/MAKEFI
host_text <old.txt | cmp - out/MAKEFI.SV
[ ! -e out/MAKEFI. ]
