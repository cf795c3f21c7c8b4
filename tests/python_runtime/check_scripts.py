#!/usr/bin/env python3
"""Compiles each named script: package scripts must stay valid Python.

usage: check_scripts.py SCRIPT...
"""
import sys

failed = 0
for path in sys.argv[1:]:
    with open(path) as f:
        text = f.read()
    try:
        compile(text, path, "exec")
    except SyntaxError as e:
        print("%s: %s" % (path, e))
        failed += 1
sys.exit(1 if failed else 0)
