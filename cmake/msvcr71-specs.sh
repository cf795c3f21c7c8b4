#!/bin/sh
# Writes a gcc specs file that links MSVCR71.dll instead of MSVCRT.dll.
# usage: msvcr71-specs.sh <gcc> <output>
set -e
"$1" -dumpspecs | sed 's/-lmsvcrt\b/-lmsvcr71/g' > "$2"
