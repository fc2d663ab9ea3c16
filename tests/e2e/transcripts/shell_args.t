# Command-line arguments: a single argument that begins with -? or /? asks
# for the help, which ends the program without reading a command; other
# arguments are options or a script name.
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
# Any other single argument is an option or a script name: -x is an
# unknown option, so the usage goes to standard error with status 2 and no
# command is read.
=== args
-x
=== stdin
EXIT
=== stderr
orva: unknown option -x
Usage: orva [OPTION]... [SCRIPT]
Exchange files with OS/8 disks and disk images. Commands are read from
SCRIPT, or from standard input when no SCRIPT is given; type HELP at the
ORVA> prompt for the commands.

  -c, --command=COMMAND  run COMMAND (may be given more than once), then end
  -e, --stop-on-error    end with status 1 at the first command that
                         reports an error
  -h, --help             show this help and end
  -V, --version          show the version and end

=== status
2
=== run two
# -? is help only as the single argument; as one of two it is an unknown
# option.
=== args
-?
x
=== stdin
EXIT
=== stderr
orva: unknown option -?
Usage: orva [OPTION]... [SCRIPT]
Exchange files with OS/8 disks and disk images. Commands are read from
SCRIPT, or from standard input when no SCRIPT is given; type HELP at the
ORVA> prompt for the commands.

  -c, --command=COMMAND  run COMMAND (may be given more than once), then end
  -e, --stop-on-error    end with status 1 at the first command that
                         reports an error
  -h, --help             show this help and end
  -V, --version          show the version and end

=== status
2
