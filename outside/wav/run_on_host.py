"""Runs the joining script wav.py with the host machine's Python, for outputWAV.bat
when the program runs under Wine, where no Windows Python is installed.

The current folder is already the wav folder (the script names the note samples
without a folder). Windows paths in the script's raw strings, r'C:\\...', are mapped
to the folders Wine keeps for their drives, so the rendered file lands where the
program looks for it. outputWAV.bat cannot wait for a program of the host, so this
leaves wine_done.txt with the exit status when it ends: 0 done, 2 Python too old,
4 the script failed.
"""

import os
import re
import sys
import traceback


def unix_path(windows_path):
    prefix = os.environ.get("WINEPREFIX") or os.path.expanduser("~/.wine")
    drive = os.path.realpath(os.path.join(prefix, "dosdevices", windows_path[:2].lower()))
    return os.path.join(drive, *[part for part in windows_path[2:].split("\\") if part])


status = 4
try:
    if sys.version_info < (3, 6):
        print("Python 3.6 or later is needed; this is " + sys.version.split()[0] + ".")
        status = 2
    else:
        with open("wav.py", encoding="ascii") as script:
            source = script.read()
        source = re.sub(r"r'([A-Za-z]:\\[^']*)'", lambda m: repr(unix_path(m.group(1))), source)
        exec(compile(source, "wav.py", "exec"), {"__name__": "__main__"})
        status = 0
except BaseException:
    traceback.print_exc()
finally:
    with open("wine_done.txt", "w") as done:
        done.write(str(status))
