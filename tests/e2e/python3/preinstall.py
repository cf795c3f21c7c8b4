# Runs before any file is extracted; its output is shown only if it fails.
import sys
print("preparing example3 for " + str(get_root_hkey()))
