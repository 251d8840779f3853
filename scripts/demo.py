#!/usr/bin/env python3
"""The main job, shown end to end: a publisher builds three releases of a generated game with
`updater -release 1` and seals their version files; nginx on a loopback port serves them; the
updater, started in an empty game folder that holds only its configuration, installs the game
and starts it; a second start finds nothing to do."""

import os
import shutil
import sys
import tempfile

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
bin_dir = os.path.join(root, "build", "linux", "bin")
os.environ.setdefault("UPDATER", os.path.join(bin_dir, "updater"))
os.environ.setdefault("UPDATER_PUBLISH", os.path.join(bin_dir, "updater-publish"))
os.environ.setdefault("UPDATER_SOURCE_DIR", root)
sys.path.insert(0, os.path.join(root, "tests", "e2e"))

from e2e_support import EDITION, GAME, ReleaseChain, Servers, folder_files, run_updater, write_config  # noqa: E402


def show_run(title, game):
    print("\n=== " + title)
    result = run_updater([], cwd=game, exe="./updater")
    print("exit code %d, standard output: %s" % (result.returncode, result.stdout.decode().strip()))
    with open(os.path.join(game, "updater.log"), encoding="latin-1") as log:
        for line in log:
            print("  updater.log: " + line.rstrip())
    return result.returncode


def main():
    work = tempfile.mkdtemp(prefix="updater-demo-")
    www = os.path.join(work, "www")
    os.makedirs(www)
    servers = Servers(www)
    try:
        print("update server: nginx on " + servers.address)
        chain = ReleaseChain(os.path.join(work, "publisher"), www, servers.address, mib=2)
        print("published three releases of %s/%s:" % (GAME, EDITION))
        for dirpath, _, names in sorted(os.walk(www)):
            for name in sorted(names):
                path = os.path.join(dirpath, name)
                print("  %-60s %9d bytes" % (os.path.relpath(path, www), os.path.getsize(path)))

        game = os.path.join(work, "game")
        os.makedirs(game)
        shutil.copy(os.environ["UPDATER"], os.path.join(game, "updater"))
        with open(os.path.join(game, "game.sh"), "w") as script:
            script.write("#!/bin/sh\necho \"the game runs\" > game_started.txt\n")
        os.chmod(os.path.join(game, "game.sh"), 0o755)
        write_config(game, {"game": GAME, "edition": EDITION, "language": "en",
                            "updaterversion": 32, "updateserver": servers.address,
                            "execute": "game.sh"})

        first = show_run("first start in a folder with only the updater and gameconfig.bin", game)
        installed = sorted(folder_files(game))
        print("game folder now holds %d files, e.g. %s" % (len(installed), ", ".join(installed[:5])))
        print("game started: %s" % os.path.exists(os.path.join(game, "game_started.txt")))
        second = show_run("second start: already up to date", game)
        return 0 if first == 0 and second == 0 else 1
    finally:
        servers.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
