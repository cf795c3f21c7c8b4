#!/usr/bin/env python3
"""Lays out the whole-process install benchmark's package:

    install_corpus.py SOURCE_ROOT COUNT OUT

takes the first COUNT .py files below SOURCE_ROOT (in byte order of their
paths, as `find SOURCE_ROOT -name '*.py' | LC_ALL=C sort` lists them) and
writes into OUT:

    tree/PURELIB/<path below SOURCE_ROOT>  the package tree for mkpkg_kitpack
    files.txt                             the same files as backslashed paths
                                          below the install directory, one a
                                          line, for the floor programs
    peer.nsi                              a makensis script installing the same
                                          files into the same places, with a
                                          progress page that closes itself

Every file keeps its bytes; the installers place them below Lib\\site-packages.
"""
import os
import shutil
import sys

PLACE = "Lib\\site-packages"


def python_files(root):
    found = []
    for top, _dirs, files in os.walk(root):
        for name in files:
            if name.endswith(".py"):
                found.append(os.path.join(top, name))
    return sorted(found, key=os.fsencode)


def nsis_script(tree, relatives):
    lines = [
        "Unicode true",
        "Target amd64-unicode",
        "SetCompressor zlib",
        'Name "bench"',
        'OutFile "peer-setup.exe"',
        "RequestExecutionLevel user",
        'InstallDir "$TEMP\\bench"',
        "AutoCloseWindow true",
        "Page instfiles",
        'Section "files"',
    ]
    current = None
    for rel in relatives:
        folder = os.path.dirname(rel)
        if folder != current:
            place = PLACE + ("\\" + folder.replace("/", "\\") if folder else "")
            lines.append('  SetOutPath "$INSTDIR\\%s"' % place)
            current = folder
        lines.append('  File "%s"' % os.path.join(tree, rel))
    lines.append("SectionEnd")
    return "\n".join(lines) + "\n"


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    source, count, out = argv[1], int(argv[2]), argv[3]
    files = python_files(source)[:count]
    if len(files) < count:
        sys.stderr.write("install corpus: only %d .py files below %s\n" % (len(files), source))
        return 1
    tree = os.path.join(out, "tree", "PURELIB")
    shutil.rmtree(os.path.join(out, "tree"), ignore_errors=True)
    relatives = []
    for path in files:
        rel = os.path.relpath(path, source).replace(os.sep, "/")
        target = os.path.join(tree, rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(path, target)
        relatives.append(rel)
    with open(os.path.join(out, "files.txt"), "w", newline="\r\n") as listing:
        for rel in relatives:
            listing.write(PLACE + "\\" + rel.replace("/", "\\") + "\n")
    with open(os.path.join(out, "peer.nsi"), "w", encoding="utf-8") as script:
        script.write(nsis_script(os.path.abspath(tree), relatives))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
