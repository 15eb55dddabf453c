#!/usr/bin/env python3
"""Writes the six factory data sets of the key-mapping editor.

Run from anywhere: python3 generate.py. The output (tano_brisola/factory*.sql,
duroma/factory16.sql) is committed; edit this file, never the output.

A key code packs module << 16 | kind << 8 | key, kinds 1 press (or one edge of
an input), 2 release (or the other edge), 4 clockwise, 8 counter-clockwise; the
oldest data set names its four lens keys with kind 0. Event names are the
module's prefix of the data set followed by the event text.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

PRESS, RELEASE, CW, CCW = 1, 2, 4, 8


def ev(module, kind, key, text, since=0, until=99):
    return dict(module=module, kind=kind, key=key, text=text, since=since, until=until)


def pr(module, key, text, since=0, until=99):
    """A key with a press and a release event."""
    return [ev(module, PRESS, key, text + " Press", since, until),
            ev(module, RELEASE, key, text + " Release", since, until)]


def rot(module, key, text, since=0):
    return [ev(module, CW, key, text + " CW", since), ev(module, CCW, key, text + " CCW", since)]


# Family 0 (Tano/Brisola): the events its module panels show.
TANO_PANEL_EVENTS = (
    # Body: record key and the GPI input.
    [ev(0, PRESS, 15, "Record Half Press"), ev(0, RELEASE, 15, "Record Half Release"),
     ev(0, PRESS, 16, "Record Full Press"),
     ev(0, PRESS, 5, "GPI In High"), ev(0, RELEASE, 5, "GPI In Low")]
    # Recorder: user keys, their chord, the record key (releases from 15 on).
    + pr(3, 5, "User 1") + pr(3, 6, "User 2") + [ev(3, PRESS, 7, "User 1+2 Press")]
    + [ev(3, PRESS, 15, "Record Half Press"), ev(3, RELEASE, 15, "Record Half Release", since=15),
       ev(3, PRESS, 16, "Record Full Press"), ev(3, RELEASE, 16, "Record Full Release", since=15)]
    # Monitors on the body (5) and at the rear (7); the chord arrived after 4.0.x.
    + [e for m in (5, 7) for e in (
        ev(m, PRESS, 5, "User 1 Press"), ev(m, PRESS, 6, "User 2 Press"),
        ev(m, PRESS, 7, "User 1+2 Press", since=9),
        ev(m, PRESS, 31, "Up Press"), ev(m, PRESS, 32, "Down Press"))]
    # Eyepieces on the body (8) and at the rear (9).
    + [e for m in (8, 9) for e in (ev(m, PRESS, 5, "User 1 Press"), ev(m, PRESS, 6, "User 2 Press"))]
    # Bezel keys A to D and 1 to 4.
    + [ev(11, PRESS, k, n + " Press") for k, n in enumerate("ABCD1234", start=1)]
    # Grips: user keys A to D, user keys 1 to 7, the chord, switches, record, rotaries,
    # navigation, backlight, rocker.
    + [e for k, n in enumerate("ABCD", start=1) for e in pr(1, k, "User " + n)]
    + [e for k in range(1, 8) for e in pr(1, k + 4, "User %d" % k)]
    + pr(1, 12, "User 1+4")
    + [ev(1, PRESS, 13, "Still Select"), ev(1, PRESS, 14, "Movie Select")]
    + pr(1, 15, "Record Half") + pr(1, 16, "Record Full")
    + rot(1, 26, "Rotary Front") + rot(1, 27, "Rotary Jog")
    + pr(1, 29, "Backlight")
    + [e for k, n in zip(range(30, 36), ("Menu", "North", "South", "East", "West", "Enter"))
       for e in pr(1, k, "Nav " + n)]
    + pr(1, 42, "Rocker +") + pr(1, 43, "Rocker -")
    # Wireless remote.
    + [e for k, n in enumerate("ABCD", start=1) for e in pr(4, k, "User " + n)]
    + [ev(4, PRESS, 13, "Still Select"), ev(4, PRESS, 14, "Movie Select")]
    + pr(4, 15, "Record Half") + pr(4, 16, "Record Full")
    + rot(4, 26, "Rotary")
    + [ev(4, PRESS, k, "Nav %s Press" % n)
       for k, n in zip(range(30, 36), ("Menu", "North", "South", "East", "West", "Enter"))]
    + pr(4, 42, "Rocker +") + pr(4, 43, "Rocker -")
    # Input/output module: two GPI inputs and two switches, low edge first.
    + [e for k, n in ((1, "GPI A"), (2, "GPI B"), (3, "SW 1"), (4, "SW 2"))
       for e in (ev(10, PRESS, k, n + " Low"), ev(10, RELEASE, k, n + " High"))]
    # Side control panel, from 5.2.x on.
    + [e for k, n in enumerate("ABCD", start=1) for e in pr(13, k, "User " + n, since=10)]
    + [ev(13, PRESS, 5, "User A+D Press", since=10)]
)

# Four lens user keys: kind 0 in the oldest data set only.
TANO_LENS_V5 = [ev(6, 0, k, "User %d" % k, until=5) for k in range(1, 5)]

# Further events of the same modules, taken in this order up to each data set's count.
TANO_FURTHER = (
    [ev(0, RELEASE, 16, "Record Full Release"), ev(3, RELEASE, 7, "User 1+2 Release")]
    + [e for m in (5, 7, 8, 9) for e in (ev(m, RELEASE, 5, "User 1 Release"),
                                          ev(m, RELEASE, 6, "User 2 Release"))]
    + [ev(6, PRESS, k, "User %d Press" % k, since=9) for k in range(1, 5)]
    + [ev(11, RELEASE, k, n + " Release") for k, n in enumerate("ABCD", start=1)]
    + [ev(4, RELEASE, 30, "Nav Menu Release"), ev(4, RELEASE, 35, "Nav Enter Release")]
    + pr(1, 28, "Rotary Jog")
    + [ev(13, RELEASE, 5, "User A+D Release", since=10)] + pr(13, 6, "User B+C", since=10)
    + [ev(6, RELEASE, k, "User %d Release" % k, since=9) for k in range(1, 5)]
)

# Family 1 (DUROMA): the events its module panels show.
DUROMA_PANEL_EVENTS = (
    [ev(0, PRESS, 15, "Record Half Press"), ev(0, RELEASE, 15, "Record Half Release"),
     ev(0, PRESS, 16, "Record Full Press"),
     ev(0, PRESS, 5, "GPI In High"), ev(0, RELEASE, 5, "GPI In Low")]
    # Switch inputs of the packs, named without the body's prefix.
    + [dict(ev(0, RELEASE, 6, "SW In High"), own=True), dict(ev(0, PRESS, 6, "SW In Low"), own=True),
       dict(ev(0, RELEASE, 7, "SW 2 In High"), own=True), dict(ev(0, PRESS, 7, "SW 2 In Low"), own=True)]
    + pr(3, 5, "User 1") + pr(3, 6, "User 2") + [ev(3, PRESS, 7, "User 1+2 Press")]
    + pr(3, 15, "Record Half") + pr(3, 16, "Record Full")
    + [e for m in (5, 7) for e in (
        ev(m, PRESS, 5, "User 1 Press"), ev(m, PRESS, 6, "User 2 Press"), ev(m, PRESS, 7, "User 1+2 Press"),
        ev(m, PRESS, 31, "Up Press"), ev(m, PRESS, 32, "Down Press"))]
    + [e for m in (8, 9) for e in (ev(m, PRESS, 5, "User 1 Press"), ev(m, PRESS, 6, "User 2 Press"))]
    + [ev(11, PRESS, k, n + " Press") for k, n in enumerate("ABCD1234", start=1)]
    # Crown.
    + pr(14, 16, "Record Full")
    # Latero: user keys, chord, navigation and rotary.
    + [e for k, n in enumerate("ABCD", start=1) for e in pr(13, k, "User " + n)]
    + [ev(13, PRESS, 5, "User A+D Press")]
    + [e for k, n in zip(range(30, 36), ("Menu", "North", "South", "East", "West", "Enter"))
       for e in pr(13, k, "Nav " + n)]
    + rot(13, 26, "Rotary")
    # Grips.
    + [e for k, n in zip(range(30, 36), ("Menu", "North", "South", "East", "West", "Enter"))
       for e in pr(15, k, "Nav " + n)]
    + rot(15, 26, "Rotary Jog") + rot(15, 27, "Rotary Side")
    + [e for k, n in enumerate("ABCD", start=1) for e in pr(15, k, "User " + n)]
    + pr(15, 15, "Record Half") + pr(15, 16, "Record Full") + pr(15, 5, "User 1")
)

DUROMA_FURTHER = (
    [ev(0, RELEASE, 16, "Record Full Release")] + pr(0, 1, "User 1") + pr(0, 2, "User 2")
    + [dict(ev(0, RELEASE, 8, "SW 3 In High"), own=True), dict(ev(0, PRESS, 8, "SW 3 In Low"), own=True)]
    + [ev(3, RELEASE, 7, "User 1+2 Release")] + pr(3, 8, "User 3") + pr(3, 9, "User 4")
    + [e for m in (5, 7) for e in (
        [ev(m, RELEASE, 5, "User 1 Release"), ev(m, RELEASE, 6, "User 2 Release"),
         ev(m, RELEASE, 7, "User 1+2 Release"), ev(m, RELEASE, 31, "Up Release"),
         ev(m, RELEASE, 32, "Down Release")] + pr(m, 30, "Menu") + pr(m, 8, "User 3"))]
    + [e for m in (8, 9) for e in (
        [ev(m, RELEASE, 5, "User 1 Release"), ev(m, RELEASE, 6, "User 2 Release")]
        + pr(m, 7, "User 1+2") + pr(m, 30, "Menu"))]
    + [ev(11, RELEASE, k, n + " Release") for k, n in enumerate("ABCD1234", start=1)]
    + [e for k in range(1, 5) for e in pr(6, k, "User %d" % k)]
    + pr(14, 15, "Record Half") + [e for k in range(1, 5) for e in pr(14, k + 4, "User %d" % k)]
    + [ev(13, RELEASE, 5, "User A+D Release")] + pr(13, 6, "User B+C") + pr(13, 28, "Rotary")
    + pr(15, 6, "User 2") + pr(15, 7, "User 3") + pr(15, 8, "User 4")
    + pr(15, 28, "Rotary Jog") + pr(15, 29, "Backlight") + pr(15, 12, "User 1+4")
    + rot(15, 40, "Focus Wheel")
    + rot(14, 26, "Rotary") + pr(14, 26, "Rotary") + pr(3, 10, "Play") + pr(0, 3, "User 3")
)


def tano_prefixes(version):
    body = "Nucla" if version < 15 else "NUCLA"
    if version < 15:
        mon, monr, eye, eyer = "Monitor (Nucla)", "Monitor (Rear)", "Eyepiece (Nucla)", "Eyepiece (Rear)"
    elif version == 15:
        mon, monr, eye, eyer = "Monitor (NUCLA)", "Monitor (Rear)", "Eyepiece (NUCLA)", "Eyepiece (Rear)"
    else:
        mon, monr, eye, eyer = "Monitor", "Monitor Rear", "Eyepiece", "Eyepiece Rear"
    return {0: body, 1: "GR", 3: "REC", 4: "FW", 5: mon, 6: "Lens", 7: monr, 8: eye, 9: eyer,
            10: "Portex", 11: "UI Bezel", 13: "PV"}


DUROMA_PREFIXES = {0: "NUCLA", 3: "REC", 5: "Monitor Top", 6: "Lens", 7: "Monitor Left",
                   8: "Eyepiece Top", 9: "Eyepiece Left", 11: "UI Bezel", 13: "LT", 14: "CR", 15: "GR"}

# Actions in id order; the ids the editor relies on are fixed: 1, 15, 65, 69, 146.
ACTIONS = [
    "-Key Disabled-", "Record Start/Stop", "Record Start", "Record Stop", "Mark Frame",
    "Take Still", "Toggle Magnify", "Toggle Peaking", "Toggle False Color", "Toggle Zebras",
    "Toggle Histogram", "Toggle Frame Guides", "Toggle Overlays", "Toggle Focus Assist", "Show Dialog",
    "Close Dialog", "Menu Up", "Menu Down", "Menu Left", "Menu Right",
    "Menu Select", "Menu Back", "Open Main Menu", "Go to Home Page", "ISO Up",
    "ISO Down", "Shutter Up", "Shutter Down", "Iris Open", "Iris Close",
    "White Balance Up", "White Balance Down", "Tint Up", "Tint Down", "Frame Rate Up",
    "Frame Rate Down", "ND Filter Up", "ND Filter Down", "Auto White Balance", "Auto Exposure",
    "Focus Near", "Focus Far", "Zoom In", "Zoom Out", "Auto Focus",
    "Toggle Playback", "Play/Pause", "Next Clip", "Previous Clip", "Fast Forward",
    "Rewind", "Next Frame", "Previous Frame", "Toggle Loop Playback", "Delete Last Clip",
    "Toggle Monitor", "Toggle Eyepiece", "Monitor Brightness Up", "Monitor Brightness Down", "Eyepiece Brightness Up",
    "Eyepiece Brightness Down", "Toggle Monitor Overlays", "Toggle Clean Feed", "Cycle Guide Presets", "Apply Look",
    "Cycle Looks", "Toggle Look", "Save Look", "Apply Preset", "Save Preset",
    "Toggle Timecode Display", "Jam Sync Timecode", "Reset Timecode", "Toggle Genlock", "Audio Gain Up",
    "Audio Gain Down", "Headphone Volume Up", "Headphone Volume Down", "Toggle Audio Meters", "Mute Headphones",
    "Toggle Tally Light", "Toggle Key Lock", "Toggle Fan Quiet Mode", "Calibrate Sensor", "Black Shade",
    "Toggle Anamorphic Desqueeze", "Cycle Aspect Ratio", "Rotate Monitor 180&deg;", "Rotate Eyepiece 180&deg;", "Toggle Mirror Image",
    "Toggle HDR", "Exposure Compensation Up", "Exposure Compensation Down", "Toggle Exposure Tools", "Toggle Waveform",
    "Toggle Vectorscope", "Toggle Traffic Lights", "Toggle Center Mark", "Toggle Grid", "Toggle Shading",
    "Cycle Magnify Level", "Magnify Pan Left", "Magnify Pan Right", "Magnify Pan Up", "Magnify Pan Down",
    "Toggle Record Mode", "Toggle Pre-Record", "Cycle Codec", "Cycle Resolution", "Cycle Sensor Format",
    "Slate Clip", "Toggle Clip Flag", "Quick Format Media", "Eject Media", "Toggle Variable Frame Rate",
    "Ramp Up", "Ramp Down", "Toggle Shutter Angle", "Toggle Iris Lock", "Toggle Focus Lock",
    "Set Focus Mark A", "Set Focus Mark B", "Go to Focus Mark A", "Go to Focus Mark B", "Toggle Lens Data",
    "Toggle Stabilization", "Toggle Sensor Flip", "Cycle Monitor Output", "Cycle SDI Output", "Toggle HDMI Output",
    "Toggle SDI Overlays", "Toggle HDMI Overlays", "Toggle Wireless", "Toggle Network", "Toggle Remote Control",
    "Toggle Phantom Power", "Toggle Audio Input", "Toggle Clip Naming", "Increment Reel Number", "Toggle Stills Mode",
    "Burst Capture", "Start Interval Timer", "Stop Interval Timer", "Toggle Interval Timer", "Toggle Time Lapse",
    "Run Script",
    "Stop Script", "Toggle Script", "Toggle User Preset 1", "Toggle User Preset 2", "Toggle User Preset 3",
    "Toggle User Preset 4", "Toggle Display Lock", "Cycle Display Mode", "Toggle Battery Display", "Toggle Temperature Display",
    "Toggle Menu Overlay", "Toggle Frame Lines", "Toggle Safe Areas", "Toggle Status Bar", "Toggle Histogram Mode",
    "Toggle False Color Mode", "Cycle Peaking Color", "Peaking Level Up", "Peaking Level Down", "Zebra Level Up",
    "Zebra Level Down", "Toggle Audio Channel 1", "Toggle Audio Channel 2", "Toggle Audio Channel 3",
    "Toggle Audio Channel 4", "Cycle Timecode Source", "Cycle Shutter Mode",
    "Cycle White Balance Preset", "Toggle Auto Iris",
    # Family 0 only from here on.
    "Toggle FARWAND&reg; Link", "Toggle Portex Outputs", "Toggle Portex GPI", "Toggle Pivora Lock",
    "Cycle Pivora Page", "Toggle Grip Backlight", "Toggle Recorder Lock", "Toggle Rear Monitor",
    # Family 1 only.
    "Toggle Crown Tally", "Toggle Latero Lock", "Toggle Dorsel Pack Output", "Toggle ZENTRIX&reg; Pack Output",
]
TANO_ONLY = range(176, 184)
DUROMA_ONLY = range(184, 188)

# Camera dialogs: id = category << 12 | page number; names in the order older data sets
# take them (the first n for a data set of n dialogs).
DIALOG_CATEGORIES = {
    1: ["System Status", "System Settings", "Date and Time", "Fan Control", "Power", "Battery Status",
        "Upgrade Firmware", "Factory Reset", "Camera Info", "Licenses", "Temperature Status",
        "User Interface", "Key Mapping", "Key Lock", "Tally Lights", "Language"],
    2: ["Exposure", "ISO", "Shutter", "Iris", "ND Filter", "Exposure Tools", "False Color", "Zebras",
        "Histogram", "Auto Exposure"],
    3: ["White Balance", "Tint", "Color Space", "Gamma", "Looks", "Look Library", "Color Saturation",
        "Image Pipeline", "HDR Mode", "Detail Adjust"],
    4: ["Frame Rate", "Resolution", "Sensor Format", "Aspect Ratio", "Anamorphic Desqueeze", "Timebase",
        "Project Settings", "Crop and Scale"],
    5: ["Audio Control", "Audio Input", "Audio Output", "Audio Meters", "Audio Monitoring", "Phantom Power",
        "Headphones", "Audio Sync"],
    6: ["Monitoring", "Monitor Settings", "Eyepiece Settings", "Guides", "Frame Guides", "Overlays",
        "Magnify", "Peaking", "Focus Assist", "Display Brightness", "Mirror and Flip", "Rear Display"],
    7: ["Media", "Format Media", "Media Status", "Clip Browser", "Clip Naming", "Reel Number",
        "Secure Erase", "Media Info"],
    8: ["Playback", "Playback Controls", "Play Clip", "Clip Info", "Loop Playback"],
    9: ["Inputs and Outputs", "SDI Output", "HDMI Output", "Genlock", "Timecode", "Jam Sync", "GPI Setup",
        "Network", "Wireless", "Remote Control", "FARWAND&reg; Setup", "FARWAND&reg; Pairing",
        "Lens Control", "Lens Data", "Lens Calibration"],
    10: ["Presets", "Import Presets", "Export Presets", "Save Preset", "Load Preset", "Scripts",
         "User Presets", "Preset Library"],
    11: ["Metadata", "Slate", "Camera ID", "Shot Notes", "Operator Name"],
    12: ["Sensor Calibration", "Black Shading", "Pixel Remap", "Sensor Flip", "Sensor Temperature"],
    13: ["Still Capture", "Still Format", "Burst Mode", "Interval Timer"],
}
TANO_DIALOGS_EXTRA = {14: ["Portex Setup", "PIVORA&reg; Setup", "Recorder Setup"]}
DUROMA_DIALOGS_EXTRA = {14: ["Caddy Setup", "Crown Setup", "Latero Setup", "Dorsel Pack Setup",
                             "ZENTRIX&reg; Pack Setup"]}

# The dialogs of the older data sets, in the order they take them.
CORE_DIALOGS = [
    "System Status", "System Settings", "Exposure", "ISO", "Shutter", "White Balance", "Frame Rate",
    "Resolution", "Audio Control", "Audio Input", "Monitoring", "Monitor Settings", "Eyepiece Settings",
    "Guides", "Media", "Format Media", "Playback", "Inputs and Outputs", "Timecode", "Genlock",
    "FARWAND&reg; Setup", "Presets", "Looks", "Metadata", "Sensor Calibration", "Date and Time",
    # 26: data set 5
    "Fan Control", "Power", "Iris", "ND Filter", "Tint", "Color Space", "Gamma", "Aspect Ratio",
    "Audio Output", "Overlays", "Magnify", "Clip Browser", "Scripts",
    # 39: data set 9
    "PIVORA&reg; Setup", "Lens Control", "Lens Data", "Look Library", "Slate",
    # 44: data set 10
    "Exposure Tools", "False Color", "HDR Mode", "Anamorphic Desqueeze",
    # 48: data set 15
]

DATA_SETS = [
    # (directory, family prefixes, version, events, actions, dialogs)
    ("tano_brisola", 5, 128, 112, 26),
    ("tano_brisola", 9, 122, 139, 39),
    ("tano_brisola", 10, 152, 162, 44),
    ("tano_brisola", 15, 154, 169, 48),
    ("tano_brisola", 16, 154, 183, 117),
    ("duroma", 16, 190, 179, 119),
]


def code(e):
    return e["module"] << 16 | e["kind"] << 8 | e["key"]


def events_for(family, version, count):
    if family == "tano_brisola":
        prefixes = tano_prefixes(version)
        base, further = TANO_PANEL_EVENTS + TANO_LENS_V5, TANO_FURTHER
    else:
        prefixes = DUROMA_PREFIXES
        base, further = DUROMA_PANEL_EVENTS, DUROMA_FURTHER

    def applies(e):
        return e["since"] <= version <= e["until"]

    chosen = [e for e in base if applies(e)]
    for e in further:
        if len(chosen) == count:
            break
        if applies(e):
            chosen.append(e)
    if len(chosen) != count:
        sys.exit("%s %d: %d events, %d wanted" % (family, version, len(chosen), count))
    rows = {}
    for e in chosen:
        name = e["text"] if e.get("own") else prefixes[e["module"]] + " " + e["text"]
        c = code(e)
        if c in rows:
            sys.exit("%s %d: key code %d twice" % (family, version, c))
        rows[c] = name
    if len(set(rows.values())) != len(rows):
        sys.exit("%s %d: an event name twice" % (family, version))
    return sorted(rows.items())


def actions_for(family, version, count):
    ids = [i for i in range(1, len(ACTIONS) + 1)
           if not (version < 9 and i == 146)
           and not (family == "tano_brisola" and i in DUROMA_ONLY)
           and not (family == "duroma" and i in TANO_ONLY)]
    if family == "tano_brisola" and version == 9:
        # 5.1.x added scripts before the actions that follow its count.
        ids = [i for i in ids if i <= 138] + [146]
    elif family == "duroma":
        ids = [i for i in ids if i <= 175 or i in DUROMA_ONLY]
    ids = ids[:count] if family == "tano_brisola" else ids
    if len(ids) != count:
        sys.exit("%s %d: %d actions, %d wanted" % (family, version, len(ids), count))
    return [(i, ACTIONS[i - 1]) for i in ids]


def dialog_ids(extra):
    ids = {}
    for category, names in list(DIALOG_CATEGORIES.items()) + list(extra.items()):
        for page, name in enumerate(names, start=1):
            ids[name] = category << 12 | page
    return ids


def dialogs_for(family, version, count):
    ids = dialog_ids(TANO_DIALOGS_EXTRA if family == "tano_brisola" else DUROMA_DIALOGS_EXTRA)
    if count <= len(CORE_DIALOGS):
        names = CORE_DIALOGS[:count]
    else:
        names = list(ids)
    if len(names) != count:
        sys.exit("%s %d: %d dialogs, %d wanted" % (family, version, len(names), count))
    return [(ids[n], n) for n in names]


def quote(text):
    if "'" in text or not text.isascii():
        sys.exit("text needs an entity: " + text)
    return "'" + text + "'"


def write(family, version, n_events, n_actions, n_dialogs):
    lines = ["PRAGMA foreign_keys=OFF;", "BEGIN TRANSACTION;",
             "CREATE TABLE key_events(key_code UNIQUE DEFAULT NULL, key_event DEFAULT NULL);"]
    lines += ['INSERT INTO "key_events" VALUES(%d,%s);' % (c, quote(n))
              for c, n in events_for(family, version, n_events)]
    lines.append("CREATE TABLE key_actions(id UNIQUE DEFAULT NULL, key_action DEFAULT NULL);")
    lines += ['INSERT INTO "key_actions" VALUES(%d,%s);' % (i, quote(n))
              for i, n in actions_for(family, version, n_actions)]
    dialogs = dialogs_for(family, version, n_dialogs)
    if version == 5:
        lines.append("CREATE TABLE dialogs(name);")
        lines += ['INSERT INTO "dialogs" VALUES(%s);' % quote(n) for _, n in dialogs]
    else:
        lines.append("CREATE TABLE dialogs (id UNIQUE, name);")
        lines += ['INSERT INTO "dialogs" VALUES(%d,%s);' % (i, quote(n)) for i, n in dialogs]
    lines.append("COMMIT;")
    path = os.path.join(HERE, family, "factory%d.sql" % version)
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    if len(set(ACTIONS)) != len(ACTIONS):
        sys.exit("an action name twice")
    for index, name in ((1, "-Key Disabled-"), (15, "Show Dialog"), (65, "Apply Look"),
                        (69, "Apply Preset"), (146, "Run Script")):
        if ACTIONS[index - 1] != name:
            sys.exit("action %d is %s" % (index, ACTIONS[index - 1]))
    for data_set in DATA_SETS:
        write(*data_set)


if __name__ == "__main__":
    main()
