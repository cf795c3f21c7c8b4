"""The tiny package: a module to import and a function for its entry point."""
GREETING = "hello from tiny_pkg"


def main():
    print(GREETING)
