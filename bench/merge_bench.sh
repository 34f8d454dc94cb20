#!/bin/sh
# Times `tavix-cli merge` of 100 files totalling 1 GiB, the whole process, against `cat` of the same files
# into one file, in the same run, alternating, each output removed and the dirty pages flushed (untimed)
# before every run.
#
#   bench/merge_bench.sh path/to/tavix-cli [work-directory] [runs]
#
# The work directory (default: a new one under /tmp) needs about 3 GiB free; it is removed at the end.
set -eu

cli=$1
work=${2:-}
runs=${3:-5}
if [ -z "$work" ]; then
    work=$(mktemp -d /tmp/tavix-merge-bench-XXXXXX)
else
    mkdir -p "$work"
fi
trap 'rm -rf "$work"' EXIT

# 99 files of 10737418 bytes and one of 10737442: 1073741824 bytes in all.
i=0
files=
while [ $i -lt 100 ]; do
    name=$(printf 'part%03d.bin' $i)
    size=10737418
    [ $i -eq 99 ] && size=10737442
    head -c $size /dev/urandom >"$work/$name"
    files="$files $name"
    i=$((i + 1))
done
cd "$work"
total=$(cat $files | wc -c)
echo "inputs: 100 files, $total bytes"

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }

# One untimed run of each fills the page cache with the inputs and checks that both give the same bytes.
"$cli" merge merged.BIN $files >/dev/null
cat $files >cat.out
cmp merged.BIN cat.out
rm -f merged.BIN merged_TBL.TXT cat.out
sync

echo "run tavix-cli-merge(s) cat(s) ratio"
: >times
run=1
while [ $run -le "$runs" ]; do
    sync
    t0=$(now)
    "$cli" merge merged.BIN $files >/dev/null
    t1=$(now)
    rm -f merged.BIN merged_TBL.TXT
    sync
    t2=$(now)
    cat $files >cat.out
    t3=$(now)
    rm -f cat.out
    m=$(elapsed "$t0" "$t1")
    c=$(elapsed "$t2" "$t3")
    echo "$run $m $c $(echo "scale=3; $m / $c" | bc)"
    echo "$m $c" >>times
    run=$((run + 1))
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
mm=$(cut -d' ' -f1 times | median)
mc=$(cut -d' ' -f2 times | median)
echo "median $mm $mc $(echo "scale=3; $mm / $mc" | bc)"
