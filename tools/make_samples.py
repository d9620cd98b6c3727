#!/usr/bin/env python3
"""Makes the eight note samples that ship in the program folder's wav folder.

"0.wav" is a rest (one beat of silence). "1.wav" to "6.wav" are do, re, mi, fa, sol
and la of C major from middle C; "7.wav" is ti below do (B3), so that ti leads up
into do a semitone away: in the tunes OrvaneX learns from, ti sits below do far more
often than above la (tools/bench-music counts the intervals that sound true either
way). Mono, 16-bit, 44100 Hz, one beat at 120 beats a minute.

Each note is struck like a soft mallet on a wooden bar: a quick rise, then a natural
decay that reaches about -40 dB by the end of its beat, its upper partials dying
sooner than the fundamental. A rest after a note therefore sounds intended, and a
note followed by 0 rings on into silence. The very last milliseconds, already 40 dB
down, close to zero so that any two samples join without a click.

Python's standard library only; the output is the same on every run.

    python3 tools/make_samples.py [output folder]      (default: outside/wav)
"""

import math
import os
import struct
import sys
import wave

RATE = 44100
BEAT = RATE // 2  # frames of one beat at 120 beats a minute
# Equal temperament from A4 = 440 Hz: B3, then C4 to A4.
SEMITONES = {1: 0, 2: 2, 3: 4, 4: 5, 5: 7, 6: 9, 7: -1}  # from middle C
FREQUENCIES = {n: 440.0 * 2 ** ((s - 9) / 12) for n, s in SEMITONES.items()}
DECAY_DB = 40.0  # the fall of the fundamental over one beat
SECONDS = BEAT / RATE
TAU = SECONDS / (DECAY_DB / (20 * math.log10(math.e)))  # time constant of the fundamental
# Partials: multiple of the fundamental, level, how many times faster than it they fade.
PARTIALS = [(1, 1.0, 1.0), (2, 0.30, 2.2), (3, 0.10, 3.5), (4, 0.16, 5.0), (6, 0.04, 8.0)]
ATTACK = 0.004  # seconds of a raised-cosine rise
CLOSE = 0.003  # seconds of a raised-cosine fall to zero at the very end
PEAK = 0.70  # of full scale, for every note


def tone(frequency):
    values = []
    attack, close = ATTACK * RATE, CLOSE * RATE
    for n in range(BEAT):
        t = n / RATE
        value = sum(level * math.exp(-speed * t / TAU) * math.sin(2 * math.pi * frequency * k * t)
                    for k, level, speed in PARTIALS)
        if n < attack:
            value *= 0.5 - 0.5 * math.cos(math.pi * n / attack)
        remaining = BEAT - 1 - n
        if remaining < close:
            value *= 0.5 - 0.5 * math.cos(math.pi * remaining / close)
        values.append(value)
    scale = PEAK * 32767 / max(abs(v) for v in values)
    return [round(v * scale) for v in values]


def write(path, frames):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(frames), *frames))


def main(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    write(os.path.join(out_dir, "0.wav"), [0] * BEAT)
    for number in range(1, 8):
        write(os.path.join(out_dir, f"{number}.wav"), tone(FREQUENCIES[number]))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "outside", "wav"))
