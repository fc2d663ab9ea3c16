# WRITE destinations pair with host files by position (a.txt,b.txt X.TX
# gives X.TX and B.TX); a host wildcard that finds only directories matches
# nothing; a host file whose name has no name characters (.profile) is
# refused and the next file written; the confirmations default to YES for
# writing and NO for purging.
=== setup
mkdir in dirs dirs/one.txt dirs/two.txt
printf 'alpha\n' > a.txt
printf 'beta\n' > b.txt
printf 'dot\n' > in/.profile
printf 'gamma\n' > in/g.txt
printf 'hyphen\n' > in/my-file.c
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE a.txt,b.txt X.TX
WRITE dirs\*.txt,none.txt
WRITE in\*.*
WRITE in\*.* /CONFIRM


N
WRITE a.txt /CONFIRM
Y
WRITE in\g.txt /CONFIRM

Y
DIR
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.txt to X.TX
%ORVA-I, wrote b.txt to B.TX
ORVA>%ORVA-W, no files found to match dirs\*.txt
%ORVA-W, no files found to match none.txt
ORVA>%ORVA-E, invalid OS/8 file name .PR
%ORVA-I, wrote in\g.txt to G.TX
%ORVA-I, wrote in\my-file.c to MYXFIL.C
ORVA>%ORVA-E, invalid OS/8 file name .PR
Write in\g.txt to G.TX ?Purge existing file G.TX ?Write in\my-file.c to MYXFIL.C ?ORVA>Write a.txt to A.TX ?%ORVA-I, wrote a.txt to A.TX
ORVA>Write in\g.txt to G.TX ?Purge existing file G.TX ?%ORVA-I, wrote in\g.txt to G.TX
ORVA>
Directory of disk.rx1
X.TX         1   @TODAY@  (0007)
B.TX         1   @TODAY@  (0010)
MYXFIL.C     1   @TODAY@  (0012)
A.TX         1   @TODAY@  (0013)
G.TX         1   @TODAY@  (0014)

Total of 5 blocks in 5 files.
482 blocks free.
ORVA>%ORVA-I, dismounting disk disk.rx1

