#!/usr/bin/env python3
"""Makes the eight note samples that ship in the program folder's wav folder:
"0.wav" is a rest (one beat of silence), "1.wav" to "7.wav" are do, re, mi, fa,
sol, la, ti of C major from middle C. Mono, 16-bit, 44100 Hz, one beat at 120
beats a minute. Python's standard library only; the output is the same on every run.

    python3 tools/make_samples.py [output folder]      (default: outside/wav)
"""

import math
import os
import struct
import sys
import wave

RATE = 44100
BEAT = RATE // 2  # frames of one beat at 120 beats a minute
# Equal temperament from A4 = 440 Hz: C4, D4, E4, F4, G4, A4, B4.
NOTES = [440.0 * 2 ** ((semitones - 9) / 12) for semitones in (0, 2, 4, 5, 7, 9, 11)]
# A soft mallet-like tone: a few harmonics that fade faster the higher they are.
HARMONICS = [(1, 1.0, 3.0), (2, 0.42, 5.0), (3, 0.16, 8.0), (4, 0.08, 11.0), (5, 0.03, 14.0)]
ATTACK = 0.008  # seconds
RELEASE = 0.04  # seconds: the tone reaches silence at the end of the beat, so joins do not click
PEAK = 0.55


def note_frames(frequency):
    frames = []
    for n in range(BEAT):
        t = n / RATE
        value = sum(level * math.exp(-decay * t) * math.sin(2 * math.pi * frequency * k * t)
                    for k, level, decay in HARMONICS)
        envelope = min(1.0, t / ATTACK) * min(1.0, (BEAT - 1 - n) / (RELEASE * RATE))
        frames.append(round(32767 * PEAK * envelope * value / sum(h[1] for h in HARMONICS)))
    return frames


def write(path, frames):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(frames), *frames))


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    write(os.path.join(out_dir, "0.wav"), [0] * BEAT)
    for number, frequency in enumerate(NOTES, start=1):
        write(os.path.join(out_dir, f"{number}.wav"), note_frames(frequency))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "outside", "wav"))
