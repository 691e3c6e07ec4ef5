#!/usr/bin/env python3
"""The client's CPU for a bulk flood sent plain and sent compressed (MCCP2).

Starts Corvane (offscreen) against a one-connection flood server that offers
MCCP2 in the compressed rounds, sends floodbench's corpus at once, and reads
the client's CPU time from /proc until it has been idle for a second.

    bench/mccp_flood.py build-ci/app/corvane [--mb 10] [--runs 3]
"""
import argparse
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
# floodbench lives beside the repository (../shared/floodbench); FLOODBENCH names another place.
sys.path.insert(0, os.environ.get("FLOODBENCH", os.path.join(HERE, "..", "..", "shared", "floodbench")))
from floodserver import build_flood  # noqa: E402

IAC, WILL, DO, SB, SE, MCCP2 = 255, 251, 253, 250, 240, 86


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wait_idle(pid, quiet=1.0, limit=300):
    last, since, end = cpu_seconds(pid), time.time(), time.time() + limit
    while time.time() < end:
        time.sleep(0.1)
        now = cpu_seconds(pid)
        if now != last:
            last, since = now, time.time()
        elif time.time() - since >= quiet:
            return last
    raise RuntimeError("the client never went idle")


def one_round(client, payload, compressed):
    lsock = socket.socket()
    lsock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    lsock.bind(("127.0.0.1", 0))
    lsock.listen(1)
    port = lsock.getsockname()[1]
    work = tempfile.mkdtemp(prefix="mccp-flood-")
    subprocess.run([os.path.join(HERE, "floodbench_setup.sh"), work, "127.0.0.1", str(port), "0", ""], check=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.Popen([client, "--settings", os.path.join(work, "CORVANE.INI"), "--world", "Flood"],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        lsock.settimeout(60)
        sock, _ = lsock.accept()
        sock.settimeout(5)
        if compressed:
            sock.sendall(bytes([IAC, WILL, MCCP2]))
            seen = b""
            while bytes([IAC, DO, MCCP2]) not in seen:
                seen += sock.recv(4096)
        time.sleep(1.0)
        wire = payload
        if compressed:
            wire = bytes([IAC, SB, MCCP2, IAC, SE]) + zlib.compress(payload, 6)
        before = wait_idle(proc.pid, quiet=0.5)
        sock.sendall(wire)
        after = wait_idle(proc.pid)
        sock.close()
        return after - before, len(wire)
    finally:
        proc.kill()
        proc.wait()
        lsock.close()


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("client")
    ap.add_argument("--mb", type=float, default=10)
    ap.add_argument("--runs", type=int, default=3)
    args = ap.parse_args()
    payload = build_flood(args.mb)[0]
    for compressed in (False, True):
        rounds = [one_round(args.client, payload, compressed) for _ in range(args.runs)]
        cpus = [r[0] for r in rounds]
        print("%-10s %5.1f MiB flood, %6.2f MiB sent: client CPU median %.3f s (%s), load %.1f" % (
            "mccp" if compressed else "plain", args.mb, rounds[0][1] / 2**20, statistics.median(cpus),
            ", ".join("%.3f" % c for c in cpus), os.getloadavg()[0]))


if __name__ == "__main__":
    main()
