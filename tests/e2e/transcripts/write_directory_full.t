# A disk with free blocks whose directory has no room for another entry
# (six segments, each full with one file of 240 extra words) says so: the
# message names the directory, not the disk, as what is full.
=== setup
. "$TRANSCRIPTS/images.sh"
truncate -s 3325952 disk.rk5
zeros=$(yes 0 | head -n 240)
for k in 1 2 3 4 5 6; do
  link=$((k + 1)); n=1; [ $k = 6 ] && { link=0; n=2; }
  { words $((-n & 07777)) $((6 + k)) $((link)) 0 $((-240 & 07777))
    words $(name_words F$k.TX) $zeros 07777
    [ $k = 6 ] && empty 3235
  } | put disk.rk5 $k
done
printf 'a\n' > a.txt
=== stdin
MOUNT /RK05 disk
WRITE a.txt
DIR /BRIEF
=== stderr
ORVA>%ORVA-I, mounted virtual disk on file disk.rk5
ORVA>%ORVA-W, no room (directory full) for A.TX
ORVA>
Directory of disk.rk5, partition 0
F1.TX        F2.TX        F3.TX        F4.TX        F5.TX    
F6.TX        

Total of 6 files.
ORVA>%ORVA-I, dismounting disk disk.rk5

