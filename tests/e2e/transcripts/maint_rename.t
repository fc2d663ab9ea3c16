# RENAME: parameter checks, pairs of lists, a new name that exists (also
# when it exists only as stored: FOOBARX.PA is stored as FOOBAR.PA, and a
# file's own name), a new name without name characters (refused, the next
# file renamed), the confirmation (default YES), and an unmatched pattern.
=== setup
for f in foo a b foobar main; do printf "$f\n" > $f.pa; done
=== stdin
RENAME A.PA
RENAME A.PA,B.PA C.PA
RENAME /X A.PA B.PA
RENAME A.PA B.PA
MOUNT /RX01 /INITIALIZE disk
WRITE foo.pa,a.pa,b.pa,foobar.pa,main.pa
RENAME FOO.PA BAR.PA
RENAME A.PA,B.PA C.PA,D.PA
RENAME C.PA BAR.PA
RENAME D.PA FOOBARX.PA
RENAME D.PA D.PA
RENAME BAR.PA,D.PA .TX,E.TX
RENAME *.PA *.BK /CONFIRM
N

Y
N
RENAME NONE.PA,E.TX X.PA,E
DIR
=== stderr
ORVA>%ORVA-E, additional parameters required
ORVA>%ORVA-E, both parameters must have the same number of items
ORVA>%ORVA-E, unknown qualifier X
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote foo.pa to FOO.PA
%ORVA-I, wrote a.pa to A.PA
%ORVA-I, wrote b.pa to B.PA
%ORVA-I, wrote foobar.pa to FOOBAR.PA
%ORVA-I, wrote main.pa to MAIN.PA
ORVA>%ORVA-I, Renamed FOO.PA to BAR.PA
ORVA>%ORVA-I, Renamed A.PA to C.PA
%ORVA-I, Renamed B.PA to D.PA
ORVA>%ORVA-W, new name already exists BAR.PA
ORVA>%ORVA-W, new name already exists FOOBAR.PA
ORVA>%ORVA-W, new name already exists D.PA
ORVA>%ORVA-E, invalid OS/8 file name .TX
%ORVA-I, Renamed D.PA to E.TX
ORVA>Rename BAR.PA to BAR.BK ?Rename C.PA to C.BK ?%ORVA-I, Renamed C.PA to C.BK
Rename FOOBAR.PA to FOOBAR.BK ?%ORVA-I, Renamed FOOBAR.PA to FOOBAR.BK
Rename MAIN.PA to MAIN.BK ?ORVA>%ORVA-W, no files found to rename NONE.PA
%ORVA-I, Renamed E.TX to E.
ORVA>
Directory of disk.rx1
BAR.PA       1   @TODAY@  (0007)
C.BK         1   @TODAY@  (0010)
E.           1   @TODAY@  (0011)
FOOBAR.BK    1   @TODAY@  (0012)
MAIN.PA      1   @TODAY@  (0013)

Total of 5 blocks in 5 files.
482 blocks free.
ORVA>%ORVA-I, dismounting disk disk.rx1

