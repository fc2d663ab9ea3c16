# q is QUIT.
=== stdin
q
HELP
=== stderr
ORVA>
