#!/usr/bin/env bash
# bench/peers/run_peers.sh BUILD
#
# quillery-cli beside the npm Kindle clippings parsers (run by
# `make bench-peers`). Installs the versions pinned in bench/peers/package.json
# into BUILD/peers with the machine's npm, generates one newer-format file of
# 1000000 entries over 10000 books, and runs quillery-cli (defaults) and each
# peer's script (bench/peers/*.js: parse, then one file per book) on it in one
# go, printing wall time and peak memory side by side. A peer that fails, runs
# out of memory or outlasts PEER_TIMEOUT is listed as such, not fatal.
#
# Environment: PEER_ENTRIES and PEER_BOOKS (the input's size, default 1000000
# and 10000), PEER_TIMEOUT (seconds per run, default 900), BENCH_TMP (where
# the runs write, default /dev/shm), QUILLERY_CLI, QUILLERY_OPTIONS (added to
# quillery-cli's arguments).

set -euo pipefail

BUILD=${1:?usage: bench/peers/run_peers.sh BUILD}
HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$BUILD/bin
CLI=${QUILLERY_CLI:-$BIN/quillery-cli}
PEER_TIMEOUT=${PEER_TIMEOUT:-900}
BENCH_TMP=${BENCH_TMP:-/dev/shm}
PEERS=$BUILD/peers
ENTRIES=${PEER_ENTRIES:-1000000}
BOOKS=${PEER_BOOKS:-10000}
INPUT=$BUILD/bench-data/kindle-$ENTRIES-newer.txt
SEED=20250303

for tool in "$BIN/make_clippings" "$CLI"; do
    [[ -x $tool ]] || { echo "run_peers.sh: $tool is missing; build first" >&2; exit 1; }
done
command -v npm >/dev/null || { echo "run_peers.sh: npm is missing (apt-get install npm)" >&2; exit 1; }
if [[ ! -x /usr/bin/time ]]; then
    echo "Installing GNU time (for peak memory)..."
    SUDO=""; [[ $(id -u) = 0 ]] || SUDO=sudo
    $SUDO apt-get install -y -qq --no-install-recommends time >/dev/null
fi

echo "Machine: $(nproc) cores; load at start: $(uptime)"

# --- The peers, installed while the pinned list is unchanged -----------------

mkdir -p "$PEERS"
PEERS=$(cd "$PEERS" && pwd) # node resolves NODE_PATH and require() paths from elsewhere
if ! cmp -s "$HERE/package-lock.json" "$PEERS/package-lock.json" || [[ ! -d $PEERS/node_modules ]]; then
    echo "Installing the peers into $PEERS"
    cp "$HERE/package.json" "$HERE/package-lock.json" "$PEERS/"
    (cd "$PEERS" && npm ci --no-audit --no-fund --loglevel=error)
fi

# --- The input, made once -------------------------------------------------------

recipe="entries=$ENTRIES books=$BOOKS seed=$SEED format=newer"
if [[ ! -f $INPUT || ! -f $INPUT.recipe || $(<"$INPUT.recipe") != "$recipe" ]]; then
    echo "Generating $INPUT ($recipe)"
    mkdir -p "$(dirname "$INPUT")"
    "$BIN/make_clippings" --entries "$ENTRIES" --books "$BOOKS" --seed "$SEED" --format newer --out "$INPUT.tmp"
    mv "$INPUT.tmp" "$INPUT"
    echo "$recipe" >"$INPUT.recipe"
fi
BYTES=$(stat -c %s "$INPUT")

# --- Runs -----------------------------------------------------------------------

WORK=$(mktemp -d "$BENCH_TMP/quillery-peers.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

now() { date +%s.%N; }

# run NAME FOLDER COMMAND...: one timed run writing into FOLDER; appends a row
# to ROWS and sets WALL and RSS (KB) for a run that wrote its books.
ROWS=()
LOGS=0
run() {
    local name=$1 folder=$2; shift 2
    local log=$WORK/log-$((++LOGS))
    local start end status=ok books written
    sync
    start=$(now)
    if /usr/bin/time -f %M -o "$log.rss" timeout "$PEER_TIMEOUT" "$@" >"$log.out" 2>"$log.err"; then
        :
    else
        local code=$?
        if ((code == 124)); then
            status="timeout ${PEER_TIMEOUT}s"
        elif grep -q -i 'heap out of memory\|allocation failed\|Invalid string length' "$log.err"; then
            status="out of memory"
        else
            status="failed ($code)"
        fi
    fi
    end=$(now)
    WALL=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
    RSS=$(grep -E '^[0-9]+$' "$log.rss" | tail -n 1 || true)
    books=$( (find "$folder" -type f -name '*.txt' 2>/dev/null || true) | wc -l)
    written=$( (find "$folder" -type f -printf '%s\n' 2>/dev/null || true) | awk '{ n += $1 } END { printf "%.1f", n / 1e6 }')
    if [[ $status == ok ]] && ((books == 0)); then
        status="no books written"
    fi
    if [[ $status != ok ]]; then
        echo "  $name: $status; last lines of its errors:" >&2
        tail -n 3 "$log.err" | cut -c 1-200 | sed 's/^/    /' >&2
    fi
    ROWS+=("$(awk -v n="$name" -v s="$status" -v w="$WALL" -v r="${RSS:-0}" -v b="$BYTES" -v k="$books" -v o="$written" 'BEGIN {
        printf "%-38s %-18s %8.2f %10.1f %7.2f %6d %8.1f", n, s, w, r / 1024, r * 1024 / b, k, o }')")
    STATUS=$status OUT_MB=$written
    rm -rf "$folder"
}

echo "Input: $INPUT ($ENTRIES entries, $BOOKS books, $(awk -v b="$BYTES" 'BEGIN { printf "%.1f", b / 1e6 }') MB)"
echo "Running quillery-cli and each peer once (timeout ${PEER_TIMEOUT}s each)..." >&2

mkdir "$WORK/quillery"
# shellcheck disable=SC2086 # the options are meant to split
run "quillery-cli ${QUILLERY_OPTIONS:-}" "$WORK/quillery" "$CLI" -q ${QUILLERY_OPTIONS:-} -o "$WORK/quillery" "$INPUT"
OURS_WALL=$WALL OURS_RSS=$RSS OURS_STATUS=$STATUS OURS_MB=$OUT_MB

# script package: the peers, each script's package named for the table.
PEER_SCRIPTS=(
    "sole.js @sole/kindle-clippings-parser"
    "klip.js klip"
    "daryl.js @darylserrano/kindle-clippings"
)
FASTEST="" FASTEST_WALL="" FASTEST_RSS="" FASTEST_MB=""
for peer in "${PEER_SCRIPTS[@]}"; do
    read -r script package <<<"$peer"
    version=$(node -p "require('$PEERS/node_modules/$package/package.json').version")
    NODE_PATH=$PEERS/node_modules run "$package@$version" "$WORK/${script%.js}" node "$HERE/$script" "$INPUT" "$WORK/${script%.js}"
    if [[ $STATUS == ok ]] && { [[ -z $FASTEST ]] || awk -v a="$WALL" -v b="$FASTEST_WALL" 'BEGIN { exit !(a < b) }'; }; then
        FASTEST="$package@$version" FASTEST_WALL=$WALL FASTEST_RSS=$RSS FASTEST_MB=$OUT_MB
    fi
    echo "  done: $package" >&2
done

echo
printf '%-38s %-18s %8s %10s %7s %6s %8s\n' program status wall_s peakRSS_MB RSS/in books out_MB
for row in "${ROWS[@]}"; do
    echo "$row"
done
echo
if [[ $OURS_STATUS != ok ]]; then
    echo "quillery-cli did not write its books ($OURS_STATUS): no ratios"
elif [[ -z $FASTEST ]]; then
    echo "No peer wrote its books: no ratios"
else
    awk -v f="$FASTEST" -v fw="$FASTEST_WALL" -v fr="$FASTEST_RSS" -v w="$OURS_WALL" -v r="$OURS_RSS" 'BEGIN {
        s = fw / w; m = r / fr
        printf("Fastest peer: %s (%.2f s, %.1f MB)\n", f, fw, fr / 1024)
        printf("Its time / quillery-cli'\''s: %.2f (target at least 5: %s)\n", s, (s >= 5) ? "met" : "not met")
        printf("quillery-cli'\''s peak memory / its: %.3f (target under 0.2: %s)\n", m, (m < 0.2) ? "met" : "not met") }'
fi
if [[ -n $FASTEST ]] && awk -v a="$OURS_MB" -v b="$FASTEST_MB" 'BEGIN { exit !(a < b / 2) }'; then
    echo "Note: quillery-cli wrote $OURS_MB MB against the fastest peer's $FASTEST_MB MB: it did not extract"
    echo "these entries, so the ratios above do not compare like with like."
fi
echo "Load at end: $(uptime)"
