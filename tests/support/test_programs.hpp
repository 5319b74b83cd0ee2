#pragma once
// Where the test programs of this folder are, as Windows paths.
//
// Any target that links kestor_test_support gets KESTOR_TEST_PAYLOAD_EXE defined as the payload's
// build-tree path as CMake writes it ("/work/.../kestor_test_payload.exe"); payload_exe() gives
// the same file as Windows sees it under Wine ("Z:\work\...\kestor_test_payload.exe").
#include <string>

namespace test_support {

std::string payload_exe();

// A host path of the build tree ("/work/...") as the Windows path of the same file; a path that
// is already a Windows one comes back unchanged.
std::string windows_path(const std::string& path);

}  // namespace test_support
