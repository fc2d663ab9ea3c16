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
