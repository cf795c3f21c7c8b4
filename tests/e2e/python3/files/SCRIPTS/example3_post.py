# Post-install script that calls every builtin and prints what they give;
# run again by the uninstaller with -remove.
import sys

if sys.argv[1] == "-install":
    folder = get_special_folder_path("CSIDL_PROGRAMS")
    link = folder + "\\Example3 post-install script.lnk"
    create_shortcut(sys.argv[0], "The example3 post-install script", link)
    file_created(link)
    directory_created(sys.argv[0] + "-data")
    print("root " + str(get_root_hkey()))
    print("answer " + str(message_box("Create the example3 shortcut?", "Example 3", 4)))
    sys.stderr.write("example3 installed\n")
else:
    print("example3 removed with " + sys.argv[1])
