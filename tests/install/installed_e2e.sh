#!/usr/bin/env bash
# The installed package end to end: the installed practice world on a free
# loopback port, the installed client logged in to it offscreen with
# --world, and the world's byte log showing the log-in and the room it led to.
# Usage: installed_e2e.sh [CLIENT [PRACTICE_WORLD]]   (default: from PATH)
set -euo pipefail
client=${1:-corvane}
world=${2:-corvane-practice-world}

scratch=$(mktemp -d)
world_pid=
client_pid=
finish() {
    [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null || true
    [ -n "$world_pid" ] && kill "$world_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT

fail() {
    echo "installed_e2e: $*" >&2
    for log in world.err client.out world.log; do
        [ -s "$scratch/$log" ] && { echo "-- $log" >&2; tail -n 30 "$scratch/$log" >&2; }
    done
    exit 1
}

# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false after SECONDS.
wait_for() {
    local tenths=$(($1 * 10))
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

"$world" --port 0 --log "$scratch/world.log" >"$scratch/port" 2>"$scratch/world.err" &
world_pid=$!
wait_for 10 grep -q '^[0-9]' "$scratch/port" || fail "the practice world did not say its port"
port=$(head -n 1 "$scratch/port")

# One stored world with Guest (password "guest", scrambled as the settings
# file keeps it); a home and config folder of its own keep the player's
# settings out of it.
printf '[Addresses]\r\nMUD 1=Practice,127.0.0.1,%s\r\n\r\n[Practice]\r\nCharacter 1=Guest,W!-@9\r\n' "$port" \
    >"$scratch/CORVANE.INI"
HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=offscreen \
    "$client" --settings "$scratch/CORVANE.INI" --world Practice --character Guest >"$scratch/client.out" 2>&1 &
client_pid=$!

logged_in() {
    grep -q 'connect Guest guest' "$scratch/world.log" && grep -q 'Town Square' "$scratch/world.log"
}
wait_for 30 logged_in || fail "the installed client did not log in to the installed practice world"
kill -0 "$client_pid" 2>/dev/null || fail "the client ended after logging in"
echo "installed_e2e: $("$client" --version) logged in to $("$world" --version) on port $port"
