# EXIT and QUIT with qualifiers or parameters keep the program running;
# E is no command; QUITE ends the program (the HELP after it is not run).
=== stdin
EXIT /NOW
EXIT NOW
q/
E
QUITE
HELP
=== stderr
ORVA>%ORVA-E, no qualifiers allowed - /NOW
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, no qualifier after SLASH
ORVA>%ORVA-E, unknown command E
@HELP@
ORVA>
