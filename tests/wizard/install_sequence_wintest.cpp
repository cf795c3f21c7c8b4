// The install sequence through the four-operation sink, with recording stand-ins
// for the steps it calls: which steps run, in what order, with what texts.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/chosen_python_win.h"
#include "startup/package_image_win.h"
#include "startup/setup_config.h"
#include "wizard/install_sequence_win.h"
#include "wizard/install_status_win.h"

namespace {

// What the sequence did, one entry per step or shown text, in order.
std::vector<std::string> trace;

// How the stand-in steps answer.
int record_result;
int preinstall_result;
int extract_result;

void note(const std::string& what) { trace.push_back(what); }

void sink_step(const char* text) { note(std::string("step: ") + text); }
void sink_item(const char* text) { note(std::string("item: ") + text); }
void sink_range(unsigned) {}
void sink_pos(unsigned) {}
const progress_sink sink = {sink_step, sink_item, sink_range, sink_pos};

const scheme_entry chosen_scheme[] = {{nullptr, nullptr}};

HKEY fake_check_root_key(HWND, HKEY root_hkey) {
  note("check_root_key");
  return root_hkey;
}
// The image the sequence is handed, which the registration and the
// extraction get.
const std::byte sequence_image[16] = {};

int fake_open_install_record(const chosen_python& target, std::span<const std::byte> image) {
  EXPECT_EQ(image.data(), sequence_image);
  EXPECT_EQ(image.size(), sizeof sequence_image);
  note(std::string("open_install_record ") + target.python_dir);
  return record_result;
}
const scheme_entry* fake_select_scheme(int major, int minor) {
  note("select_scheme " + std::to_string(major) + "." + std::to_string(minor));
  return chosen_scheme;
}
int fake_run_preinstall_script(const chosen_python&, const char* text) {
  note(std::string("run_preinstall_script ") + text);
  if (preinstall_result) set_failure("Running the pre-installation script failed\r\nboom");
  return preinstall_result;
}
int fake_extract_archive(const scheme_entry* scheme, const char* dir,
                         std::span<const std::byte> image, notify_fn, bool (*)(const char*)) {
  EXPECT_EQ(scheme, chosen_scheme);
  EXPECT_EQ(image.data(), sequence_image);
  EXPECT_EQ(image.size(), sizeof sequence_image);
  note(std::string("extract_archive ") + dir);
  return extract_result;
}
void fake_run_compile_pass(const chosen_python&, int optimize) { note("run_compile_pass " + std::to_string(optimize)); }

const install_steps fakes = {fake_check_root_key,        fake_open_install_record,
                             fake_select_scheme,         fake_run_preinstall_script,
                             fake_extract_archive,       fake_run_compile_pass};

struct sequence_case {
  const char* name;
  const char* python_dir;
  const char* preinstall;  // null: the image carries none
  int target_compile, target_optimize;
  int record, preinstall_rc, extract;
  int install_ok;
  const char* failure;  // null: none
  std::vector<std::string> trace;
  sequence_outcome outcome = sequence_outcome::done;
};

void run_case(const sequence_case& c) {
  trace.clear();
  record_result = c.record;
  preinstall_result = c.preinstall_rc;
  extract_result = c.extract;
  std::free(failure_text);
  failure_text = nullptr;
  install_ok = 0;
  std::strcpy(install_target().python_dir, c.python_dir);
  install_target().py_major = 2;
  install_target().py_minor = 7;
  static char script[64];
  std::strcpy(script, c.preinstall ? c.preinstall : "");
  preinstall_script = c.preinstall ? script : nullptr;
  setup_config.target_compile = c.target_compile;
  setup_config.target_optimize = c.target_optimize;

  sequence_outcome outcome = run_install_sequence(nullptr, sink, sequence_image, fakes);

  install_sink = nullptr;
  EXPECT_EQ(outcome, c.outcome) << c.name;
  EXPECT_EQ(trace, c.trace) << c.name;
  EXPECT_EQ(install_ok, c.install_ok) << c.name;
  if (c.failure) {
    ASSERT_NE(failure_text, nullptr) << c.name;
    EXPECT_STREQ(failure_text, c.failure) << c.name;
  } else {
    EXPECT_EQ(failure_text, nullptr) << c.name;
  }
}

TEST(InstallSequence, RunsItsStepsInOrderAndStopsAtTheFirstFailure) {
  const sequence_case cases[] = {
      {"everything runs", "C:\\Python27", "print 1", 1, 1, 1, 0, 1, 1, nullptr,
       {"check_root_key", "open_install_record C:\\Python27", "select_scheme 2.7",
        "step: Running pre-installation script", "run_preinstall_script print 1",
        "step: Installing files...", "extract_archive C:\\Python27",
        "step: Compiling files to .pyc...", "run_compile_pass 0",
        "step: Compiling files to .pyo...", "run_compile_pass 1"}},
      {"no script and no compiling: files only", "C:\\Python27", nullptr, 0, 0, 1, 0, 1, 1, nullptr,
       {"check_root_key", "open_install_record C:\\Python27", "select_scheme 2.7",
        "step: Installing files...", "extract_archive C:\\Python27"}},
      {"an empty script text is no script", "C:\\Python27", "", 0, 0, 1, 0, 1, 1, nullptr,
       {"check_root_key", "open_install_record C:\\Python27", "select_scheme 2.7",
        "step: Installing files...", "extract_archive C:\\Python27"}},
      {".pyo only", "C:\\Python27", nullptr, 0, 1, 1, 0, 1, 1, nullptr,
       {"check_root_key", "open_install_record C:\\Python27", "select_scheme 2.7",
        "step: Installing files...", "extract_archive C:\\Python27",
        "step: Compiling files to .pyo...", "run_compile_pass 1"}},
      {"one trailing backslash goes", "C:\\Python25\\", nullptr, 0, 0, 1, 0, 1, 1, nullptr,
       {"check_root_key", "open_install_record C:\\Python25", "select_scheme 2.7",
        "step: Installing files...", "extract_archive C:\\Python25"}},
      {"only one of two backslashes goes", "C:\\Python25\\\\", nullptr, 0, 0, 1, 0, 1, 1, nullptr,
       {"check_root_key", "open_install_record C:\\Python25\\", "select_scheme 2.7",
        "step: Installing files...", "extract_archive C:\\Python25\\"}},
      {"a failing pre-install script stops before any file", "C:\\Python27", "raise", 1, 1, 1, 1, 1,
       0, "Running the pre-installation script failed\r\nboom",
       {"check_root_key", "open_install_record C:\\Python27", "select_scheme 2.7",
        "step: Running pre-installation script", "run_preinstall_script raise"},
       sequence_outcome::preinstall_failed},
      {"a failing extraction compiles nothing", "C:\\Python27", nullptr, 1, 1, 1, 0, 0, 0,
       "Failed to unzip installation files",
       {"check_root_key", "open_install_record C:\\Python27", "select_scheme 2.7",
        "step: Installing files...", "extract_archive C:\\Python27"},
       sequence_outcome::extraction_failed},
      {"no rights to register: nothing installed, counted as failure", "C:\\Python27", "print 1",
       1, 1, 0, 0, 1, 0, nullptr,
       {"check_root_key", "open_install_record C:\\Python27"}, sequence_outcome::not_registered},
  };
  for (const sequence_case& c : cases) run_case(c);
}

}  // namespace
