#!/usr/bin/env python3
"""Checks of the simulated device's protocol, flash model, faults and pacing, and of its pty (no Wine)."""

import argparse
import os
import socket
import sys
import tty
import unittest

sys.dont_write_bytecode = True  # leave no cache in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devsim  # noqa: E402


def make_device(**overrides):
    args = argparse.Namespace(blocks_per_page=2, block_size=4, page_count=3, loader_version="02", spare1="00",
                              spare2="00", description="171122", no_description=False, seed=1)
    for key, value in overrides.items():
        setattr(args, key, value)
    return devsim.Device(args)


def frame(payload):
    return payload + devsim.checksum(payload)


def data_frame(block, data_hex):
    return frame("05%02X%s" % (block, data_hex))


class Protocol(unittest.TestCase):
    def test_checksum_is_a_plain_byte_sum(self):
        self.assertEqual(devsim.checksum("0102FF"), "02")
        self.assertEqual(devsim.checksum(""), "00")
        self.assertEqual(devsim.checksum("04000400"), "08")

    def test_identify_reports_geometry_and_version(self):
        device = make_device(blocks_per_page=16, block_size=64, page_count=0x1234)
        kind, reply = device.handle("0202")
        self.assertEqual(kind, "identify")
        self.assertEqual(reply[:17], b"z8202000010401234")
        self.assertEqual(len(reply), 20)
        self.assertEqual(reply[-1:], b";")

    def test_description_or_silence(self):
        device = make_device(description="171122")
        self.assertEqual(device.handle("0303")[1][:9], b"z83171122")
        silent = make_device(no_description=True)
        self.assertIsNone(silent.handle("0303")[1])

    def test_bad_checksum_and_unknown_command_are_not_answered(self):
        device = make_device()
        self.assertEqual(device.handle("0203"), ("bad", None))
        self.assertEqual(device.handle(frame("09")), ("bad", None))
        self.assertEqual(device.handle("0"), ("bad", None))
        self.assertEqual(device.counts["bad"], 3)


class Flash(unittest.TestCase):
    def test_erase_write_commit_programs_the_block_of_the_erased_page(self):
        device = make_device()
        self.assertEqual(device.handle(frame("04000008"))[1], b"z8484;")  # page 1 (8 bytes a page)
        self.assertEqual(device.handle(data_frame(2, "DEADBEEF"))[1], b"z8585;")
        self.assertEqual(device.handle("0606")[1], b"z8686;")
        expected = bytearray(b"\xff" * 24)
        expected[12:16] = bytes.fromhex("DEADBEEF")
        self.assertEqual(device.memory, expected)

    def test_programming_only_clears_bits_until_the_next_erase(self):
        device = make_device()
        device.handle(frame("04000000"))
        device.handle(data_frame(1, "0F0F0F0F"))
        device.handle("0606")
        device.handle(data_frame(1, "F0F0F0FF"))
        device.handle("0606")
        self.assertEqual(device.memory[:4], bytes.fromhex("0000000F"))
        device.handle(frame("04000000"))
        self.assertEqual(device.memory[:8], b"\xff" * 8)

    def test_data_before_erase_or_outside_the_page_is_refused(self):
        device = make_device()
        self.assertIsNone(device.handle(data_frame(1, "00000000"))[1])
        device.handle(frame("04000000"))
        self.assertIsNone(device.handle(data_frame(3, "00000000"))[1])
        self.assertIsNone(device.handle(frame("04000018"))[1])  # page 3 of 3 pages
        self.assertEqual(device.counts["refused"], 3)


class Faults(unittest.TestCase):
    def test_answer_only_from_the_kth_identical_try(self):
        device = make_device()
        device.configure("answer-on-try.identify", "3")
        replies = [device.handle("0202")[1] for _ in range(3)]
        self.assertEqual(replies[:2], [None, None])
        self.assertIsNotNone(replies[2])
        device.handle("0303")  # another frame starts the count again
        self.assertIsNone(device.handle("0202")[1])

    def test_a_refused_run_is_answered_7f_and_not_carried_out_then_served_again(self):
        device = make_device()
        device.configure("refuse.erase", "2:2")
        replies = [device.handle(frame("04000000"))[1] for _ in range(4)]
        self.assertEqual(replies[1:3], [b"z7F7F;"] * 2)
        self.assertEqual([replies[0][:3], replies[3][:3]], [b"z84", b"z84"])
        self.assertEqual(device.counts["refused"], 2)

    def test_erase_answered_on_second_try_still_erases(self):
        device = make_device()
        device.configure("answer-on-try.erase", "2")
        device.memory[0] = 0
        self.assertIsNone(device.handle(frame("04000000"))[1])
        self.assertEqual(device.memory[0], 0xFF)
        self.assertIsNotNone(device.handle(frame("04000000"))[1])

    def test_wrong_code_version_silence_and_close(self):
        device = make_device(loader_version="03")
        self.assertEqual(device.handle("0202")[1][3:5], b"03")
        device.configure("wrong-code.identify", "83")
        self.assertEqual(device.handle("0202")[1][:3], b"z83")
        device.configure("wrong-code", "-")
        device.configure("silent-after.commit", "2")
        self.assertIsNotNone(device.handle("0606")[1])
        self.assertIsNone(device.handle("0606")[1])
        self.assertIsNone(device.handle("0202")[1])  # silent for every kind from then on
        closing = make_device()
        closing.configure("close-after.data", "1")
        closing.handle(frame("04000000"))
        self.assertIsNone(closing.handle(data_frame(1, "00000000"))[1])
        self.assertTrue(closing.close_requested)

    def test_drop_rate_is_seeded(self):
        first, second = make_device(seed=7), make_device(seed=7)
        for device in (first, second):
            device.configure("drop-rate.identify", "0.5")
        a = [first.handle("0202")[1] is None for _ in range(40)]
        b = [second.handle("0202")[1] is None for _ in range(40)]
        self.assertEqual(a, b)
        self.assertTrue(0 < sum(a) < 40)

    def test_unknown_setting_is_an_error(self):
        with self.assertRaises(ValueError):
            make_device().configure("colour", "1")
        with self.assertRaises(ValueError):
            make_device().configure("delay.teleport", "1")


class WireTiming(unittest.TestCase):
    def wire(self, baud=0):
        return devsim.Wire(make_device(), master=-1, slave=-1, baud=baud)

    def test_wake_up_characters_are_ignored_and_counted(self):
        wire = self.wire()
        wire.receive(b"zzzzz" * 5 + b"z0202;", 0.0)
        self.assertEqual(wire.device.counts["wake"], 25)
        self.assertEqual([body for _, body in wire.frames], ["0202"])

    def test_processing_time_queues_input_and_answers_in_turn(self):
        wire = self.wire()
        wire.device.configure("delay.identify", "10")
        wire.receive(b"z0202;z0202;", 0.0)
        wire.step(0.0)
        self.assertEqual([due for due, _ in wire.pending], [0.010])
        self.assertAlmostEqual(wire.step(0.0), 0.010)  # the second frame waits for the first
        wire.out.clear()

    def test_baud_pacing_delays_frames_and_replies(self):
        wire = self.wire(baud=10000)  # 1 ms a character
        wire.receive(b"z0202;", 0.0)
        self.assertAlmostEqual(wire.frames[0][0], 0.006)
        self.assertAlmostEqual(wire.step(0.0), 0.006)
        next_due = wire.step(0.0061)  # processed; its reply arrives whole after its wire time
        reply_length = 20
        self.assertEqual(len(wire.out), 1)
        self.assertEqual(len(wire.out[0][1]), reply_length)
        self.assertAlmostEqual(next_due, 0.006 + reply_length * 0.001)


def controlling_tty_after_opening(path):
    """The tty number a new session leader gets as its terminal by opening `path` (0: none)."""
    read_end, write_end = os.pipe()
    pid = os.fork()
    if pid == 0:
        try:
            os.setsid()
            fd = os.open(path, os.O_RDWR)  # no O_NOCTTY, as the wineserver opens a port
            with open("/proc/self/stat") as stat:
                number = stat.read().rsplit(")", 1)[1].split()[4]
            os.close(fd)
            os.write(write_end, number.encode())
        finally:
            os._exit(0)
    os.close(write_end)
    answer = os.read(read_end, 64)
    os.close(read_end)
    os.waitpid(pid, 0)
    return int(answer)


class OnAPty(unittest.TestCase):
    def setUp(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.port = os.open(os.ttyname(self.slave), os.O_RDWR | os.O_NOCTTY)  # the test program's side

    def tearDown(self):
        for fd in (self.port, self.slave, self.master):
            os.close(fd)

    def test_a_command_is_answered_after_the_frames_written_before_it(self):
        wire = devsim.Wire(make_device(), self.master, self.slave, 0)
        ours, theirs = socket.socketpair()
        control = devsim.Control(ours, wire.device, wire, wire.settle)
        os.write(self.port, b"z0202;")
        theirs.sendall(b"counts\n")
        control.readable()  # both wait; the main loop has not read the frame yet
        self.assertIn("identify=1", theirs.recv(4096).decode())
        self.assertEqual(os.read(self.port, 100)[:5], b"z8202")  # and its reply is on the line
        os.write(self.port, b"z0101;")
        theirs.sendall(b"sync\n")
        control.readable()
        self.assertEqual(theirs.recv(4096), b"OK\n")
        self.assertEqual(os.read(self.port, 100), b"z8181;")
        ours.close()
        theirs.close()

    def test_a_claimed_pty_becomes_no_other_sessions_terminal(self):
        path = os.ttyname(self.slave)
        self.assertNotEqual(controlling_tty_after_opening(path), 0)  # what happened to the wineserver
        other_master, other_slave = os.openpty()
        pid = os.fork()
        if pid == 0:
            os._exit(0 if devsim.own_terminal(other_slave) and
                     controlling_tty_after_opening(os.ttyname(other_slave)) == 0 else 1)
        _, status = os.waitpid(pid, 0)
        os.close(other_master)
        os.close(other_slave)
        self.assertEqual(os.waitstatus_to_exitcode(status), 0)


if __name__ == "__main__":
    unittest.main()
