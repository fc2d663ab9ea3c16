# End of input at the prompt ends the program quietly: the prompt stays
# without a newline, and the status is 0.
=== stdin
=== stderr
ORVA>
