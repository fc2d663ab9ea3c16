# The words that end the program: EXIT (shortest EX) and QUIT (shortest Q).
=== run checks
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
=== run ex
# EX, in lower case too, is the shortest EXIT.
=== stdin
ex
HELP
=== stderr
ORVA>
=== run example
# Characters beyond the minimum length are not examined: EXAMPLE is EXIT.
=== stdin
EXAMPLE
HELP
=== stderr
ORVA>
=== run quit
# q is QUIT.
=== stdin
q
HELP
=== stderr
ORVA>
