# Characters beyond the minimum length are not examined: EXAMPLE is EXIT.
=== stdin
EXAMPLE
HELP
=== stderr
ORVA>
