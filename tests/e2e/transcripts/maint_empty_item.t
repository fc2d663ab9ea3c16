# An empty item in a DELETE or RENAME list names no file: it does not act
# as a pattern that matches every name.
=== setup
for f in a b c; do printf "$f\n" > $f.pa; done
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE a.pa,b.pa,c.pa
DELETE A.PA,,B.PA
RENAME ,C.PA X.PA,Y.PA
DIR /BRIEF
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.pa to A.PA
%ORVA-I, wrote b.pa to B.PA
%ORVA-I, wrote c.pa to C.PA
ORVA>%ORVA-I, deleted file A.PA
%ORVA-W, no files found to delete 
%ORVA-I, deleted file B.PA
ORVA>%ORVA-W, no files found to rename 
%ORVA-I, Renamed C.PA to Y.PA
ORVA>
Directory of disk.rx1
Y.PA         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk disk.rx1

