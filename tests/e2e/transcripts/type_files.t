# TYPE: several files and patterns, a pattern without matches, /CONFIRM
# answered NO and YES, a text that runs over two blocks, and the checks
# before anything is typed.
=== setup
. "$TRANSCRIPTS/images.sh"
truncate -s 2097152 TYPE.he2
{ segment 3 7; entry A.TX 01563 1; entry B.TX 01563 2; empty 4086; } | put TYPE.he2 1
text "FIRST FILE" "	TAB AND LINE 2" | put TYPE.he2 7
text SECOND "" "LINE 1 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" "LINE 2 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" "LINE 3 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" "LINE 4 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" "LINE 5 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" "LINE 6 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" "LINE 7 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789" END | put TYPE.he2 8
=== stdin
TYPE A.TX
MOUNT /HE02 TYPE
TYPE
TYPE A.TX B.TX
TYPE /X A.TX
TYPE a.tx,Q*,B.TX
TYPE/CONF A.TX
NO
TYPE /CONFIRM *.TX
N
Y
=== stderr
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-I, mounted virtual disk on file TYPE.he2
ORVA>%ORVA-E, additional parameters required
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, unknown qualifier X
ORVA>
[A.TX]

FIRST FILE
	TAB AND LINE 2

%ORVA-W, no files found to match Q*

[B.TX]

SECOND

LINE 1 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 2 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 3 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 4 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 5 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 6 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 7 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
END

ORVA>Type file A.TX ?ORVA>Type file A.TX ?Type file B.TX ?
[B.TX]

SECOND

LINE 1 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 2 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 3 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 4 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 5 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 6 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
LINE 7 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789
END

ORVA>%ORVA-I, dismounting disk TYPE.he2

