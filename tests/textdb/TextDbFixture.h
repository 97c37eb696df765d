// A temporary folder for text database files written by the tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

class TTextDbFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    Dir = std::filesystem::temp_directory_path() /
          ("textdb_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" + info->name());
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  // Writes `text` (lines separated by "\n", written with CR LF) and returns the file's path.
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (Dir / name).string();
    std::ofstream out(path, std::ios::binary);
    for (char c : text) {
      if (c == '\n') out << '\r';
      out << c;
    }
    return path;
  }

  std::filesystem::path Dir;
};
