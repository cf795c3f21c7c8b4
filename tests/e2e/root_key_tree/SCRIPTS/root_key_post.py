# Post-install script that shows the registry root the installer chose.
import sys

if sys.argv[1] == "-install":
    print(get_root_hkey())
