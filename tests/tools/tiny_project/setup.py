# A tiny project with a file for every install folder of a wheel: a package,
# a script, a header, a data file, and a console and a GUI entry point.
from setuptools import setup

setup(
    name="tiny-pkg",
    version="1.0",
    description="A tiny package for the packer's wheel tests",
    long_description=open("README.md").read(),
    long_description_content_type="text/markdown",
    packages=["tiny_pkg"],
    scripts=["scripts/tiny_tool.py"],
    headers=["include/tiny_pkg.h"],
    data_files=[("share/tiny-pkg", ["data/tiny_pkg.dat"])],
    entry_points={"console_scripts": ["tiny-hello = tiny_pkg:main"],
                  "gui_scripts": ["tiny-window = tiny_pkg:window.show"]},
)
