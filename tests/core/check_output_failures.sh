#!/bin/sh
# kvhitemp-report must fail with 74 and the system's reason when its output cannot be written:
# standard output on a full device, and standard output closed.
# Usage: check_output_failures.sh REPORT EXAMPLE.dew
report=$1
example=$2
failures=0
check() { # name, expected reason, command
    name=$1 reason=$2
    shift 2
    err=$("$@" 2>&1 >/dev/null)
    code=$?
    case $err in
    *"$reason"*) ;;
    *) code="$code, stderr: $err" ;;
    esac
    if [ "$code" = 74 ]; then
        echo "ok: $name"
    else
        echo "FAILED: $name (exit $code)"
        failures=$((failures + 1))
    fi
}
check "report to /dev/full" "No space left on device" sh -c '"$0" "$1" >/dev/full' "$report" "$example"
check "series to /dev/full" "No space left on device" sh -c '"$0" --series "$1" >/dev/full' "$report" "$example"
check "help to /dev/full" "No space left on device" sh -c '"$0" --help >/dev/full' "$report"
check "report to a closed output" "Bad file descriptor" sh -c '"$0" "$1" >&-' "$report" "$example"
exit $failures
