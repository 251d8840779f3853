#!/usr/bin/env python3
"""Writes the source folder of one release of a generated game, for release-builder tests
and benchmarks.

    make_tree.py OUT --release N [--mib SIZE] [--seed SEED]

Release 1 holds about SIZE MiB of game-like files: compressed media (random bytes), tables
and textures that compress to about half, scripts and configuration text, executables, an
empty file, names with upper-case letters and several folder levels, and ".svn" folders that
a release leaves out. Each later release changes some files and adds a few; none is removed,
because installing packets never deletes a file. The same arguments always give the same
bytes, so a chain of releases can be rebuilt anywhere.
"""

import argparse
import math
import os
import random

KiB = 1024
MiB = 1024 * KiB

WORDS = ("spawn enemy health mana door key level light shadow quest item gold sword "
         "shield potion trigger scene camera path node actor model texture sound").split()
# Maps every byte to one of 16 values: about half the size after compression.
NIBBLES = bytes(0x40 + (i & 0x0F) for i in range(256))

KINDS = [
    # folder, name pattern, extension, content kind, share of the files
    ("data/levels", "Level{:03d}", ".bin", "table", 4),
    ("data/textures", "tex_{:04d}", ".dds", "table", 6),
    ("data/sounds", "Snd{:04d}", ".ogg", "media", 4),
    ("data/video", "clip{:02d}", ".bik", "media", 1),
    ("scripts", "script_{:03d}", ".lua", "text", 3),
]
FIXED = [
    ("bin/Game.exe", "media", 3 * MiB),
    ("bin/engine.dll", "media", 2 * MiB),
    ("config.ini", "text", 2 * KiB),
    ("readme", "text", 3 * KiB),
    ("empty.txt", "text", 0),
    (".svn/entries", "text", 1 * KiB),
    ("data/.svn/entries", "text", 1 * KiB),
]


def content(kind, size, key):
    rng = random.Random(key)
    if kind == "media":
        return rng.randbytes(size)
    if kind == "table":
        return rng.randbytes(size).translate(NIBBLES)
    words = " ".join(rng.choices(WORDS, k=size // 5 + 1)).encode()
    return words[:size]


def base_files(total, seed):
    """(name, kind, size) of release 1, about `total` bytes."""
    rng = random.Random(f"{seed}:layout")
    files = list(FIXED)
    used = sum(size for _, _, size in files)
    weights = [share for *_, share in KINDS]
    counters = [0] * len(KINDS)
    while used < total:
        index = rng.choices(range(len(KINDS)), weights)[0]
        folder, pattern, extension, kind, _ = KINDS[index]
        counters[index] += 1
        size = min(int(math.exp(rng.uniform(math.log(4 * KiB), math.log(6 * MiB)))), total - used)
        name = f"{folder}/{pattern.format(counters[index])}{extension}"
        files.append((name, kind, max(size, 1)))
        used += size
    return files


def left_out(name):
    """Whether a release leaves the file out (it lies in or is a "." entry)."""
    return any(part.startswith(".") for part in name.split("/"))


def release_files(release, total, seed):
    """{name: (kind, size, version)} of a release: version is the release that last wrote it."""
    files = {name: (kind, size, 1) for name, kind, size in base_files(total, seed)}
    for r in range(2, release + 1):
        rng = random.Random(f"{seed}:release{r}")
        names = sorted(name for name in files if files[name][1] > 0 and not left_out(name))
        # Some files change in every release, at least one.
        changed = {name for name in names if rng.random() < 0.08} | {rng.choice(names)}
        for name in sorted(changed):
            kind, size, _ = files[name]
            files[name] = (kind, size + rng.randrange(-size // 10 - 1, size // 10 + 2), r)
        for n in range(1 + len(files) // 30):
            files[f"data/patch{r}/new_{n:03d}.bin"] = ("table", rng.randrange(1 * KiB, 512 * KiB), r)
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--release", type=int, default=1)
    parser.add_argument("--mib", type=float, default=8)
    parser.add_argument("--seed", default="larkspire")
    args = parser.parse_args()
    total = int(args.mib * MiB)
    for name, (kind, size, version) in sorted(release_files(args.release, total, args.seed).items()):
        path = os.path.join(args.out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(content(kind, max(size, 0), f"{args.seed}:{name}:{version}"))


if __name__ == "__main__":
    main()
