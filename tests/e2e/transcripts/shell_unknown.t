# An unknown command word (upper-cased) is reported, then the help follows.
# MO and DIS are shorter than the minimum lengths of MOUNT and DISMOUNT.
=== stdin
xyzzy/q a,b c
mo x.rx1
DIS
EXIT
=== stderr
ORVA>%ORVA-E, unknown command XYZZY
%ORVA-I, Commands: (dot indicates shortest abbreviation)
%ORVA-I, MOU.NT <file or device> [/RX01][/RX50][/NB.03][/HE.02][/RK.05]
%ORVA-I,       [/PHY.SICAL][/VIR.TUAL][/READ._ONLY][/SYS.TEM]
%ORVA-I,       [INI.TIALIZE][/NOCONF.IRM]
%ORVA-I, DISM.OUNT
%ORVA-I, PART.ITION <number>|<letter>
%ORVA-I, DU.MP <block>
%ORVA-I, DIR.ECTORY [<file(s)>][<output dev>][/BRIEF][/FULL]
%ORVA-I, TY.PE <file(s)>[/CONF.IRM]
%ORVA-I, REA.D <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, REN.NAME <oldfile(s)> <newfile(s)>[/CONF.IRM]
%ORVA-I, DEL.ETE <file(s)>[/CONF.IRM]
%ORVA-I, WRI.TE <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, ZER.O [/SYS.TEM][/NOCONF.IRM]
%ORVA-I, Q.UIT / EX.IT
%ORVA-I, !<operating system command>
%ORVA-I, 
%ORVA-I, <file(s)> means: filename, a wildcard, or a list of these
%ORVA-I, separated by commas.
ORVA>%ORVA-E, unknown command MO
%ORVA-I, Commands: (dot indicates shortest abbreviation)
%ORVA-I, MOU.NT <file or device> [/RX01][/RX50][/NB.03][/HE.02][/RK.05]
%ORVA-I,       [/PHY.SICAL][/VIR.TUAL][/READ._ONLY][/SYS.TEM]
%ORVA-I,       [INI.TIALIZE][/NOCONF.IRM]
%ORVA-I, DISM.OUNT
%ORVA-I, PART.ITION <number>|<letter>
%ORVA-I, DU.MP <block>
%ORVA-I, DIR.ECTORY [<file(s)>][<output dev>][/BRIEF][/FULL]
%ORVA-I, TY.PE <file(s)>[/CONF.IRM]
%ORVA-I, REA.D <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, REN.NAME <oldfile(s)> <newfile(s)>[/CONF.IRM]
%ORVA-I, DEL.ETE <file(s)>[/CONF.IRM]
%ORVA-I, WRI.TE <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, ZER.O [/SYS.TEM][/NOCONF.IRM]
%ORVA-I, Q.UIT / EX.IT
%ORVA-I, !<operating system command>
%ORVA-I, 
%ORVA-I, <file(s)> means: filename, a wildcard, or a list of these
%ORVA-I, separated by commas.
ORVA>%ORVA-E, unknown command DIS
%ORVA-I, Commands: (dot indicates shortest abbreviation)
%ORVA-I, MOU.NT <file or device> [/RX01][/RX50][/NB.03][/HE.02][/RK.05]
%ORVA-I,       [/PHY.SICAL][/VIR.TUAL][/READ._ONLY][/SYS.TEM]
%ORVA-I,       [INI.TIALIZE][/NOCONF.IRM]
%ORVA-I, DISM.OUNT
%ORVA-I, PART.ITION <number>|<letter>
%ORVA-I, DU.MP <block>
%ORVA-I, DIR.ECTORY [<file(s)>][<output dev>][/BRIEF][/FULL]
%ORVA-I, TY.PE <file(s)>[/CONF.IRM]
%ORVA-I, REA.D <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, REN.NAME <oldfile(s)> <newfile(s)>[/CONF.IRM]
%ORVA-I, DEL.ETE <file(s)>[/CONF.IRM]
%ORVA-I, WRI.TE <file(s)>[<dest file(s)>][/SYS.TEM][/CONF.IRM][/BOOT]
%ORVA-I,       [/IM.AGE][/AS.CII][/BY.TE]
%ORVA-I, ZER.O [/SYS.TEM][/NOCONF.IRM]
%ORVA-I, Q.UIT / EX.IT
%ORVA-I, !<operating system command>
%ORVA-I, 
%ORVA-I, <file(s)> means: filename, a wildcard, or a list of these
%ORVA-I, separated by commas.
ORVA>
