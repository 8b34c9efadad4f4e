# A DDC monitor whose driver reports an absurd record count (0x7FFFFFFF)
# although it holds two records: no buffer can hold what it claims.
name = Board 205, DDC monitor, hostile record count
board = 205
monitor = 99
count-answer = 0x7FFFFFFF

[screen0]
# The monitor's whole identification: the 21-inch ORX Pro 21 (EDID 1.1), made
# with tests/data/edid/make_samples.py --profile orx-p21.
edid = 3E 58 21 50 3D E9 7E 00 25 08 01 01 0E 28 1E 78 EA 0D C9 A0 57 47 98 27
edid = 12 48 4C 2D CF 00 81 80 A9 40 01 01 01 01 01 01 01 01 01 01 01 01 48 3F
edid = 40 30 62 B0 32 40 40 C0 13 00 90 2C 11 00 00 1E BC 34 00 98 51 00 2A 40
edid = 10 90 13 00 90 2C 11 00 00 1E 00 00 00 FD 00 32 A0 1E 60 17 00 0A 20 20
edid = 20 20 20 20 00 00 00 FC 00 4F 52 58 20 50 72 6F 20 32 31 0A 20 20 00 70
manufacturer = ORX
product = 0x5021
year = 1998
mode = 1024 768 75
mode = 1280 1024 75
