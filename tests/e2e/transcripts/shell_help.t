# HELP in every abbreviation, with a parameter or a qualifier (both
# ignored), prints the 22 help lines; a line the parser rejects prints none.
=== stdin
HELP
H
hx
HELP MOUNT
HELP/X
HELP ONE TWO THREE
=== stderr
ORVA>%ORVA-I, Commands: (dot indicates shortest abbreviation)
%ORVA-I, MOU.NT <file or device> [/RX01][/RX02][/RX50][/NB.03][/HE.02]
%ORVA-I,       [/RK.05][/TU.56][/PHY.SICAL][/VIR.TUAL][/READ._ONLY]
%ORVA-I,       [/SYS.TEM][/INI.TIALIZE][/NOCONF.IRM]
%ORVA-I, DISM.OUNT
%ORVA-I, PART.ITION <number>|<letter>
%ORVA-I, DU.MP <block> [<last block>]
%ORVA-I, VER.IFY [/ALL]
%ORVA-I, DIR.ECTORY [<file(s)>][<output dev>][/BRIEF][/FULL]
%ORVA-I, TY.PE <file(s)>[/CONF.IRM]
%ORVA-I, REA.D <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, REN.AME <oldfile(s)> <newfile(s)>[/CONF.IRM]
%ORVA-I, DEL.ETE <file(s)>[/CONF.IRM]
%ORVA-I, WRI.TE <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, ZER.O [/SYS.TEM][/NOCONF.IRM]
%ORVA-I, Q.UIT / EX.IT
%ORVA-I, !<operating system command>
%ORVA-I, 
%ORVA-I, <file(s)> means: filename, a wildcard, or a list of these
%ORVA-I, separated by commas.
ORVA>@HELP@
ORVA>@HELP@
ORVA>@HELP@
ORVA>@HELP@
ORVA>%ORVA-E, extra parameters on line - "THREE"
ORVA>
