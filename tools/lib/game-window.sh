# Sourced by the runs of the real game (smoke run, menu-entry autopkgtest): start
# it, find its window, quit it. Callers set what (the run) and log (its stderr).
fail() {
    [ -z "${game:-}" ] || kill "$game" 2>/dev/null || true
    echo "$what: FAILED: $*" >&2
    grep -v -E '^(ALSA|AL) lib' "$log" >&2 || true
    exit 1
}
# start_game COMMAND...: starts it, waits up to 20 s for its window "TUNDREL |
# ..." and lets it run 2 s. Sets game (the pid) and window (the window's id).
start_game() {
    "$@" 2>"$log" &
    game=$!
    # One connection that waits: one for each look could crowd the X server.
    timeout 20 xdotool search --sync --name '^TUNDREL \| ' >"$log.window" 2>/dev/null &
    while kill -0 $! 2>/dev/null; do
        kill -0 "$game" 2>/dev/null || fail "the game ended before its window appeared"
        sleep 0.1
    done
    window=$(head -n 1 "$log.window")
    [ -n "$window" ] || fail "no window titled TUNDREL | ..."
    sleep 2
    kill -0 "$game" 2>/dev/null || fail "the game ended by itself"
}
# quit_game: Escape on the title page must end the game with status 0 within
# 10 s. The key's release may find the window gone already.
quit_game() {
    xdotool key --window "$window" Escape 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null && sleep 0.1; done
    kill -0 "$game" 2>/dev/null && fail "still running 10 s after Escape"
    local status=0
    wait "$game" || status=$? && game=
    [ "$status" -eq 0 ] || fail "exit code $status"
}
