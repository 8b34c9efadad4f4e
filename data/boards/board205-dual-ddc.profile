# Board 205 with texture memory and a second screen. Both monitors identify
# themselves through DDC and report their modes through escape 4352: a
# 21-inch monitor on screen 0 and a 17-inch monitor on screen 1.
name = Board 205, texture memory, two DDC monitors
private-escape = yes
escape-4352 = yes

board = 205
texture-memory = yes
option-flag = no

# 99: the monitor answers through DDC.
monitor = 99
second-screen = yes

[screen0]
# Identification of the 21-inch monitor.
# The whole identification (EDID 1.1, bytes 8-127 of its base block): a
# 21-inch analog monitor, two detailed timings (1600 x 1200 at 60 Hz, 1280 x
# 1024 at 75 Hz), range limits 30-96 kHz, 50-160 Hz, 230 MHz, name "ORX Pro 21".
# The keys below say the same as its first 12 bytes. Made with
# tests/data/edid/make_samples.py --profile orx-p21.
edid = 3E 58 21 50 3D E9 7E 00 25 08 01 01 0E 28 1E 78 EA 0D C9 A0 57 47 98 27
edid = 12 48 4C 2D CF 00 81 80 A9 40 01 01 01 01 01 01 01 01 01 01 01 01 48 3F
edid = 40 30 62 B0 32 40 40 C0 13 00 90 2C 11 00 00 1E BC 34 00 98 51 00 2A 40
edid = 10 90 13 00 90 2C 11 00 00 1E 00 00 00 FD 00 32 A0 1E 60 17 00 0A 20 20
edid = 20 20 20 20 00 00 00 FC 00 4F 52 58 20 50 72 6F 20 32 31 0A 20 20 00 70
manufacturer = ORX
product = 0x5021
serial = 8317245
week = 37
year = 1998
edid-version = 1
edid-revision = 1

mode = 640 480 60
mode = 640 480 72
mode = 640 480 75
mode = 800 600 60
mode = 800 600 72
mode = 800 600 75
mode = 1024 768 60
mode = 1024 768 70
mode = 1024 768 75
mode = 1280 1024 60
mode = 1280 1024 75
mode = 1600 1200 60

gamma = linear

[screen1]
# Identification of the 17-inch monitor.
# The whole identification (EDID 1.0: four detailed timings, no name and no
# range limits). Made with tests/data/edid/make_samples.py --profile orx-17.
edid = 3E 58 17 30 6D 6A 5D 00 0C 07 01 00 0C 20 18 78 E8 0D C9 A0 57 47 98 27
edid = 12 48 4C 25 4A 00 81 80 01 01 01 01 01 01 01 01 01 01 01 01 01 01 30 2A
edid = 00 98 51 00 2A 40 30 70 13 00 40 F0 10 00 00 1E C3 1E 00 20 41 00 20 30
edid = 10 60 13 00 40 F0 10 00 00 1E 56 13 20 00 31 58 19 20 10 50 13 00 40 F0
edid = 10 00 00 1E 4E 0C 80 C8 20 E0 14 10 10 40 13 00 40 F0 10 00 00 18 00 78
manufacturer = ORX
product = 0x3017
serial = 6122093
week = 12
year = 1997
edid-version = 1
edid-revision = 0

mode = 640 480 60
mode = 640 480 75
mode = 800 600 60
mode = 800 600 75
mode = 1024 768 60
mode = 1024 768 75
mode = 1280 1024 60

gamma = linear
