# An empty line does nothing; a line of blanks (line 2 holds three blanks,
# line 3 a tab) has no command; so has a "!" after a blank, which runs nothing.
=== stdin

   
	
 !echo ran
=== stderr
ORVA>ORVA>%ORVA-E, no command on line
ORVA>%ORVA-E, no command on line
ORVA>%ORVA-E, no command on line
ORVA>
=== stdout

