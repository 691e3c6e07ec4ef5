#!/usr/bin/env bash
# Writes a settings file for a floodbench run: the flood server as a stored
# world with one character, and the run's trigger words as watch-for triggers.
# Usage: floodbench_setup.sh WORKDIR HOST PORT TRIGGERS WORD1,WORD2,...
set -euo pipefail
workdir=$1 host=$2 port=$3 count=${4:-0} words=${5:-}
ini="$workdir/CORVANE.INI"
{
    printf '[Addresses]\r\nMUD 1=Flood,%s,%s\r\n\r\n[Flood]\r\n' "$host" "$port"
    # "bench" with the password "guest", scrambled as the settings file keeps it.
    printf 'Character 1=bench,W!-@9\r\n'
    IFS=, read -r -a list <<< "$words"
    for ((i = 0; i < count && i < ${#list[@]} && i < 5; i++)); do
        n=$((i + 1))
        printf 'Trigger %d=%s\r\nWAVFile %d=,0\r\nTrigFont %d=DejaVu Sans Mono,10,True,False,65535\r\n' \
            "$n" "${list[$i]}" "$n" "$n"
    done
} > "$ini"
