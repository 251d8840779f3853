"""The update run end to end: the updater in a game folder against nginx serving a chain of
three releases, from the configuration to the game's start."""

import hashlib
import os
import shutil
import tempfile
import time
import unittest

from e2e_support import (EDITION, EXE_NAME, GAME, PLATFORM, ReleaseChain, Servers,
                         folder_files, packet_records, publish, read_config, run_builder, run_updater,
                         set_updater_line, sha256_file, write_config, UPDATER)

INSTALLATION = "AAAAAAAAAAAAAAAAAAAAAA=="
# Release 3 of a chain that starts at update number 0.
VERSION_LINE = b"set versionhash %s.2\n" % GAME.encode()
WINDOWS = EXE_NAME.lower().endswith(".exe")
# The game: a script that leaves a mark, or under Wine a program Wine brings along.
GAME_PROGRAM = "hostname.exe" if WINDOWS else "game.sh"
GAME_SCRIPT = b"#!/bin/sh\necho \"$@\" > game_started.txt\n"


class UpdateRunTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="e2e-run-")
        cls.root = os.path.join(cls.work, "www")
        os.makedirs(cls.root)
        cls.servers = Servers(cls.root)
        cls.chain = ReleaseChain(os.path.join(cls.work, "build"), cls.root, cls.servers.address)
        # Release 1 as players have it, and release 3 as a full install gives it.
        cls.release1 = cls.installed("release1", cls.chain.packets_of(1, "install"))
        cls.release3 = cls.installed("release3", cls.chain.packets_of(3, "patch") +
                                     cls.chain.packets_of(3, "install"))

    @classmethod
    def tearDownClass(cls):
        cls.servers.stop()
        shutil.rmtree(cls.work, ignore_errors=True)

    @classmethod
    def installed(cls, name, packets):
        folder = os.path.join(cls.work, name)
        os.makedirs(folder)
        write_config(folder, {"game": GAME, "edition": EDITION, "language": "en",
                              "updaterversion": 32, "installation": INSTALLATION,
                              "allowedgameflags": "install"})
        for packet in packets:
            result = run_builder(["-install", packet], cwd=folder)
            assert result.returncode == 0, result
        return folder_files(folder)

    def setUp(self):
        self.game = tempfile.mkdtemp(prefix="game-", dir=self.work)

    def make_game(self, files=None, **options):
        """The game folder: the given game files, the updater, a game program and the
        configuration (the defaults below, changed or removed (None) by `options`)."""
        for name, data in (files or {}).items():
            path = os.path.join(self.game, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(data)
        shutil.copy(UPDATER, os.path.join(self.game, EXE_NAME))
        if not WINDOWS:
            script = os.path.join(self.game, GAME_PROGRAM)
            with open(script, "wb") as out:
                out.write(GAME_SCRIPT)
            os.chmod(script, 0o755)
        config = {"game": GAME, "edition": EDITION, "language": "en", "updaterversion": 32,
                  "updateserver": self.servers.address, "execute": GAME_PROGRAM,
                  "installation": INSTALLATION}
        config.update(options)
        write_config(self.game, {k: v for k, v in config.items() if v is not None})

    def run_game(self, *args, timeout=300):
        exe = EXE_NAME if WINDOWS else "./" + EXE_NAME
        return run_updater(list(args), cwd=self.game, exe=exe, timeout=timeout)

    def log(self):
        with open(os.path.join(self.game, "updater.log"), "rb") as f:
            return f.read().decode("latin-1")

    def game_files(self):
        return {name: data for name, data in folder_files(self.game).items()
                if name not in (EXE_NAME, GAME_PROGRAM, "game_started.txt")}

    def game_started(self):
        if not WINDOWS:
            return os.path.exists(os.path.join(self.game, "game_started.txt"))
        try:
            with open(os.path.join(self.game, "watchdog.log"), "rb") as f:
                return "executing " + GAME_PROGRAM in f.read().decode("utf-16", "replace")
        except OSError:
            return False

    def test_release_1_is_brought_to_release_3(self):
        self.make_game(self.release1)
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        self.assertIn(VERSION_LINE, result.stdout.replace(b"\r\n", b"\n"))
        # Installing the patches out of order would leave release 2's bytes behind.
        self.assertEqual(self.game_files(), self.release3)
        log = self.log()
        for line in ("Status: GAME_UPDATE", "state 6", "state 8", "Status: GAME_UPDATE_DONE",
                     "Status: QUIT", "return 0"):
            self.assertIn("|" + line + "\r\n", log)
        self.assertTrue(self.game_started())

    def test_an_empty_folder_gets_every_packet_of_the_newest_release(self):
        self.make_game()
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        self.assertEqual(self.game_files(), self.release3)
        self.assertIn(VERSION_LINE, result.stdout.replace(b"\r\n", b"\n"))

    def test_a_failed_full_install_asks_for_a_reinstall(self):
        # Release 3 with its last install packet gone from the server.
        url = packet_records(self.chain.versions[-1])[-1][0]
        text = self.chain.versions[-1].replace(url, url[:url.rfind("/")] + "/gone.tqa")
        folder = os.path.join(self.root, GAME, PLATFORM, "live", "broken")
        shutil.copytree(self.chain.folder, folder)
        self.chain.seal(text, "_main.txt.bin", folder=folder)
        self.make_game(edition="broken")
        self.assertEqual(self.run_game().returncode, 0)
        log = self.log()
        self.assertIn("|state 9\r\n", log)
        self.assertIn("Corrupt Installation. Please reinstall.", log)

    def test_the_newest_release_needs_no_packet(self):
        self.make_game(self.release3)
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        log = self.log()
        self.assertIn("|state 8\r\n", log)
        self.assertNotIn("|state 6\r\n", log)
        self.assertEqual(self.game_files(), self.release3)
        self.assertTrue(self.game_started())

    def test_local_mode_reads_only_the_local_version_file(self):
        local = os.path.join(self.chain.work, "r3", "v3")
        self.make_game(self.release1, local=local, updateserver=self.servers.refused)
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        self.assertIn("|state 8\r\n", self.log())
        self.assertEqual(self.game_files(), self.release1)

    def test_a_deactivation_notice_ends_a_restricted_run(self):
        for body, shown in ((b"Closed for good.", b"Closed for good."),
                            (b"<html><div>Closed today.</div></html>", b"Closed today.")):
            with self.subTest(body=body):
                notice = os.path.join(self.chain.folder, "deactivated.txt.bin")
                with open(notice, "wb") as out:
                    out.write(body)
                self.make_game(self.release1, restricted=1)
                result = self.run_game()
                os.remove(notice)
                self.assertEqual(result.returncode, 0, result)
                self.assertEqual(result.stdout.strip(), shown)
                self.assertEqual(self.game_files(), self.release1)
                self.assertFalse(self.game_started())

    def test_a_missing_or_unusable_configuration_ends_the_start(self):
        self.make_game()
        os.remove(os.path.join(self.game, "gameconfig.bin"))
        result = self.run_game()
        self.assertEqual(result.returncode, 4)
        self.assertEqual(result.stderr, b"bad config file\n")
        self.assertIn("|bad config file\r\n", self.log())

        with open(os.path.join(self.game, "gameconfig.bin"), "wb") as out:
            out.write(bytes(range(256)) * 4)
        result = self.run_game()
        self.assertEqual(result.returncode, 4)
        self.assertIn("|return error RETURN_INIT\r\n", self.log())
        self.assertFalse(self.game_started())

    def test_the_installation_identifier_is_written_once(self):
        self.make_game(self.release3, installation=None)
        self.assertEqual(self.run_game().returncode, 0)
        config = read_config(self.game)
        identifier = config.split("-installation ")[1].strip()
        self.assertEqual(len(identifier), 24)
        self.assertTrue(identifier.endswith("=="))
        with open(os.path.join(self.game, "gameconfig.bin"), "rb") as f:
            written = f.read()
        self.assertEqual(self.run_game().returncode, 0)
        with open(os.path.join(self.game, "gameconfig.bin"), "rb") as f:
            self.assertEqual(f.read(), written)

    def test_allowed_game_flags_stop_at_an_empty_name(self):
        # "test" would send the run to the test folder, which has no version file.
        self.make_game(self.release3, allowedgameflags="language,,test")
        result = self.run_game("-test", "1", "-language", "de")
        self.assertEqual(result.returncode, 0, result)
        self.assertIn("|state 8\r\n", self.log())

    def test_updater_version_33_is_refused(self):
        self.make_game(self.release3, updaterversion=33)
        result = self.run_game()
        self.assertEqual(result.returncode, 4)
        self.assertIn("|return error RETURN_INIT\r\n", self.log())
        self.assertFalse(self.game_started())

    def test_test_switches_to_the_test_folder(self):
        edition = "beta"
        folder = os.path.join(self.root, GAME, PLATFORM, "test", edition)
        os.makedirs(folder, exist_ok=True)
        self.chain.seal(self.chain.versions[-1], "_main.txt.bin", folder=folder)
        for test, state in ((1, "state 8"), (0, "state 9")):
            with self.subTest(test=test):
                self.make_game(self.release3, edition=edition, test=test)
                self.run_game()
                self.assertIn("|" + state + "\r\n", self.log())

    def test_an_unreachable_server_goes_offline_after_six_retries(self):
        self.make_game(self.release1, updateserver=self.servers.refused)
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        log = self.log()
        self.assertEqual(log.count("|retry "), 6, log)
        self.assertIn("|state 1\r\n", log)
        self.assertEqual(self.game_files(), self.release1)

    def test_a_version_file_that_does_not_open_is_refused(self):
        other = os.path.join(self.work, "other_key")
        if not os.path.exists(other):
            publish("keygen", "--out", other)
        edition = "wrongkey"
        folder = os.path.join(self.root, GAME, PLATFORM, "live", edition)
        os.makedirs(folder, exist_ok=True)
        source = os.path.join(self.work, "wrongkey.txt")
        with open(source, "wb") as out:
            out.write(self.chain.versions[-1].encode())
        publish("seal", "--key", other, "--in", source, "--out",
                os.path.join(folder, "_main.txt.bin"))
        for edition, texts in ((edition, ("no data decrypted", "unzip error")),
                               ("missing", ("No data were received.",))):
            with self.subTest(edition=edition):
                self.make_game(self.release1, edition=edition)
                result = self.run_game()
                self.assertEqual(result.returncode, 0, result)
                log = self.log()
                self.assertIn("|state 9\r\n", log)
                self.assertTrue(any(text in log for text in texts), log)
                self.assertEqual(self.game_files(), self.release1)

    def test_bad_server_data_ends_the_run_without_touching_the_folder(self):
        with open(os.path.join(self.chain.folder, "_main.txt.bin"), "rb") as f:
            sealed = f.read()
        raw = {"truncated": sealed[:len(sealed) // 2], "oversized": sealed + bytes(300),
               "empty": b""}
        # First version files (number 0, no previous file) with the given packet blocks.
        header = "\r\n".join(self.chain.versions[-1].split("\r\n")[:2] + ["0", "", ""])
        blocks = {"many": "".join("%064x %s/dl/p%d.tqa 10 install\r\nf%d\r\n\r\n" %
                                  (n, self.servers.address, n, n) for n in range(10000)),
                  "noslash": "%064x nourl 10 install\r\nf\r\n\r\n" % 1}
        for edition in list(raw) + list(blocks):
            with self.subTest(edition=edition):
                folder = os.path.join(self.root, GAME, PLATFORM, "live", edition)
                os.makedirs(folder, exist_ok=True)
                if edition in raw:
                    with open(os.path.join(folder, "_main.txt.bin"), "wb") as out:
                        out.write(raw[edition])
                else:
                    self.chain.seal(header + "\r\n" + blocks[edition], "_main.txt.bin",
                                    folder=folder)
                self.make_game(self.release1, edition=edition)
                result = self.run_game()
                self.assertEqual(result.returncode, 0, result)
                log = self.log()
                self.assertTrue("|state 9\r\n" in log or "|state 1\r\n" in log, log)
                self.assertIn("|Error\n", log)
                self.assertEqual(self.game_files(), self.release1)

    def serve_updater(self, edition, data, claimed):
        """A version file for `edition` naming an updater with the hash of `claimed` and
        serving `data` at its address."""
        folder = os.path.join(self.root, "dl", edition)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, EXE_NAME), "wb") as out:
            out.write(data)
        text = set_updater_line(self.chain.versions[-1], hashlib.sha256(claimed).hexdigest(),
                                "%s/dl/%s/%s" % (self.servers.address, edition, EXE_NAME))
        live = os.path.join(self.root, GAME, PLATFORM, "live", edition)
        shutil.copytree(self.chain.folder, live)
        self.chain.seal(text, "_main.txt.bin", folder=live)

    def test_a_new_updater_replaces_the_old_one_and_completes_the_update(self):
        with open(UPDATER, "rb") as f:
            renewed = f.read() + b"renewed"
        self.serve_updater("renew", renewed, renewed)
        self.make_game(self.release1, edition="renew")
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        # The copy and the renewed updater run on after the first process has ended.
        deadline = time.time() + 300
        while time.time() < deadline and not (self.game_started() and self.game_files() == self.release3):
            time.sleep(0.5)
        self.assertEqual(self.game_files(), self.release3)
        with open(os.path.join(self.game, EXE_NAME), "rb") as f:
            self.assertEqual(f.read(), renewed)
        self.assertTrue(os.access(os.path.join(self.game, EXE_NAME), os.X_OK))

    def test_a_tampered_updater_download_is_refused(self):
        with open(UPDATER, "rb") as f:
            renewed = f.read() + b"renewed"
        self.serve_updater("tampered", renewed + b"!", renewed)
        self.make_game(self.release1, edition="tampered")
        result = self.run_game()
        self.assertEqual(result.returncode, 0, result)
        log = self.log()
        self.assertIn("|state 9\r\n", log)
        self.assertIn("Could not download the new Updater.", log)
        self.assertEqual(self.game_files(), self.release1)
        self.assertEqual(sha256_file(os.path.join(self.game, EXE_NAME)), sha256_file(UPDATER))


if __name__ == "__main__":
    unittest.main()
