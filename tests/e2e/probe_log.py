#!/usr/bin/env python3
"""Reads the lines of Murmelwerk's debug probe (MURMELWERK_DEBUG=1) and the settings file for the
window scripts.

  probe_log.py centre LOG NAME      x y of the centre of control NAME in a shown window (latest
                                    report), and the name of that window
  probe_log.py text LOG NAME first|last   a reported text of NAME ("\\n" escapes kept)
  probe_log.py enabled LOG NAME     1 or 0, the last reported enabled state of NAME
  probe_log.py other-window LOG NAME   name and X window id of the latest shown window not named NAME
  probe_log.py window-rect FILE     left top right bottom of the settings file's WindowRect
  probe_log.py window LOG NAME      x y width height of window NAME as last reported while shown
  probe_log.py positions FILE       "x y name" per module of a patch file (UTF-16), in file order
  probe_log.py until PREFIX SECONDS PROGRAM [ARGS...]
                                    starts PROGRAM with the probe, prints the seconds from the start
                                    to its first line that begins with PREFIX, then ends it

Exit status 1 when the answer is not (yet) there.
"""
import os
import struct
import subprocess
import sys
import threading
import time


def windows_and_controls(path):
    """The shown windows (name -> serial of their latest report) and every control report, in order."""
    shown, controls, _ = read_log(path)
    return shown, controls


def read_log(path):
    """windows_and_controls, and the X window ids of the windows by name."""
    shown = {}
    ids = {}
    controls = []  # (serial, window, name, x, y, w, h, visible)
    window = None
    serial = 0
    with open(path, encoding="utf-8", errors="replace") as log:
        for line in log:
            parts = line.rstrip("\n").split(" ")
            if parts[0] == "window" and len(parts) == 7:
                serial += 1
                window = parts[1]
                shown[window] = serial
                ids[window] = parts[2]
            elif parts[0] == "control" and len(parts) == 7 and window is not None:
                x, y, w, h, visible = map(int, parts[2:])
                controls.append((serial, window, parts[1], x, y, w, h, visible))
            elif parts[0] == "hidden" and len(parts) == 2:
                shown.pop(parts[1], None)
    return shown, controls, ids


def other_window(path, name):
    """The most recently reported shown window not named `name`: its name and X window id."""
    shown, _, ids = read_log(path)
    others = sorted((serial, window) for window, serial in shown.items() if window != name)
    return f"{others[-1][1]} {ids[others[-1][1]]}" if others else None


def centre(path, name):
    shown, controls = windows_and_controls(path)
    for serial, window, control, x, y, w, h, visible in reversed(controls):
        if control == name and visible and shown.get(window) == serial:
            return f"{x + w // 2} {y + h // 2} {window}"
    return None


def texts(path, name, kind):
    found = []
    with open(path, encoding="utf-8", errors="replace") as log:
        for line in log:
            parts = line.rstrip("\n").split(" ", 2)
            if parts[0] == kind and len(parts) >= 2 and parts[1] == name:
                found.append(parts[2] if len(parts) == 3 else "")
    return found


def window(path, name):
    last = None
    with open(path, encoding="utf-8", errors="replace") as log:
        for line in log:
            parts = line.rstrip("\n").split(" ")
            if parts[0] == "window" and len(parts) == 7 and parts[1] == name:
                last = " ".join(parts[3:])
            elif parts[0] == "hidden" and len(parts) == 2 and parts[1] == name:
                last = None
    return last


def positions(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-16-le").lstrip("\ufeff")
    found, name = [], None
    for line in text.split("\r\n"):
        if line.startswith("Name="):
            name = line[5:]
        elif line.startswith("Position=") and name is not None:
            x, y = line[9:].split(",")
            found.append(f"{int(x)} {int(y)} {name}")
    return "\n".join(found) if found else None


def read_string(data, at):
    (count,) = struct.unpack_from("<I", data, at)
    return at + 4 + count


def window_rect(path):
    """Follows the settings file's layout up to WindowRect: magic, product name, version, reserved,
    flag 0, text 0, language code, seven flags, then four signed 32-bit values."""
    with open(path, "rb") as f:
        data = f.read()
    at = read_string(data, 16) + 8 + 16 + 1
    at = read_string(data, at) + 2 + 7
    return "%d %d %d %d" % struct.unpack_from("<4i", data, at)


def until(prefix, seconds, command):
    environment = dict(os.environ, MURMELWERK_DEBUG="1", QT_QPA_PLATFORM="xcb")
    start = time.monotonic()
    program = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=environment)
    answer = None
    overdue = threading.Timer(seconds, program.kill)  # ends the reading below at the latest
    overdue.start()
    try:
        for line in program.stdout:
            if line.decode("utf-8", "replace").startswith(prefix):
                answer = "%.3f" % (time.monotonic() - start)
                break
    finally:
        overdue.cancel()
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
            program.wait()
    return answer


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    if command == "centre" and len(argv) == 4:
        answer = centre(argv[2], argv[3])
    elif command == "text" and len(argv) == 5:
        found = texts(argv[2], argv[3], "text")
        answer = (found[0] if argv[4] == "first" else found[-1]) if found else None
    elif command == "enabled" and len(argv) == 4:
        found = texts(argv[2], argv[3], "enabled")
        answer = found[-1] if found else None
    elif command == "other-window" and len(argv) == 4:
        answer = other_window(argv[2], argv[3])
    elif command == "window" and len(argv) == 4:
        answer = window(argv[2], argv[3])
    elif command == "positions" and len(argv) == 3:
        answer = positions(argv[2])
    elif command == "window-rect" and len(argv) == 3:
        answer = window_rect(argv[2])
    elif command == "until" and len(argv) >= 5:
        answer = until(argv[2], float(argv[3]), argv[4:])
    else:
        sys.exit(__doc__)
    if answer is None:
        return 1
    print(answer)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
