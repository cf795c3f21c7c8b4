// The installed Python source files to byte-compile, newest first: each file
// record whose path ends in exactly ".py" adds its path at the head. Nodes
// live until the process ends; the list keeps duplicates.
#pragma once

struct compile_node {
  char* path;
  compile_node* next;
};
extern compile_node* compile_list;

// The source-file rule: adds path when its text from the last "." is exactly
// ".py" (a byte comparison). Without memory the path is not added.
void add_to_compile_list(const char* path);
