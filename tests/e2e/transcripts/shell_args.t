# Command-line arguments: a single argument that begins with -? or /? asks
# for the help, which ends the program without reading a command; anything
# else starts the command loop.
=== run dash
# -? prints the help and ends without reading a command.
=== args
-?
=== stdin
EXIT
=== stderr
@HELP@

=== run slash
# /? prints the help and ends without reading a command.
=== args
/?
=== stdin
EXIT
=== stderr
@HELP@

=== run long
# Any single argument that begins with -? or /? asks for the help.
=== args
/?please
=== stdin
EXIT
=== stderr
@HELP@

=== run other
# Any other single argument is ignored and the loop starts.
=== args
-x
=== stdin
EXIT
=== stderr
ORVA>
=== run two
# With two arguments the loop starts, even when the first is -?.
=== args
-?
x
=== stdin
EXIT
=== stderr
ORVA>
