# A line that is exactly "?" prints the help; with a blank before or after
# it (the third line ends in a blank) it goes to the parser.
=== stdin
?
 ?
? 
=== stderr
ORVA>@HELP@
ORVA>%ORVA-E, no command on line
ORVA>%ORVA-E, no command on line
ORVA>
