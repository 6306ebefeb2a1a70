#!/bin/sh
# kvhitemp-report must fail with 74 and the system's reason when its output cannot be written:
# standard output closed, and a file past the size limit (ulimit -f, which would otherwise end
# it by SIGXFSZ), for the report, the series and the help. A case it has no memory to read ends
# with 71. Files are made in a scratch folder.
# Usage: check_output_failures.sh REPORT EXAMPLE.dew
report=$1
example=$2
failures=0
scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
check() { # name, expected exit code, expected reason, command
    name=$1 expected=$2 reason=$3
    shift 3
    err=$("$@" 2>&1 >/dev/null)
    code=$?
    case $err in
    *"$reason"*) ;;
    *) code="$code, stderr: $err" ;;
    esac
    if [ "$code" = "$expected" ]; then
        echo "ok: $name"
    else
        echo "FAILED: $name (exit $code)"
        failures=$((failures + 1))
    fi
}
check "report past the file size limit" 74 "File too large" \
    sh -c 'ulimit -f 0; "$0" "$1" >"$2/report.txt"' "$report" "$example" "$scratch"
check "help past the file size limit" 74 "File too large" \
    sh -c 'ulimit -f 1; "$0" --help >"$2/help.txt"' "$report" "$scratch"
check "report to a closed output" 74 "Bad file descriptor" sh -c '"$0" "$1" >&-' "$report" "$example"
check "series past the file size limit" 74 "File too large" \
    sh -c 'ulimit -f 1; "$0" --series "$1" >"$2/series.csv"' "$report" "$example" "$scratch"

# 99,999 rows need more memory than 12 MB of address space give; the program itself starts in
# less (not so under the sanitizers, which reserve far more: then there is nothing to check).
limit=12000
if sh -c "ulimit -v $limit; \"\$0\" --version" "$report" >/dev/null 2>&1; then
    big=$scratch/big.dew
    printf 'Davar Model = 1\r\nTracer Type = 0\r\nEnvironment = 0\r\n[Data]\r\nS,20,0\r\n' >"$big"
    awk 'BEGIN { for (i = 0; i < 99998; ++i) printf "R,4OO,1\r\n" }' >>"$big"
    check "a case too large for the memory" 71 "There is not enough memory." \
        sh -c 'ulimit -v "$2"; "$0" "$1"' "$report" "$big" "$limit"
else
    echo "skipped: a case too large for the memory (the program needs more than $limit KB)"
fi
exit $failures
