# DIRECTORY in the full and brief forms, with several patterns, a pattern
# that matches nothing, dates of 0, a tentative file of length 0 (which,
# as in OS/8's own listing, is not shown), and the listing in a host file.
# The brief lines keep their trailing blanks.
=== setup
. "$TRANSCRIPTS/images.sh"
truncate -s 2097152 DIR.he2
# Seven files, two free areas and a tentative file (entry index 37, so
# its length word is word 42 and word 3 holds 01400 + 42).
{
    segment 10 7 $((01400 + 42))
    entry A.TX 01563 2
    entry B.TX 0 1
    entry LONGNM.SV 06377 10
    empty 5
    entry C.BA 01563 3
    entry NOEXT 0410 1
    entry TENT.TX 01563 0
    empty 100
    entry D.TX 01563 4
    empty 3963
} | put DIR.he2 1
=== stdin
MOUNT /HE02 DIR
DIR
DIR/BRIEF
DIR/BRIEF *.TX
DIR/BRIEF *.TX,LONGNM.SV,X*,C.BA
DIR/FULL/BRIEF A.TX,Q*
DIR/BRIEF/FULL A.TX,A*
DIR Q*
DIR /SIZE
DIR *.TX LIST.TXT
DIR B.TX A,B
DIR *.* NODIR\X.TXT
DIR *.* \dev\full
DISMOUNT
DIR *.* EMPTY.TXT
DIR
=== stderr
ORVA>%ORVA-I, mounted virtual disk on file DIR.he2
ORVA>
Directory of DIR.he2
A.TX         2   14-MAR-89  (0007)
B.TX         1    (none)    (0011)
LONGNM.SV   10   31-DEC-93  (0012)
C.BA         3   14-MAR-89  (0031)
NOEXT.       1    1-JAN-86  (0034)
D.TX         4   14-MAR-89  (0201)

Total of 21 blocks in 6 files.
4068 blocks free.
ORVA>
Directory of DIR.he2
A.TX         B.TX         LONGNM.SV    C.BA         NOEXT.   
D.TX         

Total of 6 files.
ORVA>
Directory of DIR.he2
A.TX         B.TX         NOEXT.       D.TX         

Total of 4 files.
ORVA>
Directory of DIR.he2
A.TX         B.TX         NOEXT.       D.TX         
LONGNM.SV
%ORVA-W, no files found to match X*
C.BA         

Total of 6 files.
ORVA>
Directory of DIR.he2
A.TX         

%ORVA-W, no files found to match Q*

Total of 1 files.
ORVA>
Directory of DIR.he2
A.TX         2   14-MAR-89  (0007)
A.TX         2   14-MAR-89  (0007)

Total of 4 blocks in 2 files.
4068 blocks free.
ORVA>
Directory of DIR.he2
%ORVA-W, no files found to match Q*

Total of 0 blocks in 0 files.
4068 blocks free.
ORVA>%ORVA-E, unknown qualifier SIZE
ORVA>ORVA>%ORVA-E, list not allowed - A,B

Directory of DIR.he2
B.TX         1    (none)    (0011)

Total of 1 blocks in 1 files.
4068 blocks free.
ORVA>%ORVA-E, unable to write file NODIR\X.TXT (No such file or directory)
ORVA>%ORVA-E, unable to write file \dev\full (No space left on device)
ORVA>%ORVA-I, dismounting disk DIR.he2
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-E, no disk mounted
ORVA>
=== check
cat >expected <<'EOF'

Directory of DIR.he2
A.TX         2   14-MAR-89  (0007)
B.TX         1    (none)    (0011)
NOEXT.       1    1-JAN-86  (0034)
D.TX         4   14-MAR-89  (0201)

Total of 8 blocks in 4 files.
4068 blocks free.
EOF
host_text <expected | cmp - LIST.TXT
test -f EMPTY.TXT
test ! -s EMPTY.TXT
