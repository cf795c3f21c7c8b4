import sys
if sys.argv[1] == "-install":
    print("example installed")
else:
    print("example removed")
