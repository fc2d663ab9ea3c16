# An unknown command word (upper-cased) is reported, then the help follows.
# MO and DIS are shorter than the minimum lengths of MOUNT and DISMOUNT.
=== stdin
xyzzy/q a,b c
mo x.rx1
DIS
EXIT
=== stderr
ORVA>%ORVA-E, unknown command XYZZY
@HELP@
ORVA>%ORVA-E, unknown command MO
@HELP@
ORVA>%ORVA-E, unknown command DIS
@HELP@
ORVA>
