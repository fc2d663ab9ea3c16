# DELETE and RENAME act on whole names only: a pattern that would begin
# other names (PROG, A.TX, *.SV, FOO.B) leaves those names alone, while
# DIRECTORY still lists every name a pattern begins.
=== setup
. "$TRANSCRIPTS/images.sh"
truncate -s 3325952 disk.rk5
{ segment 8 7; entry PROGRM.SV 0 1; entry PROG.BA 0 1; entry PROG. 0 1; entry A. 0 1; entry A.TX 0 1;
  entry CORE. 0 1; entry FOO.BA 0 1; entry FOO.B 0 1; empty 100; } | put disk.rk5 1
=== stdin
MOUNT /RK05 disk
DIR PROG /BRIEF
DELETE PROG
DELETE A.TX
DELETE *.SV
RENAME FOO.B FOO.C
DIR /BRIEF
DELETE PROG*,FOO*.*
RENAME A FOO.C
DIR /BRIEF
=== stderr
ORVA>%ORVA-I, mounted virtual disk on file disk.rk5
ORVA>
Directory of disk.rk5, partition 0
PROGRM.SV    PROG.BA      PROG.        

Total of 3 files.
ORVA>%ORVA-I, deleted file PROG.
ORVA>%ORVA-I, deleted file A.TX
ORVA>%ORVA-I, deleted file PROGRM.SV
ORVA>%ORVA-I, Renamed FOO.B to FOO.C
ORVA>
Directory of disk.rk5, partition 0
PROG.BA      A.           CORE.        FOO.BA       FOO.C    

Total of 5 files.
ORVA>%ORVA-I, deleted file PROG.BA
%ORVA-I, deleted file FOO.BA
%ORVA-I, deleted file FOO.C
ORVA>%ORVA-I, Renamed A. to FOO.C
ORVA>
Directory of disk.rk5, partition 0
FOO.C        CORE.        

Total of 2 files.
ORVA>%ORVA-I, dismounting disk disk.rk5

