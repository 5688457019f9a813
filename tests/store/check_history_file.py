"""Reads a history file written by the Windows tests with olefile, a
compound-file reader independent of the platform's storage, and checks the
stream's name and every byte: the entries in the order of their keys'
unsigned bytes, as the format says.

check_history_file.py PATH [plain|merged|large]"""
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

# HistoryFile.LargeAndSmallStreamsReadBackWhole: a stream of several
# sectors beside one in the mini stream.
EXPECTED["large"] = {b"K%04d_Hi" % i: float(i) for i in range(1000)}
UNCERTAIN = {"large": {b"U_Hi": 7.5}}


def stream_bytes(entries):
    data = struct.pack("<I", len(entries))
    for key in sorted(entries):  # bytes sort as unsigned values
        data += struct.pack("<I", len(key) + 1) + key + b"\0" + struct.pack("<d", entries[key])
    return data


mode = sys.argv[2] if len(sys.argv) > 2 else "plain"
path = sys.argv[1]
expected = {"SentSMSs_Profile": stream_bytes(EXPECTED[mode])}
if mode in UNCERTAIN:
    expected["UncertainSMSs_Profile"] = stream_bytes(UNCERTAIN[mode])
if not olefile.isOleFile(path):
    sys.exit(f"{path} is not a compound file")
# Strict: a defect another reader might trip over fails the check too.
with olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT) as ole:
    streams = ole.listdir(streams=True, storages=True)
    if streams != [[name] for name in expected]:
        sys.exit(f"unexpected entries {streams}")
    for name, data in expected.items():
        got = ole.openstream(name).read()
        if got != data:
            sys.exit(f"stream {name} bytes differ:\n got      {got.hex()}\n expected {data.hex()}")
        print(f"{path}: stream {name}, {len(got)} bytes as expected")
