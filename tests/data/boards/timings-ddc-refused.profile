# Board 205 with a DDC monitor whose records the driver counts but does not
# hand over: the driver failed to answer, and the default block stands in.
name = Board 205, DDC monitor, records refused
board = 205
monitor = 99
second-screen = no
refuse-fetch = yes

[screen0]
manufacturer = NRV
year = 1999
mode = 1024 768 75
mode = 1280 1024 75
