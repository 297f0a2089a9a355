#!/usr/bin/env bash
# Builds the release preset, runs every benchmark program and prints one
# table: each scene at each size with Tessel's median, the Qt and FLTK
# medians of the same scene and Tessel's time as a multiple of theirs, and
# the cost per element; then the medians of the other benchmarks.
#
#   ./scripts/bench.sh            5 repetitions of each benchmark
#   ./scripts/bench.sh --quick    1 repetition, short runs: a look, not a figure
#   ./scripts/bench.sh --filter=REGEX   only the benchmarks REGEX matches
#   ./scripts/bench.sh --keep=DIR       keep each program's JSON output in DIR
#   ./scripts/bench.sh --from=DIR       print the table of outputs kept earlier
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=5
min_time=""
filter=""
keep=""
from=""
for arg; do
  case $arg in
    --quick) repetitions=1 min_time=0.05 ;;
    --filter=*) filter=${arg#--filter=} ;;
    --keep=*) keep=${arg#--keep=} ;;
    --from=*) from=${arg#--from=} ;;
    -h | --help)
      sed -n '2,11s/^# \{0,1\}//p' "$0"
      exit 0
      ;;
    *)
      echo "bench: unknown argument $arg (try --help)" >&2
      exit 2
      ;;
  esac
done

bin=build/release/bench
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
out=$work/out
mkdir -p "$out"

# run OUTPUT PROGRAM [ARGUMENT...]: one program's medians as JSON in
# $out/OUTPUT.json, its errors in $out/OUTPUT.err. The environment is the
# caller's; a failing program is reported and the others still run.
run() {
  local name=$1 program=$2
  shift 2
  local args=(--benchmark_format=json "--benchmark_repetitions=$repetitions"
    --benchmark_report_aggregates_only=true)
  [[ -n $min_time ]] && args+=("--benchmark_min_time=$min_time")
  echo "bench: running $program $*" >&2
  if ! "$bin/$program" "${args[@]}" "$@" >"$out/$name.json" 2>"$out/$name.err"; then
    echo "bench: $program failed:" >&2
    tail -n 5 "$out/$name.err" >&2
  fi
}

# with_filter [EXTRA]: the filter argument, the user's REGEX if given.
with_filter() {
  if [[ -n $filter ]]; then
    echo "--benchmark_filter=$filter"
  elif [[ -n ${1:-} ]]; then
    echo "--benchmark_filter=$1"
  else
    echo "--benchmark_filter=."
  fi
}

# A private X display for the FLTK peer, which draws through X: sets $display.
display=""
start_xvfb() {
  command -v Xvfb >/dev/null || return 1
  Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local n="" i
  for ((i = 0; i < 400; ++i)); do
    n=$(head -1 "$work/display")
    [[ -n $n ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  [[ -n $n ]] || return 1
  display=:$n
}

missing=()
if [[ -z $from ]]; then
  cmake --preset release >/dev/null
  cmake --build --preset release
  # The toolkit's own programs measure the headless backend; the present
  # benchmark alone needs SDL (its offscreen driver: no display is involved).
  for program in bench_foundation bench_platform bench_drawing bench_windows bench_components \
    bench_layout; do
    [[ -x $bin/$program ]] || continue
    if [[ $program == bench_platform ]]; then
      TESSEL_BACKEND=headless run "$program" "$program" "$(with_filter '-InvalidateToPresent')"
      if [[ -z $filter ]]; then
        TESSEL_BACKEND=sdl SDL_VIDEODRIVER=offscreen run "$program.sdl" "$program" \
          --benchmark_filter=InvalidateToPresent
      fi
    else
      TESSEL_BACKEND=headless run "$program" "$program" "$(with_filter)"
    fi
  done

  if [[ -x $bin/bench_qt ]]; then
    QT_QPA_PLATFORM=offscreen run bench_qt bench_qt "$(with_filter)"
  else
    missing+=(qtbase5-dev)
  fi
  if [[ -x $bin/bench_fltk ]]; then
    if start_xvfb; then
      DISPLAY=$display run bench_fltk bench_fltk "$(with_filter)"
    else
      echo "bench: no Xvfb display could start; FLTK is left out" >&2
    fi
  else
    missing+=(libfltk1.3-dev)
  fi

else
  cp "$from"/*.json "$out"/
  [[ -f $out/bench_qt.json ]] || missing+=(qtbase5-dev)
  [[ -f $out/bench_fltk.json ]] || missing+=(libfltk1.3-dev)
fi

[[ -n $keep ]] && mkdir -p "$keep" && cp "$out"/*.json "$keep"/

# Every benchmark's median (the single run with --quick) as one line each:
#   S <scene order> <scene> <n> <toolkit> <value> <time|bytes> <program>
#   O <program> <sequence> <name> <microseconds>
#   E <program> <name> <message>
#   R <repetitions>
# Google Benchmark writes one key per line, which is all this reads.
awk -v OFS='\t' '
BEGIN {
  split("full_repaint_buttons_host full_repaint_buttons_windows pointer_move_windows " \
        "pointer_move_within_button move_windows move_repaint_windows manager_line_scroll " \
        "host_wheel_step scroll_pixel heap_per_window heap_per_component enable_all_with_id " \
        "label_layout paint_distinct_labels", ids, " ")
  for (i = 1; ids[i] != ""; ++i) order[ids[i]] = i
  toMicros["ns"] = 0.001; toMicros["us"] = 1; toMicros["ms"] = 1000; toMicros["s"] = 1000000
}
function text(line) {
  sub(/^[^:]*: "/, "", line); sub(/",?[ \t]*$/, "", line); return line
}
function number(line) {
  sub(/^[^:]*: /, "", line); sub(/,?[ \t]*$/, "", line); return line + 0
}
FNR == 1 {
  program = FILENAME; sub(/.*\//, "", program); sub(/\.json$/, "", program); sub(/\..*/, "", program)
}
/^    \{/ { inEntry = 1; delete field; nBytes = 0; next }
inEntry && /^    \}/ {
  inEntry = 0
  name = field["run_name"]
  if (field["error_occurred"] == "true") { print "E", program, name, field["error_message"]; next }
  median = field["run_type"] == "aggregate" && field["aggregate_name"] == "median"
  single = field["run_type"] == "iteration" && field["repetitions"] + 0 <= 1
  if (!median && !single) next
  if (field["repetitions"] + 0 > repetitions) { repetitions = field["repetitions"] + 0; print "R", repetitions }
  micros = field["real_time"] * toMicros[field["time_unit"]]
  if (name ~ /^scene:/) {
    id = name; sub(/^scene:/, "", id); n = id; sub(/\/.*/, "", id); sub(/^[^\/]*\//, "", n); sub(/\/.*/, "", n)
    toolkit = program == "bench_qt" ? "qt" : program == "bench_fltk" ? "fltk" : "tessel"
    rank = (id in order) ? order[id] : 99
    if (nBytes == 0) print "S", rank, id, n, toolkit, micros, "time", program
    for (b = 1; b <= nBytes; ++b) {
      suffix = bytesName[b]; sub(/^bytes_per_element_?/, "", suffix)
      print "S", rank, id (suffix == "" ? "" : " (" suffix ")"), n, toolkit, bytesValue[b], "bytes", program
    }
  } else {
    print "O", program, ++sequence, name, micros
  }
  next
}
inEntry && /^      "/ {
  key = $0; sub(/^ *"/, "", key); sub(/".*/, "", key)
  field[key] = $0 ~ /: "/ ? text($0) : number($0)
  if ($0 ~ /: (true|false)/) field[key] = $0 ~ /true/ ? "true" : "false"
  if (key ~ /^bytes_per_element/) { bytesName[++nBytes] = key; bytesValue[nBytes] = field[key] }
}
' "$out"/*.json >"$work/records"

# The table, then the rest.
{
  { grep '^R' "$work/records" || true; } | sort -t $'\t' -k2,2n | tail -n 1
  grep '^S' "$work/records" | LC_ALL=C sort -t $'\t' -k2,2n -k3,3 -k4,4n || true
  grep '^[OE]' "$work/records" || true
} | awk -F '\t' -v missing="${missing[*]}" '
function show(v, kind) {
  if (v == "") return "-"
  if (kind == "bytes") return sprintf("%.0f B", v)
  if (v < 10) return sprintf("%.2f", v)
  if (v < 100) return sprintf("%.1f", v)
  return sprintf("%.0f", v)
}
function ratio(t, p) { return t == "" || p == "" || p == 0 ? "-" : sprintf("%.2fx", t / p) }
function each(v) { return v == "" || kind == "bytes" ? "-" : show(v * 1000 / n, "time") }
function flush() {
  if (key == "") return
  t = value["tessel"]; q = value["qt"]; f = value["fltk"]
  printf "%-30s %7s %10s %8s %10s %8s %7s %10s %8s %7s\n", scene, n, show(t, kind), each(t),
    show(q, kind), each(q), ratio(t, q), show(f, kind), each(f), ratio(t, f)
  delete value
  key = ""
}
$1 == "R" { repetitions = $2; next }
$1 == "S" {
  if (!rows++) {
    print (repetitions > 1 ? "Medians of " repetitions " repetitions" : "One run each (--quick): indicative only") \
      "; times in microseconds, ns/el the time per element in nanoseconds;"
    print "heap rows in bytes per element. T/Qt and T/FLTK: Tessel'"'"'s figure as a multiple of the peer'"'"'s.\n"
    printf "%-30s %7s %10s %8s %10s %8s %7s %10s %8s %7s\n", "scene", "n", "Tessel", "ns/el", "Qt",
      "ns/el", "T/Qt", "FLTK", "ns/el", "T/FLTK"
  }
  k = $3 SUBSEP $4
  if (k != key) { flush(); key = k; scene = $3; n = $4; kind = $7 }
  if ($5 == "tessel" && ("tessel" in value)) {
    duplicates = duplicates sprintf("  %s/%s is measured again by %s: %s\n", $3, $4, $8, show($6, $7))
    next
  }
  value[$5] = $6
  base = $3; sub(/ \(.*/, "", base)
  if ($5 == "tessel") measured[base] = 1
  else if (!(base in peerOnly)) { peerOnly[base] = 1; peerScenes[++nPeerScenes] = base }
  next
}
$1 == "O" {
  flush()
  if (!others++) printf "\nOther benchmarks (median, microseconds):\n"
  printf "  %-16s %-52s %12s\n", $2, $4, show($5, "time")
  next
}
$1 == "E" && !(($2, $3) in reported) {
  reported[$2, $3] = 1
  failed = failed sprintf("  %s %s: %s\n", $2, $3, $4)
}
END {
  flush()
  if (!rows) print "No table scene was measured."
  for (i = 1; i <= nPeerScenes; ++i)
    if (!(peerScenes[i] in measured)) unmeasured = unmeasured " " peerScenes[i]
  if (unmeasured != "") printf "\nScenes the peers measure and Tessel does not (yet):%s\n", unmeasured
  if (duplicates != "") printf "\nScenes measured by more than one Tessel program (the first is in the table):\n%s", duplicates
  if (failed != "") printf "\nBenchmarks that stopped with an error:\n%s", failed
  if (missing != "") printf "\nPeers not built: apt-get install %s, then run this again.\n", missing
}'
