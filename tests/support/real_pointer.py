#!/usr/bin/env python3
"""The X server's pointer, for tests running under Wine: moved, and its left button pressed and released, through
the XTEST extension as a physical mouse would. The X server then picks the window under the pointer and holds the
grab of a press exactly as it does for a person, which input sent through SendInput does not go through.

    real_pointer.py --control 127.0.0.1:PORT

Connects to the test's port and reads lines: "move X Y" (root coordinates, which are Wine's screen coordinates),
"press", "release"; each is answered "OK" once the X server has it, "ERR text" when it cannot be done. Ends when
the test closes the connection."""
import ctypes
import socket
import sys


def main(argv):
    if len(argv) != 3 or argv[1] != '--control':
        sys.exit('usage: real_pointer.py --control HOST:PORT')
    host, port = argv[2].rsplit(':', 1)
    x11 = ctypes.CDLL('libX11.so.6')
    xtst = ctypes.CDLL('libXtst.so.6')
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
    xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    display = x11.XOpenDisplay(None)
    with socket.create_connection((host, int(port))) as conn, conn.makefile('rw', newline='\n') as lines:
        for line in lines:
            words = line.split()
            if not display:
                answer = 'ERR no X display'
            elif len(words) == 3 and words[0] == 'move':
                xtst.XTestFakeMotionEvent(display, -1, int(words[1]), int(words[2]), 0)
                answer = 'OK'
            elif words in (['press'], ['release']):
                xtst.XTestFakeButtonEvent(display, 1, int(words[0] == 'press'), 0)
                answer = 'OK'
            else:
                answer = 'ERR unknown command: ' + line.strip()
            if display:
                x11.XSync(display, 0)
            lines.write(answer + '\n')
            lines.flush()
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
