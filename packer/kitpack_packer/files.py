"""The stubs and command launchers the packer appends packages to.

An installed packer carries them as package data (the data folder, filled when
its wheel is built by tools/build-packer-wheel); a checkout's tools/mkpkg_kitpack
names its dist/ folder instead.
"""
import importlib.resources
import os


def path(folder, name):
    """The path of name in folder, or among the package data without one."""
    if folder is None:
        folder = str(importlib.resources.files(__package__).joinpath("data"))
    return os.path.join(folder, name)
