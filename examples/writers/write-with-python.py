#!/usr/bin/python3
"""Writes the chart of chart.txt and chart.csv as ChartPro.DBF and ChartDat.DBF with python3-dbf
(Debian: apt install python3-dbf), every field a text field at the width that tarvochart reads.

Usage: write-with-python.py [FOLDER]     (the current folder when none is given)
"""
import os
import sys

import dbf

# The fields in the order and at the widths that tarvochart reads them; every one is text (C).
PROPERTY_FIELDS = "LEADNUM C(1); DATASET C(2); KEYWORD C(30); VALUE C(100)"
DATA_FIELDS = "LEADNUM C(2); LABEL C(30)" + "".join(
    f"; VALUE{n} C(20); COLOR{n} C(10)" for n in (1, 2))  # one value and colour per data set

PROPERTIES = [  # keyword, data-set number, value
    ("DATASETCOUNT", 1, "2"),
    ("CHARTSTYLE", 1, "VERTBAR;1"),
    ("TOPTITLE", 1, "Revenue by month"),
    ("DATASETTITLE", 1, "2025"),
    ("DATASETTITLE", 2, "2026"),
    ("DATASETCOLOR", 2, "teal"),
    ("DATALABELS", 1, ""),
    ("NOSHOW", 1, ""),
    ("BITMAPFILE", 1, "chart.png;300;400"),
]
DATA = [  # label, then a value and a colour name ("" for the data set's own) per data set
    ("Jan", 120.5, "", 131, ""),
    ("Feb", 98.25, "", 142.75, ""),
    ("März", 143, "", -12.5, "red"),
    ("Apr, late", 170, "", 199.9, ""),
]


def write(path, fields, records):
    # dBASE III (version byte 3); the texts are written in UTF-8, which tarvochart shows as such.
    table = dbf.Table(path, fields, dbf_type="db3", codepage="utf8")
    table.open(dbf.READ_WRITE)
    for record in records:
        table.append(record)
    table.close()


def main(folder):
    write(os.path.join(folder, "ChartPro.DBF"), PROPERTY_FIELDS,
          [("1", str(data_set), keyword, value) for keyword, data_set, value in PROPERTIES])
    # str() writes a number with "." whatever the locale, as tarvochart reads it in every locale.
    write(os.path.join(folder, "ChartDat.DBF"), DATA_FIELDS,
          [("1", label) + tuple(str(field) for field in rest) for label, *rest in DATA])


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else ".")
