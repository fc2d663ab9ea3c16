# RENAME reports the new name as it is stored (cut to 6.2 characters) and
# turns the characters WRITE turns into X into X, as WRITE does, instead of
# dropping them.
=== setup
printf 'a\n' > a.pa
printf 'b\n' > b.pa
printf 'c\n' > my-prog.pa
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE a.pa,b.pa,my-prog.pa
RENAME A.PA LONGNAME.PAX
RENAME B.PA MY-P.PA
RENAME MYXPRO.PA c_d
DIR /BRIEF
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.pa to A.PA
%ORVA-I, wrote b.pa to B.PA
%ORVA-I, wrote my-prog.pa to MYXPRO.PA
ORVA>%ORVA-I, Renamed A.PA to LONGNA.PA
ORVA>%ORVA-I, Renamed B.PA to MYXP.PA
ORVA>%ORVA-I, Renamed MYXPRO.PA to CXD.
ORVA>
Directory of disk.rx1
LONGNA.PA    MYXP.PA      CXD.         

Total of 3 files.
ORVA>%ORVA-I, dismounting disk disk.rx1

