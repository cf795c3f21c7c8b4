"""The installer image: the stub executable followed by the package.

    stub | picture (optional BMP) | cfgdata | meta_header | zip archive

cfgdata is the settings text in INI form, a NUL, then the optional pre-install
script text and a NUL. The 12-byte meta_header holds the magic number
0x1234567B, the length of cfgdata and the length of the picture (0 when there
is none), little-endian. The zip archive carries no archive comment; a member
name outside ASCII is stored in UTF-8 with the UTF-8 flag (bit 11) set.

The settings text holds [metadata], [Setup] and, for a wheel, [distributions]:
one line per distribution in the archive, the package's own first,
NAME=VERSION;DISTINFO;SPECIFIER (the canonical name, the .dist-info folder's
name, and what the other distributions require of it).
"""
import io
import os
import struct
import time
import zipfile

MAGIC = 0x1234567B


def settings_text(setup, metadata, distributions=()):
    lines = ["[metadata]"] + ["%s=%s" % kv for kv in metadata.items()]
    lines += ["[Setup]"] + ["%s=%s" % kv for kv in setup.items()]
    if distributions:
        lines += ["[distributions]"] + ["%s=%s;%s;%s" % d for d in distributions]
    return ("\n".join(lines) + "\n").encode("latin-1")


def tree_members(tree):
    """Yields (archive name, path or None for a directory entry), sorted."""
    for root, dirs, files in os.walk(tree):
        dirs.sort()
        rel = os.path.relpath(root, tree)
        if rel != "." and not dirs and not files:
            yield rel.replace(os.sep, "/") + "/", None
        for name in sorted(files):
            path = os.path.join(root, name)
            yield os.path.relpath(path, tree).replace(os.sep, "/"), path


def tree_archive_members(tree, date_time):
    """The tree's members as (name, data or None for a directory, date_time)."""
    for name, path in tree_members(tree):
        stamp = date_time or time.localtime(os.path.getmtime(path) if path else time.time())[:6]
        if path is None:
            yield name, None, tuple(stamp)
        else:
            with open(path, "rb") as f:
                yield name, f.read(), tuple(stamp)


def build_archive(members, method):
    """The zip archive of (name, data or None, date_time) members. zipfile
    stores a name outside ASCII in UTF-8 and sets the UTF-8 flag for it."""
    buffer = io.BytesIO()
    compression = zipfile.ZIP_DEFLATED if method == "deflated" else zipfile.ZIP_STORED
    with zipfile.ZipFile(buffer, "w", compression) as archive:
        for name, data, stamp in members:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = compression
            if data is None:
                info.external_attr = 0o40755 << 16 | 0x10
                archive.writestr(info, b"")
            else:
                archive.writestr(info, data)
    return buffer.getvalue()


def build_image(stub, bitmap, settings, script, archive):
    cfgdata = settings + b"\0"
    if script is not None:
        cfgdata += script + b"\0"
    header = struct.pack("<III", MAGIC, len(cfgdata), len(bitmap))
    return stub + bitmap + cfgdata + header + archive
