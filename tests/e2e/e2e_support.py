"""Shared pieces of the end-to-end tests: the binaries under test, a release chain built with
`updater -release 1` and sealed with `updater-publish seal`, an nginx serving it, and game
folders with a scrambled configuration.

The binaries come from the environment: UPDATER (the updater), UPDATER_PUBLISH (the
publisher tool), UPDATER_SOURCE_DIR (the repository), and optionally UPDATER_RUNNER (a
command placed before the updater, e.g. the Wine runner) with UPDATER_EXE_NAME (the updater's
file name in a game folder, "updater" by default), UPDATER_BUILDER (a native updater that
builds and installs the releases the scenarios start from, the updater under test by default)
and UPDATER_PLATFORM (the platform word of its server paths)."""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

UPDATER = os.environ["UPDATER"]
PUBLISH = os.environ["UPDATER_PUBLISH"]
SOURCE_DIR = os.environ["UPDATER_SOURCE_DIR"]
RUNNER = os.environ.get("UPDATER_RUNNER", "").split()
BUILDER = os.environ.get("UPDATER_BUILDER", UPDATER)
EXE_NAME = os.environ.get("UPDATER_EXE_NAME", "updater")
PLATFORM = os.environ.get("UPDATER_PLATFORM", "linux")
KEY = os.path.join(SOURCE_DIR, "tests", "data", "keys", "test_key")
MAKE_TREE = os.path.join(SOURCE_DIR, "tests", "data", "release", "make_tree.py")
START_SERVERS = os.path.join(SOURCE_DIR, "tests", "support", "start_servers.py")

GAME, EDITION = "larkspire", "eu"
# Files an updater run leaves in the game folder besides the game.
RUN_FILES = {"updater.log", "watchdog.log", "gameconfig.bin", "config.bin", "updater.hash"}
EXEMPT_EXTENSIONS = {".exe", ".dll", ".icns", ".plist", ".dylib", ".tqa", ".zip"}


def sha256_file(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def run_updater(args, cwd, exe=None, timeout=300):
    """Runs the updater (by default the one under test) in `cwd`; returns the finished process."""
    command = RUNNER + [exe or UPDATER] + list(args)
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=timeout)


def run_builder(args, cwd):
    """Runs the native updater that prepares releases and installed folders."""
    return subprocess.run([BUILDER] + list(args), cwd=cwd, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=300)


def publish(*args, **kwargs):
    return subprocess.run([PUBLISH] + list(args), check=True, stdout=subprocess.PIPE, **kwargs)


def write_config(folder, options, name="gameconfig.bin"):
    """Writes the scrambled configuration `name` in `folder` from a dict or option text."""
    if isinstance(options, dict):
        options = "".join("-%s %s\n" % item for item in options.items())
    text = os.path.join(folder, name + ".txt")
    with open(text, "w") as out:
        out.write(options)
    publish("config-write", "--name", name, "--in", text, "--out", os.path.join(folder, name))
    os.remove(text)


def read_config(folder, name="gameconfig.bin"):
    return publish("config-read", "--name", name, "--in", os.path.join(folder, name)).stdout.decode()


def stored_scrambled(name):
    dot = name.rfind(".")
    return dot >= 0 and name[dot:].lower() not in EXEMPT_EXTENSIONS


def folder_files(folder, skip=RUN_FILES):
    """{relative name: bytes} of every file below `folder`, without the run's own files."""
    files = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            relative = os.path.relpath(path, folder).replace(os.sep, "/")
            if relative in skip or relative.endswith(".log"):
                continue
            with open(path, "rb") as f:
                files[relative] = f.read()
    return files


def plain_form(folder, name):
    """The bytes of an installed game file as the publisher had them (unscrambled)."""
    path = os.path.join(folder, name)
    if not stored_scrambled(name):
        with open(path, "rb") as f:
            return f.read()
    return publish("config-read", "--name", name, "--in", path).stdout


def packet_records(version_text):
    """(url, kind, [files]) of every packet block of a version text."""
    lines = version_text.replace("\r\n", "\r").split("\r")
    records, current = [], None
    for line in lines[5:]:
        if not line:
            current = None
        elif current is None:
            fields = line.split(" ")
            current = (fields[1], fields[3] if len(fields) > 3 else "", [])
            records.append(current)
        else:
            current[2].append(line)
    return records


def set_updater_line(version_text, updater_hash, updater_url):
    lines = version_text.split("\r\n")
    lines[1] = "%s %s" % (updater_hash, updater_url)
    return "\r\n".join(lines)


class Servers:
    """nginx (with tinyproxy and the test peer) on free loopback ports, serving `root`."""

    def __init__(self, root):
        self.scratch = tempfile.mkdtemp(prefix="e2e-servers-")
        state = os.path.join(self.scratch, "state")
        self.process = subprocess.Popen(
            [sys.executable, START_SERVERS, "--state", state, "--root", root],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.info = {}
        for line in self.process.stdout:
            key, _, value = line.decode().strip().partition("=")
            self.info[key] = value
            if key == "PID":
                break
        self.address = self.info["NGINX"]
        self.refused = self.info["REFUSED"]
        self.peer = self.info["PEER"]

    def stop(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)
        shutil.rmtree(self.scratch, ignore_errors=True)


class ReleaseChain:
    """Three releases of a generated game built into `work`, their packets in root/dl and
    their sealed version files in the server folder of the game edition."""

    def __init__(self, work, root, address, releases=3, mib=0.25):
        self.work, self.root, self.address = work, root, address
        self.folder = os.path.join(root, GAME, PLATFORM, "live", EDITION)
        self.packets = os.path.join(root, "dl")
        os.makedirs(work, exist_ok=True)
        os.makedirs(self.folder, exist_ok=True)
        os.makedirs(self.packets, exist_ok=True)
        self.updater_hash = sha256_file(UPDATER)
        template = os.path.join(work, "template.txt")
        with open(template, "wb") as out:
            out.write(b"MagicVersionFile\r\n%s %s/dl/%s\r\n" %
                      (self.updater_hash.encode(), address.encode(), EXE_NAME.encode()))
        self.versions = []  # unsealed version texts, oldest first
        old_version, old_hashes = template, None
        for n in range(1, releases + 1):
            source = os.path.join(work, "src%d" % n)
            subprocess.run([sys.executable, MAKE_TREE, source, "--release", str(n),
                            "--mib", str(mib)], check=True)
            release = os.path.join(work, "r%d" % n)
            os.makedirs(release)
            version = os.path.join(release, "v%d" % n)
            hashes = os.path.join(release, "hashes.txt")
            args = ["-release", "1", "-old_version", old_version, "-new_version", version,
                    "-new_hashes", hashes, "-source", source, "-target", self.packets,
                    "-tag", "r%d" % n, "-url", address + "/dl", "-platform", PLATFORM,
                    "-game", GAME, "-edition", EDITION, "-language", "en",
                    "-updaterversion", "32"]
            if old_hashes:
                args += ["-old_hashes", old_hashes]
            result = run_builder(args, cwd=work)
            if result.returncode != 0:
                raise RuntimeError("release %d failed: %s" % (n, result))
            with open(version, "rb") as f:
                self.versions.append(f.read().decode())
            self.seal(self.versions[-1], "v%d.txt.bin" % n)
            old_version, old_hashes = version, hashes
        self.seal(self.versions[-1], "_main.txt.bin")

    def seal(self, text, name, folder=None):
        source = os.path.join(self.work, "seal.txt")
        with open(source, "wb") as out:
            out.write(text.encode())
        publish("seal", "--key", KEY, "--in", source, "--out",
                os.path.join(folder or self.folder, name))

    def source(self, n):
        return os.path.join(self.work, "src%d" % n)

    def packet_file(self, url):
        return os.path.join(self.packets, url[url.rfind("/") + 1:])

    def packets_of(self, n, kind):
        return [self.packet_file(url) for url, k, _ in packet_records(self.versions[n - 1])
                if k == kind]
