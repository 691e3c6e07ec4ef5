#!/usr/bin/env bash
# floodbench's 100-rule cell for Corvane and TinyFugue, as written by
# floodbench_rules.py, then the same with 20 of the rules counting the
# flood's talkers in a script (Lua here, a /test body in TinyFugue).
# Usage: floodbench_lua_rules.sh [OUTDIR]
#   RUNS=3  SIZES="10 50"
#   CORVANE=build-ci/app/corvane   FLOODBENCH=../shared/floodbench
#   CORVANE_OPTION=OwnConversationWindows=True   a line for Corvane's [Corvane] section
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
FB=${FLOODBENCH:-$HERE/../../shared/floodbench}
CORVANE=${CORVANE:-$HERE/../build/app/corvane}
OUT=${1:-/tmp/floodbench-lua-$(date +%Y%m%d-%H%M%S)}
RUNS=${RUNS:-3}
SIZES=${SIZES:-"10 50"}
OPTION=""
[ -n "${CORVANE_OPTION:-}" ] && OPTION=" && printf '[Corvane]\\r\\n%s\\r\\n' '$CORVANE_OPTION' >> {workdir}/CORVANE.INI"
RES="$OUT/results.jsonl"
mkdir -p "$OUT/work"
echo "results: $OUT"

for variant in plain lua; do
    flag=""
    [ "$variant" = lua ] && flag=--lua
    for mb in $SIZES; do
        python3 "$FB/bench.py" run --client custom --label "corvane-100-$variant" --workdir "$OUT/work" \
            --cmd "$CORVANE --settings {workdir}/CORVANE.INI --world Flood --character bench" \
            --env QT_QPA_PLATFORM=offscreen --isolated-home \
            --setup "$HERE/floodbench_setup.sh {workdir} {host} {port} 0 '' && python3 $HERE/floodbench_rules.py $flag --corvane {workdir}/corvane-rules.json$OPTION" \
            --mode bulk --mb "$mb" --runs "$RUNS" --out "$RES" --timeout 180 --stop-on-timeout
        # The profile's own file (its probe) is written first; the rules go after it.
        python3 "$FB/bench.py" run --client tf --label "tf-100-$variant" --workdir "$OUT/work" \
            --setup "python3 $HERE/floodbench_rules.py $flag --tf {workdir}/rules.tf && cat {workdir}/rules.tf >> {workdir}/fb.tf" \
            --mode bulk --mb "$mb" --runs "$RUNS" --out "$RES" --timeout 180 --stop-on-timeout
    done
done
python3 "$FB/bench.py" table "$RES" | tee "$OUT/table.md"
