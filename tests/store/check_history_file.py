"""Reads the history file written by the Windows tests with olefile, a
compound-file reader independent of the platform's storage, and checks the
stream's name and every byte."""
import struct
import sys

import olefile

path = sys.argv[1]
entries = {
    b"E_+64 21 555 1234_40252.375000_Hi": 40252.375,
    b"E_(null)_40252.375000_Hi": 0.5,
    b"E_(null)_40252.375000_H\xe9": -1.0,
}
expected = struct.pack("<I", len(entries))
for key in sorted(entries):
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
