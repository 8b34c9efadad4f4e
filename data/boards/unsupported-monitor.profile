# Board 205 reporting monitor code 18, which the applet does not support:
# start-up stops.
name = Board 205, unsupported monitor 18
board = 205
texture-memory = yes
monitor = 18
