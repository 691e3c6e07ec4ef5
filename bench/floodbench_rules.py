#!/usr/bin/env python3
"""Writes the same 100 trigger rules for Corvane (its rules file) and for
TinyFugue (a file of /def lines), so floodbench can compare the two on equal
work: the five flood words highlighted (three as plain text, two as whole
words), 20 regular expressions with groups that send an answer, and 75 plain
or whole-word phrases that never match.

With --lua the 20 regular expressions are a player's talk counters instead:
one per name in the flood (`^(Alice) (says|asks|...|pages)[,:] (.*)`), which
together fire on about a quarter of its lines, each counting in a script:
Lua in Corvane (`talk = talk + 1`), a macro body in TinyFugue
(`/test fb_talk += 1`).

Usage: floodbench_rules.py [--lua] --corvane DIR/corvane-rules.json --tf DIR/rules.tf
"""
import argparse
import json

WORDS = ("dragon", "treasure", "wizard", "goblin", "lantern")
# The talkers of floodbench's corpus (floodserver.py).
NAMES = ("Alice", "Bob", "Carol", "Dmitri", "Esme", "Farouk", "Gwen", "Hiro", "Ingrid", "Jabari",
         "Kestrel", "Lumen", "Mirelle", "Nox", "Orrin", "Pip", "Quill", "Rosalind", "Sable", "Tamsin")
TALK = r"^(%s) (says|asks|exclaims|mutters|replies|whispers|pages)[,:] (.*)$"


def rules(lua=False):
    out = []
    for i, word in enumerate(WORDS):
        out.append(dict(pattern=word, match="plain" if i % 2 == 0 else "words", colour="match",
                        foreground="#00ff00", send=""))
    for i in range(20):
        if lua:
            out.append(dict(pattern=TALK % NAMES[i], match="regex", colour="none", foreground="",
                            send="", script="talk = (talk or 0) + 1", tf="/test fb_talk += 1"))
        else:
            out.append(dict(pattern=r"^(\w+) pages(?: from (\w+))?: (.*)zz%d$" % i, match="regex",
                            colour="none", foreground="", send="page $1=got it"))
    i = 0
    while len(out) < 100:
        out.append(dict(pattern="never seen phrase %d" % i, match="plain" if i % 2 == 0 else "words",
                        colour="none", foreground="", send=""))
        i += 1
    return out


def corvane_file(rule_list):
    items = []
    for n, r in enumerate(rule_list):
        items.append({"kind": "trigger", "world": "", "name": "rule %d" % n, "enabled": True,
                      "pattern": r["pattern"], "match": r["match"],
                      # As TinyFugue matches: globs ignore case, regular expressions do not.
                      "caseSensitive": r["match"] == "regex",
                      "stopHere": False, "send": r["send"], "script": r.get("script", ""),
                      "colour": r["colour"],
                      "foreground": r["foreground"], "background": "", "bold": False, "gag": False,
                      "sound": "", "notify": False, "status": ""})
    return json.dumps({"format": 1, "rules": items}, indent=2) + "\n"


def tf_file(rule_list):
    lines = []
    for n, r in enumerate(rule_list):
        attrs = " -aCgreen" if r["colour"] == "match" else ""
        body = " = /send %s" % r["send"].replace("$1", "%P1") if r["send"] else ""
        if r.get("tf"):
            body = " = " + r["tf"]
        if r["match"] == "plain":
            trigger = '-mglob -t"*%s*"' % r["pattern"]
        else:
            pattern = r["pattern"] if r["match"] == "regex" else r"(?i)\b%s\b" % r["pattern"]
            trigger = '-mregexp -t"%s"' % pattern.replace("\\", "\\\\")
        # -F: every rule is tried on every line, as Corvane does without "stop here".
        lines.append("/def -i -F %s%s fb_rule_%d%s" % (trigger, attrs, n, body))
    return "\n".join(lines) + "\n"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--corvane")
    ap.add_argument("--tf")
    ap.add_argument("--lua", action="store_true", help="20 of the rules count in a script")
    a = ap.parse_args()
    rule_list = rules(a.lua)
    if a.corvane:
        with open(a.corvane, "w") as f:
            f.write(corvane_file(rule_list))
    if a.tf:
        with open(a.tf, "w") as f:
            f.write(tf_file(rule_list))


if __name__ == "__main__":
    main()
