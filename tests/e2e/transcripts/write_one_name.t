# One host pattern that matches several files is refused, before anything
# changes on the disk, when its destination names a single file (ALL.TX,
# ALL) or when two of the files would be stored under one name (the long
# names that all begin with LONGNA); a destination pattern such as *.TX, or
# a single match, is written as before.
=== setup
printf 'one\n' > n1.txt
printf 'two\n' > n2.txt
printf 'a\n' > longname1.txt
printf 'b\n' > longname2.txt
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE n*.txt ALL.TX
WRITE n*.txt,n1.txt ALL,ONE.TX
WRITE longname*.txt
WRITE longname*.txt *1.TX
DIR /BRIEF
WRITE n*.txt *.TX
WRITE n2* TWO.TX
DIR /BRIEF
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-E, n*.txt matches several host files; give a destination pattern such as *.TX
ORVA>%ORVA-E, n*.txt matches several host files; give a destination pattern such as *.TX
%ORVA-I, wrote n1.txt to ONE.TX
ORVA>%ORVA-E, longname*.txt matches several host files; give a destination pattern such as *.TX
ORVA>%ORVA-E, longname*.txt matches several host files; give a destination pattern such as *.TX
ORVA>
Directory of disk.rx1
ONE.TX       

Total of 1 files.
ORVA>%ORVA-I, wrote n1.txt to N1.TX
%ORVA-I, wrote n2.txt to N2.TX
ORVA>%ORVA-I, wrote n2.txt to TWO.TX
ORVA>
Directory of disk.rx1
ONE.TX       N1.TX        N2.TX        TWO.TX       

Total of 4 files.
ORVA>%ORVA-I, dismounting disk disk.rx1

