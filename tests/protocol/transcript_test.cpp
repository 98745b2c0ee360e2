// End-to-end: the real engine binary, fed through pipes the way a tournament manager drives it.
// Golden transcripts live beside this file: NAME.in is fed on stdin; NAME.out holds stdout,
// then "[stderr]" and standard error when it is not empty, then "[exit N]". Timing figures
// (nps=) are scrubbed. Set ORMEL_UPDATE_TRANSCRIPTS=1 to rewrite the .out files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "test_util.h"

namespace {

namespace fs = std::filesystem;

std::string transcript_of(const test::ProcessResult& r) {
  std::string t = test::scrub_nps(r.out);
  if (!r.err.empty()) t += "[stderr]\n" + r.err;
  t += "[exit " + std::to_string(r.exit_code) + "]\n";
  return t;
}

std::vector<std::string> transcript_names() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(ORMEL_TRANSCRIPT_DIR)) {
    if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Transcript : public testing::TestWithParam<std::string> {};

TEST_P(Transcript, MatchesGolden) {
  const std::string base = std::string(ORMEL_TRANSCRIPT_DIR) + "/" + GetParam();
  const std::string actual = transcript_of(test::run_engine_binary(test::read_file(base + ".in")));
  if (std::getenv("ORMEL_UPDATE_TRANSCRIPTS")) {
    std::ofstream(base + ".out", std::ios::binary) << actual;
  }
  EXPECT_EQ(actual, test::read_file(base + ".out"));
}

INSTANTIATE_TEST_SUITE_P(Protocol, Transcript, testing::ValuesIn(transcript_names()),
                         [](const testing::TestParamInfo<std::string>& param_info) {
                           std::string n = param_info.param;
                           std::replace(n.begin(), n.end(), '-', '_');
                           return n;
                         });

}  // namespace
