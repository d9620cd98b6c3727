"""导出MIDI read back by real MIDI readers: the real program, started under Wine, exports a
typed score through the button and through Ctrl+E; Debian's mido lists the file's exact
events, and TiMidity++ plays it into a WAV file whose notes, found by pitch detection,
are the score's.

    ORVANE_BUILD=build /usr/bin/python3 -m unittest discover -s tests/midi

Needs python3-mido, python3-numpy, timidity and fluid-soundfont-gm (tools/common.sh).
"""

import math
import os
import subprocess
import sys
import unittest
import wave
from pathlib import Path

import mido
import numpy

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import layouts  # noqa: E402
from harness import ProgramFolder, click, run, wait_for, wait_window, windows  # noqa: E402

EDITOR, MENU, DIALOG = "Orvane编辑器", "Orvane", "导出MIDI"
TEXT = (900, 400)


def middle(area):
    x, y, w, h = area
    return x + w // 2, y + h // 2


# Every digit, a rest inside and one at the end, and remarks (letters, 8, 9, a bar line).
SCORE = "do 1 2 3 4 | 5 6 7 0 89 5 3 1 0"
DIGITS = [int(c) for c in SCORE if c in "01234567"]
PITCHES = {1: 60, 2: 62, 3: 64, 4: 65, 5: 67, 6: 69, 7: 59}  # 7 is B3, below do
RATE = 44100


def expected_events():
    """The events of the score as mido lists them: 4/4, 120 a minute, the marimba, then a
    quarter per digit, each note-off at the end of its beat, the end after the last rest."""
    events = [{"type": "time_signature", "numerator": 4, "denominator": 4, "clocks_per_click": 24,
               "notated_32nd_notes_per_beat": 8, "time": 0},
              {"type": "set_tempo", "tempo": 500000, "time": 0},
              {"type": "program_change", "channel": 0, "program": 12, "time": 0}]
    waited = 0
    for digit in DIGITS:
        if digit == 0:
            waited += 480
            continue
        events.append({"type": "note_on", "channel": 0, "note": PITCHES[digit], "velocity": 80, "time": waited})
        events.append({"type": "note_off", "channel": 0, "note": PITCHES[digit], "velocity": 64, "time": 480})
        waited = 0
    events.append({"type": "end_of_track", "time": waited})
    return events


def played_notes(path):
    """Per beat of half a second: the MIDI note heard (the strongest period between 150 and
    1000 Hz, by autocorrelation), or 0 where the beat is quiet beside the others."""
    with wave.open(str(path), "rb") as w:
        rate, channels = w.getframerate(), w.getnchannels()
        frames = numpy.frombuffer(w.readframes(w.getnframes()), dtype="<i2").reshape(-1, channels).mean(axis=1)
    beat = rate // 2
    parts = [frames[i * beat + rate // 20:i * beat + rate // 20 + rate // 5] for i in range(len(DIGITS))]
    levels = [math.sqrt(numpy.mean(p ** 2)) for p in parts]
    loud = max(levels)
    notes = []
    for part, level in zip(parts, levels):
        if level < loud / 5:
            notes.append(0)
            continue
        part = (part - part.mean()) * numpy.hanning(len(part))
        spectrum = numpy.fft.rfft(part, 4 * len(part))
        correlation = numpy.fft.irfft(numpy.abs(spectrum) ** 2)[:len(part)]
        shortest, longest = rate // 1000, rate // 150
        lag = shortest + int(numpy.argmax(correlation[shortest:longest]))
        notes.append(round(69 + 12 * math.log2(rate / lag / 440)))
    return notes


class Readers(unittest.TestCase):
    def test_the_exported_file_reads_back_as_the_score_in_mido_and_timidity(self):
        with ProgramFolder(state={"themecolors.une": "0\r\n", "bft.une": "1\r\n", "AiMade.une": "0\r\n"}) as folder:
            folder.start()
            click(wait_window(MENU, 20), *middle(layouts.MENU["ImageEDITOR"]))
            editor = wait_window(EDITOR)
            click(editor, *middle(layouts.EDITOR["ImageNEW"]))
            wait_window("确认", 10)
            run("xdotool", "key", "Return")
            self.assertTrue(wait_for(lambda: not windows("确认"), 10))
            click(editor, *TEXT)
            run("xdotool", "type", "--delay", "30", SCORE)

            exported = Path(folder.root) / "piece.mid"
            click(editor, *middle(layouts.EDITOR["ImageMIDI"]))
            wait_window(DIALOG, 10)
            # The name typed without an extension gains .mid.
            run("xdotool", "key", "ctrl+a")
            run("xdotool", "type", "--delay", "20", "Z:" + str(exported.with_suffix("")).replace("/", "\\"))
            run("xdotool", "key", "Return")
            self.assertTrue(wait_for(exported.exists, 10), "the file is written")
            self.assertTrue(wait_for(lambda: not windows(DIALOG), 10))

            # Ctrl+E in the score does the same, and types nothing into it.
            again = Path(folder.root) / "again.mid"
            click(editor, *TEXT)
            run("xdotool", "key", "ctrl+e")
            wait_window(DIALOG, 10)
            run("xdotool", "key", "ctrl+a")
            run("xdotool", "type", "--delay", "20", "Z:" + str(again).replace("/", "\\"))
            run("xdotool", "key", "Return")
            self.assertTrue(wait_for(again.exists, 10))
            self.assertEqual(again.read_bytes(), exported.read_bytes())

            midi = mido.MidiFile(str(exported))
            self.assertEqual((midi.type, midi.ticks_per_beat, len(midi.tracks)), (0, 480, 1))
            self.assertEqual([vars(m) for m in midi.tracks[0]], expected_events())
            self.assertAlmostEqual(midi.length, len(DIGITS) * 0.5, msg="a quarter is half a second")

            wav = Path(folder.root) / "piece.wav"
            done = subprocess.run(["timidity", "-Ow", "-s", str(RATE), "-o", str(wav), str(exported)],
                                  capture_output=True, text=True, stdin=subprocess.DEVNULL)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            self.assertEqual(played_notes(wav), [PITCHES.get(d, 0) for d in DIGITS])


if __name__ == "__main__":
    unittest.main()
