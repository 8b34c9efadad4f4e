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
