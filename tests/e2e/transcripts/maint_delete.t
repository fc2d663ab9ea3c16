# DELETE: parameter and disk checks, the confirmation (default NO), a list
# of patterns with one that matches nothing, and freed blocks merging back
# into one free area (the next file starts at block 7 again).
=== setup
for f in a b c d; do printf "$f\n" > $f.bk; done
printf 'k\n' > keep.pa
=== stdin
DELETE
DELETE A.BK B.BK
DELETE /FOO A.BK
DELETE A.BK
MOUNT /RX01 /INITIALIZE disk
WRITE a.bk,b.bk,c.bk,keep.pa,d.bk
DELETE C.BK /CONFIRM

DELETE *.BK /CONFIRM
N
Y
y

DIR
DELETE *.BK,*.XX,KEEP.PA
WRITE a.bk
DIR
DISMOUNT
MOUNT /RX01 /READ disk
DELETE A.BK
=== stderr
ORVA>%ORVA-E, additional parameters required
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, unknown qualifier FOO
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.bk to A.BK
%ORVA-I, wrote b.bk to B.BK
%ORVA-I, wrote c.bk to C.BK
%ORVA-I, wrote keep.pa to KEEP.PA
%ORVA-I, wrote d.bk to D.BK
ORVA>Delete file C.BK ?ORVA>Delete file A.BK ?Delete file B.BK ?%ORVA-I, deleted file B.BK
Delete file C.BK ?%ORVA-I, deleted file C.BK
Delete file D.BK ?ORVA>
Directory of disk.rx1
A.BK         1   @TODAY@  (0007)
KEEP.PA      1   @TODAY@  (0012)
D.BK         1   @TODAY@  (0013)

Total of 3 blocks in 3 files.
484 blocks free.
ORVA>%ORVA-I, deleted file A.BK
%ORVA-I, deleted file D.BK
%ORVA-W, no files found to delete *.XX
%ORVA-I, deleted file KEEP.PA
ORVA>%ORVA-I, wrote a.bk to A.BK
ORVA>
Directory of disk.rx1
A.BK         1   @TODAY@  (0007)

Total of 1 blocks in 1 files.
486 blocks free.
ORVA>%ORVA-I, dismounting disk disk.rx1
ORVA>%ORVA-I, mounted virtual disk on file disk.rx1
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk disk.rx1

