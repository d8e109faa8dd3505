#!/bin/sh
# The one verdict line of a test run, from the log of its configure and ctest
# steps: "SFML 3.1.0: 31 passed, 0 failed, 2 skipped". WHERE, if given, goes
# in brackets after the version, which SFML_VERSION gives where the log has
# no configure step. Exits 1 when the log holds no summary.
#
#   tools/test-summary.sh LOG [WHERE]
sfml=${SFML_VERSION:-}
[ -n "$sfml" ] || sfml=$(sed -n 's/^-- Building against SFML \([^ ]*\).*/\1/p' "$1" | tail -n 1)
set -- "$1" "${2:+ ($2)}" $(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$1" | tail -n 1)
[ $# -eq 4 ] || { echo "SFML ${sfml:-unknown}$2: no test summary (the suite did not finish)"; exit 1; }
skipped=$(grep -c '\*\*\*Skipped' "$1")
echo "SFML ${sfml:-unknown}$2: $(($4 - $3 - skipped)) passed, $3 failed$([ "$skipped" -eq 0 ] || echo ", $skipped skipped")"
