"""Releases built and installed by the updater's own jobs, without an update server: a chain
of three releases from `updater -release 1`, each patch installed with `updater -install`."""

import os
import shutil
import tempfile
import unittest

from e2e_support import (EDITION, GAME, KEY, ReleaseChain, folder_files, plain_form, publish,
                         run_updater, write_config)

# Install mode takes the packet from the command line only when the configuration allows it.
INSTALL_CONFIG = {"game": GAME, "edition": EDITION, "language": "en", "updaterversion": 32,
                  "installation": "AAAAAAAAAAAAAAAAAAAAAA==", "allowedgameflags": "install"}


def source_files(folder):
    return {name: data for name, data in folder_files(folder, skip=set()).items()
            if not any(part.startswith(".") for part in name.split("/"))}


class InstallChainTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="e2e-install-")
        cls.chain = ReleaseChain(os.path.join(cls.work, "build"), os.path.join(cls.work, "www"),
                                 "127.0.0.1:9")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def game_folder(self, name):
        folder = os.path.join(self.work, name)
        os.makedirs(folder)
        write_config(folder, INSTALL_CONFIG)
        return folder

    def install(self, folder, packet):
        result = run_updater(["-install", packet], cwd=folder)
        self.assertEqual(result.returncode, 0, result)

    def test_patches_on_the_first_install_give_the_latest_tree(self):
        game = self.game_folder("patched")
        for packet in self.chain.packets_of(1, "install"):
            self.install(game, packet)
        self.assertEqual({n: plain_form(game, n) for n in folder_files(game)},
                         source_files(self.chain.source(1)))
        for n in (2, 3):
            [patch] = self.chain.packets_of(n, "patch")
            self.install(game, patch)

        # Stored form: the same bytes as a full install of release 3, and each file the
        # publisher's bytes once unscrambled.
        full = self.game_folder("full")
        for packet in self.chain.packets_of(3, "patch") + self.chain.packets_of(3, "install"):
            self.install(full, packet)
        self.assertEqual(folder_files(game), folder_files(full))
        self.assertEqual({n: plain_form(game, n) for n in folder_files(game)},
                         source_files(self.chain.source(3)))

    def test_sealed_version_files_open_to_their_text(self):
        for n, text in enumerate(self.chain.versions, start=1):
            opened = publish("unseal", "--pub", KEY + ".pub", "--in",
                             os.path.join(self.chain.folder, "v%d.txt.bin" % n)).stdout
            self.assertEqual(opened.decode(), text)

    def test_a_changed_byte_leaves_the_folder_unchanged_and_says_why(self):
        game = self.game_folder("tampered")
        for packet in self.chain.packets_of(1, "install"):
            self.install(game, packet)
        before = folder_files(game)
        [patch] = self.chain.packets_of(2, "patch")
        tampered = os.path.join(self.work, os.path.basename(patch))
        with open(patch, "rb") as f:
            data = bytearray(f.read())
        data[len(data) // 2] ^= 0x20
        with open(tampered, "wb") as out:
            out.write(data)

        result = run_updater(["-install", tampered], cwd=game)
        self.assertEqual(result.returncode, 4)
        self.assertEqual(folder_files(game), before)
        with open(os.path.join(game, "updater.log"), "rb") as f:
            log = f.read().decode("latin-1")
        self.assertIn("Archive: " + tampered, log)
        self.assertIn("return error RETURN_INIT", log)

    def test_install_needs_a_configuration(self):
        folder = os.path.join(self.work, "unconfigured")
        os.makedirs(folder)
        [patch] = self.chain.packets_of(2, "patch")
        result = run_updater(["-install", patch], cwd=folder)
        self.assertEqual(result.returncode, 4)
        self.assertIn(b"bad config file", result.stderr)
        self.assertEqual(folder_files(folder), {})


class HashModeTest(unittest.TestCase):
    def test_hash_needs_no_configuration(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "some.exe")
            with open(target, "wb") as out:
                out.write(b"abc")
            result = run_updater(["-hash", target], cwd=folder)
            digest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"
            self.assertEqual(result.returncode, 0, result)
            self.assertEqual(result.stdout.decode().strip(), digest)
            with open(os.path.join(folder, "updater.hash")) as f:
                self.assertEqual(f.read(), digest)


if __name__ == "__main__":
    unittest.main()
