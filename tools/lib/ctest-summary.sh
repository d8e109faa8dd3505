# Sourced by what runs the suite: its one-line verdict, such as
# "SFML 3.1.0: 31 passed, 0 failed, 2 skipped", from the configure and CTest
# output in $1. Fails when CTest printed no summary.
ctest_summary() {
    awk '/^-- Building against SFML / { sfml = $5 }
         /^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+/ { failed = $4; total = $9; done = 1 }
         /\*\*\*Skipped/ { skipped++ }
         END { if (!done) { printf "SFML %s: no test summary (the suite did not finish)\n", sfml ? sfml : "unknown"; exit 1 }
               printf "SFML %s: %d passed, %d failed%s\n", sfml, total - failed - skipped, failed,
                      skipped ? ", " skipped " skipped" : "" }' "$1"
}
