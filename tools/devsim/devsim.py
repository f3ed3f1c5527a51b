#!/usr/bin/env python3
"""Simulated device: the serial bootloader of a device, on a pseudo-terminal that Wine sees as a COM port.

The device side of the loader's frame protocol: "z" + two hex digits of command + hex parameters +
two hex digits of checksum (8-bit byte sum of the command and parameter pairs) + ";". Replies start
with "z" and the command with its high bit set. Stray "z" characters (the wake-up) are ignored.

  01 reset        -> "z81" cs ";"
  02 identify     -> "z82" version spare1 spare2 blocks-per-page(2) block-size(2) page-count(4) cs ";"
  03 description  -> "z83" text cs ";"   (no reply when the device has no description)
  04 erase page   -> "z84" cs ";"        address of the page's first byte; the page becomes FF
  05 write block  -> "z85" cs ";"        block number (from 1) within the last erased page + data
  06 commit       -> "z86" cs ";"        programs the last written block (flash: bits only clear)

Timing: each command kind has a processing time (input queues meanwhile and is answered in turn);
with a baud rate set, input is taken at the wire's pace and each reply arrives whole when its last
character would have crossed the wire.

Faults: answer a kind only from the k-th identical try on, drop replies of a kind at a rate, answer
with a wrong reply code, report any loader version, go silent, go silent or close the pty after
the n-th frame of a kind, refuse a run of frames of a kind (answered "z7F" cs ";" and not carried out)
and then carry them out again.

The pty appears as COM<N> of the Wine prefix: $WINEPREFIX/dosdevices/com<N> links to the slave.
With --control HOST:PORT the simulator connects to a test, announces "READY COM<N> <pty>" and
serves line commands (see Control below) until "quit" or until the test goes away; without it,
it runs until interrupted (--register also lists the port under HARDWARE\\DEVICEMAP\\SERIALCOMM
through Wine's reg tool, for a person who wants to flash a simulated device by hand).
"""

import argparse
import collections
import errno
import fcntl
import os
import random
import select
import signal
import socket
import subprocess
import sys
import termios
import time
import tty

KINDS = {"01": "reset", "02": "identify", "03": "description", "04": "erase", "05": "data", "06": "commit"}
KIND_NAMES = list(KINDS.values())
REPLY_CODES = {"reset": "81", "identify": "82", "description": "83", "erase": "84", "data": "85", "commit": "86"}


def checksum(pairs_text):
    """8-bit byte sum of a text of hex pairs, as two upper-case hex digits."""
    total = 0
    for i in range(0, len(pairs_text) - 1, 2):
        total += int(pairs_text[i:i + 2], 16)
    return "%02X" % (total & 0xFF)


def is_hex(text):
    return all(c in "0123456789ABCDEFabcdef" for c in text)


class Device:
    """The bootloader's state: geometry, flash, faults, counters. Knows nothing of time or ptys."""

    def __init__(self, args):
        self.blocks_per_page = args.blocks_per_page
        self.block_size = args.block_size
        self.page_count = args.page_count
        self.loader_version = args.loader_version
        self.spare1 = args.spare1
        self.spare2 = args.spare2
        self.description = None if args.no_description else args.description
        self.delays = {k: 0.0 for k in KIND_NAMES}
        self.answer_on_try = {k: 1 for k in KIND_NAMES}
        self.drop_rate = {k: 0.0 for k in KIND_NAMES}
        self.wrong_code = {k: None for k in KIND_NAMES}
        self.silent_after = {k: None for k in KIND_NAMES}
        self.close_after = {k: None for k in KIND_NAMES}
        self.refuse = {k: None for k in KIND_NAMES}  # (first, count) of the kind's frames, counted from 1
        self.silent = False
        self.random = random.Random(args.seed)
        self.memory = bytearray(b"\xff" * self.memory_size())
        self.current_page = None
        self.staged = None  # (address, bytes) of the last written block
        self.last_frame = None
        self.repeats = 0
        self.counts = collections.Counter()
        self.history = collections.deque(maxlen=8192)
        self.close_requested = False

    def page_size(self):
        return self.blocks_per_page * self.block_size

    def memory_size(self):
        return self.page_count * self.page_size()

    def set_geometry(self):
        self.memory = bytearray(b"\xff" * self.memory_size())
        self.current_page = None
        self.staged = None

    # --- frames -------------------------------------------------------------------------------
    def handle(self, body):
        """Takes a frame's text between "z" and ";"; returns (kind, reply or None)."""
        self.history.append("z" + body + ";")
        if len(body) < 4 or len(body) % 2 or not is_hex(body) or checksum(body[:-2]) != body[-2:].upper():
            self.counts["bad"] += 1
            return "bad", None
        command, params = body[:2], body[2:-2]
        kind = KINDS.get(command)
        if kind is None:
            self.counts["bad"] += 1
            return "bad", None
        self.counts[kind] += 1
        if body == self.last_frame:
            self.repeats += 1
        else:
            self.last_frame, self.repeats = body, 1
        refused = self.refuse[kind]
        if refused is not None and refused[0] <= self.counts[kind] < refused[0] + refused[1]:
            self.counts["refused"] += 1
            return kind, b"z7F" + checksum("7F").encode() + b";"
        payload = getattr(self, "do_" + kind)(params)
        if payload is None:
            self.counts["refused"] += 1
            return kind, None
        if self.close_after[kind] is not None and self.counts[kind] >= self.close_after[kind]:
            self.close_requested = True
            return kind, None
        if self.silent:
            return kind, None
        if self.silent_after[kind] is not None and self.counts[kind] >= self.silent_after[kind]:
            self.silent = True
            return kind, None
        if self.repeats < self.answer_on_try[kind]:
            return kind, None
        if self.drop_rate[kind] > 0 and self.random.random() < self.drop_rate[kind]:
            self.counts["dropped." + kind] += 1
            return kind, None
        code = self.wrong_code[kind] or REPLY_CODES[kind]
        self.counts["replies." + kind] += 1
        if kind == "description":
            text = payload.encode("latin-1")
            total = int(code, 16) if is_hex(code) else 0
            return kind, b"z" + code.encode() + text + ("%02X;" % ((total + sum(text)) & 0xFF)).encode()
        reply = code + payload
        return kind, ("z" + reply + checksum(reply if is_hex(reply) else "") + ";").encode()

    def do_reset(self, params):
        self.current_page = None
        self.staged = None
        return ""

    def do_identify(self, params):
        return "%s%s%s%02X%02X%04X" % (self.loader_version, self.spare1, self.spare2,
                                       self.blocks_per_page & 0xFF, self.block_size & 0xFF, self.page_count & 0xFFFF)

    def do_description(self, params):
        return self.description

    def do_erase(self, params):
        if len(params) < 6:
            return None
        address = int(params, 16)
        page = address // self.page_size() if self.page_size() else 0
        if page >= self.page_count:
            return None
        start = page * self.page_size()
        self.memory[start:start + self.page_size()] = b"\xff" * self.page_size()
        self.current_page = page
        self.staged = None
        return ""

    def do_data(self, params):
        digits = len(params) - 2 * self.block_size
        if digits < 2 or self.current_page is None:
            return None
        block = int(params[:digits], 16)
        if not 1 <= block <= self.blocks_per_page:
            return None
        address = self.current_page * self.page_size() + (block - 1) * self.block_size
        self.staged = (address, bytes.fromhex(params[digits:]))
        return ""

    def do_commit(self, params):
        if self.staged is not None:
            address, data = self.staged
            for i, byte in enumerate(data):
                self.memory[address + i] &= byte
        return ""

    # --- control ------------------------------------------------------------------------------
    def configure(self, key, value):
        name, _, kind = key.partition(".")
        if kind and kind not in KIND_NAMES:
            raise ValueError("unknown frame kind " + kind)
        if name == "blocks-per-page":
            self.blocks_per_page = int(value); self.set_geometry()
        elif name == "block-size":
            self.block_size = int(value); self.set_geometry()
        elif name == "page-count":
            self.page_count = int(value); self.set_geometry()
        elif name == "loader-version":
            self.loader_version = value
        elif name == "spare1":
            self.spare1 = value
        elif name == "spare2":
            self.spare2 = value
        elif name == "description-hex":
            self.description = bytes.fromhex(value).decode("latin-1")
        elif name == "description-none":
            self.description = None
        elif name == "silent":
            self.silent = value not in ("0", "off", "false")
        elif name == "seed":
            self.random.seed(int(value))
        elif name in ("delay", "answer-on-try", "drop-rate", "wrong-code", "silent-after", "close-after", "refuse"):
            table = {"delay": self.delays, "answer-on-try": self.answer_on_try, "drop-rate": self.drop_rate,
                     "wrong-code": self.wrong_code, "silent-after": self.silent_after,
                     "close-after": self.close_after, "refuse": self.refuse}[name]
            convert = {"delay": lambda v: float(v) / 1000.0, "answer-on-try": int, "drop-rate": float,
                       "wrong-code": lambda v: None if v == "-" else v,
                       "silent-after": lambda v: None if v == "-" else int(v),
                       "close-after": lambda v: None if v == "-" else int(v),
                       "refuse": lambda v: None if v == "-" else tuple(int(n) for n in v.split(":"))}[name]
            for k in ([kind] if kind else KIND_NAMES):
                table[k] = convert(value)
        else:
            raise ValueError("unknown setting " + key)


class Wire:
    """One pty master with the device behind it: wire pacing, frame parsing, queued processing."""

    def __init__(self, device, master, slave, baud):
        self.device = device
        self.master = master
        self.slave = slave
        self.baud = baud
        self.rx_free = 0.0       # when the input wire has carried the last byte read
        self.tx_free = 0.0       # when the output wire is free again
        self.partial = None      # the frame being received, without its "z"
        self.frames = collections.deque()  # (complete time, body)
        self.busy_until = 0.0
        self.pending = collections.deque()  # (due time, kind, reply bytes)
        self.out = collections.deque()      # (due time, reply bytes)
        self.closed = False

    def char_time(self):
        return 10.0 / self.baud if self.baud > 0 else 0.0

    def receive(self, data, now):
        for value in data:
            arrival = max(now, self.rx_free) + self.char_time()
            self.rx_free = arrival
            c = chr(value)
            if c == "z":
                if self.partial is not None:
                    self.device.counts["wake" if self.partial == "" else "broken"] += 1
                self.partial = ""
            elif self.partial is None:
                self.device.counts["noise"] += 1
            elif c == ";":
                self.frames.append((arrival, self.partial))
                self.partial = None
            else:
                self.partial += c

    def step(self, now):
        """Processes due frames and writes due bytes; returns the time of the next thing to do."""
        while self.frames and not self.closed:
            complete, body = self.frames[0]
            start = max(complete, self.busy_until)
            if start > now:
                break
            self.frames.popleft()
            kind, reply = self.device.handle(body)
            if self.device.close_requested:
                self.close()
                break
            finish = start + self.device.delays.get(kind, 0.0)
            self.busy_until = finish
            if reply:
                self.pending.append((finish, reply))
        while self.pending and self.pending[0][0] <= now:
            due, reply = self.pending.popleft()
            # A reply leaves in one piece when its last character would have crossed the wire: delivered
            # in millisecond-late pieces, it would trip the reader's 1 ms gap time-out as no real line does.
            self.tx_free = max(due, self.tx_free) + len(reply) * self.char_time()
            self.out.append((self.tx_free, reply))
        chunk = bytearray()
        while self.out and self.out[0][0] <= now:
            chunk += self.out.popleft()[1]
        if chunk and not self.closed:
            try:
                os.write(self.master, bytes(chunk))
            except OSError:
                pass  # nobody has the port open: the reply is lost on the line, as on a real wire
        times = [t for t, _ in list(self.out)[:1]] + [t for t, _ in list(self.pending)[:1]]
        if self.frames:
            times.append(max(self.frames[0][0], self.busy_until))
        return min(times) if times else None

    def take_input(self):
        """Reads everything the port has written so far."""
        while not self.closed and select.select([self.master], [], [], 0)[0]:
            try:
                data = os.read(self.master, 65536)
            except OSError as error:
                if error.errno != errno.EIO:
                    raise
                return  # no one has the slave open (we keep ours, so this is rare)
            if not data:
                return
            self.receive(data, time.monotonic())

    def settle(self):
        """Takes in what the port wrote and handles every frame that is due by now. A poll that finds the
        line discipline empty first has the kernel deliver what it still holds in flight, so this sees
        every byte the port's write had put into the pty before the call."""
        self.take_input()
        self.step(time.monotonic())

    def close(self):
        if not self.closed:
            self.closed = True
            for fd in (self.master, self.slave):
                try:
                    os.close(fd)
                except OSError:
                    pass


class ComLink:
    """Claims COM<N> of the prefix for a pty slave; a lock file per prefix and number marks the owner."""

    def __init__(self, prefix, slave_name, first, exact):
        self.dosdevices = os.path.join(prefix, "dosdevices")
        if not os.path.isdir(self.dosdevices):
            raise RuntimeError("no dosdevices folder in the Wine prefix " + prefix)
        lock_dir = os.path.join(os.environ.get("TMPDIR", "/tmp"), "krl-devsim-locks")
        os.makedirs(lock_dir, exist_ok=True)
        tag = os.path.realpath(prefix).replace("/", "_")
        numbers = [first] if exact else range(first, 256)
        for n in numbers:
            lock = open(os.path.join(lock_dir, "%s-com%d.lock" % (tag, n)), "w")
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except OSError:
                lock.close()
                continue
            link = os.path.join(self.dosdevices, "com%d" % n)
            if os.path.lexists(link):
                target = os.readlink(link) if os.path.islink(link) else ""
                if exact or target.startswith("/dev/pts/"):
                    os.unlink(link)  # left behind by a simulator that died; the lock says it is gone
                else:
                    lock.close()
                    continue  # a real port or someone's own link
            os.symlink(slave_name, link)
            self.number, self.link, self.lock = n, link, lock
            return
        raise RuntimeError("no free COM number from %d" % first)

    def release(self):
        try:
            os.unlink(self.link)
        except OSError:
            pass
        self.lock.close()


def busy_target():
    """A file that even root cannot open for writing: Wine then reports access denied, as Windows does for
    a port another program holds (Wine itself lets a port be opened twice)."""
    # sysfs refuses writing to a read-only attribute even to root (access() would say yes to root).
    for path in ("/sys/devices/system/cpu/online", "/sys/devices/system/cpu/possible"):
        if os.path.exists(path):
            return path
    raise RuntimeError("no read-only sysfs file to stand for a busy port")


class ModemLineMarker:
    """The test shim gives every pty modem lines unless $KRL_PTYSHIM_DIR/nolines-N exists."""

    def __init__(self, slave_name, without_lines):
        folder = os.environ.get("KRL_PTYSHIM_DIR") or "/tmp/krl-ptyshim"
        self.path = os.path.join(folder, "nolines-" + slave_name.rsplit("/", 1)[-1])
        self.created = without_lines
        if without_lines:
            os.makedirs(folder, exist_ok=True)
            open(self.path, "w").close()
        elif os.path.exists(self.path):
            os.unlink(self.path)  # left by a simulator that died while holding this pty number

    def release(self):
        if self.created and os.path.exists(self.path):
            os.unlink(self.path)


def own_terminal(slave):
    """Makes the pty the controlling terminal of a session of our own; True when that worked.

    The wineserver is a session leader without a terminal and opens a COM port's device without
    O_NOCTTY, so a pty no one else claimed becomes its controlling terminal. Closing the master then
    hangs the pty up and sends the server SIGHUP, on which it writes out every object it holds (tens of
    thousands of lines, with every Wine process of the prefix waiting meanwhile). A terminal belongs to
    one session only: claimed here first, the server cannot take it.
    """
    try:
        if os.getsid(0) != os.getpid():
            os.setsid()  # fails only for a process group leader, e.g. a job of an interactive shell
        fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
        return True
    except OSError as error:
        print("devsim: the pty stays without a session (%s); the wineserver may take it as its terminal"
              % error.strerror, file=sys.stderr, flush=True)
        return False


def wine_reg(args):
    subprocess.run(["wine", "reg"] + args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


class Control:
    """Line commands from a test; each answer is one line, "OK ..." or "ERR ...".

      set KEY VALUE      change a setting (the options' names; KEY.KIND for one frame kind)
      counts             frames received per kind, replies, drops, refusals, wake-up characters
      memory             the flash as hex
      history N          the last N frames received, separated by blanks
      reset-counts       zero the counters and the history
      close              close the device's end of the pty now
      sync               nothing; answered once every frame written before it is handled
      quit               release the port and end
    """

    def __init__(self, sock, device, wire, settle):
        self.sock = sock
        self.device = device
        self.wire = wire
        self.settle = settle  # takes in and handles what the port wrote so far
        self.buffer = b""
        self.quit = False

    def readable(self):
        data = self.sock.recv(65536)
        if not data:
            self.quit = True
            return
        self.buffer += data
        while b"\n" in self.buffer:
            line, self.buffer = self.buffer.split(b"\n", 1)
            # A test sends a command after its port has written: frames written before it are handled (and
            # counted, and answered) before the command, whatever order the two reached this process in.
            self.settle()
            answer = self.run(line.decode("latin-1").strip())
            if answer is not None:
                self.sock.sendall((answer + "\n").encode("latin-1"))

    def run(self, line):
        words = line.split()
        if not words:
            return None
        try:
            if words[0] == "set" and len(words) == 3:
                self.device.configure(words[1], words[2])
                return "OK"
            if words[0] == "counts":
                return "OK " + " ".join("%s=%d" % kv for kv in sorted(self.device.counts.items()))
            if words[0] == "memory":
                return "OK " + self.device.memory.hex().upper()
            if words[0] == "history" and len(words) == 2:
                items = list(self.device.history)[-int(words[1]):] if int(words[1]) > 0 else []
                return "OK " + " ".join(items)
            if words[0] == "reset-counts":
                self.device.counts.clear()
                self.device.history.clear()
                return "OK"
            if words[0] == "sync" and len(words) == 1:
                return "OK"
            if words[0] == "close":
                self.wire.close()
                return "OK"
            if words[0] == "quit":
                self.quit = True
                return None
            return "ERR unknown command: " + line
        except (ValueError, IndexError) as error:
            return "ERR " + str(error)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--control", help="HOST:PORT of the test to connect to")
    parser.add_argument("--prefix", default=os.environ.get("WINEPREFIX", os.path.expanduser("~/.wine")))
    parser.add_argument("--com", type=int, default=20, help="first COM number to try (exact with --exact-com)")
    parser.add_argument("--exact-com", action="store_true")
    parser.add_argument("--register", action="store_true", help="list the port in the registry through wine reg")
    parser.add_argument("--blocks-per-page", type=int, default=16)
    parser.add_argument("--block-size", type=int, default=64)
    parser.add_argument("--page-count", type=int, default=4)
    parser.add_argument("--loader-version", default="02")
    parser.add_argument("--spare1", default="00")
    parser.add_argument("--spare2", default="00")
    parser.add_argument("--description", default="171122")
    parser.add_argument("--no-description", action="store_true")
    parser.add_argument("--busy", action="store_true",
                        help="the COM link points at a file the port cannot be opened on (access denied), "
                             "as when another program holds the port")
    parser.add_argument("--no-modem-lines", action="store_true",
                        help="the pty keeps having no modem lines even with the test shim preloaded")
    parser.add_argument("--baud", type=int, default=0, help="pace the wire at this rate (0: no pacing)")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--set", action="append", default=[], metavar="KEY=VALUE",
                        help="any control setting, e.g. delay.erase=5 or answer-on-try.identify=3")
    args = parser.parse_args()

    device = Device(args)
    for item in args.set:
        key, _, value = item.partition("=")
        device.configure(key, value)

    master, slave = os.openpty()
    tty.setraw(slave)
    slave_name = os.ttyname(slave)
    owns_pty = own_terminal(slave)
    link = ComLink(args.prefix, busy_target() if args.busy else slave_name, args.com, args.exact_com)
    marker = ModemLineMarker(slave_name, args.no_modem_lines)
    port = "COM%d" % link.number
    value_name = "\\Device\\KrlSim%d" % link.number
    if args.register:
        # HARDWARE is a volatile key: it lives only as long as the prefix's wineserver, which ends a few
        # seconds after its last program. Keep the server up so the port stays listed for the next program.
        subprocess.run(["wineserver", "-p"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        wine_reg(["add", "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM", "/v", value_name, "/d", port, "/f"])

    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))
    # In a session of our own SIGHUP only says that our pty hung up, which closing our end does (the
    # "close" command, close-after): the simulator then goes on serving its test.
    signal.signal(signal.SIGHUP, signal.SIG_IGN if owns_pty else (lambda *_: stop.append(1)))

    wire = Wire(device, master, slave, args.baud)
    control = None
    if args.control:
        host, _, number = args.control.rpartition(":")
        sock = socket.create_connection((host, int(number)), timeout=10)
        sock.settimeout(None)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        control = Control(sock, device, wire, wire.settle)
        sock.sendall(("READY %s %s\n" % (port, slave_name)).encode())
    else:
        print("simulated device on %s (%s)" % (port, slave_name), flush=True)

    try:
        while not stop and not (control and control.quit):
            now = time.monotonic()
            wake = wire.step(now)
            timeout = 0.5 if wake is None else max(0.0, wake - time.monotonic())
            readers = [] if wire.closed else [master]
            if control:
                readers.append(control.sock)
            try:
                ready, _, _ = select.select(readers, [], [], min(timeout, 0.5))
            except InterruptedError:
                continue
            if master in ready:
                wire.take_input()
            if control and control.sock in ready:
                control.readable()
    finally:
        link.release()
        marker.release()
        wire.close()
        if args.register:
            wine_reg(["delete", "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM", "/v", value_name, "/f"])
        if control:
            try:
                control.sock.sendall(b"BYE\n")
                control.sock.close()
            except OSError:
                pass


if __name__ == "__main__":
    sys.exit(main())
