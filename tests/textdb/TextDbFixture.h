// A temporary folder for text database files written by the tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../support/TempDir.h"

class TTextDbFixture : public ::testing::Test {
 protected:
  // Writes `text` (lines separated by "\n", written with CR LF) and returns the file's path.
  std::string Write(const std::string& name, const std::string& text) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteWholeFile(Temp.File(name), crlf);
    return Temp.File(name);
  }

  TTempDir Temp;
  const std::filesystem::path Dir{Temp.Path()};
};
