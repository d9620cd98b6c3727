"""The click areas of a window as its own layout table lays them, read from its source
file, in pixels of its 1x design: tests click where the window listens, and a moved
area moves the tests' clicks with it."""

import re
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
TWIPS_PER_PIXEL = 15
AREA = re.compile(r'ui::clickArea\(L"(\w+)",\s*(ui::px)?\(?\{?\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)')


def click_areas(source):
    """{name: (x, y, width, height)} for the window whose layout is in source, a path
    below the repository (app/startup/Formmain.cpp)."""
    areas = {}
    for name, px, *numbers in AREA.findall((ROOT / source).read_text(encoding="utf-8")):
        x, y, w, h = (int(n) for n in numbers)
        areas[name] = (x, y, w, h) if px else tuple(n // TWIPS_PER_PIXEL for n in (x, y, w, h))
    return areas


MENU = click_areas("app/startup/Formmain.cpp")
EDITOR = click_areas("app/editor/FormEditor.cpp")
ABOUT = click_areas("app/startup/FormABOUT.cpp")
LOGIN = click_areas("app/account/FormLOGIN.cpp")
ERROR = click_areas("common/install/FormE.cpp")
