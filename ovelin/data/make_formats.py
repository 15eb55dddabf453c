#!/usr/bin/env python3
"""Writes ovelin/data/formats, the sensor and recording-format table.

Run by hand after changing the tables below; the output is committed:
    python3 ovelin/data/make_formats.py
The file is ASCII with CR LF line ends and no terminator after the last line.
"""

import os
import sys

QEL = [
    ("5K", 5120, 2700, "1"),
    ("5K 2x", 5120, 2700, "2"),
    ("5K 1.3x", 5120, 2700, "1.3"),
    ("5K 1.22:1", 3300, 2700, "1"),
    ("5K 1.22 2x", 3296, 2700, "2"),
    ("5K 2:1", 5120, 2560, "1"),
    ("5K WS", 5120, 2160, "1"),
    ("5K HD", 4800, 2700, "1"),
    ("4K", 4096, 2160, "1"),
    ("4K WS", 4096, 1708, "1"),
    ("4K HD", 3840, 2160, "1"),
    ("3K", 3072, 1620, "1"),
    ("3K WS", 3072, 1284, "1"),
    ("3K HD", 2880, 1620, "1"),
    ("2K", 2048, 1080, "1"),
    ("2K WS", 2048, 854, "1"),
    ("2K HD", 1920, 1080, "1"),
    ("1K WS", 1280, 480, "1"),
    ("1K HD", 1280, 720, "1"),
]

# Grid tables: columns after the class, then one row per class; None is an empty cell.
PELVANE_COLUMNS = ["", "2:1", "WS", "HD", "3:2", "4:3", "5:4", "6:5", "4:1", "8:1"]
PELVANE = [
    ("6K", ["6144x3160", "6144x3072", "6144x2592", "5568x3132", "4752x3160", None, None, "3792x3160", "6144x1536", "6144x768"]),
    ("5.5K", ["5632x2948", "5632x2816", "5632x2376", "5376x3024", None, None, None, None, "5632x1408", "5632x704"]),
    ("5K", ["5120x2700", "5120x2560", "5120x2160", "4800x2700", None, None, None, "3240x2700", "5120x1280", "5120x640"]),
    ("4.5K", ["4608x2412", "4608x2304", "4608x1944", "4224x2376", "4320x2880", None, None, None, "4608x1152", "4608x576"]),
    ("4K", ["4096x2160", "4096x2048", "4096x1728", "3840x2160", "3840x2560", "3840x2880", "3840x3072", "2592x2160", "4096x1024", "4096x512"]),
    ("3.5K", ["3584x1876", "3584x1792", "3584x1512", "3456x1944", "3360x2240", "3360x2520", "3360x2688", None, "3584x896", "3584x448"]),
    ("3K", ["3072x1620", "3072x1536", "3072x1296", "2880x1620", "2880x1920", "2880x2160", "2880x2304", "1944x1620", "3072x768", "3072x384"]),
    ("2.5K", ["2560x1340", "2560x1280", "2560x1080", "2304x1296", "2400x1600", "2400x1800", "2400x1920", None, "2560x640", "2560x320"]),
    ("2K", ["2048x1080", "2048x1024", "2048x864", "1920x1080", "1920x1280", "1920x1440", "1920x1536", "1296x1080", "2048x512", "2048x256"]),
]

DUROMA_COLUMNS = ["", "2:1", "WS", "HD", "14:9", "3:2", "4:3", "5:4", "6:5", "4:1", "8:1", "1:1"]
DUROMA = [
    ("8K", ["8192x4320", "8192x4096", "8192x3456", "7680x4320", "6720x4320", "6480x4320", None, None, "5184x4320", "8192x2048", "8192x1024", None]),
    ("7.5K", ["7680x4080", "7680x3840", "7680x3240", "7296x4104", None, None, None, None, None, "7680x1920", "7680x960", None]),
    ("7K", ["7168x3780", "7168x3584", "7168x3024", "6720x3780", None, None, None, None, "4536x3780", "7168x1792", "7168x896", None]),
    ("6.5K", ["6656x3536", "6656x3328", "6656x2808", "6144x3456", None, None, None, None, None, "6656x1664", "6656x832", None]),
    ("6K", ["6144x3240", "6144x3072", "6144x2592", "5760x3240", None, "5760x3840", "5760x4320", None, "3888x3240", "6144x1536", "6144x768", None]),
    ("5.5K", ["5632x2948", "5632x2816", "5632x2376", "5376x3024", None, None, None, None, None, "5632x1408", "5632x704", None]),
    ("5K", ["5120x2700", "5120x2560", "5120x2160", "4800x2700", None, None, None, None, "3240x2700", "5120x1280", "5120x640", None]),
    ("4.5K", ["4608x2412", "4608x2304", "4608x1944", "4224x2376", None, "4320x2880", "4320x3240", "4320x3456", None, "4608x1152", "4608x576", None]),
    ("4K", ["4096x2160", "4096x2048", "4096x1728", "3840x2160", None, "3840x2560", "3840x2880", "3840x3072", "2592x2160", "4096x1024", "4096x512", "4320x4320"]),
    ("3.5K", ["3584x1876", "3584x1792", "3584x1512", "3456x1944", None, "3360x2240", "3360x2520", "3360x2688", None, "3584x896", "3584x448", None]),
    ("3K", ["3072x1620", "3072x1536", "3072x1296", "2880x1620", None, "2880x1920", "2880x2160", "2880x2304", "1944x1620", "3072x768", "3072x384", None]),
    ("2.5K", ["2560x1340", "2560x1280", "2560x1080", "2304x1296", None, "2400x1600", "2400x1800", "2400x1920", None, "2560x640", "2560x320", None]),
    ("2K", ["2048x1080", "2048x1024", "2048x864", "1920x1080", None, "1920x1280", "1920x1440", "1920x1536", "1296x1080", "2048x512", "2048x256", None]),
]


def grid_formats(columns, rows, with_125):
    """Base formats in row, then column order, each followed by its squeeze variants."""
    out = []
    for cls, cells in rows:
        assert len(cells) == len(columns), cls
        for heading, cell in zip(columns, cells):
            if cell is None:
                continue
            w, h = (int(v) for v in cell.split("x"))
            name = cls if not heading else "%s %s" % (cls, heading)
            out.append((name, w, h, "1"))
            if name in with_125:
                out.append((name + " 1.25x", w, h, "1.25"))
            out.append((name + " 1.3x", w, h, "1.3"))
            out.append((name + " 2x", w, h, "2"))
    return out


def line(name, w, h, squeeze, sensor=False, default=False):
    marker = ("*" if sensor else "") + ("^" if default else "")
    return "%s%s>0,0,%d,%d|%s" % (marker, name, w, h, squeeze)


def block(sensor, sensor_default, w, h, formats, default_format):
    names = [f[0] for f in formats]
    assert names.count(default_format) == 1, default_format
    lines = [line(sensor, w, h, "1", sensor=True, default=sensor_default)]
    for name, fw, fh, squeeze in formats:
        lines.append(line(name, fw, fh, squeeze, default=(name == default_format)))
    return lines


def main():
    pelvane = grid_formats(PELVANE_COLUMNS, PELVANE, {"6K"})
    duroma = grid_formats(DUROMA_COLUMNS, DUROMA, {"8K", "6K"})
    counts = (len(QEL), len(pelvane), len(duroma))
    if counts != (19, 229, 326):
        sys.exit("unexpected format counts %s" % (counts,))

    lines = block("Qel", True, 5120, 2700, QEL, "5K 2:1")
    lines.append("")
    lines += block("Pelvane", False, 6144, 3160, pelvane, "6K 2:1")
    lines.append("")
    lines += block("Duroma", False, 8192, 4320, duroma, "8K 2:1")

    data = "\r\n".join(lines).encode("ascii")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "formats")
    with open(path, "wb") as f:
        f.write(data)
    print("%s: %d lines, %d bytes" % (path, len(lines), len(data)))


if __name__ == "__main__":
    main()
