"""The packer bundles a wheel's dependencies as pip resolves them, offline
from a folder of small wheels; and the packer's own wheel installs with pip
and packs from any folder."""
import os
import subprocess
import unittest

import pytest

from mkpkg_kitpack_test import ROOT, assert_refused, split
from mkpkg_kitpack_wheel_test import archive_of, make_wheel, pe_stub, run_packer, settings_of

WHEELS = [  # (name, version, Requires-Dist): the folder the tests resolve from
    ("mid", "1.2", ["leaf<2"]), ("leaf", "1.0", []), ("leaf", "2.0", []), ("old", "1.0", []),
    ("lone", "1.0", [])]


def small_wheel(folder, name, version, requires=()):
    metadata = "Metadata-Version: 2.1\nName: %s\nVersion: %s\n%s" % (
        name, version, "".join("Requires-Dist: %s\n" % r for r in requires))
    os.makedirs(folder, exist_ok=True)
    return make_wheel(os.path.join(folder, "%s-%s-py3-none-any.whl" % (name, version)),
                      {"%s/__init__.py" % name: name.encode()}, metadata=metadata,
                      dist="%s-%s.dist-info/" % (name, version))


@pytest.fixture(autouse=True)
def pip_without_configuration(monkeypatch):
    """pip reads only the folders the test names."""
    for name in [n for n in os.environ if n.startswith("PIP_")]:
        monkeypatch.delenv(name)
    monkeypatch.setenv("PIP_CONFIG_FILE", os.devnull)


@pytest.fixture
def folder(tmp_path):
    for name, version, requires in WHEELS:
        small_wheel(str(tmp_path / "wheels"), name, version, requires)
    with open(tmp_path / "stub.exe", "wb") as f:
        f.write(pe_stub(0x8664))
    return tmp_path


def distributions_of(image):
    text = split(image)[2].split(b"\0", 1)[0].decode("latin-1")
    return text.split("[distributions]\n", 1)[1].splitlines() if "[distributions]" in text else []


APP = "app=1.0;app-1.0.dist-info;"
RESOLUTION = [  # (app's Requires-Dist, options, [distributions] and python_requires, or the refusal's words)
    ("chain of two", ["mid>=1.0"], ["--python", "3.11", "--python", "3.12"],
     ([APP, "leaf=1.0;leaf-1.0.dist-info;<2", "mid=1.2;mid-1.2.dist-info;>=1.0"], ">=3.11,<3.13")),
    ("a marker excludes one", ["lone", 'old; python_version < "3.10"'], ["--python", "3.12"],
     ([APP, "lone=1.0;lone-1.0.dist-info;"], "==3.12.*")),
    ("the sets differ", ["lone", 'old; python_version < "3.10"'], ["--python", "3.9", "--python", "3.12"],
     "the dependencies differ between the Python versions served (3.9: lone-1.0-py3-none-any.whl, "
     "old-1.0-py3-none-any.whl; 3.12: lone-1.0-py3-none-any.whl)"),
    ("a marker for another system", ['old; sys_platform == "linux"'], [], ([APP], ">=3")),
    ("a conflict", ["mid", "leaf>=2"], ["--python", "3.12"],
     "The conflict is caused by: app 1.0 depends on leaf>=2; mid 1.2 depends on leaf<2."),
    ("a missing requirement", ["gone>=1"], ["--python", "3.12"], "No matching distribution found for gone>=1"),
    ("no option", ["lone>=1"], None, "app requires lone>=1: give --find-links DIR or --index-url URL"),
    ("another Python", ["lone"], ["--python", "2.7"], "app-1.0-py3-none-any.whl does not serve Python 2.7"),
]


@pytest.mark.parametrize("what, requires, options, expected", RESOLUTION, ids=[row[0] for row in RESOLUTION])
def test_dependencies_are_resolved_and_bundled_as_pip_does(folder, what, requires, options, expected):
    app = small_wheel(str(folder / "app"), "app", "1.0", requires)
    out = str(folder / "setup.exe")
    links = [] if options is None else ["--find-links", str(folder / "wheels")] + options
    result = run_packer("--wheel", app, "--stub", str(folder / "stub.exe"), "--output", out, *links)
    if isinstance(expected, str):
        assert_refused(unittest.TestCase(), result, expected, what)
        assert not os.path.exists(out)
        return
    assert result.returncode == 0, result.stderr
    with open(out, "rb") as f:
        image = f.read()
    lines, python_requires = expected
    assert (distributions_of(image), settings_of(image)["python_requires"]) == (lines, python_requires)
    # Each distribution is installed with its own RECORD; only the package was asked for.
    members = archive_of(image)
    for line in lines:
        dist_info = line.split(";")[1]
        assert "PURELIB/%s/RECORD" % dist_info in members
        assert ("PURELIB/%s/REQUESTED" % dist_info in members) == (line == APP)


def test_no_deps_packs_the_wheel_alone_and_names_what_it_requires(folder):
    app = small_wheel(str(folder / "app"), "app", "1.0", ["lone>=1", 'old; python_version < "3"'])
    out = str(folder / "setup.exe")
    result = run_packer("--wheel", app, "--stub", str(folder / "stub.exe"), "--output", out, "--no-deps")
    assert result.returncode == 0, result.stderr
    assert result.stderr == "mkpkg_kitpack: warning: --no-deps: app requires lone>=1, which the installer does not bring\n"
    with open(out, "rb") as f:
        assert distributions_of(f.read()) == [APP]


def test_the_packers_wheel_installs_with_pip_and_packs_from_any_folder(folder):
    files = folder / "files"
    files.mkdir()
    for name in ("stub-msvcr71.exe", "stub-msvcrt.exe", "launcher-console.exe", "launcher-gui.exe",
                 "launcher-console-x64.exe", "launcher-gui-x64.exe"):
        (files / name).write_bytes(pe_stub(0x14C) + name.encode())
    (files / "stub-msvcrt-x64.exe").write_bytes(pe_stub(0x8664) + b"bundled")
    built = subprocess.run([os.path.join(ROOT, "tools", "build-packer-wheel"), str(files), str(folder / "dist")],
                           capture_output=True, text=True, check=True).stdout.strip()
    env = str(folder / "env")
    subprocess.run(["/usr/bin/python3", "-m", "venv", "--system-site-packages", env], check=True)
    installed = subprocess.run([os.path.join(env, "bin", "python"), "-m", "pip", "install", "--no-index",
                                "--disable-pip-version-check", built], capture_output=True, text=True)
    assert installed.returncode == 0, installed.stderr
    app = small_wheel(str(folder / "app"), "app", "1.0", ["mid"])
    elsewhere = folder / "elsewhere"
    elsewhere.mkdir()
    result = subprocess.run([os.path.join(env, "bin", "mkpkg_kitpack"), "--wheel", app, "--output", "setup.exe",
                             "--find-links", str(folder / "wheels"), "--python", "3.12"],
                            cwd=str(elsewhere), capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    image = (elsewhere / "setup.exe").read_bytes()
    assert split(image)[0] == pe_stub(0x8664) + b"bundled"
    assert distributions_of(image) == [APP, "leaf=1.0;leaf-1.0.dist-info;<2", "mid=1.2;mid-1.2.dist-info;"]
