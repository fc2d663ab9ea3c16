# Questions met by a script: a line that is not YES or NO is taken as NO
# and used up (the WRITE it holds does not run as a command), and the end
# of input answers NO whatever the default. Run twice, this job (MOUNT
# /INITIALIZE, WRITE, DIR) no longer wipes the disk on its second run: the
# disk is mounted as it is and keeps the file written the first time.
=== setup
printf 'first\n' > a.txt
printf 'MOUNT /INITIALIZE job\nWRITE a.txt\n' | "$ORVA" 2>/dev/null
printf 'second\n' > a.txt
=== stdin
MOUNT /INITIALIZE job
WRITE a.txt
DIR /BRIEF
DELETE A.TX /CONFIRM
=== stderr
ORVA>Initialize virtual disk file job.rx5 ?%ORVA-W, please answer YES or NO - WRITE a.txt taken as NO
%ORVA-I, mounted virtual disk on file job.rx5
ORVA>
Directory of job.rx5
A.TX         

Total of 1 files.
ORVA>Delete file A.TX ?ORVA>%ORVA-I, dismounting disk job.rx5

=== check
"$ORVA" 2>&1 <<'END' | grep -q 'first'
MOUNT job
TYPE A.TX
END
