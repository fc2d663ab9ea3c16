# "!" hands the rest of the line to the host unchanged, leading blanks, slashes
# and commas included, and ignores its result; an empty rest runs nothing visible.
# The run directory starts empty (ls -A shows nothing). On Windows the
# host is cmd.exe, whose echo keeps the quotes and the blank before ">".
=== stdin
@posix@!ls -A
@windows@!dir /b /a 2>NUL
!echo hi
! echo x
!
!exit 3
!echo 'a  b/c,d' /Q
@posix@!echo hi >out.txt
@windows@!echo hi>out.txt
EXIT
=== stderr
ORVA>ORVA>ORVA>ORVA>ORVA>ORVA>ORVA>ORVA>
=== stdout
hi
x
@posix@a  b/c,d /Q
@windows@'a  b/c,d' /Q

=== check
printf 'hi\n' | host_text | cmp - out.txt
