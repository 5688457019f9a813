"""Reads an exported history with Python's csv module, as a spreadsheet
import would, and compares every field with what the Wine test expects."""
import csv
import json
import sys

csv_path, expected_path = sys.argv[1], sys.argv[2]
with open(csv_path, 'rb') as f:
    raw = f.read()
if not raw.startswith(b'\xef\xbb\xbf'):
    sys.exit('no UTF-8 byte-order mark')
with open(csv_path, newline='', encoding='utf-8-sig') as f:
    rows = list(csv.reader(f, strict=True))
with open(expected_path, encoding='utf-8') as f:
    expected = json.load(f)
if rows != expected:
    for got, want in zip(rows, expected):
        if got != want:
            print('got  ', got)
            print('want ', want)
    sys.exit('%d rows read, %d expected; fields differ' % (len(rows), len(expected)))
print('%d rows, every field intact' % len(rows))
