# EX, in lower case too, is the shortest EXIT.
=== stdin
ex
HELP
=== stderr
ORVA>
