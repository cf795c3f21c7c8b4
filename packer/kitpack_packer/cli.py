"""Builds a kitpack installer image.

Settings come from an INI file (--config) and/or from options; an option wins
over the file. Example:

    mkpkg_kitpack --stub dist/stub-msvcrt.exe --title "Example 1.0" \\
        --name example --install-script example_post.py \\
        --tree examples/example/files --output example-setup.exe

With --wheel the package is a wheel instead of a tree: its files go where an
installation from the wheel puts them, its .dist-info folder is installed with
a RECORD for the installed files, and its metadata and tags give the settings
(name, title, info, build_info, python_requires) and the stub (the one bundled
for the wheel's platform), each of which the options and the INI file override:

    mkpkg_kitpack --wheel example-1.0-py3-none-any.whl --output example-setup.exe

Each console and GUI entry point of the wheel becomes Scripts\\NAME.exe: the
launcher of its kind for the stub's processor (launcher-console.exe,
launcher-gui.exe, or their -x64 builds, bundled) followed by a zip archive whose
__main__.py calls the entry point. An entry point that cannot be such a command
(no module:object, a name that is no file name or that another script has) is
refused, as the wheels below are; --no-launchers leaves the entry points out.

The installer serves the Python versions X.Y whose CPython for the stub's
processor takes one of the wheel's tags and that its Requires-Python admits
([Setup] python_requires); --python X.Y narrows them. A wheel that no such
CPython can take, or that cannot be installed as it stands (another platform,
files that do not match its RECORD, a path outside its folders, no WHEEL or
METADATA) is refused with exit status 2 and no output file.

A wheel's requirements (Requires-Dist) are resolved by pip for each version
served, from the folders of wheels named by --find-links and the index of
--index-url, and the wheels they take are packed beside the package, each an
installed distribution of its own ([distributions] lists them). --no-deps packs
the wheel alone and names what it requires.

With --sign-pkcs12 (and --sign-password-file) or --sign-cert and --sign-key the
installer is Authenticode-signed by osslsigncode, its description the package
title, and the signature verified; when signing or verifying fails the packer
exits with status 2 and writes no output file.
"""
import argparse
import configparser
import os
import sys
import tempfile
import time

from . import commands, dependencies, files, image, pythons, sign, wheel as wheels
from .wheel import WheelError

SETUP_KEYS = ["title", "info", "build_info", "target_compile", "target_optimize",
              "target_version", "install_script", "user_access_control"]


def read_settings(args, setup=None, metadata=None):
    """The settings: those given (the wheel's), then the INI file's, then the options'."""
    setup, metadata = dict(setup or {}), dict(metadata or {})
    if args.config:
        parser = configparser.RawConfigParser()
        parser.optionxform = str
        parser.read(args.config, encoding="latin-1")
        if parser.has_section("Setup"):
            setup.update(parser.items("Setup"))
        if parser.has_section("metadata"):
            metadata.update(parser.items("metadata"))
    for key in SETUP_KEYS:
        value = getattr(args, key)
        if value is not None:
            setup[key] = str(value)
    if args.name is not None:
        metadata["name"] = args.name
    return setup, metadata


def main(argv=None, folder=None):
    """The mkpkg_kitpack command. folder holds the stubs and launchers (a
    checkout's dist/); without it the packer uses those it carries."""
    p = argparse.ArgumentParser(
        prog="mkpkg_kitpack", description=__doc__,
        formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--stub", help="the stub executable (with --wheel: by default the one"
                   " bundled for the wheel's platform)")
    p.add_argument("--output", "-o", required=True, help="the installer image to write")
    p.add_argument("--config", help="INI file with [Setup] and [metadata] sections")
    p.add_argument("--title"); p.add_argument("--info"); p.add_argument("--build-info", dest="build_info")
    p.add_argument("--target-compile", dest="target_compile")
    p.add_argument("--target-optimize", dest="target_optimize")
    p.add_argument("--target-version", dest="target_version")
    p.add_argument("--name", help="the package name ([metadata] name)")
    p.add_argument("--install-script", dest="install_script",
                   help="post-install script, a file name under Scripts")
    p.add_argument("--user-access-control", dest="user_access_control",
                   help="force, auto, none or empty")
    p.add_argument("--bitmap", help="a BMP file shown on the wizard pages")
    p.add_argument("--preinstall", help="file holding the pre-install script text")
    source = p.add_mutually_exclusive_group()
    source.add_argument("--tree", help="package directory whose top folders are scheme keys")
    source.add_argument("--wheel", help="a wheel (.whl) to install instead of a tree")
    add_launcher_options(p)
    add_dependency_options(p)
    p.add_argument("--method", choices=["stored", "deflated"], default="deflated",
                   help="how members are compressed (default: deflated)")
    p.add_argument("--date-time", dest="date_time",
                   help="member time for all members, YYYY-MM-DDTHH:MM:SS (default: file times)")
    sign.add_options(p)
    args = p.parse_args(argv)
    if not args.stub and not args.wheel:
        p.error("--stub is required without --wheel")
    if not args.wheel and (args.find_links or args.index_url or args.no_deps or args.python):
        p.error("--find-links, --index-url, --no-deps and --python go with --wheel")
    if args.no_deps and (args.find_links or args.index_url):
        p.error("--no-deps does not go with --find-links or --index-url")
    if any(pythons.parse(v) is None for v in args.python):
        p.error("--python takes a version X.Y")
    args.signing = sign.check_options(p, args)
    args.folder = folder
    try:
        return pack(args)
    except (WheelError, pythons.PythonsError, sign.SigningError, OSError) as error:
        print("mkpkg_kitpack: error: %s" % error, file=sys.stderr)
        return 2


def add_launcher_options(p):
    group = p.add_argument_group("a wheel's commands", "Each console and GUI entry point of a wheel"
                                 " becomes Scripts\\NAME.exe, a launcher for the stub's processor.")
    group.add_argument("--no-launchers", dest="no_launchers", action="store_true",
                       help="leave the entry points out (the packer names them in a warning)")
    group.add_argument("--launcher-dir", dest="launcher_dir",
                       help="the folder holding launcher-console[-x64].exe and launcher-gui[-x64].exe"
                       " (default: the bundled ones)")


def add_dependency_options(p):
    group = p.add_argument_group(
        "a wheel's dependencies", "pip resolves the wheel's requirements for each Python version the"
        " installer serves; the wheels they take are packed beside it.")
    group.add_argument("--find-links", dest="find_links", action="append", default=[], metavar="DIR",
                       help="a folder of wheels to take the dependencies from (repeatable)")
    group.add_argument("--index-url", dest="index_url", metavar="URL",
                       help="a package index to take the dependencies from, passed to pip as it is")
    group.add_argument("--no-deps", dest="no_deps", action="store_true",
                       help="pack the wheel alone; its requirements are named in warnings")
    group.add_argument("--python", action="append", default=[], metavar="X.Y",
                       help="serve only this Python version (repeatable)")


def warn(text):
    print("mkpkg_kitpack: warning: %s" % text, file=sys.stderr)


def command_scripts(args, wheel, stub):
    """The (name, data) of the wheel's command launchers for the stub, or none
    with --no-launchers."""
    if args.no_launchers:
        names = [script.name for script in commands.entry_points(wheel)]
        if names:
            warn("--no-launchers: entry points are not installed: %s" % ", ".join(names))
        return []

    def read_launcher(name):
        path = files.path(args.launcher_dir or args.folder, name)
        if not os.path.isfile(path):
            raise WheelError("no launcher %s for the wheel's entry points: build it with"
                             " make, or give --launcher-dir or --no-launchers" % path)
        with open(path, "rb") as f:
            return f.read()
    return commands.launcher_scripts(wheel, stub, read_launcher)


def served_versions(args, wheel, platform):
    """The versions (X, Y) the wheel serves on the stub's processor, narrowed
    by --python."""
    specifier = pythons.requires_python(wheel.metadata.get("Requires-Python"), wheel.filename)
    served = pythons.served(wheel.tags, specifier, platform)
    if not served:
        raise WheelError("no CPython for %s can install %s (Requires-Python %r)"
                         % (platform, wheel.filename, str(specifier)))
    if args.python:
        asked = {pythons.parse(v) for v in args.python}
        if not asked <= served:
            raise WheelError("%s does not serve Python %s (it serves %s)" % (
                wheel.filename, ", ".join(pythons.text(v) for v in sorted(asked - served)),
                pythons.python_requires(served) or "any"))
        served = asked
    return served


def bundled_wheels(args, wheel, served, platform, scratch):
    """The wheels of the dependencies, and the versions (X, Y) they were
    resolved for (None when nothing was resolved)."""
    needed = [r for r in dependencies.requirements(wheel) if dependencies.applies(r, served, platform)]
    if not needed:
        return [], None
    if args.no_deps:
        for requirement in needed:
            warn("--no-deps: %s requires %s, which the installer does not bring"
                 % (wheel.project_name, requirement))
        return [], None
    if not args.find_links and not args.index_url:
        raise WheelError("%s requires %s: give --find-links DIR or --index-url URL to bundle them,"
                         " or --no-deps to pack the wheel alone" % (wheel.project_name, ", ".join(map(str, needed))))
    versions = dependencies.versions_to_resolve(served)
    paths = dependencies.resolve(wheel, versions, platform, args, scratch)
    return [wheels.Wheel(path) for path in paths], versions


def wheel_package(args, date_time):
    """The wheels' members and settings, and the stub."""
    wheel = wheels.Wheel(args.wheel)
    if not args.stub:
        args.stub = files.path(args.folder, wheels.default_stub(wheel.tags))
        if not os.path.isfile(args.stub):
            raise WheelError("no stub %s for this wheel's platform: build it with make"
                             " or give --stub" % args.stub)
    with open(args.stub, "rb") as f:
        stub = f.read()
    platform = commands.stub_platform(stub)
    if platform is None:
        raise WheelError("cannot tell the stub's processor (i386 or x86-64) from %s" % args.stub)
    served = served_versions(args, wheel, platform)
    with tempfile.TemporaryDirectory(prefix="mkpkg-kitpack-") as scratch:
        deps, resolved = bundled_wheels(args, wheel, served, platform, scratch)
        members, taken = [], {}
        for each in [wheel] + deps:
            members += wheels.package_members(each, command_scripts(args, each, stub),
                                              requested=each is wheel, taken=taken)
            served &= pythons.served(each.tags, pythons.requires_python(
                each.metadata.get("Requires-Python"), each.filename), platform)
    if resolved and not args.python:
        # Beyond the versions resolved for, only those after the last of them.
        last = dependencies.RESOLVED_VERSIONS[-1]
        served &= set(resolved) | ({v for v in pythons.VERSIONS if v > last} if last in resolved else set())
    if not served:
        raise WheelError("no CPython for %s can install %s with its dependencies" % (platform, wheel.filename))
    if date_time:
        members = [(name, data, date_time) for name, data, _ in members]
    setup, metadata = wheels.settings(wheel)
    setup["python_requires"] = pythons.python_requires(served)
    # Stubs that do not read python_requires still keep to a single version.
    setup["target_version"] = pythons.text(min(served)) if len(served) == 1 else ""
    lines = dependencies.distributions([wheel] + deps, served, platform)
    return stub, members, setup, metadata, lines


def pack(args):
    date_time = None
    if args.date_time:
        date_time = time.strptime(args.date_time, "%Y-%m-%dT%H:%M:%S")[:6]
    lines = ()
    if args.wheel:
        stub, members, setup, metadata, lines = wheel_package(args, date_time)
    else:
        with open(args.stub, "rb") as f:
            stub = f.read()
        members = image.tree_archive_members(args.tree, date_time) if args.tree else []
        setup, metadata = {}, {}
    bitmap = b""
    if args.bitmap:
        with open(args.bitmap, "rb") as f:
            bitmap = f.read()
    script = None
    if args.preinstall:
        with open(args.preinstall, "rb") as f:
            script = f.read()
    setup, metadata = read_settings(args, setup, metadata)
    built = image.build_image(stub, bitmap, image.settings_text(setup, metadata, lines), script,
                              image.build_archive(members, args.method))
    if args.signing:
        sign.write_signed(built, args.output, setup.get("title"), args)
        return 0
    with open(args.output, "wb") as f:
        f.write(built)
    return 0
