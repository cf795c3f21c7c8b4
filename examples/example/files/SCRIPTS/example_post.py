# Post-install script of the example package: the installer runs it with
# -install once the files are in place, the uninstaller with -remove.
import sys

if sys.argv[1] == "-install":
    try:
        folder = get_special_folder_path("CSIDL_PROGRAMS")
    except OSError:
        folder = get_special_folder_path("CSIDL_STARTMENU")
    link = folder + "\\Example post-install script.lnk"
    create_shortcut(sys.argv[0], "The example package's post-install script", link)
    file_created(link)
    print("example installed")
else:
    print("example removed")
