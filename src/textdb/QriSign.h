// Signing a state file: the maintainers' tool that writes the file's checksum into its CRC setting.
#pragma once

#include <string>

// Loads the file (which must load), computes its checksum and writes it into the [InitInfo] CRC line of
// the file itself, replacing the file only when the new text is written completely. `crc` receives the
// checksum; on failure `error` says why and the file is unchanged.
bool SignQriFile(const std::string& path, std::string& crc, std::string& error);
