#!/bin/sh
# Writes a gcc specs file that links another C runtime library instead of
# MSVCRT.dll (msvcr71 for the stub, ucrtbase for the Python 3 stand-in).
# usage: crt-specs.sh <gcc> <runtime> <output>
set -e
"$1" -dumpspecs | sed "s/-lmsvcrt\b/-l$2/g" > "$3"
