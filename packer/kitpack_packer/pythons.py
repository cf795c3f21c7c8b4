"""The Python versions an installer may serve, as pip sees them.

pip installs a wheel into a Python when one of the wheel's tags is among the
tags that Python supports and its Requires-Python admits the Python's version.
The stub knows a registered Python by its version X.Y and serves Pythons of
its own processor (win32 or win_amd64), CPython all: so the versions are those
X.Y whose CPython tags for that platform meet the wheel's, narrowed by
Requires-Python, and the installer's python_requires setting names them as a
specifier set over X.Y.
"""
from packaging.markers import default_environment
from packaging.specifiers import InvalidSpecifier, SpecifierSet
from packaging.tags import compatible_tags, cpython_tags

# Python 3 minors up to this one are weighed one by one; a set that holds the
# last is open upwards ("and every later 3.x").
LAST_MINOR = 40
VERSIONS = [(2, minor) for minor in range(8)] + [(3, minor) for minor in range(LAST_MINOR + 1)]
# Requires-Python names patch releases too (">=3.8.1"): a version X.Y is
# served when one of its releases is admitted.
PATCH_RELEASES = 30


class PythonsError(Exception):
    """No Python can take the package, or a requirement cannot be read."""


def text(version):
    return "%d.%d" % version


def parse(text_version):
    """(X, Y) of "X.Y", or None."""
    parts = text_version.split(".")
    if len(parts) != 2 or not all(p.isdigit() for p in parts):
        return None
    return int(parts[0]), int(parts[1])


def abi(version):
    """The ABI tag of CPython X.Y for Windows: pymalloc's m before 3.8. The
    free-threaded build's (cp313t) is not served: the stub knows a Python by
    X.Y alone, and the build with the GIL does not load such a wheel."""
    return "cp%d%d" % version + ("m" if version < (3, 8) else "")


def supported_tags(version, platform):
    """The tags a CPython X.Y for platform (win32, win_amd64) installs, as
    pip lists them: the interpreter's own ABI, abi3, none, then the generic
    pyXY tags."""
    interpreter = "cp%d%d" % version
    return set(cpython_tags(version, [abi(version)], [platform])) | set(
        compatible_tags(version, interpreter, [platform]))


def requires_python(text_value, where):
    try:
        return SpecifierSet(text_value or "")
    except InvalidSpecifier:
        raise PythonsError("%s: Requires-Python %r is no version specifier" % (where, text_value))


def admits(specifier, version):
    """Whether one release of X.Y satisfies a Requires-Python specifier."""
    major, minor = version
    return any(specifier.contains(release, prereleases=True) for release in
               ["%d.%d" % version] + ["%d.%d.%d" % (major, minor, p) for p in range(PATCH_RELEASES)])


def served(tags, specifier, platform):
    """The versions (X, Y) whose CPython for platform takes a wheel of tags
    and whose releases Requires-Python admits."""
    return {v for v in VERSIONS if tags & supported_tags(v, platform) and admits(specifier, v)}


def python_requires(versions):
    """The specifier set over X.Y that names exactly versions (a non-empty
    set of VERSIONS): bounds, and != for the gaps; "" for every version."""
    if set(VERSIONS) <= versions:
        return ""
    low, high = min(versions), max(versions)
    if low == high:
        return "==%d.%d.*" % low
    parts = []
    if low != VERSIONS[0]:
        parts.append(">=%d" % low[0] if low[1] == 0 else ">=%d.%d" % low)
    if high == VERSIONS[-1]:
        # Open upwards: every later 3.x, and no Python 4.
        if low[0] == 3 and low[1] != 0:
            parts.append("<4")
    elif high == (2, 7):
        parts.append("<3")
    else:
        parts.append("<%d.%d" % (high[0], high[1] + 1))
    parts += ["!=%d.%d.*" % v for v in VERSIONS if low < v < high and v not in versions]
    return ",".join(parts)


def marker_environment(version, platform):
    """The marker variables of a CPython X.Y on Windows for platform."""
    environment = default_environment()
    release = "%d.%d.0" % version
    environment.update(
        implementation_name="cpython", implementation_version=release, os_name="nt",
        platform_machine="AMD64" if platform == "win_amd64" else "x86", platform_python_implementation="CPython",
        platform_release="", platform_system="Windows", platform_version="", python_full_version=release,
        python_version=text(version), sys_platform="win32", extra="")
    return environment
