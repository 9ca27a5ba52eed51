#!/usr/bin/env python3
"""Writes the nine header-table templates res/templates/header-table-N.rtf (N = 1..9 rows).

Each is an 8-bit RTF document (code page 1252; fonts Times New Roman and Arial;
top margin 720 twips; title "<ColRow>") holding one two-column table of N rows
followed by an empty paragraph. Row: gap 108, left edge -108; cell 1 preferred
width 1548 ending at 1440, cell 2 preferred width 7308 ending at 8748; 0.25 pt
single borders in colour 8 (white) on every edge. Cell 1 holds "Col1RowN" in bold
Arial 11 pt, colour 17 = (0, 51, 102); cell 2 "Col2RowN" in regular Arial 11 pt.
"""
import os

COLOURS = [(0, 0, 0), (0, 0, 255), (0, 255, 255), (0, 255, 0), (255, 0, 255), (255, 0, 0),
           (255, 255, 0), (255, 255, 255), (0, 0, 128), (0, 128, 128), (0, 128, 0), (128, 0, 128),
           (128, 0, 0), (128, 128, 0), (128, 128, 128), (192, 192, 192), (0, 51, 102)]
BORDER = r"\brdrs\brdrw5\brdrcf8 "


def row(n):
    trow = r"\trowd\trgaph108\trleft-108" + "".join(
        "\\trbrdr" + edge + BORDER for edge in "tlbrhv")
    cell = "".join("\\clbrdr" + edge + BORDER for edge in "tlbr")
    return (trow + "\r\n"
            + cell + r"\clftsWidth3\clwWidth1548\cellx1440" + "\r\n"
            + cell + r"\clftsWidth3\clwWidth7308\cellx8748" + "\r\n"
            + r"\pard\plain\intbl{\f1\fs22\b\cf17 Col1Row%d}\cell" % n + "\r\n"
            + r"\pard\plain\intbl{\f1\fs22 Col2Row%d}\cell" % n + "\r\n"
            + r"\row" + "\r\n")


def document(rows):
    colours = "".join(r"\red%d\green%d\blue%d;" % c for c in COLOURS)
    return ("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
            "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
            "{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
            "{\\colortbl ;" + colours + "}\r\n"
            "{\\info{\\title <ColRow>}}\r\n"
            "\\margt720\r\n"
            + "".join(row(n) for n in range(1, rows + 1))
            + "\\pard\\plain\\par\r\n}\r\n")


here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "templates")
os.makedirs(here, exist_ok=True)
for rows in range(1, 10):
    with open(os.path.join(here, "header-table-%d.rtf" % rows), "w", newline="", encoding="cp1252") as f:
        f.write(document(rows))
