# Pre-install script of the example package: runs before any file is
# extracted; an exception raised here stops the installation.
print("preparing example")
if get_root_hkey() == 2147483650:
    print("installing for all users")
else:
    print("installing for the current user")
