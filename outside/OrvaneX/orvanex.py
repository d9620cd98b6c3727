"""OrvaneX: the melody model that writes a new score for Orvane.

It learns from melodies.txt beside it (public-domain tunes in the score notation) and
writes one new piece into output/output.sop of the program folder, the folder that
holds Ai.bat and this model's folder.

The model has two halves. Pitch: a variable-order Markov model over the scale degrees
do to ti (1 to 7), contexts of up to three notes within a phrase, blended with
Witten-Bell interpolation so that an unseen context falls back on shorter ones.
Rhythm: each phrase borrows the beat pattern of a phrase of the corpus. A piece is a
few phrases in a song form (A A' B A', A B A C ...): the phrase A' repeats the first
half of A and finds a new ending. Endings are planned: the note before an ending is
chosen by how well it leads to an allowed ending, inner phrases end on mi or sol and
the last phrase on do, and every phrase ends with a breath (rests).

Each run writes a new piece; ORVANEX_SEED (any text) makes a run repeatable. The file
is written in GBK with CR LF, to a temporary file that then replaces output.sop, so a
reader finds the old score or the new one, never half of one.
"""

import argparse
import os
import random
import re
import sys
from collections import Counter, defaultdict

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "melodies.txt")
DEFAULT_OUTPUT = os.path.join(HERE, os.pardir, "output", "output.sop")

NOTES = (1, 2, 3, 4, 5, 6, 7)
START = "^"  # the context before a phrase's first note
ORDER = 3
OPEN_ENDINGS = (3, 5)
FINAL_ENDINGS = (1,)
TEMPERATURE = 0.9

PHRASE_LINE = re.compile(r"^[0-9 ]+$")


class Phrase:
    """Notes as (degree, beats): the beats count the note and the rests after it."""

    def __init__(self, notes, lead=0):
        self.notes = notes
        self.lead = lead  # rests before the first note

    @property
    def degrees(self):
        return [degree for degree, _ in self.notes]

    @property
    def rhythm(self):
        return [beats for _, beats in self.notes]

    def digits(self):
        text = "0" * self.lead
        for degree, beats in self.notes:
            text += str(degree) + "0" * (beats - 1)
        return text


def parse_phrase(digits):
    notes, lead = [], 0
    for ch in digits:
        if ch == " ":
            continue
        if ch == "0":
            if notes:
                degree, beats = notes[-1]
                notes[-1] = (degree, beats + 1)
            else:
                lead += 1
        elif ch in "1234567":
            notes.append((int(ch), 1))
        else:
            raise ValueError(f"not a note: {ch!r} in {digits!r}")
    return Phrase(notes, lead)


def read_corpus(path=CORPUS):
    """The melodies as (title, [Phrase]): a melody is a block of lines up to a blank
    line; lines of digits and spaces are its phrases, its first other line its title."""
    with open(path, encoding="utf-8") as f:
        blocks = f.read().split("\n\n")
    melodies = []
    for block in blocks:
        lines = [line.strip() for line in block.strip().splitlines()]
        phrases = [parse_phrase(line) for line in lines if PHRASE_LINE.match(line)]
        if phrases:
            titles = [line for line in lines if not PHRASE_LINE.match(line)]
            melodies.append((titles[0] if titles else "", phrases))
    return melodies


class PitchModel:
    def __init__(self, phrases, order=ORDER):
        self.order = order
        self.counts = [defaultdict(Counter) for _ in range(order + 1)]
        for phrase in phrases:
            history = [START] * order
            for degree in phrase.degrees:
                for k in range(order + 1):
                    context = tuple(history[len(history) - k:]) if k else ()
                    self.counts[k][context][degree] += 1
                history.append(degree)

    def distribution(self, history):
        """P(next degree | the notes so far), blended from order 0 up to the longest
        context seen in the corpus."""
        history = [START] * self.order + list(history)
        p = {note: 1 / len(NOTES) for note in NOTES}
        for k in range(self.order + 1):
            context = tuple(history[len(history) - k:]) if k else ()
            table = self.counts[k].get(context)
            if not table:
                break
            seen = sum(table.values())
            weight = seen / (seen + len(table))
            p = {note: weight * table[note] / seen + (1 - weight) * p[note] for note in NOTES}
        return p


def pick(rng, weights):
    notes = [note for note in weights if weights[note] > 0]
    scaled = [weights[note] ** (1 / TEMPERATURE) for note in notes]
    return rng.choices(notes, scaled)[0]


def continue_phrase(model, rng, start, length, endings):
    """Extends the degrees `start` to `length` notes, the last one of `endings`."""
    degrees = list(start)
    while len(degrees) < length:
        p = model.distribution(degrees)
        remaining = length - len(degrees)
        if remaining == 1:
            p = {note: p[note] for note in endings}
        elif remaining == 2:
            # Look one note ahead: favour notes from which an ending is likely.
            p = {note: p[note] * sum(model.distribution(degrees + [note])[e] for e in endings)
                 for note in NOTES}
        degrees.append(pick(rng, p))
    return degrees


def phrase_with_rhythm(degrees, rhythm, lead, breath):
    rhythm = list(rhythm)
    rhythm[-1] = max(rhythm[-1], breath)
    return Phrase(list(zip(degrees, rhythm)), lead)


# Song forms: a letter is a new phrase, a letter with ' repeats the first half of that
# phrase and ends anew, the same letter again repeats the phrase.
FORMS = (
    ("A", "A'", "B", "A'"),
    ("A", "B", "A", "C"),
    ("A", "B", "A'"),
    ("A", "A'", "B", "B'"),
    ("A", "B", "C", "A'"),
)


class Piece:
    def __init__(self, title, form, phrases):
        self.title = title
        self.form = form
        self.phrases = phrases


def compose(rng, corpus=None):
    corpus = corpus if corpus is not None else read_corpus()
    phrases = [phrase for _, melody in corpus for phrase in melody]
    model = PitchModel(phrases)
    templates = [phrase for phrase in phrases if 6 <= len(phrase.notes) <= 16]

    form = rng.choice(FORMS)
    written = {}
    result = []
    for index, label in enumerate(form):
        last = index == len(form) - 1
        endings = FINAL_ENDINGS if last or label.endswith("'") else OPEN_ENDINGS
        breath = 4 if last else 2
        letter = label.rstrip("'")
        if label in written and written[label].degrees[-1] in endings:
            same = written[label]
            phrase = phrase_with_rhythm(same.degrees, same.rhythm, same.lead, breath)
        elif letter in written:
            base = written[letter]
            half = len(base.notes) // 2
            degrees = continue_phrase(model, rng, base.degrees[:half], len(base.notes), endings)
            phrase = phrase_with_rhythm(degrees, base.rhythm, base.lead, breath)
        else:
            template = rng.choice(templates)
            degrees = continue_phrase(model, rng, [], len(template.notes), endings)
            phrase = phrase_with_rhythm(degrees, template.rhythm, template.lead, breath)
        written.setdefault(label, phrase)
        result.append(phrase)
    return Piece(make_title(rng), form, result)


PLACES = ("溪边", "山间", "湖上", "林中", "窗前", "桥头", "田野", "海边", "云端", "月下", "雨后", "江南")
MOODS = ("小调", "短歌", "牧歌", "小曲", "童谣", "晨歌", "夜曲", "随想", "谣曲", "素描")
COUNTS = ("零", "一", "二", "三", "四", "五", "六", "七", "八", "九")
ORDINALS = ("第一句", "第二句", "第三句", "第四句", "第五句", "第六句")


def make_title(rng):
    return rng.choice(PLACES) + rng.choice(MOODS)


def group(digits, size=4):
    return "  ".join(digits[i:i + size] for i in range(0, len(digits), size))


def render(piece):
    """The score as text: a title line, remarks and one line per phrase. Only the notes
    are ASCII digits."""
    lines = [
        f"OrvaneX 作品《{piece.title}》",
        "OrvaneX 旋律模型创作。数字是音符：do 至 ti，零为休止；其余文字都是注释。",
        f"曲式 {' '.join(piece.form)}，大调，共{COUNTS[len(piece.phrases)]}个乐句",
    ]
    for ordinal, label, phrase in zip(ORDINALS, piece.form, piece.phrases):
        lines.append(f"{ordinal}（{label}）  {group(phrase.digits())}")
    lines.append("（终）")
    return "\r\n".join(lines) + "\r\n"


def write_score(text, path):
    """Writes the score in GBK beside its final place, then moves it there."""
    path = os.path.abspath(path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = text.encode("gbk")
    temporary = f"{path}.{os.getpid()}.tmp"
    try:
        with open(temporary, "wb") as f:
            f.write(data)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise


def generator(seed=None):
    seed = seed if seed is not None else os.environ.get("ORVANEX_SEED")
    return random.Random(seed) if seed else random.Random()


def main(argv=None):
    parser = argparse.ArgumentParser(description="OrvaneX writes a new score.")
    parser.add_argument("--out", default=DEFAULT_OUTPUT, help="the score file to write")
    parser.add_argument("--seed", help="repeatable piece (default: ORVANEX_SEED)")
    args = parser.parse_args(argv)
    try:
        write_score(render(compose(generator(args.seed))), args.out)
    except (OSError, ValueError) as error:
        print(f"OrvaneX 未能写出乐谱 / could not write the score: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
