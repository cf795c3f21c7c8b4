"""The tiny package: a module to import and the callables of its entry points."""
GREETING = "hello from tiny_pkg"


def main():
    print(GREETING)


class window:
    """The GUI command's object: its attribute is what the command calls."""

    @staticmethod
    def show():
        return 0
