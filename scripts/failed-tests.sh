#!/usr/bin/env bash
# Prints, for each test of the last CTest run in the given build folder that
# failed, its name and the first sanitizer "SUMMARY" line of its output (or
# its first QtTest "FAIL!" line), so a failure is not lost at the end of a
# long log.
set -euo pipefail
BUILD="$1"
LOG="$BUILD/Testing/Temporary/LastTest.log"
FAILED="$BUILD/Testing/Temporary/LastTestsFailed.log"
[[ -f "$FAILED" && -f "$LOG" ]] || exit 0

echo
echo "Failed tests:"
while IFS=: read -r _ name; do
  [[ -n "$name" ]] || continue
  # A test's output runs from its "Testing: <name>" line to its end-time line.
  first=$(awk -v name="$name" '
    $0 ~ ("^[0-9]+/[0-9]+ Testing: " name "$") { inside = 1; next }
    inside && index($0, "\"" name "\" end time:") == 1 { exit }
    inside && /SUMMARY: [A-Za-z]+Sanitizer/ && summary == "" { summary = $0 }
    inside && /^FAIL!/ && fail == "" { fail = $0 }
    END { print (summary != "" ? summary : (fail != "" ? fail : "(no sanitizer summary; see the log above)")) }
  ' "$LOG")
  printf '  %-28s %s\n' "$name" "$first"
done < "$FAILED"
