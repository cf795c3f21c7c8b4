"""Turns a wheel into the members and settings of a kitpack package.

A wheel (NAME-VER[-BUILD]-PY-ABI-PLATFORM.whl) is a zip whose root is
installed into site-packages (purelib or platlib, as its WHEEL file says),
with two folders of its own:

    NAME-VER.dist-info/    METADATA, WHEEL, RECORD, ...: installed with the root
    NAME-VER.data/KEY/...  purelib, platlib, scripts, headers, data

The stub places archive members by their first folder, the install scheme key.
Every Python that can install a wheel has the site-packages layout
(Lib\\site-packages for PURELIB and PLATLIB, Scripts for SCRIPTS, the Python
folder itself for HEADERS and DATA), so RECORD is rewritten for that layout:
paths relative to Lib\\site-packages, ../../Scripts/tool.py for a script.

Everything here is checked before anything is written: a wheel that does not
hold what it says (hashes, sizes), names a path outside its target, or is made
for another platform is refused with a WheelError.
"""
import base64
import csv
import email.parser
import hashlib
import io
import re
import zipfile
import zlib

INSTALLER = b"kitpack\n"
HASHES = ("sha256", "sha384", "sha512")
WINDOWS_PLATFORMS = ("win32", "win_amd64", "any")
STUB_32 = "stub-msvcrt.exe"
STUB_64 = "stub-msvcrt-x64.exe"
INFO_DESCRIPTION_CHARS = 500

# The scheme key of each .data folder. Headers go where an installation puts
# them, below Include\NAME (see Wheel.place).
DATA_KEYS = {"purelib": "PURELIB", "platlib": "PLATLIB", "scripts": "SCRIPTS",
             "headers": "HEADERS", "data": "DATA"}
# The same places as seen from Lib\site-packages, for RECORD.
RECORD_PREFIX = {"PURELIB": "", "PLATLIB": "", "SCRIPTS": "../../Scripts/",
                 "HEADERS": "../../", "DATA": "../../"}


class WheelError(Exception):
    """A wheel the packer refuses; the text says why."""


class WheelName:
    """The parts of a wheel's file name; the tags are sets of their dotted parts."""

    def __init__(self, filename):
        base = filename.replace("\\", "/").rsplit("/", 1)[-1]
        parts = base[:-4].split("-") if base.endswith(".whl") else []
        if len(parts) not in (5, 6) or not all(parts):
            raise WheelError("%s is not a wheel file name (NAME-VERSION-PY-ABI-PLATFORM.whl)" % base)
        self.filename = base
        self.distribution, self.version = parts[0], parts[1]
        self.python = parts[-3].split(".")
        self.abi = parts[-2].split(".")
        self.platform = parts[-1].split(".")


def target_version(name):
    """The one Python version a wheel's tags name ("3.12" for cp312), or "" for any.

    A generic tag (py3, py2.py3), several versions or the stable ABI (abi3,
    which later versions load too) cannot be one version.
    """
    versions = set()
    for tag in name.python:
        match = re.fullmatch(r"cp(\d)(\d+)", tag)
        if not match:
            return ""
        versions.add("%s.%d" % (match.group(1), int(match.group(2))))
    if "abi3" in name.abi or len(versions) != 1:
        return ""
    return versions.pop()


def default_stub(name):
    """The stub for the wheel's platform: the 64-bit one unless it is win32 only."""
    if "win_amd64" in name.platform or "any" in name.platform:
        return STUB_64
    return STUB_32


def check_platform(name):
    if not any(tag in WINDOWS_PLATFORMS for tag in name.platform):
        raise WheelError("%s is a wheel for %s, not for Windows" % (name.filename, ".".join(name.platform)))


def check_member_path(path):
    """Refuses a member name that is absolute or climbs out of its folder."""
    parts = path.replace("\\", "/").split("/")
    if path.startswith(("/", "\\")) or ":" in path:
        raise WheelError("member %s has an absolute path" % path)
    if ".." in parts:
        raise WheelError("member %s climbs out of its folder with .." % path)
    # The stub takes member names as bytes of the ANSI code page: another
    # name would be written under a name that RECORD does not list.
    if not path.isascii():
        raise WheelError("member %s has a name that is not ASCII" % path)


def record_hash(data, algorithm="sha256"):
    """A RECORD hash: the digest in url-safe base64 without padding."""
    digest = hashlib.new(algorithm, data).digest()
    return "%s=%s" % (algorithm, base64.urlsafe_b64encode(digest).rstrip(b"=").decode("ascii"))


def parse_headers(data):
    """The fields of METADATA or WHEEL (UTF-8, in the form of mail headers)."""
    return email.parser.Parser().parsestr(data.decode("utf-8", "replace"))


class Wheel:
    """A wheel's checked contents: its files, metadata and tags."""

    def __init__(self, path):
        self.name = WheelName(path)
        check_platform(self.name)
        try:
            with zipfile.ZipFile(path) as archive:
                infos = [info for info in archive.infolist() if not info.is_dir()]
                for info in archive.infolist():
                    check_member_path(info.filename)
                self.files = {info.filename: archive.read(info) for info in infos}
                self.times = {info.filename: info.date_time for info in infos}
        except (OSError, zipfile.BadZipFile, zlib.error, NotImplementedError, RuntimeError) as error:
            raise WheelError("cannot read %s: %s" % (self.name.filename, error))
        self.order = [info.filename for info in infos]
        self.dist_info = self._find_dist_info()
        self.data_dir = self.dist_info[:-len(".dist-info")] + ".data"
        self.wheel = parse_headers(self._required("WHEEL"))
        self.metadata = parse_headers(self._required("METADATA"))
        self._check_wheel_version()
        self._check_record()

    def _find_dist_info(self):
        folders = {path.split("/", 1)[0] for path in self.order if "/" in path}
        found = sorted(f for f in folders if f.endswith(".dist-info"))
        if not found:
            raise WheelError("%s has no .dist-info folder with WHEEL and METADATA" % self.name.filename)
        if len(found) > 1:
            raise WheelError("%s has several .dist-info folders: %s" % (self.name.filename, ", ".join(found)))
        return found[0]

    def _required(self, name):
        path = self.dist_info + "/" + name
        if path not in self.files:
            raise WheelError("%s has no %s" % (self.name.filename, path))
        return self.files[path]

    def _check_wheel_version(self):
        version = (self.wheel.get("Wheel-Version") or "").strip()
        if not re.fullmatch(r"\d+(\.\d+)*", version):
            raise WheelError("%s: WHEEL has no Wheel-Version" % self.name.filename)
        if int(version.split(".")[0]) > 1:
            raise WheelError("%s: Wheel-Version %s is newer than this packer knows (1.x)"
                             % (self.name.filename, version))

    def _check_record(self):
        """Every file but RECORD and its signatures must match its RECORD row."""
        record = self.dist_info + "/RECORD"
        unsigned = {record, record + ".jws", record + ".p7s"}
        if record not in self.files:
            raise WheelError("%s has no %s" % (self.name.filename, record))
        rows = {}
        text = self.files[record].decode("utf-8", "replace")
        for row in csv.reader(io.StringIO(text)):
            if row:
                rows[row[0]] = row[1:]
        for path in self.order:
            if path in unsigned:
                continue
            if path not in rows:
                raise WheelError("%s: %s is not listed in RECORD" % (self.name.filename, path))
            self._check_row(path, rows[path])
        for path in rows:
            if path not in self.files:
                raise WheelError("%s: RECORD lists %s, which the wheel does not hold" % (self.name.filename, path))

    def _check_row(self, path, fields):
        hash_text = fields[0] if fields else ""
        algorithm = hash_text.split("=", 1)[0]
        if algorithm not in HASHES:
            raise WheelError("%s: %s has no sha256 (or stronger) hash in RECORD" % (self.name.filename, path))
        data = self.files[path]
        if record_hash(data, algorithm) != hash_text:
            raise WheelError("%s: %s does not match its hash in RECORD" % (self.name.filename, path))
        if len(fields) > 1 and fields[1] and fields[1] != str(len(data)):
            raise WheelError("%s: %s does not match its size in RECORD" % (self.name.filename, path))

    @property
    def root_key(self):
        purelib = (self.wheel.get("Root-Is-Purelib") or "").strip().lower() == "true"
        return "PURELIB" if purelib else "PLATLIB"

    @property
    def project_name(self):
        return (self.metadata.get("Name") or self.name.distribution).strip()

    @property
    def project_version(self):
        return (self.metadata.get("Version") or self.name.version).strip()

    def place(self, path):
        """The scheme key and the path below it for a wheel member."""
        prefix = self.data_dir + "/"
        if not path.startswith(prefix):
            return self.root_key, path
        key, _, rest = path[len(prefix):].partition("/")
        if key not in DATA_KEYS or not rest:
            raise WheelError("%s: %s is in no install folder (purelib, platlib, scripts, headers, data)"
                             % (self.name.filename, path))
        scheme_key = DATA_KEYS[key]
        if scheme_key == "HEADERS":
            rest = "Include/%s/%s" % (self.project_name, rest)
        return scheme_key, rest


def package_members(wheel, scripts=()):
    """The package's archive members as (name, data, date_time), in the wheel's
    order, then the generated scripts (name, data) of the command launchers,
    with the rewritten dist-info last, RECORD the very last."""
    members, record_rows, taken = [], [], set()
    record = wheel.dist_info + "/RECORD"
    installer = wheel.dist_info + "/INSTALLER"

    def add(key, rest, data, date_time):
        installed = RECORD_PREFIX[key] + rest
        # Windows names ignore case: two members may not become one file.
        if installed.lower() in taken:
            raise WheelError("%s: two members install to %s" % (wheel.name.filename, installed))
        taken.add(installed.lower())
        members.append((key + "/" + rest, data, date_time))
        record_rows.append((installed, record_hash(data), str(len(data))))

    dist_info_files = [p for p in wheel.order if p.startswith(wheel.dist_info + "/")]
    stamp = wheel.times[record]
    for path in [p for p in wheel.order if p not in dist_info_files]:
        add(*wheel.place(path), wheel.files[path], wheel.times[path])
    for name, data in scripts:
        add("SCRIPTS", name, data, stamp)
    for path in dist_info_files:
        if path not in (record, installer):
            add(*wheel.place(path), wheel.files[path], wheel.times[path])
    add(wheel.root_key, installer, INSTALLER, stamp)
    # An installation the user asked for by name, not one another package needed.
    add(wheel.root_key, wheel.dist_info + "/REQUESTED", b"", stamp)
    record_rows.append((record, "", ""))
    members.append((wheel.root_key + "/" + record, record_text(record_rows), stamp))
    return members


def record_text(rows):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerows(rows)
    return out.getvalue().encode("utf-8")


def description(metadata):
    """The long description: the message body, or the older Description field."""
    body = metadata.get_payload()
    if isinstance(body, str) and body.strip():
        return body
    folded = metadata.get("Description") or ""
    # Continuation lines of the field start with seven blanks and a bar.
    return "\n".join(re.sub(r"^\s*\|", "", line) for line in folded.splitlines())


def description_start(text, limit=INFO_DESCRIPTION_CHARS):
    """The description's first paragraphs, each on one line (the page wraps
    them), cut at a word before limit characters."""
    paragraphs = re.split(r"\n\s*\n", text.strip().replace("\r\n", "\n"))
    text = "\n\n".join(" ".join(p.split()) for p in paragraphs if p.strip())
    if len(text) <= limit:
        return text
    cut = text[:limit].rsplit(None, 1)[0] if " " in text[:limit] else text[:limit]
    return cut.rstrip() + " ..."


def escape_display(text):
    """A text as the stub's title and info settings take it, on one INI line:
    line breaks as \\n, backslashes as octal escapes (the stub drops an
    unknown escape), characters outside Latin-1 as ?."""
    text = text.replace("\r\n", "\n").replace("\r", "\n").strip(" \t")
    text = text.encode("latin-1", "replace").decode("latin-1")
    out, after_octal = [], False
    for i, char in enumerate(text):
        # The profile reader strips quotes around a value; an octal escape
        # reads every octal digit that follows it.
        if char == "\\" or (i == 0 and char in "'\"") or (after_octal and char in "01234567"):
            out.append("\\%03o" % ord(char))
            after_octal = True
        else:
            out.append("\\n" if char == "\n" else char)
            after_octal = False
    return "".join(out)


def settings(wheel):
    """The [Setup] and [metadata] settings the wheel gives."""
    name, version = wheel.project_name, wheel.project_version
    summary = (wheel.metadata.get("Summary") or "").strip()
    info = "\n\n".join(p for p in (summary, description_start(description(wheel.metadata))) if p)
    setup = {
        "title": escape_display("%s %s" % (name, version)),
        "info": escape_display(info),
        "build_info": "Built from %s" % wheel.name.filename,
        "target_version": target_version(wheel.name),
    }
    return setup, {"name": name}


def launcher_entry_points(wheel):
    """Names of the console and GUI scripts of entry_points.txt."""
    return [entry.name for entry in entry_points(wheel)]


# Command launchers: each console or GUI entry point of entry_points.txt
# becomes Scripts\NAME.exe, the launcher program of its kind and of the stub's
# processor followed by a zip archive whose __main__.py calls the entry point.
# Python runs the file as a zip application: the launcher starts
# "<python_dir>\python.exe" (pythonw.exe for a GUI script) with its own path.
LAUNCHER_KINDS = {"console_scripts": "console", "gui_scripts": "gui"}
PE_MACHINES = {0x014C: "", 0x8664: "-x64"}  # i386, x86-64: the launchers' name suffix
ENTRY_VALUE = re.compile(r"([^:\s\[]+)\s*:\s*([^\s\[]+)\s*(\[[^\]]*\])?")
# Characters and device names that Windows does not allow in a file name.
NOT_IN_FILE_NAMES = set('<>:"/\\|?*')
DEVICE_NAMES = {"con", "prn", "aux", "nul"} | {"com%d" % i for i in range(1, 10)} | {"lpt%d" % i for i in range(1, 10)}
MAIN_PY = """# -*- coding: utf-8 -*-
import re
import sys
from %(module)s import %(object)s
if __name__ == "__main__":
    sys.argv[0] = re.sub(r"(-script\\.pyw|\\.exe)?$", "", sys.argv[0])
    sys.exit(%(call)s())
"""


class EntryPoint:
    """A console or GUI script: its name, kind (console or gui) and value."""

    def __init__(self, kind, name, value):
        self.kind, self.name, self.value = kind, name, value


def entry_points(wheel):
    """The console and GUI scripts of entry_points.txt, in the file's order."""
    data = wheel.files.get(wheel.dist_info + "/entry_points.txt")
    if data is None:
        return []
    found, section = [], None
    for line in data.decode("utf-8", "replace").splitlines():
        line = line.strip()
        if not line or line.startswith(("#", ";")):
            continue
        if line.startswith("["):
            section = line.strip("[]").strip()
        elif section in LAUNCHER_KINDS and "=" in line:
            name, value = (part.strip() for part in line.split("=", 1))
            found.append(EntryPoint(LAUNCHER_KINDS[section], name, value))
    return found


def dotted(text):
    return all(part.isidentifier() for part in text.split("."))


def check_script_name(wheel, name):
    """Refuses a command name that cannot be the file Scripts\\NAME.exe."""
    def refuse(why):
        raise WheelError("%s: entry point %r %s" % (wheel.name.filename, name, why))
    if not name:
        refuse("has no name")
    if "/" in name or "\\" in name:
        refuse("has a path separator in its name")
    if not name.isascii() or any(ord(c) < 32 or c in NOT_IN_FILE_NAMES for c in name):
        refuse("has a name that cannot be an installed file name (ASCII, none of <>:\"|?*)")
    if name.endswith((".", " ")) or name.split(".")[0].strip().lower() in DEVICE_NAMES:
        refuse("has a name that Windows reserves or cuts")


def main_py(wheel, entry):
    """The __main__.py that calls the entry point, as pip's scripts do."""
    match = ENTRY_VALUE.fullmatch(entry.value)
    if not match or not dotted(match.group(1)) or not dotted(match.group(2)):
        raise WheelError("%s: entry point %s = %s is not module:object (dotted names, the object required)"
                         % (wheel.name.filename, entry.name, entry.value))
    module, attributes = match.group(1), match.group(2)
    return (MAIN_PY % {"module": module, "object": attributes.split(".")[0], "call": attributes}).encode("utf-8")


def stub_launcher_suffix(stub):
    """The launchers' name suffix for the stub's processor, from its PE header."""
    if stub[:2] == b"MZ" and len(stub) >= 0x40:
        offset = int.from_bytes(stub[0x3C:0x40], "little")
        if stub[offset:offset + 4] == b"PE\0\0":
            machine = int.from_bytes(stub[offset + 4:offset + 6], "little")
            if machine in PE_MACHINES:
                return PE_MACHINES[machine]
    raise WheelError("cannot tell the stub's processor (i386 or x86-64) for the command launchers;"
                     " give --no-launchers to leave the wheel's entry points out")


def zip_application(launcher, main, date_time):
    """The launcher followed by a zip archive holding main as a stored
    __main__.py. Its offsets count from the start of the file, as from any
    zip archive's, so that every reader finds the member."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as archive:
        archive.writestr(zipfile.ZipInfo("__main__.py", date_time=date_time), main)
    data = bytearray(buffer.getvalue())
    shift = len(launcher)
    end = len(data) - 22  # no archive comment
    directory = int.from_bytes(data[end + 16:end + 20], "little")
    local = int.from_bytes(data[directory + 42:directory + 46], "little")
    data[directory + 42:directory + 46] = (local + shift).to_bytes(4, "little")
    data[end + 16:end + 20] = (directory + shift).to_bytes(4, "little")
    return launcher + bytes(data)


def launcher_scripts(wheel, stub, read_launcher):
    """The (name, data) of Scripts\\NAME.exe for every entry point of the wheel.
    read_launcher(file name) gives a launcher program's bytes."""
    entries = entry_points(wheel)
    suffix = stub_launcher_suffix(stub) if entries else ""
    taken = {}  # lower-case file name below Scripts: what installs it
    for path in wheel.order:
        key, rest = wheel.place(path)
        if key == "SCRIPTS":
            taken[rest.lower()] = path
    scripts, stamp = [], wheel.times[wheel.dist_info + "/RECORD"]
    for entry in entries:
        check_script_name(wheel, entry.name)
        file_name = entry.name + ".exe"
        if file_name.lower() in taken:
            raise WheelError("%s: entry point %s would be Scripts\\%s, which %s installs as well"
                             % (wheel.name.filename, entry.name, file_name, taken[file_name.lower()]))
        taken[file_name.lower()] = "entry point %s" % entry.name
        launcher = read_launcher("launcher-%s%s.exe" % (entry.kind, suffix))
        scripts.append((file_name, zip_application(launcher, main_py(wheel, entry), stamp)))
    return scripts
