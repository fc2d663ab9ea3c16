# A read error on a host file (reading /proc/self/mem at offset 0 fails)
# is reported as such and leaves no entry behind, in every mode; the next
# host file is written. Under wine the host reports that read as an
# invalid argument.
=== setup
if [ ! -e /proc/self/mem ] || head -c 1 /proc/self/mem >/dev/null 2>&1; then
  echo "no host file that fails to read"; exit 77
fi
printf 'a\n' > a.txt
=== stdin
MOUNT /RX01 /INITIALIZE disk
WRITE \proc\self\mem,a.txt /IMAGE
WRITE \proc\self\mem
WRITE \proc\self\mem /BYTE
DIR
=== stderr
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
@posix@ORVA>%ORVA-E, error reading file \proc\self\mem (Input/output error)
@windows@ORVA>%ORVA-E, error reading file \proc\self\mem (Invalid argument)
%ORVA-W, Partial last block written (not an image file?)
%ORVA-I, wrote a.txt to A.TX
@posix@ORVA>%ORVA-E, error reading file \proc\self\mem (Input/output error)
@windows@ORVA>%ORVA-E, error reading file \proc\self\mem (Invalid argument)
@posix@ORVA>%ORVA-E, error reading file \proc\self\mem (Input/output error)
@windows@ORVA>%ORVA-E, error reading file \proc\self\mem (Invalid argument)
ORVA>
Directory of disk.rx1
A.TX         1   @TODAY@  (0007)

Total of 1 blocks in 1 files.
486 blocks free.
ORVA>%ORVA-I, dismounting disk disk.rx1

