# WRITE in ASCII mode keeps OS/8's text rules but reports, once per file,
# what they changed: text after a control-Z is left out, and characters
# with bit 7 set (here UTF-8) lose it. A host line longer than 255
# characters is stored whole and comes back whole.
=== setup
printf 'kept\n\032lost\n' > cut.txt
printf 'ends in a control-Z\n\032' > dos.txt
printf 'caf\303\251 \342\202\254\n' > utf.txt
head -c 600 /dev/zero | tr '\0' 'w' > long.txt
printf '\nshort\n' >> long.txt
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE cut.txt,dos.txt,utf.txt,long.txt
READ CUT.TX,LONG.TX back.cut,back.long
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, wrote cut.txt to CUT.TX
%ORVA-W, cut.txt: text after a control-Z was not written
%ORVA-I, wrote dos.txt to DOS.TX
%ORVA-I, wrote utf.txt to UTF.TX
%ORVA-W, utf.txt: 5 characters outside 7-bit ASCII were changed
%ORVA-I, wrote long.txt to LONG.TX
ORVA>%ORVA-I, read CUT.TX into ASCII file back.cut
%ORVA-I, read LONG.TX into ASCII file back.long
ORVA>%ORVA-I, dismounting disk disk.rx1

=== check
printf 'kept\n' | host_text | cmp - back.cut
host_text <long.txt | cmp - back.long
