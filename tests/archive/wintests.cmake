# Installer images of a small package tree, one stored and one deflated, with
# one time for every member. Git keeps no empty folders, so the tree is copied
# into the build tree and its empty folder (a directory entry) made there.
set(_archive_tree ${CMAKE_BINARY_DIR}/archive_tree)
file(GLOB_RECURSE _archive_tree_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tree/*)
file(REMOVE_RECURSE ${_archive_tree})
file(COPY ${CMAKE_CURRENT_LIST_DIR}/tree/ DESTINATION ${_archive_tree})
file(MAKE_DIRECTORY ${_archive_tree}/DATA/empty_dir)
foreach(_method stored deflated)
  kitpack_fixture(NAME archive-${_method} DEPENDS ${_archive_tree_files} ARGS
    --title Archive --name archive --tree ${_archive_tree} --method ${_method}
    --date-time 2008-03-01T10:15:30)
endforeach()
