#!/usr/bin/python3
"""What the mail client and regsvr32 need of the add-in DLL, read from the
file alone (no Wine): the machine type of its bitness, the four COM entry
points under their plain names, imports of system DLLs only (a missing
libstdc++ or winpthread DLL would stop the client loading it), and an
embedded type library built for the same bitness that declares our library
and imports stdole2.

usage: check_dll.py DLL x86|x64
"""
import struct
import sys
import uuid

import pefile

MACHINES = {"x86": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "x64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
SYSKINDS = {"x86": 1, "x64": 3}  # SYS_WIN32, SYS_WIN64
EXPORTS = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}
SYSTEM_DLLS = {"kernel32", "user32", "gdi32", "advapi32", "shell32", "shlwapi", "ole32", "oleaut32",
               "comctl32", "comdlg32", "wininet", "msvcrt", "version", "uxtheme", "rpcrt4"}
LIBID = uuid.UUID("CEB11373-BE5B-49D1-B715-FEB995E22826")
STDOLE = uuid.UUID("00020430-0000-0000-C000-000000000046")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def type_library(pe):
    """The bytes of resource TYPELIB/1."""
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return None
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.name is None or str(kind.name) != "TYPELIB":
            continue
        for entry in kind.directory.entries:
            if entry.id == 1:
                data = entry.directory.entries[0].data.struct
                return pe.get_data(data.OffsetToData, data.Size)
    return None


def check_type_library(data, bits):
    """The MSFT header's syskind, the library's GUID and its imported files."""
    magic, _, libid_offset, _, _, varflags, _, _, typeinfos = struct.unpack_from("<9i", data)
    if magic != 0x5446534D:
        failures.append("the TYPELIB resource is not an MSFT type library")
        return
    check(varflags & 0xF == SYSKINDS[bits],
          f"type library syskind {varflags & 0xF}, not {SYSKINDS[bits]} for {bits}")
    # After the 0x54-byte header (and the help DLL's name offset when there is
    # one), an offset per type info, then 15 segments of (offset, length, -, -).
    segments = 0x54 + (4 if varflags & 0x100 else 0) + 4 * typeinfos
    segment = lambda n: struct.unpack_from("<2i", data, segments + 16 * n)
    guid_table, _ = segment(5)
    import_files, import_length = segment(2)
    guid_at = lambda offset: uuid.UUID(bytes_le=data[guid_table + offset:guid_table + offset + 16])
    check(guid_at(libid_offset) == LIBID, f"type library's GUID is {guid_at(libid_offset)}, not {LIBID}")
    imported = []
    position = import_files
    while position < import_files + import_length:
        guid_offset, _, _, name_bits = struct.unpack_from("<3iH", data, position)
        name_length = name_bits >> 2
        name = data[position + 14:position + 14 + name_length].decode("ascii", "replace")
        imported.append((guid_at(guid_offset), name))
        position += (14 + name_length + 3) & ~3
    check((STDOLE, "stdole2.tlb") in imported, f"type library does not import stdole2.tlb: {imported}")


def main():
    path, bits = sys.argv[1], sys.argv[2]
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == MACHINES[bits],
          f"machine type {pe.FILE_HEADER.Machine:#x}, not {MACHINES[bits]:#x} for {bits}")
    symbols = pe.DIRECTORY_ENTRY_EXPORT.symbols if hasattr(pe, "DIRECTORY_ENTRY_EXPORT") else []
    exported = {symbol.name.decode() for symbol in symbols if symbol.name}
    check(EXPORTS <= exported, f"missing exports: {sorted(EXPORTS - exported)}")
    imports = [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    check(imports, "no import table")
    for name in imports:
        check(name.lower().removesuffix(".dll") in SYSTEM_DLLS, f"non-system import: {name}")
    library = type_library(pe)
    if library is None:
        failures.append("no TYPELIB resource 1")
    else:
        check_type_library(library, bits)
    print(f"{path}: {bits}, exports {sorted(exported)}, imports {imports}")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
