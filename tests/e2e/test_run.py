"""tools/run on a machine without a screen: it serves its virtual display to a browser
(VNC, and noVNC through websockify, on the ports it prints), and Ctrl+C or the program's
end leaves nothing of it running. With ORVANE_TEST_BROWSER=1 a headless Chromium also
opens the printed address and must show the program's first window."""

import base64
import contextlib
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.request
import uuid

from harness import BUILD, MAIN, PROGRAM, ended, run, screenshot, wait_for, wait_window, windows

TOOLS_RUN = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "run")
SPLASH = "Orvane正在启动"
NOTICE = "青石软件_通知"
BROWSER = bool(os.environ.get("ORVANE_TEST_BROWSER"))


class Run:
    """tools/run started as from a terminal on a machine without a screen: no DISPLAY,
    and a Wine prefix of its own beside the one this test run uses."""

    def __init__(self, *args):
        token = uuid.uuid4().hex
        self.mark = b"ORVANE_RUN_TEST=" + token.encode()  # inherited by all it starts
        env = {name: os.environ[name] for name in ("PATH", "HOME", "USER") if name in os.environ}
        env.update(LANG="C.UTF-8", ORVANE_BUILD_DIR=BUILD, WINEPREFIX_ORVANE=os.path.join(BUILD, "run-wineprefix"),
                   ORVANE_RUN_TEST=token)
        self.log = tempfile.NamedTemporaryFile(prefix="tools-run ", suffix=".log")
        self.process = subprocess.Popen([TOOLS_RUN, *args], env=env, stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=subprocess.STDOUT, start_new_session=True)

    def output(self):
        with open(self.log.name, encoding="utf-8", errors="replace") as f:
            return f.read()

    def wait_address(self):
        """The printed address, ports and display, once tools/run has printed them."""
        pattern = r"(http://127\.0\.0\.1:(\d+)/vnc\.html\S*).*VNC on port (\d+), virtual screen (:\d+).*ssh -L"
        found = wait_for(lambda: self.process.poll() is None and re.search(pattern, self.output(), re.S), 120, 0.2)
        if not found:
            raise AssertionError("no address printed:\n" + self.output())
        return found.group(1), int(found.group(2)), int(found.group(3)), found.group(4)

    def interrupt(self):
        """Ctrl+C at the terminal: SIGINT to the whole foreground process group."""
        os.killpg(self.process.pid, signal.SIGINT)

    def leftovers(self):
        """The processes that carry this run's mark in their environment, by id and command
        line (Wine's server and services leave the session but keep the environment)."""
        found = {}
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if self.mark in read(f"/proc/{pid}/environ").split(b"\0"):
                    found[int(pid)] = read(f"/proc/{pid}/cmdline").decode("utf-8", "replace").strip("\0")
            except OSError:
                pass  # gone meanwhile, or not ours
        return found

    def program(self, name=MAIN):
        """The process id of the program of that name running in the run."""
        found = [pid for pid, command in self.leftovers().items() if command.endswith(name)]
        if len(found) != 1:
            raise AssertionError(f"not one {name} among {self.leftovers()}")
        return found[0]

    def close(self):
        """Stops the run if a test left it running, and whatever it left in turn."""
        if self.process.poll() is None:
            self.interrupt()
            try:
                self.process.wait(30)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait(10)
        for pid in self.leftovers():
            with contextlib.suppress(OSError):
                os.kill(pid, signal.SIGKILL)
        print("tools/run said:\n" + self.output(), file=sys.stderr)
        self.log.close()


def resume(pid):
    with contextlib.suppress(ProcessLookupError):
        os.kill(pid, signal.SIGCONT)


def read(path):
    with open(path, "rb") as f:
        return f.read()


@contextlib.contextmanager
def program_folder_kept():
    """tools/run runs the program in the build's own folder, which later tests copy: put
    back what the run changed there."""
    before = {}
    for folder, _, names in os.walk(PROGRAM):
        for name in names:
            path = os.path.join(folder, name)
            before[path] = read(path) if name.endswith(".une") else None
    try:
        yield
    finally:
        for folder, _, names in os.walk(PROGRAM):
            for name in names:
                path = os.path.join(folder, name)
                if path not in before:
                    os.remove(path)
                elif before[path] is not None and read(path) != before[path]:
                    with open(path, "wb") as f:
                        f.write(before[path])


@contextlib.contextmanager
def on_display(display):
    saved = os.environ.get("DISPLAY")
    os.environ["DISPLAY"] = display
    try:
        yield
    finally:
        if saved is None:
            del os.environ["DISPLAY"]
        else:
            os.environ["DISPLAY"] = saved


def vnc_banner(port):
    with socket.create_connection(("127.0.0.1", port), 10) as s:
        return s.makefile("rb").read(12)


def banner_through_websocket(port):
    """The first message of the VNC server as a browser gets it through websockify."""
    key = base64.b64encode(os.urandom(16)).decode()
    with socket.create_connection(("127.0.0.1", port), 10) as s:
        s.sendall(f"GET /websockify HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\n"
                  f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n"
                  "Sec-WebSocket-Protocol: binary\r\n\r\n".encode())
        f = s.makefile("rb")
        status = f.readline()
        while f.readline() not in (b"\r\n", b""):
            pass
        head = f.read(2)  # a short, unmasked frame from the server
        return status, f.read(head[1] & 0x7F)


def difference(picture, crop, other, other_crop):
    """Mean difference (0 to 1) of a rectangle of a picture and one of another."""
    return float(run("convert", "(", picture, "-crop", crop, "+repage", ")", "(", other, "-crop", other_crop,
                     "+repage", ")", "-compose", "difference", "-composite", "-format", "%[fx:mean]", "info:"))


class Browser:
    """Debian's headless Chromium, driven through its DevTools pipe: it reads commands from
    its descriptor 3 and answers on 4, each message a JSON text ended by a NUL."""

    def __init__(self, width, height):
        commands, self.commands = os.pipe()
        self.answers, answers = os.pipe()
        self.profile = tempfile.mkdtemp(prefix="chromium ")
        self.process = subprocess.Popen(
            ["sh", "-c", f'exec "$0" "$@" 3<&{commands} 4>&{answers}', "chromium-headless-shell", "--no-sandbox",
             "--disable-gpu", "--hide-scrollbars", f"--window-size={width},{height}", "--remote-debugging-pipe",
             "--user-data-dir=" + self.profile, "about:blank"],
            pass_fds=(commands, answers), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(commands)
        os.close(answers)
        self.last_id = 0
        self.pending = b""
        self.session = None

    def call(self, method, **params):
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.pending:
                if not select.select([self.answers], [], [], 30)[0]:
                    raise AssertionError(f"Chromium did not answer {method}")
                chunk = os.read(self.answers, 1 << 20)
                if not chunk:
                    raise AssertionError("Chromium ended")
                self.pending += chunk
            text, self.pending = self.pending.split(b"\0", 1)
            answer = json.loads(text)
            if answer.get("id") == self.last_id:
                if "error" in answer:
                    raise AssertionError(f"{method}: {answer['error']}")
                return answer["result"]

    def open(self, address):
        target = self.call("Target.createTarget", url=address)["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def screenshot(self, path):
        with open(path, "wb") as f:
            f.write(base64.b64decode(self.call("Page.captureScreenshot", format="png")["data"]))

    def close(self):
        self.process.kill()
        self.process.wait(10)
        os.close(self.commands)
        os.close(self.answers)
        shutil.rmtree(self.profile, ignore_errors=True)


class WithoutScreen(unittest.TestCase):
    def setUp(self):
        self.enterContext(program_folder_kept())

    def start(self, *args):
        tools_run = Run(*args)
        self.addCleanup(tools_run.close)
        return tools_run

    def assert_nothing_left(self, tools_run, code):
        try:
            tools_run.process.wait(30)
        except subprocess.TimeoutExpired:
            self.fail("tools/run did not end:\n" + tools_run.output())
        self.assertEqual(tools_run.process.returncode, code, tools_run.output())
        self.assertEqual(tools_run.leftovers(), {}, "processes of tools/run left running")

    def test_serves_the_screen_to_vnc_and_the_browser_and_ctrl_c_stops_everything(self):
        tools_run = self.start("--size", "1366x768")
        address, web_port, vnc_port, display = tools_run.wait_address()
        self.assertRegex(tools_run.output(), rf"ssh -L {web_port}:127\.0\.0\.1:{web_port} \S+@\S+")
        self.assertTrue(address.endswith("/vnc.html?autoconnect=1"), address)
        self.assertRegex(vnc_banner(vnc_port), rb"^RFB 003\.00\d\n$")
        status, banner = banner_through_websocket(web_port)
        self.assertIn(b" 101 ", status)
        self.assertRegex(banner, rb"^RFB 003\.00\d\n$")
        with urllib.request.urlopen(address, timeout=10) as page:
            self.assertIn(b"noVNC", page.read())
        with on_display(display):
            self.assertIn("1366x768 pixels", run("xdpyinfo"))
            wait_window(SPLASH, 120)
        tools_run.interrupt()
        self.assert_nothing_left(tools_run, 130)

    def test_the_run_ends_with_the_last_program_it_started(self):
        tools_run = self.start()
        with on_display(tools_run.wait_address()[3]):
            wait_window(SPLASH, 120)
            wait_window(NOTICE)  # the splash's welcome: a program of its own
        notice = tools_run.program("notice.exe")
        os.kill(notice, signal.SIGSTOP)  # held, so that it surely outlives the main program
        os.kill(tools_run.program(), signal.SIGKILL)
        self.assertFalse(ended(tools_run.process, 2), "the run ended while notice.exe still ran")
        os.kill(notice, signal.SIGKILL)
        self.assert_nothing_left(tools_run, 0)
        self.assertIn("The program has ended.", tools_run.output())

    @unittest.skipUnless(BROWSER, "set ORVANE_TEST_BROWSER=1 to open the screen in a headless Chromium")
    def test_a_browser_shows_the_first_window(self):
        tools_run = self.start("--size", "1366x768")
        address, _, _, display = tools_run.wait_address()
        browser = Browser(1366, 768)
        self.addCleanup(browser.close)
        browser.open(address)
        self.assertTrue(wait_for(lambda: browser.evaluate(
            "document.documentElement.classList.contains('noVNC_connected')"), 20), "noVNC did not connect")
        canvas = browser.evaluate("(r => [r.x, r.y, r.width, r.height])("
                                  "document.querySelector('#noVNC_container canvas').getBoundingClientRect())")
        self.assertEqual(canvas[2:], [1366, 768], "the virtual screen is 1366x768 in the browser too")
        out = os.path.join(BUILD, "screens")
        os.makedirs(out, exist_ok=True)
        seen, on_screen = os.path.join(out, "run_in_browser.png"), os.path.join(out, "run_on_screen.png")
        with on_display(display):
            splash = wait_window(SPLASH, 120)
            # The splash routes on after 1.9 s: hold the program still while the browser catches up.
            program = tools_run.program()
            os.kill(program, signal.SIGSTOP)
            self.addCleanup(resume, program)
            self.assertTrue(windows(SPLASH), "the splash has gone before the program was held")
            size = f"{splash.width}x{splash.height}"

            def shows_the_splash():
                browser.screenshot(seen)
                return difference(screenshot(on_screen), f"{size}+{splash.x}+{splash.y}",
                                  seen, f"{size}+{splash.x + canvas[0]}+{splash.y + canvas[1]}") < 0.05

            self.assertTrue(wait_for(shows_the_splash, 10, 0.2), f"the browser does not show the splash: {seen}")
            resume(program)
        tools_run.interrupt()
        self.assert_nothing_left(tools_run, 130)
