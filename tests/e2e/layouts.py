"""The click areas and boxes of a window as its own layout table lays them, read from its
source file, in pixels of its 1x design: tests click where the window listens, the art
generators draw under the same places, and a moved area moves both with it."""

import re
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
TWIPS_PER_PIXEL = 15
PLACE = r'\(L"(\w+)",\s*(ui::px)?\(?\{?\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)'


def _read(source, kinds):
    areas = {}
    found = re.findall(rf"ui::(?:{kinds}){PLACE}", (ROOT / source).read_text(encoding="utf-8"))
    for name, px, *numbers in found:
        x, y, w, h = (int(n) for n in numbers)
        areas[name] = (x, y, w, h) if px else tuple(n // TWIPS_PER_PIXEL for n in (x, y, w, h))
    return areas


def click_areas(source):
    """{name: (x, y, width, height)} for the window whose layout is in source, a path
    below the repository (app/startup/Formmain.cpp)."""
    return _read(source, "clickArea")


def boxes(source):
    """{name: (x, y, width, height)} of the entry boxes, text boxes and labels of the window."""
    return _read(source, "entryBox|textBox|label")


def middle(area):
    x, y, w, h = area
    return x + w // 2, y + h // 2


MENU = click_areas("app/startup/Formmain.cpp")
EDITOR = click_areas("app/editor/FormEditor.cpp")
EDITOR_BOXES = boxes("app/editor/FormEditor.cpp")
ABOUT = click_areas("app/startup/FormABOUT.cpp")
LOGIN = click_areas("app/account/FormLOGIN.cpp")
LOGIN_BOXES = boxes("app/account/FormLOGIN.cpp")
SETTINGS = click_areas("app/account/FormSET.cpp")
SETTINGS_BOXES = boxes("app/account/FormSET.cpp")
ERROR = click_areas("common/install/FormE.cpp")
WELCOME = click_areas("app/setup/Formwel.cpp")
STEP_PYTHON = click_areas("app/setup/Formset1.cpp")
STEP_THEME = click_areas("app/setup/Formset2.cpp")
STEP_ACCOUNT = click_areas("app/setup/Formset3.cpp")
STEP_ACCOUNT_BOXES = boxes("app/setup/Formset3.cpp")
STEP_DONE = click_areas("app/setup/Formset0.cpp")
