"""A wheel's dependencies, resolved by pip for each Python version served.

For every version X.Y the installer serves, pip's own resolver picks the
wheels a CPython X.Y on Windows for the stub's processor would install
(`pip download --only-binary=:all: --platform P --implementation cp
--python-version X.Y --abi cpXY`), so markers, Requires-Python and tags are weighed as
pip weighs them. pip evaluates markers for the Python it runs on, even with
--platform and --python-version: the packer runs it with the marker
environment of the target (Windows, the stub's processor, CPython X.Y) in
place of its own. One installer holds one set of wheels: when the sets differ
between versions the packer refuses, and --python narrows the versions.
"""
import functools
import json
import os
import shutil
import subprocess
import sys

from packaging.requirements import InvalidRequirement, Requirement
from packaging.specifiers import SpecifierSet
from packaging.utils import canonicalize_name, parse_wheel_filename

from . import pythons
from .wheel import WheelError

# The versions pip resolves for when the wheels serve more: Python 2.7 and
# the Python 3 releases of the last years up to the one in development.
RESOLVED_VERSIONS = [(2, 7)] + [(3, minor) for minor in range(8, 17)]
TIMEOUT_SECONDS = 600
# Runs pip with the marker environment given as the first argument.
PIP_FOR_TARGET = """import json, runpy, sys
from pip._vendor.packaging import markers
environment = json.loads(sys.argv.pop(1))
markers.default_environment = lambda: dict(environment)
sys.argv[0] = "pip"
runpy.run_module("pip", run_name="__main__", alter_sys=True)
"""


def requirements(wheel):
    """The wheel's Requires-Dist as packaging Requirements."""
    found = []
    for line in wheel.requires_dist:
        try:
            found.append(Requirement(line))
        except InvalidRequirement as error:
            raise WheelError("%s: Requires-Dist %r: %s" % (wheel.filename, line, error))
    return found


def applies(requirement, versions, platform):
    """Whether a requirement's marker holds for one of the versions (X, Y) on
    Windows with platform's processor; extras are never asked for."""
    return requirement.marker is None or any(
        requirement.marker.evaluate(pythons.marker_environment(v, platform)) for v in versions)


def versions_to_resolve(served):
    """The versions pip resolves for: those of RESOLVED_VERSIONS served, or
    all served when none of them is (a wheel for older Pythons only)."""
    chosen = sorted(v for v in served if v in RESOLVED_VERSIONS)
    return chosen or sorted(served)


def pip_download(wheel, version, platform, options, scratch):
    """The wheel files pip picks for the wheel's own distribution and
    version on CPython version: (file names of the other distributions, the
    folder they are in). options holds --find-links and --index-url."""
    own = os.path.join(scratch, "own")
    os.makedirs(own, exist_ok=True)
    if not os.path.exists(os.path.join(own, wheel.filename)):
        shutil.copyfile(wheel.path, os.path.join(own, wheel.filename))
    dest = os.path.join(scratch, pythons.text(version))
    environment = json.dumps(pythons.marker_environment(version, platform))
    command = [sys.executable, "-c", PIP_FOR_TARGET, environment, "download", "--disable-pip-version-check", "--no-input",
               "--only-binary=:all:", "--platform", platform, "--implementation", "cp",
               "--python-version", pythons.text(version), "--abi", pythons.abi(version), "--dest", dest]
    command += ["--index-url", options.index_url] if options.index_url else ["--no-index"]
    for folder in [own] + list(options.find_links):
        command += ["--find-links", folder]
    command.append("%s==%s" % (wheel.canonical_name, wheel.project_version))
    try:
        result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                errors="replace", timeout=TIMEOUT_SECONDS)
    except subprocess.TimeoutExpired:
        raise WheelError("pip did not resolve the dependencies within %d s" % TIMEOUT_SECONDS)
    if result.returncode != 0:
        raise WheelError("pip cannot resolve the dependencies of %s %s for Python %s: %s"
                         % (wheel.project_name, wheel.project_version, pythons.text(version), pip_words(result)))
    files = sorted(f for f in os.listdir(dest) if f.endswith(".whl")
                   and parse_wheel_filename(f)[0] != wheel.canonical_name)
    return files, dest


def pip_words(result):
    """pip's error lines, and the requirements that conflict, which it
    names on standard output."""
    words = [line.strip() for line in result.stderr.splitlines() if line.strip()]
    _, caused, rest = result.stdout.partition("The conflict is caused by:")
    if caused:
        conflict = [line.strip() for line in rest.split("\n\n", 1)[0].splitlines() if line.strip()]
        words.insert(1, "The conflict is caused by: %s." % "; ".join(conflict))
    return " ".join(words[-8:]) or "no message"


def resolve(wheel, versions, platform, options, scratch):
    """The paths of the wheels that the wheel needs, the same for every
    version (X, Y) of versions; refuses when pip picks other sets."""
    picked = {}
    for version in versions:
        picked[version] = pip_download(wheel, version, platform, options, scratch)
    sets = {tuple(files) for files, _ in picked.values()}
    if len(sets) > 1:
        raise WheelError("the dependencies differ between the Python versions served (%s); give --python"
                         " X.Y for the versions to serve, one installer for each set"
                         % "; ".join("%s: %s" % (pythons.text(v), ", ".join(files) or "none")
                                     for v, (files, _) in sorted(picked.items())))
    files, folder = picked[versions[0]]
    return [os.path.join(folder, f) for f in files]


def distributions(wheels, versions, platform):
    """The [distributions] lines (NAME, VERSION, DISTINFO, SPECIFIER) for the
    packed wheels, the package's own first: SPECIFIER joins what the others
    require of each (requirements whose markers hold for versions)."""
    required = {}
    for wheel in wheels:
        for requirement in requirements(wheel):
            if applies(requirement, versions, platform):
                required.setdefault(canonicalize_name(requirement.name), []).append(requirement.specifier)
    lines = []
    for wheel in wheels:
        specifier = functools.reduce(lambda a, b: a & b, required.get(wheel.canonical_name, []), SpecifierSet())
        lines.append((wheel.canonical_name, wheel.project_version, wheel.dist_info,
                      str(specifier) if wheel is not wheels[0] else ""))
    return lines
