"""The packer turns a wheel into an installer whose package is an installed
distribution: the files where an installation puts them, the dist-info with a
RECORD for them, the settings from the metadata, and refusals of wheels it
cannot install."""
import base64
import contextlib
import csv
import hashlib
import importlib.machinery
import importlib.util
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

from mkpkg_kitpack_test import PACKER, ROOT, assert_refused, split

MAKE_TEST_WHEEL = os.path.join(ROOT, "tests", "tools", "make_test_wheel")
WHEEL_TEXT = "Wheel-Version: 1.0\nGenerator: hand\nRoot-Is-Purelib: %s\nTag: py3-none-any\n"
METADATA_TEXT = ("Metadata-Version: 2.1\nName: Demo-Pkg\nVersion: 2.5\nSummary: Shows the wheel path\n\n"
                 "First line of the description\ngoes on here.\n\nSecond paragraph.\n")


def pe_stub(machine):
    """The first bytes of a Windows program for machine (0x8664, 0x14C)."""
    return b"MZ" + b"w" * 58 + struct.pack("<I", 64) + b"PE\0\0" + struct.pack("<H", machine) + b"w" * 30


STUB = pe_stub(0x8664)
LAUNCHERS = ("launcher-console.exe", "launcher-gui.exe", "launcher-console-x64.exe", "launcher-gui-x64.exe")


def make_launchers(folder):
    """Launcher programs that are their own names, in folder."""
    os.makedirs(folder, exist_ok=True)
    for name in LAUNCHERS:
        with open(os.path.join(folder, name), "wb") as f:
            f.write(name.encode() * 4)
    return folder


def sha256(data):
    return "sha256=" + base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()


def make_wheel(path, files, purelib=True, metadata=METADATA_TEXT, wheel_text=None,
               omit=(), record=None, dist="demo_pkg-2.5.dist-info/"):
    """Writes a wheel holding files (archive name: bytes) and a dist-info (for
    demo_pkg 2.5 unless named), with a RECORD row for each file; record maps
    names to the (hash, size) of their row instead, or to None for no row."""
    contents = dict(files)
    if "WHEEL" not in omit:
        contents[dist + "WHEEL"] = (wheel_text or WHEEL_TEXT % ("true" if purelib else "false")).encode()
    if "METADATA" not in omit:
        contents[dist + "METADATA"] = metadata.encode()
    rows = {name: (sha256(data), str(len(data))) for name, data in contents.items()}
    rows.update(record or {})
    out = io.StringIO()
    csv.writer(out, lineterminator="\n").writerows(
        [(name,) + row for name, row in rows.items() if row is not None] + [(dist + "RECORD", "", "")])
    if "RECORD" not in omit:
        contents[dist + "RECORD"] = out.getvalue().encode()
    with zipfile.ZipFile(path, "w") as z:
        for name, data in contents.items():
            z.writestr(name, data)
    return path


def load_packer():
    loader = importlib.machinery.SourceFileLoader("mkpkg_kitpack", PACKER)
    spec = importlib.util.spec_from_loader("mkpkg_kitpack", loader)
    module = importlib.util.module_from_spec(spec)
    loader.exec_module(module)
    return module


PACKER_MODULE = load_packer()


def run_packer(*args, packer=None):
    """Runs the packer, in this process unless it is another copy of it."""
    if packer:
        return subprocess.run([sys.executable, packer, *args], capture_output=True, text=True)
    stderr = io.StringIO()
    with contextlib.redirect_stderr(stderr):
        try:
            status = PACKER_MODULE.main(list(args))
        except SystemExit as exit:
            status = exit.code
    return subprocess.CompletedProcess(args, status, "", stderr.getvalue())


def archive_of(image):
    with zipfile.ZipFile(io.BytesIO(split(image)[3])) as z:
        return {name: z.read(name) for name in z.namelist()}


def settings_of(image):
    text = split(image)[2].split(b"\0", 1)[0].decode("latin-1")
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


def record_of(members, key="PURELIB"):
    text = members[key + "/demo_pkg-2.5.dist-info/RECORD"].decode()
    return {row[0]: tuple(row[1:]) for row in csv.reader(io.StringIO(text))}


# Where site_packages_scheme puts each key below the Python folder.
SCHEME = {"PURELIB": "Lib/site-packages/", "PLATLIB": "Lib/site-packages/", "HEADERS": "",
          "SCRIPTS": "Scripts/", "DATA": ""}


def install_as_the_stub_does(members, python_dir, site_packages=None):
    """Writes the archive members below python_dir through site_packages_scheme
    (or with another folder below python_dir for site-packages)."""
    scheme = dict(SCHEME)
    if site_packages:
        scheme.update(PURELIB=site_packages + "/", PLATLIB=site_packages + "/")
    for name, data in members.items():
        key, rest = name.split("/", 1)
        path = os.path.join(python_dir, scheme[key] + rest)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


class WheelPackerTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.tmp)
        self.stub = os.path.join(self.tmp, "stub.exe")
        with open(self.stub, "wb") as f:
            f.write(STUB)
        self.out = os.path.join(self.tmp, "setup.exe")
        self.launchers = make_launchers(os.path.join(self.tmp, "launchers"))

    def wheel(self, files=None, name="demo_pkg-2.5-py3-none-any.whl", **kwargs):
        files = {"demo_pkg/__init__.py": b"x = 1\n"} if files is None else files
        return make_wheel(os.path.join(self.tmp, name), files, **kwargs)

    def pack(self, wheel, *args):
        result = run_packer("--wheel", wheel, "--stub", self.stub, "--output", self.out,
                            "--launcher-dir", self.launchers, *args)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.out, "rb") as f:
            return f.read(), result.stderr

    def test_every_wheel_folder_goes_to_its_scheme_key(self):
        data = "demo_pkg-2.5.data/"
        rows = [  # (wheel member, Root-Is-Purelib, archive member, RECORD path)
            ("demo_pkg/a.py", True, "PURELIB/demo_pkg/a.py", "demo_pkg/a.py"),
            ("demo_pkg/a.py", False, "PLATLIB/demo_pkg/a.py", "demo_pkg/a.py"),
            (data + "purelib/p/b.py", False, "PURELIB/p/b.py", "p/b.py"),
            (data + "platlib/p/c.pyd", True, "PLATLIB/p/c.pyd", "p/c.pyd"),
            (data + "scripts/tool.py", True, "SCRIPTS/tool.py", "../../Scripts/tool.py"),
            (data + "headers/demo.h", True, "HEADERS/Include/Demo-Pkg/demo.h", "../../Include/Demo-Pkg/demo.h"),
            (data + "data/share/demo/x.dat", True, "DATA/share/demo/x.dat", "../../share/demo/x.dat"),
            ("demo_pkg/caf\u00e9.py", True, "PURELIB/demo_pkg/caf\u00e9.py", "demo_pkg/caf\u00e9.py"),
        ]
        for member, purelib, archive_name, record_path in rows:
            content = member.encode() * 3
            image, _ = self.pack(self.wheel({member: content}, purelib=purelib))
            members = archive_of(image)
            self.assertEqual(members.get(archive_name), content, member)
            root = "PURELIB" if purelib else "PLATLIB"
            self.assertEqual(record_of(members, root)[record_path], (sha256(content), str(len(content))), member)
            self.assertIn(root + "/demo_pkg-2.5.dist-info/METADATA", members, member)
            # A name outside ASCII is stored in UTF-8 with the UTF-8 flag, as the wheel stores it.
            with zipfile.ZipFile(io.BytesIO(split(image)[3])) as z:
                self.assertEqual(bool(z.getinfo(archive_name).flag_bits & 0x800), not member.isascii(), member)

    def test_record_lists_every_installed_file_and_itself_without_hash(self):
        files = {"demo_pkg/__init__.py": b"x = 1\n", "demo_pkg-2.5.data/scripts/t.py": b"#!python\nprint(1)\n",
                 "demo_pkg-2.5.dist-info/top_level.txt": b"demo_pkg\n"}
        image, _ = self.pack(self.wheel(files))
        members = archive_of(image)
        dist = "demo_pkg-2.5.dist-info/"
        self.assertEqual(members["PURELIB/" + dist + "INSTALLER"], b"kitpack\n")
        # The script's #!python line stays as the wheel has it.
        self.assertEqual(members["SCRIPTS/t.py"], b"#!python\nprint(1)\n")
        record = record_of(members)
        self.assertEqual(record[dist + "RECORD"], ("", ""))
        installed = {}
        for name, data in members.items():
            key, rest = name.split("/", 1)
            installed[{"SCRIPTS": "../../Scripts/"}.get(key, "") + rest] = data
        self.assertEqual(set(record), set(installed))
        for path, data in installed.items():
            if path != dist + "RECORD":
                self.assertEqual(record[path], (sha256(data), str(len(data))), path)
        # The members come in the wheel's order, the dist-info last, RECORD the very last.
        self.assertEqual(list(members)[-1], "PURELIB/" + dist + "RECORD")
        self.assertEqual(list(members)[:2], ["PURELIB/demo_pkg/__init__.py", "SCRIPTS/t.py"])

    def test_settings_come_from_metadata_and_tags(self):
        image, _ = self.pack(self.wheel())
        settings = settings_of(image)
        self.assertEqual(settings["name"], "Demo-Pkg")
        self.assertEqual(settings["title"], "Demo-Pkg 2.5")
        self.assertEqual(settings["info"], "Shows the wheel path\\n\\n"
                         "First line of the description goes on here.\\n\\nSecond paragraph.")
        self.assertEqual(settings["build_info"], "Built from demo_pkg-2.5-py3-none-any.whl")
        self.assertEqual(settings["target_version"], "")

    def test_the_pythons_served_come_from_the_tags_and_requires_python(self):
        x64, x86 = 0x8664, 0x14C
        rows = [  # (tags, Requires-Python, stub's processor, python_requires or None: refused, target_version)
            ("py3-none-any", "", x64, ">=3", ""),
            ("cp312-abi3-win_amd64", "", x64, ">=3.12,<4", ""),
            ("cp311-cp311-win_amd64", "", x64, "==3.11.*", "3.11"),
            ("py2.py3-none-any", "", x64, "", ""),
            ("py2-none-any", "", x64, "<3", ""),
            ("cp27-cp27m-win32", "", x86, "==2.7.*", "2.7"),
            ("cp310.cp311-cp310.cp311-win_amd64", "", x64, ">=3.10,<3.12", ""),
            ("cp39-none-any", "", x64, "==3.9.*", "3.9"),
            ("py3-none-any", ">=3.8.1", x64, ">=3.8,<4", ""),
            ("py2.py3-none-any", ">=2.7, !=3.0.*, !=3.1.*", x64, ">=2.7,!=3.0.*,!=3.1.*", ""),
            ("cp312-abi3-win_amd64", "<3.14", x64, ">=3.12,<3.14", ""),
            ("py3-none-any", "==3.12.*", x64, "==3.12.*", "3.12"),
            ("py2-none-any", ">=3", x64, None, ""),
            ("pp310-pypy310_pp73-win_amd64", "", x64, None, ""),
            ("cp313-cp313t-win_amd64", "", x64, None, ""),
            ("cp311-cp311-win32", "", x64, None, ""),
            ("cp311-cp311-win_amd64", "", x86, None, ""),
        ]
        for tags, requires, machine, python_requires, version in rows:
            what = "%s %s" % (tags, requires)
            metadata = METADATA_TEXT.replace("Version: 2.5\n", "Version: 2.5\nRequires-Python: %s\n" % requires)
            with open(self.stub, "wb") as f:
                f.write(pe_stub(machine))
            result = run_packer("--wheel", self.wheel(name="demo_pkg-2.5-%s.whl" % tags, metadata=metadata),
                                "--stub", self.stub, "--output", self.out)
            if python_requires is None:
                assert_refused(self, result, "no CPython for", what)
                self.assertFalse(os.path.exists(self.out), what)
                continue
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(self.out, "rb") as f:
                settings = settings_of(f.read())
            os.remove(self.out)
            self.assertEqual((settings["python_requires"], settings["target_version"]), (python_requires, version), what)

    def test_options_and_config_override_the_wheels_settings(self):
        config = os.path.join(self.tmp, "setup.ini")
        with open(config, "w") as f:
            f.write("[Setup]\ninfo=From the file\ntitle=File title\n")
        image, _ = self.pack(self.wheel(name="demo_pkg-2.5-cp39-cp39-win_amd64.whl"), "--config", config,
                             "--title", "Option title", "--name", "demo", "--target-version=",
                             "--install-script", "demo_post.py")
        settings = settings_of(image)
        self.assertEqual((settings["title"], settings["info"], settings["name"]),
                         ("Option title", "From the file", "demo"))
        self.assertEqual((settings["target_version"], settings["install_script"]), ("", "demo_post.py"))
        self.assertEqual(settings["build_info"], "Built from demo_pkg-2.5-cp39-cp39-win_amd64.whl")

    def test_display_texts_survive_the_stubs_escapes(self):
        # The stub reads \n as a line break, \ooo as a byte, and drops other
        # escapes; the profile reader strips quotes around a value.
        rows = [("C:\\Temp", "C:\\134Temp"), ("a\\1b", "a\\134\\061b"), ('"quoted"', '\\042quoted"'),
                ("caf\u00e9 \u2713", "caf\u00e9 ?")]
        for summary, info in rows:
            metadata = "Metadata-Version: 2.1\nName: d\nVersion: 1\nSummary: %s\n" % summary
            image, _ = self.pack(self.wheel(metadata=metadata))
            self.assertEqual(settings_of(image)["info"], info, summary)

    def test_a_long_description_is_cut_at_a_word(self):
        metadata = "Metadata-Version: 2.1\nName: d\nVersion: 1\n\n" + "word " * 300
        image, _ = self.pack(self.wheel(metadata=metadata))
        info = settings_of(image)["info"]
        self.assertTrue(info.endswith("word ..."), info[-20:])
        self.assertLessEqual(len(info), 504)

    def test_the_older_description_field_is_read_too(self):
        metadata = ("Metadata-Version: 1.1\nName: d\nVersion: 1\nSummary: S\n"
                    "Description: First line\n       |second line\n")
        image, _ = self.pack(self.wheel(metadata=metadata))
        self.assertEqual(settings_of(image)["info"], "S\\n\\nFirst line second line")

    def entry_points_wheel(self, text, files=None):
        files = dict(files or {"demo_pkg/__init__.py": b""})
        files["demo_pkg-2.5.dist-info/entry_points.txt"] = text.encode()
        return self.wheel(files)

    def test_entry_points_become_launchers_listed_in_record(self):
        text = ("[console_scripts]\ndemo = demo_pkg:main\ndemo-two = demo_pkg.cli : App.run [extra]\n"
                "[gui_scripts]\ndemo-gui = demo_pkg:gui\n[other]\nx = y:z\n")
        for stub, suffix in ((pe_stub(0x8664), "-x64"), (pe_stub(0x14C), "")):
            with open(self.stub, "wb") as f:
                f.write(stub)
            image, stderr = self.pack(self.entry_points_wheel(text))
            self.assertEqual(stderr, "", suffix)
            members = archive_of(image)
            record = record_of(members)
            rows = [("demo", "console", "from demo_pkg import main", "sys.exit(main())"),
                    ("demo-two", "console", "from demo_pkg.cli import App", "sys.exit(App.run())"),
                    ("demo-gui", "gui", "from demo_pkg import gui", "sys.exit(gui())")]
            for name, kind, imports, call in rows:
                data = members["SCRIPTS/%s.exe" % name]
                launcher = ("launcher-%s%s.exe" % (kind, suffix)).encode() * 4
                self.assertEqual(data[:len(launcher)], launcher, name)
                self.assertEqual(record["../../Scripts/%s.exe" % name], (sha256(data), str(len(data))), name)
                with zipfile.ZipFile(io.BytesIO(data)) as z:
                    self.assertEqual(z.namelist(), ["__main__.py"], name)
                    self.assertEqual(z.getinfo("__main__.py").compress_type, zipfile.ZIP_STORED, name)
                    main = z.read("__main__.py").decode()
                    # Offsets count from the file's start: a reader that does
                    # not look for data in front of the archive finds it too.
                    self.assertEqual(z.getinfo("__main__.py").header_offset, len(launcher), name)
                self.assertIn("\nimport sys\n%s\n" % imports, main, name)
                self.assertTrue(main.endswith("    %s\n" % call), name)
            self.assertEqual(members["PURELIB/demo_pkg-2.5.dist-info/REQUESTED"], b"")
            self.assertEqual(record["demo_pkg-2.5.dist-info/REQUESTED"], (sha256(b""), "0"))
            self.assertEqual([m for m in members if m.startswith("SCRIPTS/")],
                             ["SCRIPTS/demo.exe", "SCRIPTS/demo-two.exe", "SCRIPTS/demo-gui.exe"])

    def test_a_launchers_zip_application_runs_its_entry_point(self):
        # This machine's Python runs the member as Python on Windows would:
        # the file, its arguments, sys.argv[0] without ".exe", the exit status.
        module = "import sys\ndef main():\n    print(repr(sys.argv))\n    return 3\n"
        image, _ = self.pack(self.entry_points_wheel("[console_scripts]\ndemo = demo_pkg:main\n",
                                                     {"demo_pkg/__init__.py": module.encode()}))
        members = archive_of(image)
        site = os.path.join(self.tmp, "site")
        install_as_the_stub_does(members, site)
        tool = os.path.join(site, "Scripts", "demo.exe")
        env = dict(os.environ, PYTHONPATH=os.path.join(site, "Lib", "site-packages"))
        ran = subprocess.run([sys.executable, tool, "a b", ""], capture_output=True, text=True, env=env)
        self.assertEqual((ran.returncode, ran.stderr), (3, ""))
        self.assertEqual(ran.stdout, repr([tool[:-4], "a b", ""]) + "\n")

    def test_no_launchers_keeps_the_entry_points_out_with_a_warning(self):
        text = "[console_scripts]\ndemo = demo_pkg:main\n[gui_scripts]\ndemo-gui = demo_pkg:gui\n"
        image, stderr = self.pack(self.entry_points_wheel(text), "--no-launchers")
        self.assertEqual(stderr.splitlines(), [
            "mkpkg_kitpack: warning: --no-launchers: entry points are not installed: demo, demo-gui"])
        self.assertEqual([m for m in archive_of(image) if m.startswith("SCRIPTS/")], [])
        _, stderr = self.pack(self.wheel(), "--no-launchers")
        self.assertEqual(stderr, "")

    def test_entry_points_that_cannot_be_commands_are_refused(self):
        scripts = "demo_pkg-2.5.data/scripts/"
        rows = [  # (what, entry_points.txt, other files, words of the message)
            ("no module", "[console_scripts]\ndemo = :main\n", {}, "is not module:object"),
            ("no object", "[console_scripts]\ndemo = demo_pkg\n", {}, "is not module:object"),
            ("empty object", "[gui_scripts]\ndemo = demo_pkg:\n", {}, "is not module:object"),
            ("not a name", "[console_scripts]\ndemo = demo-pkg:main\n", {}, "is not module:object"),
            ("slash", "[console_scripts]\nbin/demo = demo_pkg:main\n", {}, "has a path separator"),
            ("backslash", "[gui_scripts]\n..\\demo = demo_pkg:main\n", {}, "has a path separator"),
            ("no name", "[console_scripts]\n = demo_pkg:main\n", {}, "entry_points.txt cannot be read"),
            ("colon", "[console_scripts]\nc:demo = demo_pkg:main\n", {}, "cannot be an installed file name"),
            ("device", "[console_scripts]\nCON = demo_pkg:main\n", {}, "reserves"),
            ("dot", "[console_scripts]\ndemo. = demo_pkg:main\n", {}, "reserves or cuts"),
            ("same name", "[console_scripts]\ndemo = demo_pkg:a\n[gui_scripts]\nDemo = demo_pkg:b\n", {},
             "would be Scripts\\Demo.exe, which entry point demo installs as well"),
            ("wheel script", "[console_scripts]\ndemo = demo_pkg:a\n", {scripts + "DEMO.EXE": b"MZ"},
             "which " + scripts + "DEMO.EXE installs as well"),
        ]
        for what, text, files, words in rows:
            files = dict(files, **{"demo_pkg/__init__.py": b""})
            result = run_packer("--wheel", self.entry_points_wheel(text, files), "--stub", self.stub,
                                "--output", self.out, "--launcher-dir", self.launchers)
            assert_refused(self, result, words, what)
            self.assertFalse(os.path.exists(self.out), what)
        # A stub whose processor is unknown, and a launcher that is not built.
        wheel = self.entry_points_wheel("[console_scripts]\ndemo = demo_pkg:main\n")
        with open(self.stub, "wb") as f:
            f.write(b"MZ" + b"w" * 100)
        result = run_packer("--wheel", wheel, "--stub", self.stub, "--output", self.out, "--launcher-dir", self.launchers)
        self.assertEqual(result.returncode, 2)
        self.assertIn("cannot tell the stub's processor", result.stderr)
        with open(self.stub, "wb") as f:
            f.write(pe_stub(0x14C))
        os.remove(os.path.join(self.launchers, "launcher-console.exe"))
        result = run_packer("--wheel", wheel, "--stub", self.stub, "--output", self.out, "--launcher-dir", self.launchers)
        self.assertEqual(result.returncode, 2)
        self.assertIn("no launcher %s" % os.path.join(self.launchers, "launcher-console.exe"), result.stderr)
        self.assertFalse(os.path.exists(self.out))

    def test_the_stub_follows_the_platform_tag(self):
        # A copy of the checkout's packer whose dist/ folder holds marked stubs.
        tools = os.path.join(self.tmp, "kit", "tools")
        dist = os.path.join(self.tmp, "kit", "dist")
        os.makedirs(tools)
        os.makedirs(dist)
        shutil.copy(os.path.join(ROOT, "tools", "mkpkg_kitpack"), tools)
        shutil.copytree(os.path.join(ROOT, "packer"), os.path.join(self.tmp, "kit", "packer"))
        marked = {"stub-msvcrt.exe": pe_stub(0x14C) + b"stub-msvcrt.exe",
                  "stub-msvcrt-x64.exe": pe_stub(0x8664) + b"stub-msvcrt-x64.exe"}
        for stub, data in marked.items():
            with open(os.path.join(dist, stub), "wb") as f:
                f.write(data)
        rows = [("cp39-cp39-win32", marked["stub-msvcrt.exe"]), ("cp39-cp39-win_amd64", marked["stub-msvcrt-x64.exe"]),
                ("cp39-none-any", marked["stub-msvcrt-x64.exe"])]
        for platform, stub in rows:
            wheel = self.wheel(name="demo_pkg-2.5-%s.whl" % platform)
            result = run_packer("--wheel", wheel, "--output", self.out, packer=os.path.join(tools, "mkpkg_kitpack"))
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(self.out, "rb") as f:
                self.assertEqual(split(f.read())[0], stub, platform)
        # A stub that is not built yet is named.
        os.remove(os.path.join(dist, "stub-msvcrt.exe"))
        wheel = self.wheel(name="demo_pkg-2.5-cp39-cp39-win32.whl")
        result = run_packer("--wheel", wheel, "--output", self.out, packer=os.path.join(tools, "mkpkg_kitpack"))
        self.assertEqual(result.returncode, 2)
        self.assertIn("no stub %s" % os.path.join(dist, "stub-msvcrt.exe"), result.stderr)
        # --stub wins over the platform's.
        with open(self.stub, "wb") as f:
            f.write(pe_stub(0x14C))
        image, _ = self.pack(self.wheel(name="demo_pkg-2.5-cp39-none-any.whl"))
        self.assertEqual(split(image)[0], pe_stub(0x14C))

    def test_refused_wheels_give_status_2_a_message_and_no_output(self):
        good = {"demo_pkg/__init__.py": b"x = 1\n"}
        dist = "demo_pkg-2.5.dist-info/"
        rows = [  # (what, wheel file name, make_wheel arguments, words of the message)
            ("linux", "demo_pkg-2.5-cp311-cp311-linux_x86_64.whl", {}, "not for Windows"),
            ("manylinux", "demo_pkg-2.5-cp311-cp311-manylinux_2_17_x86_64.manylinux2014_x86_64.whl", {},
             "not for Windows"),
            ("macos", "demo_pkg-2.5-py3-none-macosx_11_0_arm64.whl", {}, "not for Windows"),
            ("hash", None, {"record": {"demo_pkg/__init__.py": (sha256(b"x = 2\n"), "6")}},
             "demo_pkg/__init__.py does not match its hash in RECORD"),
            ("size", None, {"record": {"demo_pkg/__init__.py": (sha256(b"x = 1\n"), "7")}},
             "does not match its size"),
            ("no hash", None, {"record": {"demo_pkg/__init__.py": ("", "")}}, "has no sha256"),
            ("weak hash", None, {"record": {"demo_pkg/__init__.py": ("md5=abc", "6")}}, "has no sha256"),
            ("unlisted", None, {"record": {"demo_pkg/__init__.py": None}},
             "demo_pkg/__init__.py is not listed in RECORD"),
            ("missing", None, {"record": {"gone.py": (sha256(b""), "0")}}, "RECORD lists gone.py"),
            ("absolute", None, {"files": {"/etc/evil": b""}}, "/etc/evil has an absolute path"),
            ("drive", None, {"files": {"C:/evil": b""}}, "absolute path"),
            ("backslash root", None, {"files": {"\\evil": b""}}, "absolute path"),
            ("climbs", None, {"files": {"demo_pkg/../../evil.py": b""}}, "climbs out"),
            ("climbs in data", None, {"files": {"demo_pkg-2.5.data/scripts/../../../x": b""}}, "climbs out"),
            ("climbs with backslash", None, {"files": {"demo_pkg\\..\\..\\x": b""}}, "climbs out"),
            ("windows name", None, {"files": {"demo_pkg/a|b.py": b""}}, "a name that Windows cannot take (a|b.py)"),
            ("device name", None, {"files": {"aux/x.py": b""}}, "a name that Windows cannot take (aux)"),
            ("no WHEEL", None, {"omit": ("WHEEL",)}, "has no " + dist + "WHEEL"),
            ("no METADATA", None, {"omit": ("METADATA",)}, "has no " + dist + "METADATA"),
            ("no RECORD", None, {"omit": ("RECORD",)}, "has no " + dist + "RECORD"),
            ("no dist-info", None, {"omit": ("WHEEL", "METADATA", "RECORD")}, "has no .dist-info"),
            ("wheel version", None, {"wheel_text": "Wheel-Version: 2.0\nRoot-Is-Purelib: true\n"}, "Wheel-Version 2.0"),
            ("unknown data key", None, {"files": {"demo_pkg-2.5.data/config/x": b""}}, "in no install folder"),
            ("same file twice", None, {"files": {"a.py": b"", "demo_pkg-2.5.data/purelib/A.py": b""}},
             "two members install to"),
            ("file name", "demo.whl", {}, "is not a wheel file name"),
        ]
        for what, name, kwargs, words in rows:
            kwargs = dict(kwargs)
            files = kwargs.pop("files", good)
            wheel = self.wheel(files, name=name or "demo_pkg-2.5-py3-none-any.whl", **kwargs)
            result = run_packer("--wheel", wheel, "--stub", self.stub, "--output", self.out)
            assert_refused(self, result, words, what)
            self.assertFalse(os.path.exists(self.out), what)

    def test_a_file_that_is_no_zip_is_refused(self):
        path = os.path.join(self.tmp, "demo_pkg-2.5-py3-none-any.whl")
        with open(path, "wb") as f:
            f.write(b"not a zip")
        result = run_packer("--wheel", path, "--stub", self.stub, "--output", self.out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("cannot read demo_pkg-2.5-py3-none-any.whl", result.stderr)
        self.assertFalse(os.path.exists(self.out))

    def test_a_damaged_member_is_refused(self):
        path = self.wheel()
        with open(path, "rb") as f:
            data = bytearray(f.read())
        data[data.index(b"x = 1")] ^= 1  # the stored module's bytes: its CRC no longer matches
        with open(path, "wb") as f:
            f.write(data)
        result = run_packer("--wheel", path, "--stub", self.stub, "--output", self.out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("cannot read demo_pkg-2.5-py3-none-any.whl", result.stderr)
        self.assertFalse(os.path.exists(self.out))

    def test_wheel_and_tree_do_not_go_together(self):
        result = run_packer("--wheel", self.wheel(), "--tree", self.tmp, "--stub", self.stub, "--output", self.out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("not allowed with argument", result.stderr)
        result = run_packer("--tree", self.tmp, "--output", self.out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("--stub is required without --wheel", result.stderr)


class RealWheelTest(unittest.TestCase):
    """A wheel that pip, setuptools and wheel made, installed as the stub does,
    is a distribution that importlib.metadata and pip find."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        built = subprocess.run([sys.executable, MAKE_TEST_WHEEL, os.path.join(cls.tmp, "wheels")],
                               capture_output=True, text=True)
        assert built.returncode == 0, built.stderr
        cls.wheel = built.stdout.strip()
        stub = os.path.join(cls.tmp, "stub.exe")
        with open(stub, "wb") as f:
            f.write(STUB)
        out = os.path.join(cls.tmp, "setup.exe")
        launchers = make_launchers(os.path.join(cls.tmp, "launchers"))
        packed = run_packer("--wheel", cls.wheel, "--stub", stub, "--output", out, "--launcher-dir", launchers)
        assert packed.returncode == 0, packed.stderr
        cls.warning = packed.stderr
        with open(out, "rb") as f:
            cls.image = f.read()
        cls.python_dir = os.path.join(cls.tmp, "Python")
        install_as_the_stub_does(archive_of(cls.image), cls.python_dir)
        cls.site = os.path.join(cls.python_dir, "Lib", "site-packages")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_every_folder_of_the_wheel_is_installed(self):
        self.assertEqual(os.path.basename(self.wheel), "tiny_pkg-1.0-py3-none-any.whl")
        installed = sorted(os.path.relpath(os.path.join(d, f), self.python_dir).replace(os.sep, "/")
                           for d, _, files in os.walk(self.python_dir) for f in files)
        dist = "Lib/site-packages/tiny_pkg-1.0.dist-info/"
        self.assertEqual(installed, sorted([
            "Include/tiny-pkg/tiny_pkg.h", "Scripts/tiny_tool.py", "share/tiny-pkg/tiny_pkg.dat",
            "Scripts/tiny-hello.exe", "Scripts/tiny-window.exe",
            "Lib/site-packages/tiny_pkg/__init__.py", dist + "INSTALLER", dist + "METADATA", dist + "REQUESTED",
            dist + "RECORD", dist + "WHEEL", dist + "entry_points.txt", dist + "top_level.txt"]))
        with open(os.path.join(self.python_dir, "Scripts", "tiny_tool.py"), "rb") as f:
            self.assertEqual(f.readline(), b"#!python\n")
        with open(os.path.join(self.python_dir, "Scripts", "tiny-window.exe"), "rb") as f:
            self.assertTrue(f.read().startswith(b"launcher-gui-x64.exe"))
        self.assertEqual(self.warning, "")

    def test_importlib_metadata_finds_the_distribution_and_its_files(self):
        import importlib.metadata
        dists = list(importlib.metadata.distributions(path=[self.site]))
        self.assertEqual([(d.metadata["Name"], d.version) for d in dists], [("tiny-pkg", "1.0")])
        dist = dists[0]
        self.assertEqual(dist.read_text("INSTALLER"), "kitpack\n")
        on_disk = {os.path.normpath(os.path.join(d, f)) for d, _, files in os.walk(self.python_dir) for f in files}
        listed = set()
        for entry in dist.files:
            path = os.path.normpath(str(entry.locate()))
            listed.add(path)
            self.assertTrue(os.path.isfile(path), entry)
            if entry.hash is not None:
                with open(path, "rb") as f:
                    self.assertEqual(sha256(f.read()), "sha256=" + entry.hash.value, entry)
                self.assertEqual(entry.size, os.path.getsize(path), entry)
        self.assertEqual(listed, on_disk)

    def test_settings_come_from_the_wheel(self):
        settings = settings_of(self.image)
        self.assertEqual((settings["name"], settings["title"], settings["target_version"]), ("tiny-pkg", "tiny-pkg 1.0", ""))
        self.assertTrue(settings["info"].startswith("A tiny package for the packer's wheel tests\\n\\ntiny-pkg installs"))

    def test_pip_lists_it(self):
        # Debian's pip: the machine's python3 may be another one without pip.
        listed = subprocess.run(["/usr/bin/python3", "-m", "pip", "list", "--path", self.site,
                                 "--format", "freeze", "--disable-pip-version-check"],
                                capture_output=True, text=True)
        self.assertEqual(listed.returncode, 0, listed.stderr)
        self.assertEqual(listed.stdout.splitlines(), ["tiny-pkg==1.0"])

    def test_pip_uninstalls_it(self):
        # A virtual environment of Debian's Python: its lib folder stands for
        # the Python folder, so that RECORD's ../../ paths stay inside it.
        env = os.path.join(self.tmp, "env")
        subprocess.run(["/usr/bin/python3", "-m", "venv", "--without-pip", env], check=True)
        python = os.path.join(env, "bin", "python")
        site = subprocess.run([python, "-c", "import sysconfig; print(sysconfig.get_path('purelib'))"],
                              capture_output=True, text=True, check=True).stdout.strip()
        lib = os.path.dirname(os.path.dirname(site))
        install_as_the_stub_does(archive_of(self.image), lib, os.path.relpath(site, lib))

        def files():
            return sorted(os.path.join(d, f) for d, _, names in os.walk(lib) for f in names)
        self.assertEqual(len(files()), 13)
        removed = subprocess.run(["/usr/bin/python3", "-m", "pip", "--python", python, "uninstall", "-y",
                                  "--disable-pip-version-check", "tiny-pkg"], capture_output=True, text=True)
        self.assertEqual(removed.returncode, 0, removed.stderr)
        self.assertIn("Successfully uninstalled tiny-pkg-1.0", removed.stdout)
        self.assertEqual(files(), [])


if __name__ == "__main__":
    unittest.main()
