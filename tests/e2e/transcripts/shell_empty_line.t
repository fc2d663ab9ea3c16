# A single empty line prints nothing; the next prompt follows.
=== stdin

=== stderr
ORVA>ORVA>
