# Board 205 with a second screen and a DDC monitor on each screen, for the
# monitor timings dialog: each monitor identifies itself differently.
name = Board 205, two DDC monitors with their own identification
board = 205
texture-memory = yes
monitor = 99
second-screen = yes

[screen0]
# Manufacturer bytes 04 43 (ABC), product 0x5021, serial 8317245, week 37,
# year byte 7 (1997), EDID 1.3.
edid = 04 43 21 50 3D E9 7E 00 25 07 01 03
mode = 640 480 60
mode = 640 480 75
mode = 1024 768 60
mode = 1280 1024 60
mode = 1280 1024 75

[screen1]
manufacturer = NRV
product = 4660
serial = 42
week = 1
year = 2001
edid-version = 1
edid-revision = 2
mode = 640 480 60
mode = 1024 768 75
