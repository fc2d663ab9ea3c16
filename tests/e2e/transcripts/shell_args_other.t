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
