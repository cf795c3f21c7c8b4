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
import hashlib
import re
import zipfile
import zlib

from installer.records import Hash, InvalidRecordEntry, RecordEntry, parse_record_file
from installer.utils import construct_record_file, parse_metadata_file
from packaging.utils import InvalidWheelFilename, canonicalize_name, parse_wheel_filename

INSTALLER = b"kitpack\n"
HASHES = ("sha256", "sha384", "sha512")
WINDOWS_PLATFORMS = ("win32", "win_amd64", "any")
STUB_32 = "stub-msvcrt.exe"
STUB_64 = "stub-msvcrt-x64.exe"
INFO_DESCRIPTION_CHARS = 500
# Characters and device names that Windows does not allow in a file name.
NOT_IN_FILE_NAMES = set('<>:"/\\|?*')
DEVICE_NAMES = {"con", "prn", "aux", "nul"} | {"com%d" % i for i in range(1, 10)} | {"lpt%d" % i for i in range(1, 10)}

# The scheme key of each .data folder. Headers go where an installation puts
# them, below Include\NAME (see Wheel.place).
DATA_KEYS = {"purelib": "PURELIB", "platlib": "PLATLIB", "scripts": "SCRIPTS",
             "headers": "HEADERS", "data": "DATA"}
# The same places as seen from Lib\site-packages, for RECORD.
RECORD_PREFIX = {"PURELIB": "", "PLATLIB": "", "SCRIPTS": "../../Scripts/",
                 "HEADERS": "../../", "DATA": "../../"}


class WheelError(Exception):
    """A wheel the packer refuses; the text says why."""


def platforms(tags):
    return {tag.platform for tag in tags}


def default_stub(tags):
    """The stub for the wheel's platform: the 64-bit one unless it is win32 only."""
    if platforms(tags) & {"win_amd64", "any"}:
        return STUB_64
    return STUB_32


def check_member_path(path):
    """Refuses a member name that is absolute, climbs out of its folder, or
    names a file or folder Windows cannot create."""
    parts = path.replace("\\", "/").split("/")
    if path.startswith(("/", "\\")) or ":" in path:
        raise WheelError("member %s has an absolute path" % path)
    if ".." in parts:
        raise WheelError("member %s climbs out of its folder with .." % path)
    for part in (p for p in parts if p):
        if not windows_file_name(part):
            raise WheelError("member %s has a name that Windows cannot take (%s)" % (path, part))


def windows_file_name(name):
    """Whether Windows can create a file of this name as it stands: none of
    <>:"/\\|?* or control characters, no device name, no dot or blank at the end."""
    return bool(name) and not any(ord(c) < 32 or c in NOT_IN_FILE_NAMES for c in name) and \
        not name.endswith((".", " ")) and name.split(".")[0].strip().lower() not in DEVICE_NAMES


def record_hash(data, algorithm="sha256"):
    """A RECORD hash: the digest in url-safe base64 without padding."""
    digest = hashlib.new(algorithm, data).digest()
    return "%s=%s" % (algorithm, base64.urlsafe_b64encode(digest).rstrip(b"=").decode("ascii"))


def parse_headers(data):
    """The fields of METADATA or WHEEL (UTF-8, in the form of mail headers)."""
    return parse_metadata_file(data.decode("utf-8", "replace"))


class Wheel:
    """A wheel's checked contents: its files, metadata and tags."""

    def __init__(self, path):
        self.path = path
        self.filename = path.replace("\\", "/").rsplit("/", 1)[-1]
        try:
            self.distribution, _, _, self.tags = parse_wheel_filename(self.filename)
        except InvalidWheelFilename as error:
            raise WheelError("%s is not a wheel file name (NAME-VERSION-PY-ABI-PLATFORM.whl): %s"
                             % (self.filename, error))
        if not platforms(self.tags) & set(WINDOWS_PLATFORMS):
            raise WheelError("%s is a wheel for %s, not for Windows"
                             % (self.filename, ".".join(sorted(platforms(self.tags)))))
        try:
            with zipfile.ZipFile(path) as archive:
                infos = [info for info in archive.infolist() if not info.is_dir()]
                for info in archive.infolist():
                    check_member_path(info.filename)
                self.files = {info.filename: archive.read(info) for info in infos}
                self.times = {info.filename: info.date_time for info in infos}
        except (OSError, zipfile.BadZipFile, zlib.error, NotImplementedError, RuntimeError) as error:
            raise WheelError("cannot read %s: %s" % (self.filename, error))
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
            raise WheelError("%s has no .dist-info folder with WHEEL and METADATA" % self.filename)
        if len(found) > 1:
            raise WheelError("%s has several .dist-info folders: %s" % (self.filename, ", ".join(found)))
        return found[0]

    def _required(self, name):
        path = self.dist_info + "/" + name
        if path not in self.files:
            raise WheelError("%s has no %s" % (self.filename, path))
        return self.files[path]

    def _check_wheel_version(self):
        version = (self.wheel.get("Wheel-Version") or "").strip()
        if not re.fullmatch(r"\d+(\.\d+)*", version):
            raise WheelError("%s: WHEEL has no Wheel-Version" % self.filename)
        if int(version.split(".")[0]) > 1:
            raise WheelError("%s: Wheel-Version %s is newer than this packer knows (1.x)"
                             % (self.filename, version))

    def _check_record(self):
        """Every file but RECORD and its signatures must match its RECORD row:
        a hash of sha256 or stronger, and the size where the row has one."""
        record = self.dist_info + "/RECORD"
        unsigned = {record, record + ".jws", record + ".p7s"}
        if record not in self.files:
            raise WheelError("%s has no %s" % (self.filename, record))
        rows = {}
        try:
            for row in parse_record_file(self.files[record].decode("utf-8", "replace").splitlines()):
                rows[row[0]] = RecordEntry.from_elements(*row)
        except InvalidRecordEntry as error:
            raise WheelError("%s: RECORD row %s: %s" % (self.filename, error.elements, "; ".join(error.issues)))
        for path in self.order:
            if path in unsigned:
                continue
            if path not in rows:
                raise WheelError("%s: %s is not listed in RECORD" % (self.filename, path))
            self._check_entry(path, rows[path])
        for path in rows:
            if path not in self.files:
                raise WheelError("%s: RECORD lists %s, which the wheel does not hold" % (self.filename, path))

    def _check_entry(self, path, entry):
        data = self.files[path]
        if entry.hash_ is None or entry.hash_.name not in HASHES:
            raise WheelError("%s: %s has no sha256 (or stronger) hash in RECORD" % (self.filename, path))
        if not entry.hash_.validate(data):
            raise WheelError("%s: %s does not match its hash in RECORD" % (self.filename, path))
        if entry.size is not None and entry.size != len(data):
            raise WheelError("%s: %s does not match its size in RECORD" % (self.filename, path))

    @property
    def root_key(self):
        purelib = (self.wheel.get("Root-Is-Purelib") or "").strip().lower() == "true"
        return "PURELIB" if purelib else "PLATLIB"

    @property
    def project_name(self):
        return (self.metadata.get("Name") or self.distribution).strip()

    @property
    def project_version(self):
        return (self.metadata.get("Version") or self.filename.split("-")[1]).strip()

    @property
    def canonical_name(self):
        return canonicalize_name(self.project_name)

    @property
    def requires_dist(self):
        """The Requires-Dist lines of METADATA, as written."""
        return [line.strip() for line in self.metadata.get_all("Requires-Dist") or []]

    def place(self, path):
        """The scheme key and the path below it for a wheel member."""
        prefix = self.data_dir + "/"
        if not path.startswith(prefix):
            return self.root_key, path
        key, _, rest = path[len(prefix):].partition("/")
        if key not in DATA_KEYS or not rest:
            raise WheelError("%s: %s is in no install folder (purelib, platlib, scripts, headers, data)"
                             % (self.filename, path))
        scheme_key = DATA_KEYS[key]
        if scheme_key == "HEADERS":
            rest = "Include/%s/%s" % (self.project_name, rest)
        return scheme_key, rest


def package_members(wheel, scripts=(), requested=True, taken=None):
    """The distribution's archive members as (name, data, date_time), in the
    wheel's order, then the generated scripts (name, data) of the command
    launchers, with the rewritten dist-info last, RECORD the very last.
    requested marks the package the user asked for (not a dependency); taken
    maps the installed paths (lower case) of the distributions before it to
    (wheel file name, data)."""
    members, records = [], []
    taken = {} if taken is None else taken
    record = wheel.dist_info + "/RECORD"
    installer = wheel.dist_info + "/INSTALLER"

    def add(key, rest, data, date_time):
        installed = RECORD_PREFIX[key] + rest
        owner = taken.get(installed.lower())
        if owner and owner[0] != wheel.filename and owner[1] == data:
            # Distributions that share a namespace package's __init__.py, as
            # pip lets them: the file is packed once, each RECORD lists it.
            records.append(RecordEntry(installed, Hash.parse(record_hash(data)), len(data)))
            return
        # Windows names ignore case: two members may not become one file.
        if owner:
            raise WheelError("%s: two members install to %s%s" % (
                wheel.filename, installed, "" if owner[0] == wheel.filename else " (one of %s)" % owner[0]))
        taken[installed.lower()] = (wheel.filename, data)
        members.append((key + "/" + rest, data, date_time))
        records.append(RecordEntry(installed, Hash.parse(record_hash(data)), len(data)))

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
    if requested:
        # An installation the user asked for by name, not one another package needed.
        add(wheel.root_key, wheel.dist_info + "/REQUESTED", b"", stamp)
    records.append(RecordEntry(record, None, None))
    members.append((wheel.root_key + "/" + record,
                    construct_record_file((None, entry) for entry in records).read(), stamp))
    return members


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
        "build_info": "Built from %s" % wheel.filename,
    }
    return setup, {"name": name}


