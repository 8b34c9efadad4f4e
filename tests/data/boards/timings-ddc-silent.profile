# Board 205 with a DDC monitor that reports no records: nothing from DDC.
name = Board 205, DDC monitor without records
board = 205
monitor = 99
second-screen = no

[screen0]
manufacturer = NRV
year = 1999
