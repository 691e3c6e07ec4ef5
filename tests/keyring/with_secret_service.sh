#!/bin/sh
# Runs a command against a real Secret Service: a GNOME keyring of its own,
# in folders of its own, on the private session bus dbus-run-session made.
# The login keyring is created unlocked, with a password only this run knows.
# Exits 77 (ctest: skipped) when no keyring answers on that bus.
set -eu
XDG_DATA_HOME=$(mktemp -d)
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_DATA_HOME XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"' EXIT
eval "$(printf 'corvane-test' | gnome-keyring-daemon --unlock --components=secrets)"
if ! dbus-send --session --print-reply --dest=org.freedesktop.secrets /org/freedesktop/secrets \
        org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1; then
    echo "no Secret Service answers on the private bus: the real keyring is not tested" >&2
    exit 77
fi
CORVANE_REAL_KEYRING=1 "$@"
