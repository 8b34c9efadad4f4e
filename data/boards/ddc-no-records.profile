# A DDC monitor whose driver offers escape 4352 but reports no records.
name = Board 205, DDC monitor, no records
board = 205
monitor = 99
escape-4352 = yes
