# The qualifier and parameter checks READ and WRITE share come before the
# disk checks, so they are reported with nothing mounted.
=== stdin
READ
READ /FOO X
READ X /SYSTEM /ASCII
READ X /BOOT /BYTE
READ X /SYSTEM /BOOT
READ X /ASCII /IMAGE
READ X /AS /BY
READ /SYSTEM A,B
READ /SYSTEM A B
READ A,B,C D,E
READ /BOOT A,B C
READ X
WRITE /IM X /AS
WRITE X Y,Z
WRITE X
MOUNT /RX01 /INITIALIZE disk
DISMOUNT
MOUNT /RX01 /READ disk
WRITE X
=== stderr
ORVA>%ORVA-E, at least one file name is required
ORVA>%ORVA-E, unknown qualifier FOO
ORVA>%ORVA-W, image mode required with /SYSTEM or /BOOT
ORVA>%ORVA-W, image mode required with /SYSTEM or /BOOT
ORVA>%ORVA-W, /SYSTEM and /BOOT may not be used together
ORVA>%ORVA-E, /ASCII incompatible with /IMAGE and /BYTE
ORVA>%ORVA-E, /ASCII incompatible with /IMAGE and /BYTE
ORVA>%ORVA-E, list not allowed - A,B
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, both lists must have the same number of items
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-E, /ASCII incompatible with /IMAGE and /BYTE
ORVA>%ORVA-E, both lists must have the same number of items
ORVA>%ORVA-E, no disk mounted
ORVA>%ORVA-I, virtual disk file disk.rx1 initialized
ORVA>%ORVA-I, dismounting disk disk.rx1
ORVA>%ORVA-I, mounted virtual disk on file disk.rx1
ORVA>%ORVA-E, disk is read only
ORVA>%ORVA-I, dismounting disk disk.rx1

