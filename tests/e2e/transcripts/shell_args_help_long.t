# Any single argument that begins with -? or /? asks for the help.
=== args
/?please
=== stdin
EXIT
=== stderr
@HELP@

