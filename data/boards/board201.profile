# Board 201, the plainest board: no texture memory, no option flag, one
# screen with monitor code 17.
name = Board 201
board = 201
monitor = 17
