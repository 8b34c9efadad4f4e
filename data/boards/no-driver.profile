# A display driver of another make: it answers neither the private escape
# nor escape 4352, so the applet runs without the driver.
name = No board driver
private-escape = no
escape-4352 = no
