# the package
version = "1.0"
