# Any other single argument is ignored and the loop starts.
=== args
-x
=== stdin
EXIT
=== stderr
ORVA>
