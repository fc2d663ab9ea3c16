# MOUNT without a type qualifier takes the type from a known extension of
# the image name (case folded); a qualifier still decides; a name without a
# known extension stays RX50. An image larger than its type is mounted read
# only with a warning, also with /INITIALIZE; a short image is a valid disk.
# The TU56 and RX02 extensions (.tu56, .dt8, .rx2, .rx02) work the same way.
=== setup
printf 'a\n' > a.txt
"$ORVA" 2>/dev/null <<'END'
MOUNT /RX01 /INITIALIZE one.rx1
WRITE a.txt
MOUNT /RK05 /INITIALIZE pack.RK05
WRITE a.txt
END
cp one.rx1 two.RX01
cp one.rx1 other.img
"$ORVA" 2>/dev/null <<'END'
MOUNT /TU56 /INITIALIZE tape.tu56
WRITE a.txt
MOUNT /RX02 /INITIALIZE floppy.rx2
WRITE a.txt
END
cp tape.tu56 tape2.DT8
cp floppy.rx2 floppy2.RX02
truncate -s 380293 big.tu56
truncate -s 300000 big.rx1
truncate -s 100000 short.nb3
=== stdin
MOUNT one.rx1
DIR /BRIEF
MOUNT two.RX01
DIR /BRIEF
MOUNT pack.RK05
DIR /BRIEF
MOUNT /RX01 other.img
DIR /BRIEF
MOUNT other.img
MOUNT /RX50 one.rx1
MOUNT big.rx1
WRITE a.txt
MOUNT /INITIALIZE /NOCONFIRM big.rx1
DISMOUNT
MOUNT short.nb3
MOUNT tape2.DT8
DIR /BRIEF
MOUNT floppy2.RX02
DIR /BRIEF
MOUNT big.tu56
=== stderr
ORVA>%ORVA-I, mounted virtual disk on file one.rx1
ORVA>
Directory of one.rx1
A.TX         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk one.rx1
%ORVA-I, mounted virtual disk on file two.RX01
ORVA>
Directory of two.RX01
A.TX         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk two.RX01
%ORVA-I, mounted virtual disk on file pack.RK05
ORVA>
Directory of pack.RK05, partition 0
A.TX         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk pack.RK05
%ORVA-I, mounted virtual disk on file other.img
ORVA>
Directory of other.img
A.TX         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk other.img
%ORVA-I, mounted virtual disk on file other.img
ORVA>%ORVA-I, dismounting disk other.img
%ORVA-I, mounted virtual disk on file one.rx1
ORVA>%ORVA-I, dismounting disk one.rx1
%ORVA-W, big.rx1 is larger than a RX01 disk (256256 bytes); check the type qualifier
%ORVA-I, mounted virtual disk on file big.rx1
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk big.rx1
%ORVA-W, big.rx1 is larger than a RX01 disk (256256 bytes); check the type qualifier
%ORVA-I, mounted virtual disk on file big.rx1
ORVA>%ORVA-I, dismounting disk big.rx1
ORVA>%ORVA-I, mounted virtual disk on file short.nb3
ORVA>%ORVA-I, dismounting disk short.nb3
%ORVA-I, mounted virtual disk on file tape2.DT8
ORVA>
Directory of tape2.DT8
A.TX         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk tape2.DT8
%ORVA-I, mounted virtual disk on file floppy2.RX02
ORVA>
Directory of floppy2.RX02
A.TX         

Total of 1 files.
ORVA>%ORVA-I, dismounting disk floppy2.RX02
%ORVA-W, big.tu56 is larger than a TU56 disk (380292 bytes); check the type qualifier
%ORVA-I, mounted virtual disk on file big.tu56
ORVA>%ORVA-I, dismounting disk big.tu56

=== check
test "$(wc -c < big.rx1)" = 300000
