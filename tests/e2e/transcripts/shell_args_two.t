# With two arguments the loop starts, even when the first is -?.
=== args
-?
x
=== stdin
EXIT
=== stderr
ORVA>
