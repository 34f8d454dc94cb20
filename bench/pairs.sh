# Interleaved pairs, sourced by the job benchmarks (bash).
#
#   pairs LABEL RUNS TAVIX_COMMAND PEER_COMMAND
#
# Runs the two shell command lines RUNS times each in pairs, alternating which of the two goes first, with
# `sync` before every run (so that no run pays for the writeback of the one before it) and the outputs left
# in place (a re-run replaces them, as a user's would). Each run is timed as a whole process, wall clock (the
# shell's own clock: no process is started to read it), and its peak resident memory taken from
# /usr/bin/time, which runs the command itself (a command line with a redirection or a pipe through
# `sh -c "exec …"`). Command lines are split into words: no quoting inside them.
# Prints one line: the minimum, median and maximum of the ratio Tavix / peer over the pairs, the median wall
# time of each side and each side's largest peak memory. Needs GNU time (Debian's `time` package).
_pairs_run() {
    local mem="${TMPDIR:-/tmp}/.pairs-mem.$$"
    case $1 in
    *'>'* | *'|'*) /usr/bin/time -f %M -o "$mem" sh -c "exec $1" >/dev/null 2>&1 ;;
    *) /usr/bin/time -f %M -o "$mem" $1 >/dev/null 2>&1 ;; # split into words: no quoting in these commands
    esac
}

pairs() {
    local label=$1 runs=$2 tavix=$3 peer=$4 i side cmd t0 t1 mem
    local -a tt tp mt mp
    for ((i = 0; i < runs; i++)); do
        local order="t p"
        ((i % 2)) && order="p t"
        for side in $order; do
            [ "$side" = t ] && cmd=$tavix || cmd=$peer
            sync
            t0=${EPOCHREALTIME/./}
            if ! _pairs_run "$cmd"; then
                echo "pairs: failed: $cmd" >&2
                return 1
            fi
            t1=${EPOCHREALTIME/./}
            mem=$(tail -n 1 "${TMPDIR:-/tmp}/.pairs-mem.$$")
            if [ "$side" = t ]; then tt+=($((t1 - t0))); mt+=("$mem"); else tp+=($((t1 - t0))); mp+=("$mem"); fi
        done
    done
    rm -f "${TMPDIR:-/tmp}/.pairs-mem.$$"
    {
        for ((i = 0; i < runs; i++)); do echo "r ${tt[i]} ${tp[i]}"; done
        echo "m ${mt[*]}"
        echo "n ${mp[*]}"
    } | awk -v label="$label" -v runs="$runs" '
        function median(a, n,   i, j, t) {
            for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
            return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
        }
        function maxof(s,   f, n, i, m) { n = split(s, f, " "); m = 0; for (i = 1; i <= n; i++) if (f[i] + 0 > m) m = f[i] + 0; return m }
        $1 == "r" { k++; r[k] = $2 / $3; a[k] = $2; b[k] = $3 }
        $1 == "m" { $1 = ""; ma = maxof($0) }
        $1 == "n" { $1 = ""; mb = maxof($0) }
        END {
            mn = r[1]; mx = r[1]
            for (i = 1; i <= k; i++) { if (r[i] < mn) mn = r[i]; if (r[i] > mx) mx = r[i] }
            md = median(r, k)
            printf "%-34s ratio min/median/max %.2f / %.2f / %.2f over %d pairs; tavix %.1f ms, %.1f MiB; peer %.1f ms, %.1f MiB\n",
                label, mn, md, mx, runs, median(a, k) / 1e3, ma / 1024, median(b, k) / 1e3, mb / 1024
        }'
}

# The merge pairs of merge_bench.sh and floor_bench.sh: for 100 files of random bytes, 10 MiB, 100 MiB and 1 GiB
# in all, made in a new folder under `work` and removed after, `merger out FILE...` (which writes out.BIN) against
# `cat FILE... >cat.out`, checked to write the same bytes; the 1 GiB pairs are half as many.
#
#   merge_pairs LABEL "MERGER" RUNS WORK
merge_pairs() {
    local label=$1 merger=$2 runs=$3 work=$4 total dir files n
    for total in 10 100 1024; do
        dir="$work/m$total"
        mkdir -p "$dir"
        (
            cd "$dir"
            for i in $(seq -w 0 99); do head -c $((total * 1048576 / 100)) /dev/urandom >"p$i.bin"; done
            files=$(echo p*.bin)
            $merger out $files >/dev/null # untimed: the inputs into the page cache, the outputs in place
            cat $files >cat.out
            cmp out.BIN cat.out
            n=$runs
            [ "$total" -ge 1024 ] && n=$(((runs + 1) / 2)) # the 1 GiB pairs take seconds each
            pairs "$label 100 files, $total MiB" "$n" "$merger out $files" "cat $files >cat.out"
        )
        rm -rf "$dir"
    done
}
