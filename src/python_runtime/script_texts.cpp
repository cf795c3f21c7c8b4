#include "python_runtime/script_texts.h"

#include "common/fixed_text.h"

bool format_postinstall_path(char* path, std::size_t width, const char* python_dir,
                             const char* script) {
  return format_whole(path, width, "%s\\Scripts\\%s", python_dir, script);
}

run_script_record parse_run_script_record(std::string_view line) {
  std::size_t open = line.find('[');
  if (open == std::string_view::npos) return {false, 0, 0, 0};
  std::size_t close = line.find(']', open + 1);
  if (close == std::string_view::npos) return {false, 0, 0, 0};
  return {true, open + 1, close, close + 1};
}
