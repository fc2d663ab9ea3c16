# /? prints the help and ends without reading a command.
=== args
/?
=== stdin
EXIT
=== stderr
@HELP@

