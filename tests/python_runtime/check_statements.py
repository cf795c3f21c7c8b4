#!/usr/bin/env python3
"""Runs the installer's statements in this Python, as the installer runs
them in an embedded one: each path bound as a str under sys, then the
statement in a fresh __main__ namespace. Every statement must do its work
for folder names that no Python literal could hold.

usage: check_statements.py PRINT_STATEMENTS
"""
import codecs
import importlib.util
import os
import subprocess
import sys
import tempfile

# This machine's names may hold what Windows' may not (a backslash, a line
# break); both must pass as well.
FOLDERS = ["O'Neil", "100%s", "{0}", "#1", "with blank", "caf\u00e9", "back\\", "line\nbreak", "a'\\"]


def read_items(program):
    out = subprocess.run([program], check=True, stdout=subprocess.PIPE).stdout
    items, at = {}, 0
    while at < len(out):
        end = out.index(b"\n", at)
        key, length = out[at:end].decode().split(" ")
        start = end + 1
        items[key] = out[start:start + int(length)].decode()
        at = start + int(length) + 1
    return items


def run(statement, **values):
    for name, value in values.items():
        setattr(sys, name, value)
    try:
        exec(statement, {"__name__": "__main__"})
    finally:
        for name in values:
            delattr(sys, name)


def main():
    items = read_items(sys.argv[1])
    source_name, compiled_name = items["source_value"], items["compiled_value"]
    output_name = items["output_value"]
    # Windows' ANSI code page codec, standing in as UTF-8 here.
    codecs.register(lambda name: codecs.lookup("utf-8") if name == "mbcs" else None)
    failed = []
    with tempfile.TemporaryDirectory() as top:
        for folder in FOLDERS:
            d = os.path.join(top, folder)
            os.mkdir(d)
            source = os.path.join(d, "mod.py")
            with open(source, "w") as f:
                f.write("x = 1\n")
            run(items["compile"], **{source_name: source})
            if not os.path.exists(importlib.util.cache_from_source(source)):
                failed.append(("compile", folder))
            for level in (0, 1):
                compiled = os.path.join(d, "__pycache__", "mod.level-%d.pyc" % level)
                run(items["cache_compile_%d" % level], **{source_name: source, compiled_name: compiled})
                if not os.path.exists(compiled):
                    failed.append(("cache_compile_%d" % level, folder))
            capture = os.path.join(d, "capture.tmp")
            saved = sys.stdout, sys.stderr
            try:
                run(items["redirect"], **{output_name: capture})
                print("out " + folder)
                sys.stderr.write("err\n")
                run(items["close"])
            finally:
                sys.stdout, sys.stderr = saved
            with open(capture, encoding="utf-8") as f:
                if f.read() != "out " + folder + "\nerr\n":
                    failed.append(("redirect", folder))
    for what, folder in failed:
        print("%s failed in %r" % (what, folder))
    return 1 if failed else 0


sys.exit(main())
