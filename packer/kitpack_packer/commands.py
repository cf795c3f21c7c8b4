"""A wheel's commands: each console or GUI entry point of entry_points.txt
becomes Scripts\\NAME.exe, the launcher program of its kind and of the stub's
processor followed by a zip archive whose __main__.py calls the entry point.

Python runs the file as a zip application: the launcher starts
"<python_dir>\\python.exe" (pythonw.exe for a GUI script) with its own path.
The entry points are read and __main__.py is written by the installer
library; the names are checked here, for what Windows cannot take.
"""
import configparser
import io
import zipfile

from installer.scripts import Script
from installer.utils import parse_entrypoints

from .wheel import NOT_IN_FILE_NAMES, WheelError, windows_file_name

PE_MACHINES = {0x014C: "", 0x8664: "-x64"}  # i386, x86-64: the launchers' name suffix
PLATFORMS = {"": "win32", "-x64": "win_amd64"}


def entry_points(wheel):
    """The console and GUI scripts of entry_points.txt as installer Scripts,
    in the file's order."""
    data = wheel.files.get(wheel.dist_info + "/entry_points.txt")
    if data is None:
        return []
    try:
        return [Script(name, module, attr, section)
                for name, module, attr, section in parse_entrypoints(data.decode("utf-8", "replace"))]
    except configparser.Error as error:
        raise WheelError("%s: entry_points.txt cannot be read: %s" % (wheel.filename, " ".join(str(error).split())))
    except AssertionError:
        # The library asserts that an entry point's value is module:object.
        raise WheelError("%s: entry_points.txt: an entry point is not module:object" % wheel.filename)


def dotted(text):
    return all(part.isidentifier() for part in text.split("."))


def check_script(wheel, script):
    """Refuses a command that cannot be the file Scripts\\NAME.exe or whose
    value names no importable object."""
    name = script.name

    def refuse(why):
        raise WheelError("%s: entry point %r %s" % (wheel.filename, name, why))
    if not name:
        refuse("has no name")
    if "/" in name or "\\" in name:
        refuse("has a path separator in its name")
    if any(ord(c) < 32 or c in NOT_IN_FILE_NAMES for c in name):
        refuse("has a name that cannot be an installed file name (none of <>:\"|?*)")
    if not windows_file_name(name):
        refuse("has a name that Windows reserves or cuts")
    if not dotted(script.module) or not dotted(script.attr):
        refuse("= %s:%s is not module:object (dotted names)" % (script.module, script.attr))


def main_py(script):
    """The __main__.py that calls the entry point: the installer library's
    script without its #! line (the launcher names the Python)."""
    return script.generate("python", "posix")[1].split(b"\n", 1)[1]


def stub_launcher_suffix(stub):
    """The launchers' name suffix for the stub's processor, from its PE header."""
    if stub[:2] == b"MZ" and len(stub) >= 0x40:
        offset = int.from_bytes(stub[0x3C:0x40], "little")
        if stub[offset:offset + 4] == b"PE\0\0":
            machine = int.from_bytes(stub[offset + 4:offset + 6], "little")
            if machine in PE_MACHINES:
                return PE_MACHINES[machine]
    return None


def stub_platform(stub):
    """The platform tag of the stub's processor (win32, win_amd64), or None."""
    return PLATFORMS.get(stub_launcher_suffix(stub))


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
    scripts = entry_points(wheel)
    suffix = stub_launcher_suffix(stub) if scripts else ""
    if suffix is None:
        raise WheelError("cannot tell the stub's processor (i386 or x86-64) for the command launchers;"
                         " give --no-launchers to leave the wheel's entry points out")
    taken = {}  # lower-case file name below Scripts: what installs it
    for path in wheel.order:
        key, rest = wheel.place(path)
        if key == "SCRIPTS":
            taken[rest.lower()] = path
    made, stamp = [], wheel.times[wheel.dist_info + "/RECORD"]
    for script in scripts:
        check_script(wheel, script)
        file_name = script.name + ".exe"
        if file_name.lower() in taken:
            raise WheelError("%s: entry point %s would be Scripts\\%s, which %s installs as well"
                             % (wheel.filename, script.name, file_name, taken[file_name.lower()]))
        taken[file_name.lower()] = "entry point %s" % script.name
        launcher = read_launcher("launcher-%s%s.exe" % (script.section, suffix))
        made.append((file_name, zip_application(launcher, main_py(script), stamp)))
    return made
