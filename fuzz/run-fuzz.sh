#!/bin/sh
# Runs the fuzz targets built in BUILD_DIR for SECONDS each, starting from
# seeds that fuzz-seeds writes.  Prints the executions of every target and
# exits non-zero when any target found a crash, hang, leak, undefined
# behaviour or excessive memory use; the input is kept in BUILD_DIR/artifacts.
#   fuzz/run-fuzz.sh BUILD_DIR SECONDS [target...]    (targets without "fuzz_")
set -u
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
corpus=$build/corpus
artifacts=$build/artifacts
logs=$build/logs
mkdir -p "$corpus" "$artifacts" "$logs"

"$build/fuzz/fuzz-seeds" "$corpus" || exit 1

if [ $# -eq 0 ]; then
  set -- $(find "$build/fuzz" -maxdepth 1 -type f -perm -u+x -name 'fuzz_*' | sed 's|.*/fuzz_||' | sort)
fi

failed=""
for name in "$@"; do
  mkdir -p "$corpus/$name"
  dict=""
  for candidate in "$here/dict/$name.dict" "$here/dict/${name%write}.dict"; do
    if [ -f "$candidate" ]; then dict="-dict=$candidate"; break; fi
  done
  log=$logs/$name.log
  # shellcheck disable=SC2086
  "$build/fuzz/fuzz_$name" "$corpus/$name" $dict \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
      -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$rc" -eq 0 ]; then
    printf '%-16s %12s executions, no finding\n' "$name" "${execs:-?}"
  else
    printf '%-16s %12s executions, FINDING (exit %s), see %s\n' "$name" "${execs:-?}" "$rc" "$log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz check failed|.*runtime error)|Test unit written' "$log" | head -n 5
    failed="$failed $name"
  fi
done

if [ -n "$failed" ]; then
  echo "fuzz: findings in:$failed (inputs in $artifacts)"
  exit 1
fi
echo "fuzz: no findings"
