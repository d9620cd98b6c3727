"""The note samples we ship in outside/wav: their format, their pitch, how they ring
and decay, their level, click-free joins between any two, and a generator that
reproduces them.

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
RATE = 44100
# Equal temperament from A4 = 440 Hz: do to la from middle C, and ti below do (B3).
SEMITONES = {1: 0, 2: 2, 3: 4, 4: 5, 5: 7, 6: 9, 7: -1}
PITCH = {d: 440.0 * 2 ** ((s - 9) / 12) for d, s in SEMITONES.items()}


def read(name):
    with wave.open(str(SAMPLES / name), "rb") as w:
        params = (w.getnchannels(), w.getsampwidth(), w.getframerate())
        data = w.readframes(w.getnframes())
    return params, struct.unpack("<%dh" % (len(data) // 2), data)


FRAMES = {d: read(f"{d}.wav")[1] for d in range(8)}


def cents(measured, expected):
    return 1200 * math.log2(measured / expected)


def pitch(frames, expected):
    """The frequency of the strongest period near the expected one: normalised
    autocorrelation (which the decay does not bias), refined by a parabola."""
    start, length = 1000, 4000
    a = frames[start:start + length]
    energy_a = sum(x * x for x in a)

    def correlation(lag):
        b = frames[start + lag:start + lag + length]
        return sum(x * y for x, y in zip(a, b)) / math.sqrt(energy_a * sum(y * y for y in b))

    period = RATE / expected
    lags = range(int(period * 0.94), int(period * 1.06) + 2)
    r = {lag: correlation(lag) for lag in lags}
    best = max(lags[1:-1], key=r.get)
    left, mid, right = r[best - 1], r[best], r[best + 1]
    return RATE / (best + 0.5 * (left - right) / (left - 2 * mid + right))


def level(frames, start, length=441):
    part = frames[start:start + length]
    return math.sqrt(sum(x * x for x in part) / len(part))


class Samples(unittest.TestCase):
    def test_eight_samples_of_one_beat_in_the_format_that_joins(self):
        for d in range(8):
            with self.subTest(d):
                self.assertEqual(read(f"{d}.wav")[0], (1, 2, RATE))
                self.assertEqual(len(FRAMES[d]), RATE // 2, "one beat at 120 a minute")
        self.assertEqual(set(FRAMES[0]), {0}, "0 is a rest")

    def test_each_note_is_in_tune_within_two_cents_and_ti_lies_below_do(self):
        for d, expected in PITCH.items():
            with self.subTest(d):
                self.assertLess(abs(cents(pitch(FRAMES[d], expected), expected)), 2.0)
        self.assertLess(PITCH[7], PITCH[1])

    def test_notes_ring_and_decay_naturally_to_about_minus_40_db_at_the_end_of_the_beat(self):
        for d in range(1, 8):
            with self.subTest(d):
                frames = FRAMES[d]
                top = max(level(frames, i) for i in range(0, 4410, 44))
                db = lambda start: 20 * math.log10(level(frames, start) / top)  # noqa: E731
                # Exponential: about -20 dB at mid-beat, about -40 dB just before the end.
                self.assertAlmostEqual(db(len(frames) // 2 - 220), -20, delta=3)
                self.assertAlmostEqual(db(len(frames) - 132 - 441), -40, delta=3)
                # Falling all the way, never held and then cut.
                steps = [db(i) for i in range(2205, len(frames) - 600, 2205)]
                self.assertTrue(all(b < a for a, b in zip(steps, steps[1:])), steps)
                drops = [a - b for a, b in zip(steps, steps[1:])]
                self.assertLess(max(drops) - min(drops), 1.5, "an even fall in dB is an exponential decay")

    def test_peaks_are_clearly_audible_and_never_clip(self):
        for d in range(1, 8):
            with self.subTest(d):
                peak = max(abs(v) for v in FRAMES[d])
                self.assertGreater(peak, 0.5 * 32767)
                self.assertLess(peak, 0.9 * 32767)

    def test_all_64_ordered_joins_are_click_free(self):
        """Across a join the wave neither jumps nor bends more sharply than a quiet
        tone does: a sample cut while it still sounds fails this at once."""
        limit = 0.01 * 32767
        for a in range(8):
            for b in range(8):
                with self.subTest(first=a, then=b):
                    joined = FRAMES[a][-64:] + FRAMES[b][:64]
                    self.assertEqual((joined[63], joined[64]), (0, 0))
                    bends = [abs(joined[i + 1] - 2 * joined[i] + joined[i - 1]) for i in range(1, len(joined) - 1)]
                    self.assertLess(max(bends), limit)
                    self.assertLess(max(abs(v) for v in FRAMES[a][-64:]), limit, "the note before has died away")

    def test_generator_reproduces_the_samples(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, str(ROOT / "tools" / "make_samples.py"), out], check=True)
            for d in range(8):
                with self.subTest(d):
                    self.assertEqual((Path(out) / f"{d}.wav").read_bytes(), (SAMPLES / f"{d}.wav").read_bytes())


if __name__ == "__main__":
    unittest.main()
