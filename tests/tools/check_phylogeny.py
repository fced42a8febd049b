#!/usr/bin/python3
"""Reads the species tree exports back with a parser of its own and checks
them against the species history as saved in species.dat.

  check_phylogeny.py SPECIES_DAT NEWICK SPECIES_CSV [LINEAGE_CSV [FRAMES_DIR]]

Prints "ok: ..." and exits 0 when everything holds; else names the first
fault and exits 1. Standard library only.
"""
import csv
import glob
import os
import struct
import sys

EPS = 1e-9


def fail(what):
    print("check_phylogeny: " + what)
    sys.exit(1)


def read_species(path):
    lines = open(path, newline="").read().split("\r\n")
    grain, next_month, world, _adults, count = (int(v) for v in lines[:5])
    species = {}
    for line in lines[5:5 + count]:
        v = [int(x) for x in line.split(" ")[:5]]
        species[v[0]] = dict(parent=v[1], world=v[2], first=v[3], last=v[4])
    if len(species) != count or grain < 1:
        fail("species.dat: %d species read, %d listed" % (len(species), count))
    for s in species.values():
        s["living"] = s["world"] == world and s["last"] + 1 == next_month
    return species


def parse_newick(text):
    """Trees as nested dicts {label, length, children}; one per ';'."""
    trees, at = [], 0

    def node():
        nonlocal at
        item = {"label": "", "length": 0.0, "children": []}
        if text[at] == "(":
            at += 1
            item["children"].append(node())
            while text[at] == ",":
                at += 1
                item["children"].append(node())
            if text[at] != ")":
                fail("newick: ')' expected at %d" % at)
            at += 1
        start = at
        while text[at] not in ":,();":
            at += 1
        item["label"] = text[start:at]
        if text[at] == ":":
            at += 1
            start = at
            while text[at] not in ",();":
                at += 1
            item["length"] = float(text[start:at])
        return item

    while at < len(text):
        if text[at].isspace():
            at += 1
            continue
        trees.append(node())
        if text[at] != ";":
            fail("newick: ';' expected at %d" % at)
        at += 1
    return trees


def check_tree(tree, species, seen):
    """Leaf times, and each split joining a child to its parent."""
    def main(n):  # the species whose line runs through a node
        while n["children"]:
            n = n["children"][0]
        return int(n["label"][1:])

    roots = tree["children"] if tree["label"].startswith("W") else [tree]
    start = min(species[main(r)]["first"] for r in roots) / 12.0
    for r in roots:
        if species[main(r)]["parent"] != 0:
            fail("S%d heads a tree but has a parent" % main(r))
    stack = [(tree, start + tree["length"])]
    while stack:
        n, time = stack.pop()
        if not n["children"]:
            number = int(n["label"][1:])
            s = species[number]
            if number in seen:
                fail("S%d is a leaf twice" % number)
            seen.add(number)
            if abs(time - (s["last"] + 1) / 12.0) > 1e-6:
                fail("S%d ends at %.6f, not at its last month" % (number, time))
            continue
        if not n["label"].startswith("W"):
            if len(n["children"]) != 2:
                fail("a split of %d lines" % len(n["children"]))
            parent, child = main(n["children"][0]), main(n["children"][1])
            if species[child]["parent"] != parent:
                fail("S%d splits from S%d, not from its parent" % (child, parent))
            split = min(species[child]["first"], species[parent]["last"] + 1) / 12.0
            if abs(time - split) > 1e-6:
                fail("S%d splits at %.6f, not at its first month" % (child, time))
        for c in n["children"]:
            stack.append((c, time + c["length"]))


def check_alife(path, origin_of):
    rows = list(csv.DictReader(open(path, newline="")))
    ids = {}
    for row in rows:
        ids[int(row["id"])] = float(row["origin_time"])
    for row in rows:
        ancestors = row["ancestor_list"].strip("[]")
        if ancestors == "none":
            continue
        for a in ancestors.split(","):
            a = int(a)
            if a not in ids:
                fail("%s: %s's ancestor %d is missing" % (path, row["id"], a))
            if not ids[a] < float(row["origin_time"]):
                fail("%s: %s's ancestor %d is not older" % (path, row["id"], a))
    if origin_of is not None:
        origin_of(rows)
    return len(rows)


def main():
    species = read_species(sys.argv[1])
    trees = parse_newick(open(sys.argv[2]).read())
    seen = set()
    for tree in trees:
        check_tree(tree, species, seen)
    if seen != set(species):
        fail("%d leaves for %d species" % (len(seen), len(species)))

    def against_history(rows):
        for row in rows:
            s = species[int(row["id"])]
            parent = "[none]" if s["parent"] == 0 else "[%d]" % s["parent"]
            end = row["destruction_time"]
            ended = end == "none" if s["living"] else abs(float(end) - (s["last"] + 1) / 12.0) < EPS
            if row["ancestor_list"] != parent or not ended or \
                    abs(float(row["origin_time"]) - s["first"] / 12.0) > EPS:
                fail("species.csv: species %s differs from species.dat" % row["id"])
        if len(rows) != len(species):
            fail("species.csv: %d rows for %d species" % (len(rows), len(species)))

    check_alife(sys.argv[3], against_history)
    report = "ok: %d leaves in %d trees" % (len(seen), len(trees))
    if len(sys.argv) > 4:
        report += ", %d family entries" % check_alife(sys.argv[4], None)
    if len(sys.argv) > 5:
        frames = sorted(glob.glob(os.path.join(sys.argv[5], "frame-*.png")))
        for i, frame in enumerate(frames):
            head = open(frame, "rb").read(24)
            if os.path.basename(frame) != "frame-%06d.png" % i or head[:8] != b"\x89PNG\r\n\x1a\n":
                fail("%s is not frame %d as a PNG" % (frame, i))
            width, height = struct.unpack(">II", head[16:24])
            report += "" if i else ", frames %dx%d" % (width, height)
        report += ", %d frames" % len(frames)
    print(report)


main()
