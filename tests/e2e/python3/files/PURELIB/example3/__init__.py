# The example package for a Python 3.
VALUE = 3
