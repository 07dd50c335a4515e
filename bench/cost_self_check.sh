#!/usr/bin/env bash
# The cost verdict of a build against itself, over real runs: one stored run, then REPEATS
# runs judged against it. None may fail; the script says how many did and why.
#
#   bench/cost_self_check.sh [BUILD_DIR] [REPEATS] [PASSES]
#
# With SAMPLES=FILE it also writes what each run measured, in the form the rule's test
# reads its recorded samples in: per run and export, one line
#   run<TAB>export<TAB>section<TAB>calls<TAB>median ns per pass<TAB>memory growth per pass
# (the lists comma-separated), sections by their number in a first line "sections<TAB>...".
set -euo pipefail
build=${1:-build}
repeats=${2:-20}
passes=${3:-5}
report="$build/bin/testbed-report"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

samples() {  # profile run-number
    [ -n "${SAMPLES:-}" ] || return 0
    python3 - "$1" "$2" "$SAMPLES" <<'PY'
import json, os, sys
profile, run, out = json.load(open(sys.argv[1])), sys.argv[2], sys.argv[3]
sections = open(out).readline().rstrip("\n").split("\t")[1:] if os.path.getsize(out) else []
rows = {}
for p in profile["passes"]:
    for e in p["exports"]:
        if e["section"] not in sections:
            sections.append(e["section"])
        row = rows.setdefault(e["name"], [sections.index(e["section"]), e["calls"], [], []])
        row[2].append(e["median_ns"])
        row[3].append(e["memory_growth"])
lines = open(out).read().split("\n")[1:] if os.path.getsize(out) else []
lines = [l for l in lines if l]
for name, (section, calls, medians, growth) in rows.items():
    lines.append("\t".join([run, name, str(section), str(calls),
                            ",".join(map(str, medians)), ",".join(map(str, growth))]))
open(out, "w").write("\t".join(["sections"] + sections) + "\n" + "\n".join(lines) + "\n")
PY
}

[ -z "${SAMPLES:-}" ] || : >"$SAMPLES"
"$report" --passes "$passes" --output "$work/stored.txt" --profile "$work/stored.json" \
    >/dev/null 2>&1 || true
samples "$work/stored.json" 0
failed=0
for run in $(seq 1 "$repeats"); do
    status=0
    "$report" --passes "$passes" --expect "$work/stored.txt" --expect-profile "$work/stored.json" \
        --profile "$work/run.json" >/dev/null 2>"$work/err.txt" || status=$?
    samples "$work/run.json" "$run"
    if [ "$status" -ne 0 ]; then
        failed=$((failed + 1))
        echo "run $run: exit status $status"
        grep -E "^testbed-report: " "$work/err.txt" || true
    fi
done
echo "$failed of $repeats runs of the build judged against itself failed"
[ "$failed" -eq 0 ]
