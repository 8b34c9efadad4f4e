# A DDC monitor whose driver reports its record count but then refuses to
# hand over the records.
name = Board 205, DDC monitor, fetch refused
board = 205
monitor = 99
refuse-fetch = yes

[screen0]
manufacturer = ORX
product = 0x5021
year = 1998
mode = 1024 768 75
mode = 1280 1024 75
