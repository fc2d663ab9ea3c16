# EXIT and QUIT with qualifiers or parameters keep the program running.
=== stdin
EXIT /NOW
EXIT NOW
q/
QUITE
=== stderr
ORVA>%ORVA-E, no qualifiers allowed - /NOW
ORVA>%ORVA-E, extra parameter(s)
ORVA>%ORVA-E, no qualifier after SLASH
ORVA>
