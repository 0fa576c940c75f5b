# Sourced by the Windows-side shell harnesses (the gauge host's scenarios and --check, and
# the release's examples): run a program, compare its exit status, and find the lines it
# must print, in order. An expected line "not: TEXT" is text that must appear nowhere.
#   . tests/support/expect_output.sh
#   expect_run NAME STATUS "LINE..." COMMAND...     then    finish_cases

failures=0
last_output=""

# The problems of OUTPUT against EXPECTED, a line each; nothing when it holds them all.
missing_lines() {
  local expected=$1 output=$2 rest=$2 line
  while IFS= read -r line; do
    [ -z "$line" ] && continue
    if [[ $line == "not: "* ]]; then
      ! grep -qF -- "${line#not: }" <<<"$output" || echo "  unwanted line: ${line#not: }"
    elif grep -qxF -- "$line" <<<"$rest"; then
      # The lines after this one, for the next expected line.
      rest=$(line=$line awk 'found { print } $0 == ENVIRON["line"] && !found { found = 1 }' <<<"$rest")
    else
      echo "  missing line, or out of order: $line"
    fi
  done <<<"$expected"
}

# Runs COMMAND with its standard error in its output, into last_output; says ok or FAIL.
expect_run() {
  local name=$1 status=$2 expected=$3 actual problems
  shift 3
  last_output=$("$@" 2>&1)
  actual=$?
  problems=$([ "$actual" -eq "$status" ] || echo "  exit status $actual, expected $status"
             missing_lines "$expected" "$last_output")
  report_case "$name" "$problems" "$last_output"
}

# report_case NAME PROBLEMS OUTPUT: ok, or FAIL with the problems and the output.
report_case() {
  if [ -n "$2" ]; then
    printf 'FAIL %s\n%s\n--- output ---\n%s\n--------------\n' "$1" "$2" "$(head -c 20000 <<<"$3")"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

finish_cases() {
  [ $failures -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
}
