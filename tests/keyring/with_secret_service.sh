#!/bin/sh
# Runs a command against a real Secret Service: a GNOME keyring of its own,
# in folders of its own, on the private session bus dbus-run-session made.
# The login keyring is created unlocked, with a password only this run knows.
set -eu
XDG_DATA_HOME=$(mktemp -d)
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_DATA_HOME XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"' EXIT
eval "$(printf 'corvane-test' | gnome-keyring-daemon --unlock --components=secrets)"
CORVANE_REAL_KEYRING=1 "$@"
