"""The note samples we ship in outside/wav: their format, their pitch, silence where
they join, and a generator that reproduces them.

    python3 -m unittest discover -s tests/outside
"""

import math
import struct
import subprocess
import sys
import tempfile
import unittest
import wave
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SAMPLES = ROOT / "outside" / "wav"
SCALE = [261.63, 293.66, 329.63, 349.23, 392.00, 440.00, 493.88]  # do to ti from middle C


def read(name):
    with wave.open(str(SAMPLES / name), "rb") as w:
        params = (w.getnchannels(), w.getsampwidth(), w.getframerate())
        data = w.readframes(w.getnframes())
    return params, struct.unpack("<%dh" % (len(data) // 2), data)


def pitch(frames, rate=44100):
    """Frequency from the upward zero crossings of the loud first part."""
    part = frames[2000:12000]
    ups = [i for i in range(1, len(part)) if part[i - 1] < 0 <= part[i]]
    return (len(ups) - 1) * rate / (ups[-1] - ups[0])


class Samples(unittest.TestCase):
    def test_eight_samples_of_one_beat_in_the_format_that_joins(self):
        lengths = set()
        for d in range(8):
            with self.subTest(d):
                params, frames = read(f"{d}.wav")
                self.assertEqual(params, (1, 2, 44100))
                lengths.add(len(frames))
        self.assertEqual(lengths, {22050}, "one beat at 120 a minute")
        self.assertEqual(set(read("0.wav")[1]), {0}, "0 is a rest")

    def test_one_to_seven_climb_the_major_scale_and_join_without_clicks(self):
        for d, expected in enumerate(SCALE, start=1):
            with self.subTest(d):
                frames = read(f"{d}.wav")[1]
                self.assertAlmostEqual(pitch(frames), expected, delta=expected * 0.01)
                self.assertGreater(max(abs(v) for v in frames), 8000, "clearly audible")
                self.assertEqual((frames[0], frames[-1]), (0, 0), "starts and ends in silence")
                self.assertLess(max(abs(v) for v in frames[:10] + frames[-10:]), 400, "and fades in and out")
                jumps = max(abs(a - b) for a, b in zip(frames, frames[1:]))
                self.assertLess(jumps, 4000, "no step anywhere in the wave")

    def test_generator_reproduces_the_samples(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, str(ROOT / "tools" / "make_samples.py"), out], check=True)
            for d in range(8):
                with self.subTest(d):
                    self.assertEqual((Path(out) / f"{d}.wav").read_bytes(), (SAMPLES / f"{d}.wav").read_bytes())


if __name__ == "__main__":
    unittest.main()
