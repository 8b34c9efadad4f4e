# A board of the family that the applet does not support (code 199): the
# applet runs without the driver.
name = Unsupported board 199
board = 199
monitor = 17
