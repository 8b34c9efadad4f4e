# Board 207 with monitor code 27 on a single screen.
name = Board 207
board = 207
monitor = 27
