#!/usr/bin/env python3
"""Dumps an .xlsx workbook for the tests, read by openpyxl: a line per sheet setting and
per cell, fields separated by tabs, values as Python writes them (repr)."""
import sys

import openpyxl

sys.stdout.reconfigure(encoding="utf-8")
workbook = openpyxl.load_workbook(sys.argv[1])
print("sheets", ",".join(workbook.sheetnames), sep="\t")
for sheet in workbook.worksheets:
    name = sheet.title
    setup = sheet.page_setup
    fit = sheet.sheet_properties.pageSetUpPr
    print(f"{name}:freeze", sheet.freeze_panes, sep="\t")
    print(f"{name}:autofilter", sheet.auto_filter.ref, sep="\t")
    print(f"{name}:orientation", setup.orientation, sep="\t")
    print(f"{name}:paper", setup.paperSize, sep="\t")
    print(f"{name}:fit", fit.fitToPage if fit else None, setup.fitToWidth, setup.fitToHeight,
          sep="\t")
    print(f"{name}:title_rows", sheet.print_title_rows, sep="\t")
    for letter, dimension in sheet.column_dimensions.items():
        print(f"{name}:width:{letter}", dimension.width, sep="\t")
    for row in sheet.iter_rows():
        for cell in row:
            fill = cell.fill.fgColor.rgb if cell.fill.fill_type == "solid" else "-"
            if cell.value is None and fill == "-":
                continue
            print(f"{name}!{cell.coordinate}", type(cell.value).__name__, repr(cell.value), fill,
                  cell.number_format, "bold" if cell.font.b else "-", sep="\t")
