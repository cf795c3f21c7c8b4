"""kitpack's packer: appends a package (settings, picture, zip archive) to the
kitpack stub. `mkpkg_kitpack` (kitpack_packer.cli) is its command."""
