"""The joiner wavjoin.exe against the joining script it stands in for: the same scores
rendered by the host's python3 running wav.py and by wavjoin.exe under Wine give
byte-identical WAV files, on the shipped samples and on samples the script skips or
reads only in part; where the script stops with an error, the joiner fails with a plain
message and neither leaves a file. outputWAV.bat runs a Python that answers its version
probe, the joiner otherwise, and ends with the exit code of what it ran."""

import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from harness import BUILD, PROGRAM  # noqa: E402
from test_editor import OUTPUT, TEMPLATE  # noqa: E402

NAME = re.compile(r"^WAV_\d{8}_\d{6}\.wav$")


def script(digits):
    return (TEMPLATE.replace("FFFFFFFFFFF", ", ".join(f"files[{d}]" for d in digits)) + "\r\n").encode("ascii")


def riff(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<L", len(body)) + body


def chunk(name, data, size=None):
    return name + struct.pack("<L", len(data) if size is None else size) + data + b"\0" * (len(data) & 1)


def fmt(channels=1, rate=44100, bits=16, tag=1):
    width = (bits + 7) // 8
    return chunk(b"fmt ", struct.pack("<HHLLHH", tag, channels, rate, rate * channels * width, channels * width, bits))


def tone(n, seed):
    rng = random.Random(seed)
    return bytes(rng.randrange(256) for _ in range(n))


class Joiner(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="orvane joiner ")
        self.wav = os.path.join(self.dir, "wav")
        shutil.copytree(os.path.join(PROGRAM, "wav"), self.wav)

    def tearDown(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def python(self):
        """Exit code and WAV bytes of the host's python3 on wav.py, run on a copy of the folder."""
        host = os.path.join(self.dir, "host")
        shutil.rmtree(host, ignore_errors=True)
        shutil.copytree(self.wav, host)
        code = subprocess.run([sys.executable, "wav.py"], cwd=host, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        out = os.path.join(host, "C:\\Orvane\\OutputWAV")  # one odd name on the host
        made = os.listdir(out) if os.path.isdir(out) else []
        self.assertLessEqual(len(made), 1)
        for name in made:
            self.assertRegex(name, NAME)
            with open(os.path.join(out, name), "rb") as f:
                return code, f.read()
        return code, None

    def joiner(self):
        """Exit code, WAV bytes and message of wavjoin.exe under Wine; its file is removed."""
        before = set(os.listdir(OUTPUT)) if os.path.isdir(OUTPUT) else set()
        log = os.path.join(self.dir, "wavjoin.log")
        with open(log, "wb") as out:
            code = subprocess.run(["wine", os.path.join(self.wav, "wavjoin.exe")], cwd=self.dir,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=out).returncode
        with open(log, "rb") as f:
            said = f.read().decode("utf-8", "replace")
        made = set(os.listdir(OUTPUT)) - before if os.path.isdir(OUTPUT) else set()
        self.assertLessEqual(len(made), 1)
        for name in made:
            self.assertRegex(name, NAME)
            path = os.path.join(OUTPUT, name)
            with open(path, "rb") as f:
                data = f.read()
            os.remove(path)
            return code, data, said
        return code, None, said

    def write(self, name, data):
        with open(os.path.join(self.wav, name), "wb") as f:
            f.write(data)

    def assertSameFile(self, digits):
        self.write("wav.py", script(digits))
        code, expected = self.python()
        self.assertEqual((code, expected is not None), (0, True), "the script renders")
        joined, data, said = self.joiner()
        self.assertEqual(joined, 0, said)
        self.assertEqual(len(data), len(expected))
        self.assertTrue(data == expected, f"{len(digits)} digits: the files differ")
        return data

    def test_scores_render_byte_for_byte_as_the_script_does(self):
        empty = self.assertSameFile("")
        self.assertEqual(len(empty), 44)
        self.assertSameFile("5")
        whole = self.assertSameFile("01234567")
        self.assertGreater(len(whole), 8 * 40000)
        self.assertSameFile("".join(random.Random(7).choice("01234567") for _ in range(2000)))

    def test_samples_of_other_formats_or_odd_layout_join_as_the_script_reads_them(self):
        self.write("1.wav", riff(fmt(bits=8), chunk(b"data", tone(3001, 1))))
        self.write("3.wav", riff(fmt(channels=2), chunk(b"data", tone(4000, 3))))
        self.write("6.wav", riff(fmt(rate=22050), chunk(b"data", tone(4000, 6))))
        # Data that claims more than the file holds, and an odd byte count.
        self.write("2.wav", riff(fmt(), chunk(b"data", tone(5001, 2), size=9000)))
        # An odd-sized chunk before the format, padded to even; a second data chunk is ignored.
        self.write("4.wav", riff(chunk(b"LIST", tone(7, 4)), fmt(), chunk(b"data", tone(3000, 5)),
                                 chunk(b"data", tone(100, 9))))
        # A RIFF size that ends inside the data: the script reads only up to it.
        short = bytearray(riff(fmt(), chunk(b"data", tone(6000, 7))))
        short[4:8] = struct.pack("<L", 4 + 24 + 8 + 2500)
        self.write("7.wav", bytes(short))
        self.assertSameFile("0123456776543210")

    def test_where_the_script_fails_the_joiner_fails_and_names_the_cause(self):
        cases = [
            ("a missing sample", "15", lambda: os.remove(os.path.join(self.wav, "5.wav")), 3, "5.wav"),
            ("not a WAV file", "12", lambda: self.write("2.wav", b"ID3 not a wave at all"), 4, "2.wav"),
            ("not PCM", "3", lambda: self.write("3.wav", riff(fmt(tag=3, bits=32), chunk(b"data", b"\0" * 8))),
             4, "PCM"),
            ("data before format", "4", lambda: self.write("4.wav", riff(chunk(b"data", b"\0" * 8), fmt())),
             4, "4.wav"),
            ("a missing script", "", lambda: os.remove(os.path.join(self.wav, "wav.py")), 3, "wav.py"),
        ]
        for what, digits, spoil, expected, named in cases:
            with self.subTest(what):
                shutil.rmtree(self.wav)
                shutil.copytree(os.path.join(PROGRAM, "wav"), self.wav)
                self.write("wav.py", script(digits))
                spoil()
                if os.path.exists(os.path.join(self.wav, "wav.py")):
                    code, made = self.python()
                    self.assertEqual((code, made), (1, None), "the script stops")
                code, made, said = self.joiner()
                self.assertEqual((code, made), (expected, None), said)
                self.assertIn(named, said)


class OutputWavBat(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="orvane batch ")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.folder = os.path.join(self.dir, "奥文 程序")
        os.makedirs(self.folder)
        shutil.copy(os.path.join(PROGRAM, "outputWAV.bat"), self.folder)
        shutil.copytree(os.path.join(PROGRAM, "wav"), os.path.join(self.folder, "wav"))
        self.python = os.path.join(self.dir, "python")
        shutil.copytree(os.path.join(BUILD, "tests", "python"), self.python)
        with open(os.path.join(self.folder, "wav", "wav.py"), "wb") as f:
            f.write(script("1235"))

    def run_batch(self, probe=None, exits=0):
        """Exit code, output and new WAV files of outputWAV.bat; with `probe`, a python.exe
        on the PATH answers the version probe with that code and the script with `exits`."""
        env = dict(os.environ, FAKE_PYTHON_PROBE=str(probe), FAKE_PYTHON_EXIT=str(exits))
        if probe is not None:
            env["WINEPATH"] = "Z:" + self.python.replace("/", "\\")
        before = set(os.listdir(OUTPUT)) if os.path.isdir(OUTPUT) else set()
        log = os.path.join(self.dir, "batch.log")
        with open(log, "wb") as out:
            code = subprocess.run(["wine", "cmd", "/c", os.path.join(self.folder, "outputWAV.bat")], env=env,
                                  stdin=subprocess.DEVNULL, stdout=out, stderr=out).returncode
        made = set(os.listdir(OUTPUT)) - before if os.path.isdir(OUTPUT) else set()
        for name in made:
            os.remove(os.path.join(OUTPUT, name))
        with open(log, "rb") as f:
            return code, f.read().decode("utf-8", "replace"), len(made)

    def scripts_run(self):
        log = os.path.join(self.python, "python.log")
        if not os.path.exists(log):
            return []
        with open(log) as f:
            return f.read().split()

    def test_python_when_it_answers_the_joiner_otherwise_and_the_exit_code_of_what_ran(self):
        self.assertEqual(self.run_batch(probe=0, exits=7), (7, "", 0), "Python ran and failed with 7")
        self.assertEqual(self.scripts_run(), ["wav.py"])
        self.assertEqual(self.run_batch(probe=0, exits=0)[0], 0)
        for probe, what in ((9009, "the store's placeholder"), (1, "a Python older than 3.6"), (None, "none")):
            with self.subTest(what):
                code, said, made = self.run_batch(probe=probe)
                self.assertEqual((code, made), (0, 1), said)
        self.assertEqual(self.scripts_run(), ["wav.py", "wav.py"], "only the answering Python ran the script")

        os.remove(os.path.join(self.folder, "wav", "5.wav"))
        code, said, made = self.run_batch()
        self.assertEqual((code, made), (3, 0))
        self.assertIn("5.wav", said)


if __name__ == "__main__":
    unittest.main()
