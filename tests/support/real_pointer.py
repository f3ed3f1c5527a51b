#!/usr/bin/env python3
"""The X server's pointer, for tests running under Wine: moved, and its left button pressed and released, through
the XTEST extension as a physical mouse would. The X server then picks the window under the pointer and holds the
grab of a press exactly as it does for a person, which input sent through SendInput does not go through.

    real_pointer.py --control 127.0.0.1:PORT

Connects to the test's port and reads lines: "move X Y" (root coordinates, which are Wine's screen coordinates),
"press", "release"; each is answered "OK" once the X server has it, "ERR text" when it cannot be done. "where"
is answered with what the X server has under the pointer (the top-level window, its program and place, and
whether the pointer is grabbed), for the failure messages of tests. Ends when the test closes the
connection."""
import ctypes
import socket
import sys

Window = ctypes.c_ulong


def where(x11, display):
    """The top-level X window under the pointer (id, program, place) and whether the pointer is grabbed."""
    root = x11.XDefaultRootWindow(display)
    root_ret, child = Window(), Window()
    rx, ry, wx, wy = (ctypes.c_int() for _ in range(4))
    mask = ctypes.c_uint()
    x11.XQueryPointer(display, root, ctypes.byref(root_ret), ctypes.byref(child), ctypes.byref(rx), ctypes.byref(ry),
                      ctypes.byref(wx), ctypes.byref(wy), ctypes.byref(mask))
    text = 'pointer %d,%d buttons 0x%x, ' % (rx.value, ry.value, mask.value >> 8)
    if not child.value:
        text += 'over the root window'
    else:
        hint = (ctypes.c_void_p * 2)()
        name = ''
        if x11.XGetClassHint(display, child, hint):
            name = ctypes.string_at(hint[0]).decode(errors='replace') if hint[0] else ''
            for part in hint:
                if part:
                    x11.XFree(ctypes.c_void_p(part))
        attributes = ctypes.create_string_buffer(256)  # XWindowAttributes: x, y, width, height, ... map_state
        x11.XGetWindowAttributes(display, child, attributes)
        ints = ctypes.cast(attributes, ctypes.POINTER(ctypes.c_int))
        text += 'over X window 0x%x of %s at %d,%d %dx%d' % (child.value, name or '?', ints[0], ints[1], ints[2],
                                                              ints[3])
    # a grab (a held press's own, or a client's) sends every pointer event to the grabbing window
    grabbed = x11.XGrabPointer(display, root, 0, 0, 1, 1, 0, 0, 0)
    if grabbed == 0:
        x11.XUngrabPointer(display, 0)
    return text + (', the pointer is grabbed' if grabbed == 1 else '')


def main(argv):
    if len(argv) != 3 or argv[1] != '--control':
        sys.exit('usage: real_pointer.py --control HOST:PORT')
    host, port = argv[2].rsplit(':', 1)
    x11 = ctypes.CDLL('libX11.so.6')
    xtst = ctypes.CDLL('libXtst.so.6')
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XDefaultRootWindow.restype = Window
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XQueryPointer.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window), ctypes.POINTER(Window)] + \
        [ctypes.POINTER(ctypes.c_int)] * 4 + [ctypes.POINTER(ctypes.c_uint)]
    x11.XGetClassHint.argtypes = [ctypes.c_void_p, Window, ctypes.c_void_p]
    x11.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window, ctypes.c_void_p]
    x11.XGrabPointer.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_uint, ctypes.c_int, ctypes.c_int,
                                 Window, Window, ctypes.c_ulong]
    x11.XUngrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XFree.argtypes = [ctypes.c_void_p]
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
            elif words == ['where']:
                answer = 'OK ' + where(x11, display)
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
