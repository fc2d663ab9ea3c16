# A damaged directory or a file that runs past the end of the disk ends
# DIRECTORY and TYPE with the error and the program goes on; a listing into
# a host file keeps what was listed before the error.
=== setup
. "$TRANSCRIPTS/images.sh"
truncate -s 2097152 BAD.he2 EDGE.he2
# Segment 1 links to segment 2, which links back to segment 1.
{ words 07777 7 2 0 07777; entry A.TX 01563 1; } | put BAD.he2 1
{ words 07777 8 1 0 07777; entry B.TX 01563 1; } | put BAD.he2 2
# A text without its control-Z in the last ten blocks of the disk.
{ segment 1 4090; entry LONG.TX 01563 10; } | put EDGE.he2 1
=== stdin
MOUNT /HE02 BAD
DIR *.* LIST.TXT
@posix@!cat LIST.TXT
@windows@!type LIST.TXT
DIR
TYPE *.TX
MOUNT /HE02 EDGE
TYPE LONG.TX
DIR
=== stderr
ORVA>%ORVA-I, mounted virtual disk on file BAD.he2
ORVA>%ORVA-E, directory segment 2 is damaged
ORVA>ORVA>
Directory of BAD.he2
A.TX         1   14-MAR-89  (0007)
%ORVA-E, directory segment 2 is damaged
ORVA>
[A.TX]


%ORVA-E, directory segment 2 is damaged
ORVA>%ORVA-I, dismounting disk BAD.he2
%ORVA-I, mounted virtual disk on file EDGE.he2
ORVA>
[LONG.TX]

%ORVA-E, block 4096 is outside disk EDGE.he2
ORVA>
Directory of EDGE.he2
LONG.TX     10   14-MAR-89  (7772)

Total of 10 blocks in 1 files.
0 blocks free.
ORVA>%ORVA-I, dismounting disk EDGE.he2

=== stdout

Directory of BAD.he2
A.TX         1   14-MAR-89  (0007)

