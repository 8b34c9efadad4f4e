#!/usr/bin/env python3
"""Writes device0.reg: the driver key of a board with a 1280 x 1024 monitor,
as regedit exports it (UTF-16LE with a byte-order mark, CR LF line ends,
hex data cut at about 80 columns with ",\\" and two spaces of indent).

Run from this folder: python3 make_device0.py
"""

KEY = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\rediruv\Device0"


def utf16(text, terminators=1):
    return list(text.encode("utf-16-le")) + [0, 0] * terminators


def dword(name, value):
    return f'"{name}"=dword:{value:08x}'


def hexvalue(name, data, kind=None):
    line = f'"{name}"=hex{"" if kind is None else f"({kind:x})"}:'
    lines = []
    for i, byte in enumerate(data):
        line += f"{byte:02x}"
        if i + 1 == len(data):
            break
        line += ","
        if len(line) > 76:
            lines.append(line + "\\")
            line = "  "
    lines.append(line)
    return "\r\n".join(lines)


def binary_number(name, value):
    """A number as the video port stores a driver's: 4 bytes of REG_BINARY."""
    return hexvalue(name, list(value.to_bytes(4, "little")))


def linear_gamma_table():
    table = [0x0A, 0, 0, 0]
    for _channel in range(3):
        for i in range(256):
            table += [i, i]  # i * 257, little-endian
    return table


values = [
    hexvalue("InstalledDisplayDrivers", utf16("rediruv", 2), 7),
    dword("VgaCompatible", 0),
    hexvalue("HardwareInformation.ChipType", utf16("NV-GLX 4")),
    hexvalue("HardwareInformation.DACType", utf16("Internal 220 MHz")),
    binary_number("HardwareInformation.MemorySize", 0x01000000),
    hexvalue("HardwareInformation.AdapterString", utf16("Norvane GLX-4")),
    binary_number("HardwareInformation.TextureMemorySize", 16),
    hexvalue("DefaultSettings.Description", utf16("Generic 1280 x 1024", 2), 7),
    hexvalue("DefaultSettings.TagStr", utf16("MS", 2), 7),
    dword("DefaultSettings.XResolution", 1280),
    dword("DefaultSettings.YResolution", 1024),
    dword("DefaultSettings.BitsPerPel", 32),
    dword("DefaultSettings.VRefresh", 75),
    dword("DefaultSettings.Interlaced", 0),
    dword("DefaultSettings.Stereo", 0),
    dword("DefaultSettings.DualScreen", 0),
    dword("DefaultSettings.Preferences", 5),
    dword("DefaultSettings.Contrast0", 100),
    dword("DefaultSettings.Contrast1", 85),
    dword("DefaultSettings.GammaDataSource0", 1),
    dword("DefaultSettings.GammaValue0", 120),
    dword("DefaultSettings.GammaDataSource1", 2),
    '"DefaultSettings.GammaFile1"="C:\\\\WINDOWS\\\\system32\\\\warm.gc"',
    hexvalue("DefaultSettings.GammaCorrectionTable0", linear_gamma_table()),
    dword("V3UZFlags0", 3),
    dword("V3UZMaxPcFreq1280", 220000000),
]

text = "Windows Registry Editor Version 5.00\r\n\r\n[" + KEY + "]\r\n"
text += "\r\n".join(values) + "\r\n\r\n"
with open("device0.reg", "wb") as out:
    out.write(b"\xff\xfe" + text.encode("utf-16-le"))
