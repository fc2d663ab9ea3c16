# "!" hands the rest of the line to the host unchanged, leading blanks, slashes
# and commas included, and ignores its result; an empty rest runs nothing visible.
# The run directory starts empty (ls -A shows nothing).
=== stdin
!ls -A
!echo hi
! echo x
!
!exit 3
!echo 'a  b/c,d' /Q
!echo hi >out.txt
EXIT
=== stderr
ORVA>ORVA>ORVA>ORVA>ORVA>ORVA>ORVA>ORVA>
=== stdout
hi
x
a  b/c,d /Q

=== check
test "$(cat out.txt)" = hi
