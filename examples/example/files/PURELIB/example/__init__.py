"""The example package."""
VERSION = "1.0"
