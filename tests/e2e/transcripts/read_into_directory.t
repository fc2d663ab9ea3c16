# READ to an existing host directory named without a separator at its end
# puts the file in it (named after the OS/8 file) instead of creating a
# file beside it; a destination that is not a directory is a file name.
=== setup
mkdir sub
printf 'a\n' > a.tx
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE a.tx
READ A.TX sub
READ A.TX sub /IMAGE
READ A.TX file
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote a.tx to A.TX
ORVA>%ORVA-I, read A.TX into ASCII file sub/A.TX
ORVA>%ORVA-E, unable to write image file sub/A.TX (File exists)
ORVA>%ORVA-I, read A.TX into ASCII file file.TX
ORVA>%ORVA-I, dismounting disk disk.rx1

=== check
host_text <a.tx | cmp - sub/A.TX
test ! -e sub.TX
host_text <a.tx | cmp - file.TX
