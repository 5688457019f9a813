"""Reads a history file written by the Windows tests with olefile, a
compound-file reader independent of the platform's storage, and checks the
stream's name and every byte: the entries in the order of their keys'
unsigned bytes, as the format says.

check_history_file.py PATH [plain|merged]"""
import struct
import sys

import olefile

EXPECTED = {
    # HistoryFile.FileForAnIndependentReader
    "plain": {
        b"E_+64 21 555 1234_40252.375000_Hi": 40252.375,
        b"E_(null)_40252.375000_Hi": 0.5,
        b"E_(null)_40252.375000_H\xe9": -1.0,
    },
    # HistoryMerge.FileForAnIndependentReader: three entries in the file,
    # locked at opening; the run's two saved over them, memory winning.
    "merged": {
        b"E_(null)_40252.375000_Hi": 0.5,
        b"E_(null)_40252.375000_H\xe9": -1.0,
        b"E_+64 21 555 1234_40252.375000_Hi": 40252.375,
        b"F_(null)_40253.000000_\xff": 2.0,
    },
}

path = sys.argv[1]
entries = EXPECTED[sys.argv[2] if len(sys.argv) > 2 else "plain"]
expected = struct.pack("<I", len(entries))
for key in sorted(entries):  # bytes sort as unsigned values
    expected += struct.pack("<I", len(key) + 1) + key + b"\0" + struct.pack("<d", entries[key])

if not olefile.isOleFile(path):
    sys.exit(f"{path} is not a compound file")
with olefile.OleFileIO(path) as ole:
    streams = ole.listdir(streams=True, storages=True)
    if streams != [["SentSMSs_Profile"]]:
        sys.exit(f"unexpected entries {streams}")
    data = ole.openstream("SentSMSs_Profile").read()
if data != expected:
    sys.exit(f"stream bytes differ:\n got      {data.hex()}\n expected {expected.hex()}")
print(f"{path}: stream SentSMSs_Profile, {len(data)} bytes as expected")
