// The fixture of the kra-check tests: a report whose printed text the test reads back.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "check_report.h"
#include "scene/scene_test_support.h"

class KraCheckTest : public SceneScriptTest {
 protected:
  void SetUp() override {
    SceneScriptTest::SetUp();
    report_.out = open_memstream(&text_, &text_size_);
  }
  void TearDown() override {
    std::fclose(report_.out);
    std::free(text_);
    SceneScriptTest::TearDown();
  }
  std::string Output() {
    std::fflush(report_.out);
    return std::string(text_, text_size_);
  }
  bool Has(const std::string& line) { return Output().find(line) != std::string::npos; }

  CheckReport report_;
  char* text_ = nullptr;
  size_t text_size_ = 0;
};
