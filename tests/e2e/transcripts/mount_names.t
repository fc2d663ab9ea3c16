# MOUNT: default extensions by type, the qualifier rules and the parameter
# checks; a failed MOUNT leaves nothing mounted; DISMOUNT; the disk still
# mounted at the end of input is dismounted. /READ_ONLY can be typed
# whole, underscore and all.
=== setup
truncate -s 409600 DISK.rx5
truncate -s 3325952 DISK.DSK
truncate -s 524288 DATA.nb3
=== stdin
MOUNT DISK
MOUNT /RK05 DISK.DSK
DIR
MOUNT /NB DATA
MOUNT /RX DATA
DIR
DISMOUNT
MOUNT /READ_ONLY DATA.nb3
ZERO /NOCONFIRM
MOUNT /RK05 MISSING
MOUNT
MOUNT A,B
MOUNT /PHYSICAL /RK05 X
MOUNT /NB03 /PHYSICAL X
MOUNT /PHYSICAL /RX01 A:
MOUNT /PHYSICAL /RX50 /VIRTUAL DISK
MOUNT /INITIALIZE /READ DATA
MOUNT /REA DATA.nb3
DISMOUNT X
DISMOUNT /NOW
MOUSE /READONLY DATA.nb3
=== stderr
ORVA>%ORVA-I, mounted virtual disk on file DISK.rx5
ORVA>%ORVA-I, dismounting disk DISK.rx5
%ORVA-I, mounted virtual disk on file DISK.DSK
ORVA>
Directory of DISK.DSK, partition 0
%ORVA-W, no files found to match *.*

Total of 0 blocks in 0 files.
0 blocks free.
ORVA>%ORVA-I, dismounting disk DISK.DSK
%ORVA-I, mounted virtual disk on file DATA.nb3
ORVA>%ORVA-I, dismounting disk DATA.nb3
%ORVA-E, unknown qualifier RX
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-I, mounted virtual disk on file DATA.nb3
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk DATA.nb3
%ORVA-E, unable to access virtual disk file MISSING.rk5 (No such file or directory)
ORVA>%ORVA-E, additional parameters required
ORVA>%ORVA-E, list not allowed - A,B
ORVA>%ORVA-E, /PHYSICAL can be used only with RX01, RX50 or HE02
ORVA>%ORVA-E, /PHYSICAL can be used only with RX01, RX50 or HE02
ORVA>%ORVA-E, unable to access physical disk drive A:
ORVA>%ORVA-I, mounted virtual disk on file DISK.rx5
ORVA>%ORVA-I, dismounting disk DISK.rx5
%ORVA-E, /INITIALIZE is incompatible with /READ_ONLY
ORVA>%ORVA-E, unknown qualifier REA
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, no qualifiers allowed - /NOW
ORVA>%ORVA-I, mounted virtual disk on file DATA.nb3
ORVA>%ORVA-I, dismounting disk DATA.nb3

