#include "python_runtime/python_fixture_win.h"

#include <io.h>

#include <cstdio>

#include "common/chosen_python_win.h"
#include "common/owner_win.h"
#include "python_runtime/compile_pass_win.h"
#include "record/compile_list.h"
#include "record/install_log_win.h"
#include "startup/setup_config.h"
#include "support/test_registry_win.h"
#include "wizard/install_status_win.h"

std::string standin_folder(const std::string& variant) {
  return windows_path(std::string(STANDIN_DIR) + "/" + variant);
}

void register_install_path(HKEY root, const std::string& directory) {
  unique_hkey key;
  std::string name = python_core_key("2.7") + "\\InstallPath";
  if (RegCreateKeyA(root, name.c_str(), key.put()) != ERROR_SUCCESS) return;
  RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(directory.c_str()),
                 static_cast<DWORD>(directory.size() + 1));
}

void unregister_python() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    RegDeleteTreeA(root, python_core_key("2.7").c_str());
    // Only when empty: other tests may have registered their own versions.
    forget_empty_python_keys(root);
  }
}

python_fixture::python_fixture(const char* variant) {
  unregister_python();
  if (variant) register_install_path(HKEY_CURRENT_USER, standin_folder(variant));
  CreateDirectoryA((dir_ / "Scripts").c_str(), nullptr);
  lstrcpynA(target.python_dir, dir_.path().c_str(), MAX_PATH);
  target.py_major = 2;
  target.py_minor = 7;
  lstrcpyA(target.python_dll, "python27.dll");
  target.root_hkey = HKEY_LOCAL_MACHINE;
  install_ok = 1;
  setup_config.install_script[0] = '\0';
}

python_fixture::~python_fixture() {
  drop_install_log();
  unregister_python();
}

std::string python_fixture::write_postinstall(const std::string& name, const std::string& text) const {
  std::string path = script_path(name);
  write_file(path, text);
  lstrcpynA(setup_config.install_script, name.c_str(), sizeof setup_config.install_script);
  return path;
}

void python_fixture::open_log() { open_install_log((log_dir_ / "test.log").c_str()); }

std::string python_fixture::log_text() {
  drop_install_log();
  return read_file(log_dir_ / "test.log");
}

std::string python_fixture::compile_module(const std::string& source) {
  write_file(source, "x = 1\n");
  compile_list = nullptr;
  record_file_created(source.c_str());
  open_log();
  recording_sink sink;
  run_compile_pass(target, 0);
  run_compile_pass(target, 1);
  return log_text();
}

std_streams_keeper::std_streams_keeper() : out_(_dup(1)), err_(_dup(2)) {}

std_streams_keeper::~std_streams_keeper() {
  restore();
  if (out_ >= 0) _close(out_);
  if (err_ >= 0) _close(err_);
}

void std_streams_keeper::restore() {
  std::freopen("NUL", "w", stdout);
  std::freopen("NUL", "w", stderr);
  if (out_ >= 0) _dup2(out_, _fileno(stdout));
  if (err_ >= 0) _dup2(err_, _fileno(stderr));
}

finish_window::finish_window() {
  window_ = CreateWindowA("STATIC", "finish", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                          nullptr, nullptr);
  for (int id : {IDC_HEADING, IDC_OUTPUT_BOX})
    CreateWindowA("EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOVSCROLL, 0, id == IDC_HEADING ? 0 : 50, 380, 40,
                  window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

finish_window::~finish_window() { DestroyWindow(window_); }

std::string finish_window::text(int id) const {
  HWND control = GetDlgItem(window_, id);
  int n = GetWindowTextLengthA(control);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  GetWindowTextA(control, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

static std::vector<std::string> recorded;

static void record_step(const char* text) { recorded.push_back(std::string("step:") + text); }
static void record_item(const char* text) { recorded.push_back(std::string("item:") + text); }
static void record_range(unsigned n) { recorded.push_back("range:" + std::to_string(n)); }
static void record_pos(unsigned n) { recorded.push_back("pos:" + std::to_string(n)); }
static const progress_sink recording = {record_step, record_item, record_range, record_pos};

recording_sink::recording_sink() {
  recorded.clear();
  install_sink = &recording;
}
recording_sink::~recording_sink() { install_sink = nullptr; }
const std::vector<std::string>& recording_sink::events() const { return recorded; }

std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}
