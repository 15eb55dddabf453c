#!/usr/bin/env python3
"""Writes the guide editor's default templates, ovelin/data/templates/<firmware>/Default.sql.

Run by hand after changing the defaults below; the output is committed:
    python3 ovelin/data/make_templates.py
Each file is SQL text that `vekpreset build` turns into a preset of that firmware's
preset version. All hold the same 38 GUIDE_ rows.
"""

import os

FIRMWARES = [
    ("4.0.x", 5), ("5.1.x", 9), ("5.2.x", 10), ("5.3.x", 10), ("6.0.x", 15),
    ("6.1.x", 16), ("6.2.x", 16), ("6.3.x", 16), ("6.4.x", 16),
]

GENERAL = [
    ("GUIDE_CENTER_GUIDE", -1),      # off
    ("GUIDE_CENTER_COLOR", 8),       # white
    ("GUIDE_CENTER_OPACITY", 100),
    ("GUIDE_GRID_GUIDE", -1),        # off
    ("GUIDE_GRID_COLOR", 8),
    ("GUIDE_GRID_OPACITY", 50),
    ("GUIDE_LOOKAROUND_GUIDE", 0),   # outside the frame guide
    ("GUIDE_LOOKAROUND_COLOR", 0),   # black
    ("GUIDE_LOOKAROUND_OPACITY", 25),
]

# Frame guide on at full size; action and title guides off, ready at the usual
# safe-area scales inside the frame guide.
GUIDES = [
    dict(MODE=0, AR_NUM=17778, SCALE=10000, ABS="0:0:1920:1080", LINE_STYLE=0, COLOR=8, OPACITY=100),
    dict(MODE=-1, AR_NUM=17778, SCALE=9000, ABS="0:0:1728:972", LINE_STYLE=1, COLOR=4, OPACITY=75),
    dict(MODE=-1, AR_NUM=17778, SCALE=8000, ABS="0:0:1536:864", LINE_STYLE=2, COLOR=6, OPACITY=75),
]


def rows():
    out = list(GENERAL)
    for index, guide in enumerate(GUIDES):
        prefix = "GUIDE_FRAME_%d_" % index
        out += [
            (prefix + "MODE", guide["MODE"]),
            (prefix + "AR_NUM", guide["AR_NUM"]),
            (prefix + "SCALE", guide["SCALE"]),
            (prefix + "ABS", guide["ABS"]),
            (prefix + "OFFSET_X_PERCENT", 0),
            (prefix + "OFFSET_Y_PERCENT", 0),
            (prefix + "LINE_STYLE", guide["LINE_STYLE"]),
            (prefix + "COLOR", guide["COLOR"]),
            (prefix + "OPACITY", guide["OPACITY"]),
        ]
    out += [("GUIDE_FRAME_1_REL_TO_FRAME_0", 1), ("GUIDE_FRAME_2_REL_TO_FRAME_0", 1)]
    assert len(out) == 38
    return out


def sql(version):
    lines = [
        "CREATE TABLE info(version);",
        "INSERT INTO info VALUES(%d);" % version,
        "CREATE TABLE parameters(name UNIQUE, value);",
    ]
    for name, value in rows():
        literal = "'%s'" % value if isinstance(value, str) else "%d" % value
        lines.append("INSERT INTO parameters VALUES('%s', %s);" % (name, literal))
    return "\n".join(lines) + "\n"


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "templates")
    for firmware, version in FIRMWARES:
        directory = os.path.join(root, firmware)
        os.makedirs(directory, exist_ok=True)
        with open(os.path.join(directory, "Default.sql"), "w", newline="\n") as f:
            f.write(sql(version))
    print("%s: %d templates" % (root, len(FIRMWARES)))


if __name__ == "__main__":
    main()
