#!/usr/bin/env python3
"""Lists every window message that the platform headers define, as the MinGW-w64 cross compiler sees them.

Writes tests/win32/HeaderMessages.inc: one {"NAME", NAME} line per message, compiled by the Win32 tests
against the same headers, so that the message table can be checked both ways without Python at build time.

    python3 resources/make_message_names.py            # rewrite the .inc file
    python3 resources/make_message_names.py --missing  # print table rows still missing (name, number)

Run it after the cross compiler's headers change; the generated file is committed beside the tests.
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
OUTPUT = os.path.join(ROOT, "tests", "win32", "HeaderMessages.inc")
TABLE = os.path.join(HERE, "WindowMessages.csv")
COMPILER = "x86_64-w64-mingw32-gcc"

# The newest system the headers know, so that messages of newer systems are listed too.
PRELUDE = """#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00
#define _WIN32_IE 0x0A00
#define NTDDI_VERSION 0x0A000010
#define _RICHEDIT_VER 0x0800
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <dde.h>
#include <commdlg.h>
"""

# Header, and the name prefixes that are window messages there. A name defined in several headers
# belongs to the first that defines it.
FAMILIES = [
    ("winuser.h", ["WM_", "LB_", "CB_", "EM_", "BM_", "STM_", "SBM_", "DM_", "MN_"]),
    ("dde.h", ["WM_DDE_"]),
    ("commdlg.h", ["WM_CHOOSEFONT_", "WM_PSD_", "CDM_"]),
    ("commctrl.h", ["LVM_", "TVM_", "TV_FIRST", "TCM_", "HDM_", "SB_", "TB_", "TTM_", "PBM_", "TBM_",
                    "UDM_", "RB_", "DTM_", "MCM_", "CBEM_", "PGM_", "BCM_", "CCM_", "IPM_", "ACM_", "LM_",
                    "HKM_", "EM_", "CB_", "ECM_FIRST", "CBM_FIRST"]),
    ("prsht.h", ["PSM_"]),
    ("richedit.h", ["EM_"]),
]

# Names of those families that are not messages: return codes, notification codes, ids.
NOT_MESSAGES = {
    "LB_OKAY", "LB_ERR", "LB_ERRSPACE", "LB_CTLCODE", "CB_OKAY", "CB_ERR", "CB_ERRSPACE",
    # Trackbar notification codes share the toolbar's prefix.
    "TB_LINEUP", "TB_LINEDOWN", "TB_PAGEUP", "TB_PAGEDOWN", "TB_THUMBPOSITION", "TB_THUMBTRACK",
    "TB_TOP", "TB_BOTTOM", "TB_ENDTRACK",
    "SB_SIMPLEID",
}


def header_defines(path):
    """(name, definition text) of every object-like macro of the header, in file order."""
    defines = []
    with open(path, encoding="latin-1") as f:
        for line in f:
            m = re.match(r"\s*#\s*define\s+([A-Z][A-Z0-9_]*)\b(?!\()(.*)", line)
            if m:
                defines.append((m.group(1), m.group(2).strip()))
    return defines


def preprocess(text, extra=()):
    with tempfile.NamedTemporaryFile("w", suffix=".c", delete=False) as f:
        f.write(text)
        name = f.name
    try:
        return subprocess.run([COMPILER, "-E", *extra, name], check=True, capture_output=True,
                              text=True).stdout
    finally:
        os.unlink(name)


def include_folder():
    out = subprocess.run([COMPILER, "-E", "-v", "-x", "c", "-"], input="#include <winuser.h>\n",
                         capture_output=True, text=True).stderr
    for line in out.splitlines():
        line = line.strip()
        if os.path.isfile(os.path.join(line, "winuser.h")):
            return line
    sys.exit("cannot find winuser.h of " + COMPILER)


def c_value(expression):
    text = re.sub(r"\(\s*(UINT|int|DWORD|unsigned|LONG|WPARAM|LPARAM)\s*\)", "", expression)
    text = re.sub(r"\b(0[xX][0-9A-Fa-f]+|\d+)[uUlL]+\b", r"\1", text)
    # C octal literals (a leading 0) do not occur among message numbers; Python rejects them anyway.
    if not text.strip() or not re.fullmatch(r"[\s0-9A-Fa-fxX()+\-|<*]*", text):
        return None
    try:
        return eval(text, {"__builtins__": {}})
    except SyntaxError:
        return None


def header_messages():
    folder = include_folder()
    visible = set(re.findall(r"#define (\w+)", preprocess(PRELUDE, ["-dM"])))
    owner = {}
    # Messages that only Windows CE builds define (LB_MULTIPLEADDSTRING): the compiler never sees
    # them, so their number is the literal of the header line.
    literal = {}
    for header, prefixes in FAMILIES:
        for name, definition in header_defines(os.path.join(folder, header)):
            if name in owner or name in literal or name in NOT_MESSAGES:
                continue
            if not any(name == p or (p.endswith("_") and name.startswith(p)) for p in prefixes):
                continue
            if name in visible:
                owner[name] = header
            elif re.fullmatch(r"0x[0-9A-Fa-f]+", definition):
                literal[name] = (int(definition, 16), header)
    # A name whose A and W forms both exist is the character-set neutral alias of one of them.
    names = [n for n in owner if not (n + "A" in owner and n + "W" in owner)]
    # Expansions of system-header macros come out split over lines; a ";" marks where each one ends.
    probe = PRELUDE + "".join('"%s" %s;\n' % (n, n) for n in names)
    output = preprocess(probe, ["-P"])
    values = {m.group(1): c_value(m.group(2)) for m in re.finditer(r'"(\w+)"([^;"]*);', output)}
    # A few aliases name constants that these headers never define (CCM_TRANSLATEACCELERATOR); they
    # cannot be compiled, so they are left out and reported.
    unknown = [n for n in names if values.get(n) is None]
    if unknown:
        print("left out, no value in the headers: " + ", ".join(unknown), file=sys.stderr)
    names = [n for n in names if n not in unknown]
    return [(n, values[n] & 0xFFFFFFFF, owner[n], False) for n in names] + \
        [(n, value, header, True) for n, (value, header) in literal.items()]


def table_names():
    names = set()
    with open(TABLE, encoding="latin-1") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                names.add(line.split(",")[0])
    return names


def main():
    messages = header_messages()
    if "--missing" in sys.argv:
        present = table_names()
        for name, value, header, _ in messages:
            if name not in present:
                print("%s,0x%.4X,%s" % (name, value, header))
        return
    with open(OUTPUT, "w", newline="\n") as f:
        f.write("// Generated by resources/make_message_names.py from the MinGW-w64 headers; do not edit.\n")
        for name, value, _, only_literal in messages:
            if only_literal:
                f.write('{"%s", 0x%.4X}, // Windows CE only\n' % (name, value))
            else:
                # Guarded, so that other vendors' headers that lack a name still compile; the table's row
                # for it then shows up as naming no header message.
                f.write('#ifdef %s\n{"%s", %s},\n#endif\n' % (name, name, name))
    print("%d messages written to %s" % (len(messages), os.path.relpath(OUTPUT, ROOT)))


if __name__ == "__main__":
    main()
